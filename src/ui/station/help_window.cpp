#include "ui/station/help_window.h"

#include <string>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/file_io.h"

namespace wexon::ui {

namespace {

// Help files are written with CR LF line ends; older ones may have bare CR or
// LF. The text box gets single "\n" line ends, and control bytes that a text
// file should not hold are shown as blanks so that a damaged file still
// displays readably.
QString displayTextFromLatin1(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            out += QLatin1Char('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n' || c == '\t') {
            out += QLatin1Char(static_cast<char>(c));
        } else if (c == '\f') {
            out += QLatin1Char('\n'); // page break: start a new line
        } else if (c < 0x20 || c == 0x7F) {
            out += QLatin1Char(' ');
        } else {
            out += QChar(c); // Latin-1 byte = Unicode code point
        }
    }
    return out;
}

} // namespace

HelpWindow::HelpWindow(const QString& filePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));

    m_textBox = new QPlainTextEdit(this);
    m_textBox->setObjectName(QStringLiteral("txtHelp"));
    m_textBox->setReadOnly(true);
    m_textBox->setUndoRedoEnabled(false);
    m_textBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Readers can still select and copy text; the caret stays visible for
    // keyboard scrolling.
    m_textBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_textBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_closeButton = new QPushButton(QStringLiteral("&Close"), this);
    m_closeButton->setObjectName(QStringLiteral("cmdClose"));
    m_closeButton->setAutoDefault(false);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_textBox, 1);
    layout->addLayout(buttons);

    loadFile(filePath);
    fitToText();
    m_textBox->setFocus();
}

QString HelpWindow::text() const {
    return m_textBox->toPlainText();
}

void HelpWindow::loadFile(const QString& filePath) {
    const std::string nativePath = QFile::encodeName(filePath).toStdString();
    bool tooLarge = false;
    const auto bytes = core::readWholeFile(nativePath, kMaxFileBytes, &tooLarge);
    if (bytes) {
        m_loaded = true;
        m_textBox->setPlainText(displayTextFromLatin1(*bytes));
        return;
    }
    m_loaded = false;
    const QString shownPath = QDir::toNativeSeparators(filePath);
    if (tooLarge) {
        m_textBox->setPlainText(
            QStringLiteral("The help file %1 is too large to show.").arg(shownPath));
    } else {
        m_textBox->setPlainText(
            QStringLiteral("The help file %1 could not be found or read.").arg(shownPath));
    }
}

void HelpWindow::fitToText() {
    // Room for an 80-column line and about 40 lines, but never more than the
    // screen offers.
    const QFontMetrics metrics(m_textBox->font());
    int width = metrics.horizontalAdvance(QLatin1Char('M')) * 84 + 40;
    int height = metrics.lineSpacing() * 40 + 60;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        width = qMin(width, area.width() * 9 / 10);
        height = qMin(height, area.height() * 9 / 10);
    }
    resize(width, height);
}

} // namespace wexon::ui
