#include "ui/rig/rig_band_plan_dialog.h"

#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "core/file_io.h"
#include "rig/rig_format.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kChartTop = 90; // Line1's first end point

QString edge(float mhz) {
    return QString::fromLatin1(rig::formatBandEdge(mhz).c_str());
}

struct ClassButton {
    const char* name;
    const char* caption;
    char licence;
    const char* title;
};
constexpr ClassButton kButtons[] = {
    {"Command1", "Novice", 'N', "Novice Frequency Privileges"},
    {"Command2", "Technician", 'T', "Technician Frequency Privileges"},
    {"Command3", "Tech +", 'P', "Technician Plus Frequency Privileges"},
    {"Command4", "General", 'G', "General Frequency Privileges"},
    {"Command5", "Advanced", 'A', "Advanced Frequency Privileges"},
    {"Command6", "Extra", 'E', "Extra Frequency Privileges"},
};

} // namespace

RigBandPlanDialog::RigBandPlanDialog(const QString& workingFolder, Prompts& prompts,
                                     QWidget* parent, int screenWidthPixels)
    : QDialog(parent) {
    setObjectName("frmBandPlan");
    setWindowTitle(kBandPlanCaption);
    setFixedSize(kWidth, kHeight);
    if (screenWidthPixels <= 0 && QGuiApplication::primaryScreen()) {
        screenWidthPixels = QGuiApplication::primaryScreen()->geometry().width();
    }
    // Fonts grow with the screen (15 twips a pixel, 9600 twips as the base),
    // at most by half.
    m_fontScale = std::min(1.5, screenWidthPixels * 15.0 / 9600.0);

    int x = 10;
    for (const ClassButton& b : kButtons) {
        auto* button = new QPushButton(b.caption, this);
        button->setObjectName(b.name);
        button->setGeometry(x, 10, 100, 28);
        x += 108;
        const char licence = b.licence;
        const QString title = b.title;
        connect(button, &QPushButton::clicked,
                [this, licence, title] { drawClass(licence, title); });
    }
    auto* done = new QPushButton("Done", this);
    done->setObjectName("Command7");
    done->setGeometry(x, 10, 90, 28);
    connect(done, &QPushButton::clicked, [this] { hide(); });

    Label2 = plainLabel(QString(), this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(10, 44, 400, 20);
    Label1 = plainLabel(QString(), this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(10, 64, 500, 20);
    auto* cw = plainLabel("CW", this);
    cw->setObjectName("Label3");
    cw->setStyleSheet("background-color: rgb(0,0,255); color: white;");
    cw->setAlignment(Qt::AlignCenter);
    cw->setGeometry(kWidth - 180, 50, 80, 20);
    auto* phone = plainLabel("Phone", this);
    phone->setObjectName("Label4");
    phone->setStyleSheet("background-color: rgb(0,255,0); color: black;");
    phone->setAlignment(Qt::AlignCenter);
    phone->setGeometry(kWidth - 90, 50, 80, 20);
    Line1 = new QFrame(this);
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setGeometry(0, kChartTop, kWidth, 2);

    const std::string path =
        core::joinPath(workingFolder.toLocal8Bit().toStdString(), rig::kBandPlanFileName);
    auto content = core::readWholeFile(path, 1024 * 1024);
    if (!content) {
        prompts.message("Band Data Not Available.", "Band data not available.",
                        Prompts::Icon::Exclamation);
        return;
    }
    m_plan = rig::parseBandPlan(*content);
    m_loaded = true;
    Label1->setText("Frequencies Effective: " + QString::fromLatin1(m_plan.effective.c_str()));
    drawClass('E', "Extra Frequency Privileges");
}

void RigBandPlanDialog::clearChart() {
    // From the last child to the first, as the drawing created them.
    const QList<QLabel*> labels = findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    for (auto it = labels.rbegin(); it != labels.rend(); ++it) {
        const QString name = (*it)->objectName();
        if (name.startsWith("blbl") || name.startsWith("priv") || name.startsWith("bnlb")) {
            delete *it;
        }
    }
}

void RigBandPlanDialog::drawClass(char licence, const QString& title) {
    Label2->setText(title);
    clearChart();
    const rig::PrivilegeChart chart = rig::privilegeChart(m_plan, licence);
    if (chart.bars.empty()) {
        return;
    }
    const double w = width();
    const double h = height();
    const double step = 0.8 * (h - kChartTop) / static_cast<double>(chart.bars.size());
    const int barLeft = static_cast<int>(0.1 * w);
    const int barWidth = static_cast<int>(0.85 * w);
    const int barHeight = std::max(1, static_cast<int>(0.04 * h));
    std::vector<int> tops;
    for (std::size_t k = 0; k < chart.bars.size(); ++k) {
        const rig::ChartBar& bar = chart.bars[k];
        const int top = static_cast<int>(kChartTop + static_cast<double>(k + 1) * step);
        tops.push_back(top);
        const QString band = QString::fromLatin1(bar.band.c_str());
        const QString tip = band + "  " + edge(bar.lower) + " - " + edge(bar.upper);
        auto* label = plainLabel(band, this);
        label->setObjectName(QString("blbl%1").arg(k + 1));
        label->setGeometry(barLeft, top, barWidth, barHeight);
        label->setStyleSheet("background-color: black; color: black; border: 1px solid black;");
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(plainToolTip(tip));
        label->show();
        auto* tag = plainLabel(band, this);
        tag->setObjectName(QString("bnlb%1").arg(k + 1));
        tag->setGeometry(static_cast<int>(0.04 * w), top, static_cast<int>(0.05 * w), barHeight);
        tag->setStyleSheet(
            "background-color: rgb(255,255,0); color: black; border: 1px solid black;");
        tag->setAlignment(Qt::AlignCenter);
        tag->setToolTip(plainToolTip(tip));
        QFont font("Arial");
        font.setBold(true);
        font.setPointSizeF(8 * m_fontScale);
        tag->setFont(font);
        tag->show();
    }
    int m = 0;
    for (const rig::ChartSegment& seg : chart.segments) {
        const rig::ChartBar& bar = chart.bars[seg.bar];
        const double span = bar.upper - bar.lower;
        if (span <= 0) {
            continue;
        }
        const QString range = edge(seg.lower) + " - " + edge(seg.upper);
        auto* label = plainLabel(range, this);
        label->setObjectName(QString("priv%1").arg(++m));
        label->setGeometry(
            static_cast<int>(barLeft + barWidth * (seg.lower - bar.lower) / span), tops[seg.bar],
            std::max(1, static_cast<int>(barWidth * (seg.upper - seg.lower) / span)), barHeight);
        label->setToolTip((seg.cw ? "CW  " : "PH  ") + range);
        label->setStyleSheet(
            seg.cw ? "background-color: rgb(0,0,255); color: white; border: 1px solid black;"
                   : "background-color: rgb(0,255,0); color: black; border: 1px solid black;");
        label->setFont(QFont("ARIAL NARROW"));
        label->setAlignment(Qt::AlignCenter);
        label->show();
        label->raise();
    }
}

} // namespace wexon::ui
