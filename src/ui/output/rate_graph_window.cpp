#include "ui/output/rate_graph_window.h"
#include "ui/common/plain_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace wexon::ui {

namespace {

QColor qColour(output::Rgb rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

QString L1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr output::Rgb kWhite = 0xFFFFFF;
constexpr output::Rgb kBlack = 0x000000;

} // namespace

// The plot itself: axis lines, the rate line and the band-colour strip along the
// time axis.
class RatePlot : public QWidget {
  public:
    explicit RatePlot(RateGraphWindow& window) : QWidget(&window), m_window(window) {
        setObjectName("plotArea");
        setMinimumSize(600, 300);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const bool black = m_window.m_black;
        const QColor background = black ? Qt::black : Qt::white;
        const QColor ink = black ? Qt::white : Qt::black;
        p.fillRect(rect(), background);
        // Line4 (left), Line1 (top) and their opposites bound the plot; Line8 and
        // Line9 bound the band strip under it.
        const double left = 4;
        const double top = 4;
        const double right = width() - 4;
        const double stripHeight = 10;
        const double bottom = height() - stripHeight - 8;
        p.setPen(ink);
        p.drawRect(QRectF(left, top, right - left, bottom - top));
        const double stripTop = bottom + 3;
        p.drawLine(QPointF(left, stripTop), QPointF(right, stripTop));
        p.drawLine(QPointF(left, stripTop + stripHeight), QPointF(right, stripTop + stripHeight));

        auto segments = output::rateSegments(m_window.m_graph, {left, top, right, bottom});
        QPen ratePen(qColour(output::kRateLineColour));
        ratePen.setWidthF(1.5);
        for (const auto& s : segments) {
            if (s.strip) {
                p.fillRect(
                    QRectF(QPointF(s.x0, stripTop + 1), QPointF(s.x1, stripTop + stripHeight)),
                    qColour(s.stripColour));
            }
            p.setPen(ratePen);
            p.drawLine(QPointF(s.x0, s.y0), QPointF(s.x1, s.y1));
        }
    }

  private:
    RateGraphWindow& m_window;
};

RateGraphWindow::RateGraphWindow(const std::vector<core::QsoRecord>& qsos, Prompts& prompts,
                                 QWidget* parent)
    : QDialog(parent), m_qsos(qsos), m_prompts(prompts) {
    setObjectName("GraphQSO");
    setWindowTitle(output::kRateGraphTitle);
    resize(1000, 560);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    // Rate labels down the left, highest at the top.
    auto* rates = new QVBoxLayout;
    for (int i = 0; i < output::RateGraph::kRateLabels; ++i) {
        auto* l = plainLabel(QString(), this);
        l->setObjectName(QString("lblY_%1").arg(i));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblY.push_back(l);
    }
    for (int i = output::RateGraph::kRateLabels - 1; i >= 0; --i) {
        rates->addWidget(lblY[static_cast<std::size_t>(i)]);
    }
    m_plot = new RatePlot(*this);
    grid->addLayout(rates, 0, 0);
    grid->addWidget(m_plot, 0, 1);

    auto* times = new QHBoxLayout;
    auto* dates = new QHBoxLayout;
    for (int k = 0; k < output::RateGraph::kTimeLabels; ++k) {
        auto* t = plainLabel(QString(), this);
        t->setObjectName(QString("lblTime_%1").arg(k));
        t->setAlignment(Qt::AlignCenter);
        auto* d = plainLabel(QString(), this);
        d->setObjectName(QString("lblDate_%1").arg(k));
        d->setAlignment(Qt::AlignCenter);
        lblTime.push_back(t);
        lblDate.push_back(d);
        times->addWidget(t);
        dates->addWidget(d);
    }
    grid->addLayout(times, 1, 1);
    grid->addLayout(dates, 2, 1);

    auto* legend = new QHBoxLayout;
    legend->addWidget(plainLabel("Band:", this));
    for (std::size_t i = 0; i < output::kBandColours.size(); ++i) {
        auto* l = plainLabel(output::kBandColours[i].band, this);
        l->setObjectName(QString("lblBnd_%1").arg(i));
        lblBnd.push_back(l);
        legend->addWidget(l);
    }
    legend->addStretch();
    Command1 = new QPushButton("White Background", this);
    Command1->setObjectName("Command1");
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, [this] { command1Click(); });
    legend->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(legend);
    applyColours();
    drawRateGraph();
}

void RateGraphWindow::drawRateGraph() {
    m_graph = output::computeRateGraph(m_qsos, m_black ? kBlack : kWhite);
    if (m_graph.status == output::RateGraph::Status::TooFewContacts) {
        m_prompts.message(output::kTooFewTitle, output::kTooFewText);
    }
    const bool drawn = m_graph.status == output::RateGraph::Status::Drawn;
    for (std::size_t i = 0; i < lblY.size(); ++i) {
        lblY[i]->setText(drawn ? L1(m_graph.rateLabels[i]) : QString());
    }
    for (std::size_t k = 0; k < lblTime.size(); ++k) {
        lblTime[k]->setText(drawn ? L1(m_graph.timeLabels[k]) : QString());
        lblDate[k]->setText(drawn ? L1(m_graph.dateLabels[k]) : QString());
    }
    m_plot->update();
}

void RateGraphWindow::command1Click() {
    if (Command1->text() != "Black Background") {
        m_black = true;
        Command1->setText("Black Background");
    } else {
        m_black = false;
        Command1->setText("White Background");
    }
    applyColours();
    // Redrawing recomputes the columns against the new background; the message
    // for too few contacts was shown once when the window opened.
    if (m_graph.status != output::RateGraph::Status::TooFewContacts) {
        drawRateGraph();
    }
}

void RateGraphWindow::applyColours() {
    const QString ink = m_black ? "#FFFFFF" : "#000000";
    setStyleSheet(QString("QDialog#GraphQSO { background: %1 } QLabel { color: %2 }")
                      .arg(m_black ? "#000000" : "#FFFFFF", ink));
    // The legend keeps the band colours on either background.
    for (std::size_t i = 0; i < lblBnd.size(); ++i) {
        lblBnd[i]->setStyleSheet(QString("color: %1; font-weight: bold")
                                     .arg(qColour(output::kBandColours[i].colour).name()));
    }
}

} // namespace wexon::ui
