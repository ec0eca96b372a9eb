#pragma once

#include <optional>
#include <string>

#include <QWidget>

#include "core/qso_rates.h"
#include "core/score.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace wexon::ui {

class ClickableLabel;

// The main window's panel of figures: the score labels, the prefixes worked,
// the UTC and local clocks, the operating time and the two QSO rates. It shows
// what it is given and decides nothing.
class ScorePanel : public QWidget {
    Q_OBJECT
  public:
    explicit ScorePanel(QWidget* parent = nullptr);

    void showScore(const core::ScoreLabels& labels);
    // The prefixes worked, each followed by a blank.
    void showPrefixList(const std::string& prefixList);
    void showClocks(const std::string& utc, const std::string& local, const std::string& amPm);
    void showOperatingTime(const std::string& text);
    // Nothing leaves the rates as they were (a record whose time cannot be read).
    void showRates(const std::optional<core::QsoRates>& rates);

  signals:
    // The "Prefixes Worked" caption was clicked.
    void prefixCaptionClicked();

  private:
    QLabel* lblTotCon = nullptr;
    QLabel* lblsectogo = nullptr;
    QLabel* lblTotSec = nullptr;
    QLabel* lblTotScore = nullptr;
    ClickableLabel* lbl160 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLabel* Label10 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* lblutctime = nullptr;
    QLabel* lblCurTime = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* lblttrack = nullptr;
    QLabel* lblAQSO20 = nullptr;
    QLabel* lblAQSO60 = nullptr;
};

} // namespace wexon::ui
