#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace wexon::ui {

class RigControlWindow;

// The test window `frmFrequencyTest`: send a typed command to the rig (as text
// or as hex pairs), or a frequency through ChangeFrequency.
class RigFrequencyTestDialog : public QDialog {
  public:
    explicit RigFrequencyTestDialog(RigControlWindow& rig, QWidget* parent = nullptr);

    void command1Click(); // send the typed command
    void command2Click(); // tune to the typed frequency

  private:
    RigControlWindow& m_rig;
    QLineEdit* Text1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};

} // namespace wexon::ui
