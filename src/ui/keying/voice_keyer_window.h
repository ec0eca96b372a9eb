#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QDialog>
#include <QTimer>

#include "core/settings_store.h"
#include "keying/sound_player.h"
#include "keying/voice_keyer.h"
#include "platform/parallel_port.h"
#include "platform/serial_port.h"
#include "ui/main/main_window_hooks.h"
#include "ui/common/prompts.h"
#include "ui/keying/voice_qt_timer.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wexon::ui {

// Where the voice keyer window finds its files and the rest of the program.
struct VoiceKeyerServices {
    std::string workingFolder; // "wave2.txt", relative WAV paths, Browse's folder
    // The port map ("Ports/COMn", "Ports/LPT...").
    const core::SettingsStore* portMap = nullptr;
    Prompts* prompts = nullptr;
    // Plays the messages; owned by whoever made the window.
    keying::SoundPlayer* player = nullptr;
    // Closes the WinKey keyer and the CW window's serial port, which may name
    // the same port (run before the PTT port opens).
    std::function<void()> closeCwPorts;
    // Shows a window modally (tests replace it so nothing blocks).
    std::function<int(QDialog&)> runModal;
    // Gives the focus back to the main window after "Done".
    std::function<void()> focusMainWindow;
};

// The voice keyer window `PhoneFrm` ("Phone Wave Selections"): a WAV file for
// each of F1..F9, the PTT port and line, the repeat interval, and the keyer
// that plays them (FKeyPhone). It is made at start-up and hidden, not
// destroyed, when closed; the main window reaches it as its VoiceKeyerHook.
class VoiceKeyerWindow : public QDialog, public VoiceKeyerHook {
  public:
    explicit VoiceKeyerWindow(VoiceKeyerServices services, QWidget* parent = nullptr);
    ~VoiceKeyerWindow() override;

    keying::VoiceKeyer& keyer() { return *m_keyer; }

    // Reads "wave2.txt" into the window (start-up). A missing or damaged file
    // keeps the defaults for whatever it lacks, without a message.
    void loadSettings();
    // "Done": hides the window and writes "wave2.txt".
    void command1Click();
    // "Test": plays F1 (which repeats when an interval is set).
    void command11Click();
    // "Stop": no more repeats.
    void command12Click();
    // "Browse" for F1..F9 (index 0..8).
    void browse(int index);
    // OpenPhonePort: (re)opens the PTT serial port, with a message on failure.
    void openPhonePort();
    // Closes the PTT serial port (the CW window takes it), its line dropped first.
    void closePhonePort();
    bool phonePortOpen() const { return m_serial.isOpen(); }
    // Program end: stops playing and any repeat, drops PTT, closes the ports.
    void unload();

    // VoiceKeyerHook: the main window's calls.
    void fKeyPhone(int keyCode) override;
    bool isPlaying() const override;
    void stop() override;
    bool repeatArmed() const override;
    void stopRepeat() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class Outputs;
    void buildControls();
    void showSettings();
    void leaveBox(QLineEdit* box);
    void lineChosen();
    bool writeParallel(unsigned address, unsigned char value);

    VoiceKeyerServices m_services;
    platform::SerialPort m_serial;
    platform::ParallelPort m_parallel;
    unsigned m_parallelAddress = 0;
    // Children of the window, so they can be found by name.
    QTimer m_watchTimer;  // Timer1
    QTimer m_repeatTimer; // tmrRepeat
    QtVoiceTimer m_watch{m_watchTimer};
    QtVoiceTimer m_repeat{m_repeatTimer};
    std::unique_ptr<Outputs> m_outputs;
    std::unique_ptr<keying::VoiceKeyer> m_keyer;
    bool m_loading = false;

    QLineEdit* m_fileBoxes[keying::VoiceSettings::kMessageCount] = {}; // Text1..Text9
    QPushButton* m_browseButtons[keying::VoiceSettings::kMessageCount] = {}; // Command2..10
    QLineEdit* m_portBox = nullptr;          // Text10
    QLineEdit* m_addressBox = nullptr;       // Text11
    QLineEdit* txtPHLoop = nullptr;
    QRadioButton* m_rtsOption = nullptr;     // Option1
    QRadioButton* m_dtrOption = nullptr;     // Option2
    QRadioButton* m_parallelOption = nullptr; // Option3
    QPushButton* m_testButton = nullptr;     // Command11
    QPushButton* m_stopButton = nullptr;     // Command12
    QPushButton* m_doneButton = nullptr;     // Command1
};

} // namespace wexon::ui
