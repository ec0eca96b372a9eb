#pragma once

#include <string>

namespace wexon::ui {

// The windows the main window calls into but does not build itself: the keyers,
// the spoken prompts, the spotting, rig and spectrum windows and the link to the
// RTTY program. Each is a small interface whose own methods do nothing, so a
// main window without the real window behaves as if that window were closed.
// The real windows are plugged in with the main window's setters.

// The CW window and its keyer (serial or parallel line, or WinKey).
class CwKeyerHook {
  public:
    virtual ~CwKeyerHook() = default;
    // 0 none, 1 RTS, 2 DTR, 3 parallel port, 5 WinKey.
    virtual int cwInterface() const { return 0; }
    // F1 to F11 (F10 passed as 124): send that stored message.
    virtual void fKeyCw(int /*keyCode*/) {}
    // The CW speed one step down or up; returns the new speed in WPM.
    virtual int speedDown() { return 0; }
    virtual int speedUp() { return 0; }
    // Starts sending the main window's CW buffer unless it is already sending.
    virtual void loopThroughCwBuffer() {}
    // Keyboard CW: one typed character for the keyer's buffer, and Backspace.
    virtual void keyboardCharacter(char /*ch*/) {}
    virtual void cwBackspace() {}
    // Empties the keyer's buffer, so sending stops after the current character.
    virtual void clearCwBuffer() {}
    virtual bool isSending() const { return false; }
    virtual void setKeyboardMode(bool /*on*/) {}
    // Message repetition.
    virtual bool repeatArmed() const { return false; }
    virtual void stopRepeat() {}
    // The WinKey keyer.
    virtual bool winKeyOpen() const { return false; }
    virtual bool winKeyBusy() const { return false; }
    virtual void clearWinKeyBuffer() {}
    virtual void winKeyBackspace() {}
};

// The voice keyer window.
class VoiceKeyerHook {
  public:
    virtual ~VoiceKeyerHook() = default;
    // F1 to F9 (key codes 112 to 120): play that message.
    virtual void fKeyPhone(int /*keyCode*/) {}
    virtual bool isPlaying() const { return false; }
    virtual void stop() {}
    virtual bool repeatArmed() const { return false; }
    virtual void stopRepeat() {}
};

// The voice navigation window: spoken prompts for a blind operator.
class VoicePrompterHook {
  public:
    virtual ~VoicePrompterHook() = default;
    // Plays the prompt of that name ("Call", "RstRcvd", ...).
    virtual void playPrompt(const std::string& /*name*/) {}
    // Plays "Dupe". The main window does not wait for it: the keys typed while
    // it plays are held as after any duplicate.
    virtual void playDupe() {}
    virtual bool isPlaying() const { return false; }
};

// The windows opened from the keyboard and the menus.
class ToolWindowsHook {
  public:
    virtual ~ToolWindowsHook() = default;
    virtual void showCwWindow() {}      // Ctrl+C, Ctrl+S
    virtual void showCwStrings() {}     // Ctrl+W
    virtual void showVoiceKeyer() {}    // Ctrl+P
    virtual void showSpotting() {}      // Ctrl+D
    virtual void showRigInterface() {}  // Ctrl+R
    virtual void runRigTune() {}        // Ctrl+G, modal
    virtual void runFreqPrivileges() {} // Ctrl+F, modal
    virtual void runSpectrumMap() {}    // Ctrl+B, modal
};

// The link with the external RTTY program.
class DigitalLinkHook {
  public:
    virtual ~DigitalLinkHook() = default;
    virtual bool connected() const { return false; }
    // Copies one field ("txtBUrCall", "txtBField1", "txtBField3") to the program.
    virtual void sendItem(const std::string& /*item*/, const std::string& /*value*/) {}
    // A function key (F10 passed as 124).
    virtual void passKey(int /*keyCode*/) {}
    virtual void setKeyboardMode(bool /*on*/) {}
};

} // namespace wexon::ui
