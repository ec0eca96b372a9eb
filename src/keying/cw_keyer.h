#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "keying/cw_engine.h"
#include "keying/cw_host.h"
#include "keying/cw_settings.h"

namespace wexon::core {
class Clock;
}

namespace wexon::keying {

class CwdaemonSender;
class ElementClock;
class KeyLine;

// Message-label texts and colours (0xBBGGRR) of keyboard CW mode.
inline constexpr const char* kKeyboardModeOnText =
    "Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.";
inline constexpr const char* kKeyboardModeStillOnText =
    "Keyboard CW Mode is on.  Press F12 to exit.";
inline constexpr unsigned kKeyboardModeColour = 0xC0FFFF;
inline constexpr unsigned kNormalDialogColour = 0xC0C000;

// The CW keyer as the main window and the keying windows use it: the
// function-key messages, keyboard CW, speed and word space, Esc and
// Backspace, "!" logging, the F1 repeat and the hand-over to a WinKey. It owns
// the software keying engine and the CW settings ("cw.txt").
//
// All calls are made on the window thread. Reports of the keying thread reach
// the host through the window-thread post given to setPost.
class CwKeyer {
  public:
    // `realTime` is what the keying thread asks for; when it is refused the
    // operator is told once, on the message line, after the first message
    // the software keyer sends.
    CwKeyer(CwHost& host, ElementClock& elementClock, const core::Clock& clock,
            RealTimeRequest realTime = {});
    ~CwKeyer();
    CwKeyer(const CwKeyer&) = delete;
    CwKeyer& operator=(const CwKeyer&) = delete;

    // How reports of the keying thread get to the window thread. Without one
    // they run on the keying thread itself.
    void setPost(WindowThreadPost post);
    // Run before the software pump starts, to (re)open the key line when it is
    // closed (CWSetup).
    void setLineSetup(std::function<void()> setup) { m_lineSetup = std::move(setup); }
    // The line the engine keys; see CwEngine::setKeyLine.
    void setKeyLine(KeyLine* line) { m_engine.setKeyLine(line); }
    void setWinKey(WinKeyControl* winKey) { m_winKey = winKey; }
    // The sender that keys CWBuffer through cwdaemon (interface 6); it
    // reports to reports().
    void setCwdaemon(CwdaemonSender* sender) { m_cwdaemon = sender; }
    // Where an outside sender reports characters done, "!" and the end of
    // sending, as the keying thread does.
    CwEngineListener& reports();
    // Called whenever the repeat timer starts or stops, so a window timer can
    // follow msUntilRepeat.
    void setRepeatTimerChanged(std::function<void()> changed) {
        m_repeatChanged = std::move(changed);
    }

    // Settings.
    const CwSettings& settings() const { return m_settings; }
    void applySettings(const CwSettings& settings);
    void setMessage(int slot, std::string text);
    void setSpeedText(std::string text);
    void setSpaceText(std::string text);
    void setInterface(int interface);
    void setPortText(std::string text) { m_settings.portText = std::move(text); }
    void setAddressText(std::string text) { m_settings.addressText = std::move(text); }
    void setDisplayText(bool on) { m_settings.displayText = on; }
    // The cwdaemon host, port, PTT, PTT lead and tone of `from`.
    void setCwdaemonSettings(const CwSettings& from) {
        m_settings.cwdaemonHost = from.cwdaemonHost;
        m_settings.cwdaemonPortText = from.cwdaemonPortText;
        m_settings.cwdaemonPtt = from.cwdaemonPtt;
        m_settings.cwdaemonPttLeadText = from.cwdaemonPttLeadText;
        m_settings.cwdaemonToneText = from.cwdaemonToneText;
    }
    // Leaving the repeat box: a number from 0 up to below 60 seconds sets the
    // interval, anything else resets the text to "0".
    void setRepeatText(std::string text);
    int repeatIntervalMs() const { return m_repeatIntervalMs; }
    void setTimingMethod(TimingMethod method) { m_engine.setTimingMethod(method); }
    TimingMethod timingMethod() const { return m_engine.timingMethod(); }
    void setLoopsPer60ms(double loops) { m_engine.setLoopsPer60ms(loops); }
    double loopsPer60ms() const { return m_engine.loopsPer60ms(); }

    // The main window's hooks.
    // FKeyCW: sends the message of a function key (112..122, F10 as 124).
    void fKeyCW(int keyCode);
    // LoopThroughCWBuffer: sends what is in CWBuffer.
    void loopThroughCwBuffer();
    // Speed +1 / -1 WPM (Up and Down arrows, "Faster", "Slower"); returns the
    // new speed text.
    std::string speedUp();
    std::string speedDown();
    // Word space -1 / +1 unit ("Less", "More").
    void wordSpaceLess();
    void wordSpaceMore();
    // F12: toggles keyboard CW mode and returns the new state.
    bool toggleKeyboardMode();
    bool keyboardMode() const { return m_keyboardMode; }
    RealTimeGrant realTimeGrant() const { return m_engine.realTimeGrant(); }
    void setKeyboardMode(bool on) { m_keyboardMode = on; }
    // A character typed in keyboard CW mode.
    void keyboardCharacter(char ch);
    // Backspace in keyboard CW mode; true when it removed something.
    bool backspace();
    // Esc; true when it stopped sending (the main window then does nothing
    // else), false when the main window should clear the entry row.
    bool escape();
    // Any other key in the main window: stops the F1 repeat.
    void disarmRepeat();

    // Empties CWBuffer so sending stops after the current character (and a
    // cwdaemon tune stops).
    void clearBuffer();

    // State.
    bool isSending() const;
    bool repeatArmed() const { return m_repeatArmed; }
    CwEngine& engine() { return m_engine; }
    const CwEngine& engine() const { return m_engine; }

    // The repeat timer (tmrRepeat) on the program's clock.
    bool repeatTimerRunning() const { return m_repeatDue.has_value(); }
    // Milliseconds until the repeat is due (0 when due or not running).
    long long msUntilRepeat() const;
    // Sends F1 again when the repeat is due; true when it did.
    bool pollRepeat();
    void stopRepeatTimer();

    // Tells the operator of a keying problem on the main window's message
    // line.
    void reportProblem(const std::string& text) { m_host.showDialogText(text); }

    // The value of the message label while Check1 shows the CW text.
    static std::string dialogTextWhenIdle(bool keyboardMode);

  private:
    class Listener;
    void startRepeatTimer();
    void post(std::function<void()> work);
    void applySpeedToWinKey();
    bool winKeyBusy();

    CwHost& m_host;
    const core::Clock& m_clock;
    CwSettings m_settings;
    int m_repeatIntervalMs = 0;
    bool m_keyboardMode = false;
    bool m_repeatArmed = false;
    // The operator has been told that real time was refused.
    bool m_realTimeTold = false;
    std::optional<std::chrono::steady_clock::time_point> m_repeatDue;
    WinKeyControl* m_winKey = nullptr;
    CwdaemonSender* m_cwdaemon = nullptr;
    std::function<void()> m_lineSetup;
    std::function<void()> m_repeatChanged;
    WindowThreadPost m_post;
    std::unique_ptr<Listener> m_listener;
    // Last: destroyed first, so the keying thread stops before the rest goes.
    CwEngine m_engine;
};

} // namespace wexon::keying
