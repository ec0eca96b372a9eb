#pragma once

#include <optional>
#include <string>

#include "core/entry_effects.h"

namespace wexon::core {

// Key codes of the keys the main window looks at before its boxes do.
namespace window_key {
inline constexpr int kBackspace = 8;
inline constexpr int kEscape = 27;
inline constexpr int kUp = 38;
inline constexpr int kDown = 40;
inline constexpr int kF1 = 112;
inline constexpr int kF9 = 120;
inline constexpr int kF10 = 121;
inline constexpr int kF11 = 122;
inline constexpr int kF12 = 123;
// F10 travels to the keyers and the digital link under this code.
inline constexpr int kF10Passed = 124;
} // namespace window_key

// What the main window knows when a key goes down.
struct WindowKeyState {
    std::string contestMode = "CW"; // "PH", "CW" or "RY"
    int cwInterface = 0;            // 0 none, 1 RTS, 2 DTR, 3 parallel port, 5 WinKey
    bool digitalLinkConnected = false;
    bool cwRepeatArmed = false;
    bool phoneRepeatArmed = false;
    bool winKeyOpen = false;
    bool winKeyBusy = false; // the keyer's status is above 0
    bool voicePlaying = false;
    bool cwSending = false;
    bool keyboardCwMode = false;
    bool keyboardRttyMode = false;
};

enum class WindowKeyAction {
    None,               // the key goes on to the focused control
    OpenSpectrumMap,    // Ctrl+B, modal
    ShowCwWindow,       // Ctrl+C, Ctrl+S, restored
    ShowSpotting,       // Ctrl+D, restored
    OpenFreqPrivileges, // Ctrl+F, modal
    OpenRigTune,        // Ctrl+G, modal
    ShowVoiceKeyer,     // Ctrl+P, restored
    ShowRigInterface,   // Ctrl+R
    ShowCwStrings,      // Ctrl+W, restored
    Swallow,            // the key does nothing (F10 in a phone contest)
    FKeyPhone,          // the voice keyer sends message `code`
    FKeyCw,             // the CW window sends message `code`
    CwSpeedDown,
    CwSpeedUp,
    PassToLink,        // the digital link gets `code`
    SetKeyboardCwMode, // keyboard CW mode becomes `modeOn`
    SetKeyboardRttyMode,
    StopVoice,             // Esc: stop the voice message, nothing else
    ClearKeyerAndCwBuffer, // Esc: clear the WinKey buffer and the CW buffer
    EmptyCwBuffer,         // Esc while CW is sent: the CW stops, the row stays
    ClearRow,              // Esc: clear the entry row ("&Clear")
};

// The main window's decision on a key that went down.
struct WindowKeyDecision {
    // Message repetition stops first: the CW repeat (WinKey buffer cleared
    // when `clearWinKeyBuffer`, CW buffer emptied, repeat timer stopped) and
    // the voice repeat (timer stopped).
    bool stopCwRepeat = false;
    bool clearWinKeyBuffer = false;
    bool stopPhoneRepeat = false;

    WindowKeyAction action = WindowKeyAction::None;
    int code = 0;        // the F-key code for FKeyPhone, FKeyCw and PassToLink
    bool modeOn = false; // for the keyboard mode toggles
    // The key is taken here and must not reach the boxes.
    bool consumed = false;
    // A Ctrl shortcut: the character event that follows is swallowed.
    bool swallowNextChar = false;
    // The message line after a keyboard mode toggle.
    std::optional<EntryEffect> message;
};

// Decides a key (its code as above, or a capital letter for Ctrl shortcuts).
WindowKeyDecision decideWindowKey(int keyCode, bool ctrl, const WindowKeyState& state);

// A character typed while keyboard CW mode is on: it never reaches the boxes.
struct KeyboardCwChar {
    enum class Kind { Append, RemoveLast, WinKeyBackspace, Drop } kind = Kind::Drop;
    char ch = 0;               // for Append: the capital to add to the CW buffer
    bool startSending = false; // for Append: start the sending loop
};
KeyboardCwChar keyboardCwChar(int key, const WindowKeyState& state);

inline constexpr const char* kKeyboardCwOnMessage =
    "Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.";
inline constexpr const char* kKeyboardRttyOnMessage =
    "Keyboard RTTY mode.  Press F12 to exit keyboard RTTY.";

} // namespace wexon::core
