#include "ui/main/score_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/common/clickable_label.h"
#include "ui/main/main_window_labels.h"
#include "ui/common/text_conversion.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

// A value label with its caption before it in `grid`; the caption is the
// label's accessible name, so a screen reader says what the figure is.
QLabel* addFigure(QWidget* parent, QGridLayout* grid, int row, int column, const char* name,
                  const QString& caption, const QString& spoken, const QString& initial) {
    auto* captionLabel = plainLabel(caption, parent);
    captionLabel->setObjectName(QString(name) + "Caption");
    captionLabel->setAccessibleName(caption);
    auto* value = plainLabel(initial, parent);
    value->setObjectName(name);
    setLabelCaption(value, spoken);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance("000,000,000"));
    captionLabel->setBuddy(value);
    grid->addWidget(captionLabel, row, column);
    grid->addWidget(value, row, column + 1);
    return value;
}

} // namespace

ScorePanel::ScorePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("scorePanel");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    auto* grid = new QGridLayout;
    lblTotCon =
        addFigure(this, grid, 0, 0, "lblTotCon", "Total Contacts .........", "Total Contacts", "0");
    lblsectogo = addFigure(this, grid, 1, 0, "lblsectogo", "Total Multipliers ........",
                           "Total Multipliers", "0");
    lblTotSec =
        addFigure(this, grid, 2, 0, "lblTotSec", "Total QSO Points .....", "Total QSO Points", "0");
    lblTotScore = addFigure(this, grid, 3, 0, "lblTotScore", "Total Score...............",
                            "Total Score", "0");
    lblutctime = addFigure(this, grid, 0, 2, "lblutctime", "UTC:", "UTC time", "");
    lblCurTime = addFigure(this, grid, 1, 2, "lblCurTime", "Local:", "Local time", "");
    Label16 = plainLabel(QString(), this);
    Label16->setObjectName("Label16");
    setLabelCaption(Label16, "AM or PM");
    grid->addWidget(Label16, 1, 4);
    lblttrack =
        addFigure(this, grid, 2, 2, "lblttrack", "Operating time:", "Operating time", "00:00:00");
    lblAQSO20 = addFigure(this, grid, 0, 5, "lblAQSO20",
                          "Rate (last 20 min):", "QSOs per hour over the last 20 minutes", "0");
    lblAQSO60 = addFigure(this, grid, 1, 5, "lblAQSO60",
                          "QSOs last 60 min:", "QSOs in the last 60 minutes", "0");
    outer->addLayout(grid);

    lbl160 = new ClickableLabel("Prefixes Worked - 0", this);
    lbl160->setObjectName("lbl160");
    lbl160->setAccessibleName(lbl160->text());
    lbl160->setToolTip("Click to select 160");
    lbl160->setCursor(Qt::PointingHandCursor);
    connect(lbl160, &ClickableLabel::clicked, this, &ScorePanel::prefixCaptionClicked);
    outer->addWidget(lbl160);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setAccessibleName("Prefixes worked list");
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::ClickFocus);
    Text1->setMaximumHeight(Text1->fontMetrics().height() * 5);
    outer->addWidget(Text1);

    // The prefix list is rebuilt in a few milliseconds, so these stay hidden;
    // they are kept for a rebuild that would take long enough to be seen.
    Label10 = plainLabel("Counting ...", this);
    Label10->setObjectName("Label10");
    Label10->setAccessibleName("Prefix list status");
    Label10->hide();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setAccessibleName("Prefix list progress");
    ProgressBar1->hide();
    outer->addWidget(Label10);
    outer->addWidget(ProgressBar1);
}

void ScorePanel::showScore(const core::ScoreLabels& labels) {
    setLabelValue(lblTotCon, fromLatin1(labels.lblTotCon));
    setLabelValue(lblsectogo, fromLatin1(labels.lblsectogo));
    setLabelValue(lblTotSec, fromLatin1(labels.lblTotSec));
    setLabelValue(lblTotScore, fromLatin1(labels.lblTotScore));
    lbl160->setText(fromLatin1(labels.lbl160));
    lbl160->setAccessibleName(lbl160->text());
}

void ScorePanel::showPrefixList(const std::string& prefixList) {
    Text1->setPlainText(fromLatin1(prefixList));
}

void ScorePanel::showClocks(const std::string& utc, const std::string& local,
                            const std::string& amPm) {
    setLabelValue(lblutctime, fromLatin1(utc));
    setLabelValue(lblCurTime, fromLatin1(local));
    setLabelValue(Label16, fromLatin1(amPm));
}

void ScorePanel::showOperatingTime(const std::string& text) {
    setLabelValue(lblttrack, fromLatin1(text));
}

void ScorePanel::showRates(const std::optional<core::QsoRates>& rates) {
    if (!rates) {
        return;
    }
    setLabelValue(lblAQSO20, QString::number(rates->hourlyFromTwentyMin));
    setLabelValue(lblAQSO60, QString::number(rates->lastHour));
}

} // namespace wexon::ui
