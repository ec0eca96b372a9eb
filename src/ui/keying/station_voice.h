#pragma once

#include <memory>
#include <string>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "keying/sound_player.h"
#include "keying/voice_navigation.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_hooks.h"
#include "ui/keying/voice_qt_timer.h"

namespace wexon::ui {

class StationTools;
class VoiceKeyerWindow;
class VoiceNavigationWindow;

// The two players of the voice parts; a missing one is made from the audio
// module at the first sound it plays. Tests hand in their own.
struct VoicePlayers {
    std::unique_ptr<keying::SoundPlayer> messages; // the voice keyer's
    std::unique_ptr<keying::SoundPlayer> prompts;  // voice navigation's
};

// The voice parts of the station around the main window: the voice keyer
// window with its keyer, and voice navigation with its spoken prompts. It
// plugs them into the main window's keys (F1-F9 and Esc in a phone contest,
// Ctrl+P), its menu items ("&Voice", "&Voice Navigation") and its focus and
// duplicate prompts, and shares the PTT port with the CW window. Made once,
// after StationTools; reads "wave2.txt" as it is made.
class StationVoice : public QObject, public VoicePrompterHook {
  public:
    StationVoice(MainWindow& window, StationTools& tools, MainWindowServices services,
                 VoicePlayers players = {});
    ~StationVoice() override;

    VoiceKeyerWindow& keyerWindow() { return *m_keyerWindow; }
    VoiceNavigationWindow& navigationWindow() { return *m_navigationWindow; }

    // Ctrl+P: the voice keyer window, restored, beside the main window.
    void showVoiceKeyer();
    // "&Voice": the voice keyer window, modally.
    void runVoiceKeyer();
    // "&Voice Navigation": the settings window, without blocking.
    void showVoiceNavigation();
    // Program end: nothing plays or stays keyed, the ports are closed.
    void shutdown();

    // VoicePrompterHook: prompts by the navigation mode; "Dupe" in any mode.
    void playPrompt(const std::string& name) override;
    void playDupe() override;
    bool isPlaying() const override;

  protected:
    // The call box's first focus: its prompt at start-up.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectMenus();
    void closeCwPorts();
    void focusMainWindow();
    void saveMode(keying::NavigationMode mode);
    keying::NavigationMode mode() const;

    MainWindow& m_window;
    StationTools& m_tools;
    MainWindowServices m_services;
    std::unique_ptr<keying::SoundPlayer> m_messagePlayer;
    std::unique_ptr<keying::SoundPlayer> m_promptPlayer;
    bool m_toldNoSound = false; // the operator was told the audio module is missing
    QTimer m_promptPollTimer;
    QtVoiceTimer m_promptPoll{m_promptPollTimer};
    std::unique_ptr<keying::PromptPlayer> m_prompts;
    std::unique_ptr<VoiceKeyerWindow> m_keyerWindow;
    std::unique_ptr<VoiceNavigationWindow> m_navigationWindow;
    QPointer<QWidget> m_callBox;
    // A prompt was asked for; the start-up prompt is then not needed.
    bool m_prompted = false;
};

} // namespace wexon::ui
