#pragma once

#include <array>

#include <QDialog>

#include "ui/rig/rig_host.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace wexon::ui {

// The tune and scan window `frmRigTune`: type a frequency and go, step it, jump
// to a band, pick a mode, or scan a range. Every action goes through the rig
// window. Made for one opening.
class RigTuneDialog : public QDialog {
  public:
    explicit RigTuneDialog(RigTuner& tuner, QWidget* parent = nullptr);

    void command1Click();             // &Go
    void cmdTuneClick(int index);     // the ten step buttons
    void cmdBandClick(int index);     // the sixteen band buttons
    void modeClick(const char* mode); // &CW, &LSB, ...
    void chkScanClick();
    void timer1Timer(); // the scan clock

    static constexpr int kScanIntervalMs = 299;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    float scanStep() const;

    RigTuner& m_tuner;
    QLineEdit* txtFreq = nullptr;
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdDone = nullptr;
    std::array<QPushButton*, 10> cmdTune{};
    std::array<QPushButton*, 16> cmdBand{};
    QCheckBox* chkScan = nullptr;
    std::array<QRadioButton*, 5> m_stepOptions{}; // Option1 .. Option5
    QTimer* Timer1 = nullptr;
};

inline constexpr const char* kRigTuneCaption = " Change Frequency and Mode (Ctrl G (Go))";

} // namespace wexon::ui
