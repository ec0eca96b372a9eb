#include "ui/station/logo_window.h"
#include "ui/common/plain_text.h"

#include <array>
#include <cmath>

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>

namespace wexon::ui {

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 280;

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text, int pointSize,
                  QFont::Weight weight, const QColor& colour) {
    auto* label = plainLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the window
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setWeight(weight);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// "CQ WPX" in Morse, drawn as a row of dots and dashes across the window.
// 1 = dot, 3 = dash, 0 = gap between letters.
constexpr std::array<int, 24> kMorseCqWpx = {3, 1, 3, 1, 0, 3, 3, 1, 3, 0, 0, 1,
                                             3, 3, 0, 1, 3, 3, 1, 0, 3, 1, 1, 3};

} // namespace

LogoWindow::LogoWindow(const QString& version, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmLogo"));
    setWindowTitle(QStringLiteral("Wexon"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::PointingHandCursor);

    const QColor white(255, 255, 255);
    const QColor pale(200, 230, 240);
    auto* name = makeLabel(this, "lblName", QStringLiteral("Wexon"), 44, QFont::Bold, white);
    auto* what = makeLabel(this, "lblSubtitle", QStringLiteral("CQ WPX Contest Logger"), 16,
                           QFont::DemiBold, pale);
    auto* versionLabel =
        makeLabel(this, "lblVersion", QStringLiteral("Version ") + version.trimmed(), 11,
                  QFont::Normal, pale);
    versionLabel->setVisible(!version.trimmed().isEmpty());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 56, 24, 28);
    layout->setSpacing(4);
    layout->addWidget(name);
    layout->addWidget(what);
    layout->addStretch(1);
    layout->addWidget(versionLabel);

    m_closeTimer = new QTimer(this);
    m_closeTimer->setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the logo stays its full time.
    m_closeTimer->setTimerType(Qt::PreciseTimer);
    m_closeTimer->setInterval(kShowMs);
    connect(m_closeTimer, &QTimer::timeout, this, &QDialog::accept);
}

void LogoWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The time counts from the moment the logo appears, whether the caller
    // uses show() or exec().
    m_closeTimer->start();
}

void LogoWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();

    QLinearGradient background(area.topLeft(), area.bottomRight());
    background.setColorAt(0.0, QColor(10, 24, 74));
    background.setColorAt(1.0, QColor(0, 110, 130));
    painter.fillRect(area, background);

    // A faint sine wave behind the name: the carrier.
    QPainterPath wave;
    const double midY = area.height() * 0.62;
    wave.moveTo(0, midY);
    for (int x = 0; x <= static_cast<int>(area.width()); x += 4) {
        wave.lineTo(x, midY + 14.0 * std::sin(x / 22.0));
    }
    painter.setPen(QPen(QColor(255, 255, 255, 40), 2));
    painter.drawPath(wave);

    // The Morse row along the top.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 200, 60));
    const double unit = 5.0;
    double rowWidth = 0.0;
    for (int element : kMorseCqWpx) {
        rowWidth += element == 0 ? 2 * unit : (element + 1) * unit;
    }
    double x = (area.width() - rowWidth + unit) / 2.0;
    const double y = 26.0;
    for (int element : kMorseCqWpx) {
        if (element == 0) {
            x += 2 * unit;
            continue;
        }
        const double length = element * unit;
        painter.drawRoundedRect(QRectF(x, y, length, unit), unit / 2, unit / 2);
        x += length + unit;
    }

    // A thin frame, since the window has no title bar.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
}

void LogoWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    m_closeTimer->stop();
    accept();
}

void LogoWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    m_closeTimer->stop();
    accept();
}

} // namespace wexon::ui
