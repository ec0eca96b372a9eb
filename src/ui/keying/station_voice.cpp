#include "ui/keying/station_voice.h"

#include <QAction>
#include <QEvent>

#include "keying/deferred_sound_player.h"
#include "platform/sound_player_loader.h"
#include "ui/keying/cw_window.h"
#include "ui/station/station_tools.h"
#include "ui/common/text_conversion.h"
#include "ui/keying/voice_keyer_window.h"
#include "ui/keying/voice_navigation_window.h"
#include "ui/keying/winkey_window.h"

namespace wexon::ui {

StationVoice::StationVoice(MainWindow& window, StationTools& tools, MainWindowServices services,
                           VoicePlayers players)
    : m_window(window), m_tools(tools), m_services(std::move(services)),
      m_messagePlayer(std::move(players.messages)), m_promptPlayer(std::move(players.prompts)) {
    // The real players, and with them the audio stack, are made when the first
    // sound is played: an operator who never uses voice pays nothing for it.
    const auto realPlayer = [this] {
        return std::make_unique<keying::DeferredSoundPlayer>([this] {
            std::string why;
            auto player = platform::makeModuleSoundPlayer(&why);
            if (!player && !m_toldNoSound && m_services.prompts != nullptr) {
                m_toldNoSound = true;
                m_services.prompts->message("Voice", QString::fromStdString(why));
            }
            return player;
        });
    };
    if (!m_messagePlayer) {
        m_messagePlayer = realPlayer();
    }
    if (!m_promptPlayer) {
        m_promptPlayer = realPlayer();
    }
    const std::string working = toPath(m_services.folders.working);
    m_promptPollTimer.setObjectName("tmrPromptWait");
    m_prompts = std::make_unique<keying::PromptPlayer>(*m_promptPlayer, m_promptPoll, working);
    connect(&m_promptPollTimer, &QTimer::timeout, this, [this] { m_prompts->pollTick(); });

    VoiceKeyerServices ks;
    ks.workingFolder = working;
    ks.portMap = m_services.settings;
    ks.prompts = m_services.prompts;
    ks.player = m_messagePlayer.get();
    ks.closeCwPorts = [this] { closeCwPorts(); };
    ks.runModal = m_services.runModal;
    ks.focusMainWindow = [this] { focusMainWindow(); };
    m_keyerWindow = std::make_unique<VoiceKeyerWindow>(std::move(ks));
    m_keyerWindow->loadSettings();

    VoiceNavigationServices ns;
    ns.workingFolder = m_services.folders.working;
    ns.mode = [this] { return mode(); };
    ns.saveMode = [this](keying::NavigationMode m) { saveMode(m); };
    ns.speak = [this](const std::vector<std::string>& names) { m_prompts->playSequence(names); };
    ns.stopSpeaking = [this] { m_prompts->stop(); };
    ns.focusMainWindow = [this] { focusMainWindow(); };
    m_navigationWindow = std::make_unique<VoiceNavigationWindow>(std::move(ns));

    m_window.setVoiceKeyer(m_keyerWindow.get());
    m_window.setVoicePrompter(this);
    m_tools.setVoiceKeyerOpener([this] { showVoiceKeyer(); });
    m_tools.setVoicePortCloser([this] { m_keyerWindow->closePhonePort(); });
    connectMenus();
    // At start-up the entry row already counts the call box as focused, so
    // the focus it gets when the window first shows asks for no prompt; the
    // call box's prompt is said here instead.
    m_callBox = m_window.findChild<QWidget*>("txtCall");
    if (m_callBox != nullptr) {
        m_callBox->installEventFilter(this);
    }
}

bool StationVoice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_callBox && event->type() == QEvent::FocusIn) {
        m_callBox->removeEventFilter(this);
        if (!m_prompted) {
            playPrompt("Call");
        }
    }
    return QObject::eventFilter(watched, event);
}

StationVoice::~StationVoice() {
    if (m_callBox != nullptr) {
        m_callBox->removeEventFilter(this);
    }
    m_window.setVoiceKeyer(nullptr);
    m_window.setVoicePrompter(nullptr);
    m_tools.setVoiceKeyerOpener({});
    m_tools.setVoicePortCloser({});
    shutdown();
}

void StationVoice::connectMenus() {
    if (auto* voice = m_window.findChild<QAction*>("mnuVoice")) {
        voice->setEnabled(true);
        connect(voice, &QAction::triggered, this, [this] { runVoiceKeyer(); });
    }
    if (auto* blind = m_window.findChild<QAction*>("mnuBlind")) {
        blind->setEnabled(true);
        connect(blind, &QAction::triggered, this, [this] { showVoiceNavigation(); });
    }
}

void StationVoice::showVoiceKeyer() {
    m_keyerWindow->showNormal();
    m_keyerWindow->raise();
    m_keyerWindow->activateWindow();
}

void StationVoice::runVoiceKeyer() {
    if (m_services.runModal) {
        m_services.runModal(*m_keyerWindow);
    } else {
        m_keyerWindow->exec();
    }
}

void StationVoice::showVoiceNavigation() {
    m_navigationWindow->formLoad();
    m_navigationWindow->showNormal();
    m_navigationWindow->raise();
    m_navigationWindow->activateWindow();
}

void StationVoice::shutdown() {
    m_prompts->stop();
    m_keyerWindow->unload();
}

void StationVoice::closeCwPorts() {
    CwWindow& cw = m_tools.cwWindow();
    if (WinKeyWindow* winKey = cw.winKeyWindow(false); winKey != nullptr && winKey->keyer().isOpen()) {
        winKey->cmdCloseWinkeyClick();
    }
    if (cw.cwPortOpen()) {
        cw.closeCwPort();
    }
}

void StationVoice::focusMainWindow() {
    m_window.activateWindow();
    if (auto* call = m_window.findChild<QWidget*>("txtCall")) {
        call->setFocus();
    }
}

keying::NavigationMode StationVoice::mode() const {
    return keying::navigationModeFromByte(m_window.contest().prefs.voiceNavigation);
}

void StationVoice::saveMode(keying::NavigationMode mode) {
    const int value = static_cast<int>(mode);
    m_window.contest().prefs.voiceNavigation = static_cast<std::uint8_t>(value);
    m_window.entryRow().row().setVoiceNavigation(value);
    m_window.savePref();
}

void StationVoice::playPrompt(const std::string& name) {
    m_prompted = true;
    if (keying::promptSpoken(name, mode())) {
        m_prompts->play(name);
    }
}

void StationVoice::playDupe() {
    m_prompted = true;
    // The call box's prompt that follows a duplicate waits for the word.
    m_prompts->playWhole("Dupe");
}

bool StationVoice::isPlaying() const {
    return m_prompts->isPlaying();
}

} // namespace wexon::ui
