#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include "core/clock.h"
#include "core/settings_store.h"
#include "keying/cw_host.h"
#include "keying/cw_keyer.h"
#include "keying/element_clock.h"
#include "platform/cwdaemon_link.h"
#include "platform/key_line_parallel.h"
#include "platform/key_line_serial.h"
#include "platform/realtime_kit.h"
#include "ui/main/main_window_hooks.h"
#include "ui/common/prompts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QValidator;

namespace wexon::ui {

class CwStringsWindow;
class CwdaemonPanel;
class WinKeyWindow;

// Settings-store keys of the CW window.
inline constexpr const char* kUserCwSelectionKey = "UserCWSelection";
inline constexpr const char* kUserCwLoopOffsetKey = "UserCWLoopOffset";

// A validator that lets only the given characters into a box, typed or pasted.
QValidator* makeCharacterValidator(QObject* parent, const QString& allowed);
// A validator for message text: Latin-1 on one line, letters a-z made capitals.
QValidator* makeCapitalsValidator(QObject* parent);

// Where the CW window finds its files and the rest of the program.
struct CwWindowServices {
    std::string workingFolder;     // "cw.txt"
    std::string programDataFolder; // "WK.txt"
    std::function<std::string()> ownCall;
    // Closes the voice keyer's serial port (it may name the same port).
    std::function<void()> closeVoicePort;
    // Shows a window modally (tests replace it so nothing blocks).
    std::function<int(QDialog&)> runModal;
    // Gives the focus back to the main window after "Done".
    std::function<void()> focusMainWindow;
};

// The CW window `CWFrm` ("CW String Selections"): the function-key messages,
// the keying settings and the keyer itself. It is created at start-up and
// hidden, not destroyed, when closed. The main window reaches it as its
// CwKeyerHook; CWBuffer itself lives in keyer() (typed characters go to
// keyer().keyboardCharacter, Backspace to keyer().backspace, Esc to
// keyer().escape).
class CwWindow : public QDialog, public CwKeyerHook {
  public:
    CwWindow(keying::CwHost& host, core::SettingsStore& settings, const core::Clock& clock,
             Prompts& prompts, CwWindowServices services, QWidget* parent = nullptr);
    ~CwWindow() override;

    keying::CwKeyer& keyer() { return *m_keyer; }

    // LoadCWSettings: reads "cw.txt" into the window (start-up).
    void loadCwSettings();
    // "Done": writes "cw.txt" and the two settings keys, hides the window.
    void command1Click();
    // CWSetup: (re)opens the serial keying port.
    void cwSetup();
    // Closes the CW serial port (the voice keyer calls this before opening).
    void closeCwPort();
    bool cwPortOpen() const { return m_serialLine.isOpen(); }
    // UpDown1: speed +1 / -1; returns the new speed text.
    QString upDown1UpClick();
    QString upDown1DownClick();
    // "&Test": sends F9.
    void command4Click();
    // "Configure Winkey".
    void cmdConfWinkeyClick();
    // "Send Code Practice".
    void command7Click();
    // CalibrateLoop.
    void calibrateLoop();

    WinKeyWindow* winKeyWindow(bool create);
    CwStringsWindow* stringsWindow();

    // CwKeyerHook: the main window's calls.
    int cwInterface() const override;
    void fKeyCw(int keyCode) override;
    int speedDown() override;
    int speedUp() override;
    void loopThroughCwBuffer() override;
    void keyboardCharacter(char ch) override;
    void cwBackspace() override;
    void clearCwBuffer() override;
    bool isSending() const override;
    void setKeyboardMode(bool on) override;
    bool repeatArmed() const override;
    void stopRepeat() override;
    bool winKeyOpen() const override;
    bool winKeyBusy() const override;
    void clearWinKeyBuffer() override;
    void winKeyBackspace() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void showSettings();
    void interfaceChosen(int interface);
    void selectInterfaceOption(int interface);
    void timingChosen();
    void leaveBox(QLineEdit* box);
    void attachKeyLine();
    void followRepeatTimer();
    void keyerSpeedChanged();
    // Aims the cwdaemon link at the panel's host and port and sets cwdaemon
    // up; a target that cannot be used is told on the message line.
    void aimCwdaemon();
    void applyCwdaemonOptions();
    void cwdaemonTune();

    keying::CwHost& m_host;
    core::SettingsStore& m_settings;
    Prompts& m_prompts;
    CwWindowServices m_services;
    keying::MonotonicElementClock m_elementClock;
    // Asked for real-time priority by the keying thread when the kernel
    // refuses it directly; outlives the keyer.
    platform::RealtimeKitService m_realTimeService;
    platform::SerialKeyLine m_serialLine;
    platform::ParallelKeyLine m_parallelLine;
    std::unique_ptr<keying::CwKeyer> m_keyer;
    // After the keyer: it keys the keyer's buffer and reports to it.
    std::unique_ptr<platform::CwdaemonLink> m_cwdaemonLink;
    WinKeyWindow* m_winKeyWindow = nullptr;
    // A sibling under the main window (or top-level), so not deleted with
    // this window; it uses the keyer, so this window deletes it.
    QPointer<CwStringsWindow> m_stringsWindow;
    QTimer m_repeatTimer; // tmrRepeat
    bool m_loading = false;

    QLineEdit* m_messageBoxes[keying::CwSettings::kMessageCount] = {}; // Text1..9, 12, 13
    QLineEdit* m_portBox = nullptr;                                    // Text10
    QLineEdit* m_speedBox = nullptr;                                   // Text11
    QLineEdit* m_addressBox = nullptr;                                 // Text14
    QLineEdit* txtSpace = nullptr;
    QLineEdit* txtLoop = nullptr;
    QLineEdit* txtCWLoop = nullptr;
    QLabel* m_loopLabel = nullptr;
    QLabel* m_sendingLabel = nullptr;
    QCheckBox* m_displayCheck = nullptr; // Check1
    QRadioButton* optTimer = nullptr;
    QRadioButton* optLoop = nullptr;
    QRadioButton* OptSleep = nullptr;
    QRadioButton* m_rtsOption = nullptr;      // Option1
    QRadioButton* m_dtrOption = nullptr;      // Option2
    QRadioButton* m_printerOption = nullptr;  // Option3
    QRadioButton* m_noneOption = nullptr;     // Option4
    QRadioButton* m_winKeyOption = nullptr;   // Option5
    QRadioButton* m_cwdaemonOption = nullptr; // Option6
    CwdaemonPanel* m_cwdaemonPanel = nullptr;
    QPushButton* cmdConfWinkey = nullptr;
    QPushButton* cmdLoopFaster = nullptr;
    QPushButton* cmdLoopSlower = nullptr;
    QPushButton* m_doneButton = nullptr; // Command1
};

} // namespace wexon::ui
