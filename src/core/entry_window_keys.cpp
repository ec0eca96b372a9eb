#include "core/entry_window_keys.h"

#include "core/text_util.h"

namespace wexon::core {

using namespace window_key;

namespace {

std::optional<WindowKeyAction> ctrlShortcut(int keyCode) {
    switch (keyCode) {
    case 'B':
        return WindowKeyAction::OpenSpectrumMap;
    case 'C':
    case 'S':
        return WindowKeyAction::ShowCwWindow;
    case 'D':
        return WindowKeyAction::ShowSpotting;
    case 'F':
        return WindowKeyAction::OpenFreqPrivileges;
    case 'G':
        return WindowKeyAction::OpenRigTune;
    case 'P':
        return WindowKeyAction::ShowVoiceKeyer;
    case 'R':
        return WindowKeyAction::ShowRigInterface;
    case 'W':
        return WindowKeyAction::ShowCwStrings;
    default:
        return std::nullopt;
    }
}

EntryEffect modeMessage(bool on, const char* text) {
    EntryEffect e{EntryEffectKind::Message, EntryBox::Call, 0, on ? text : "",
                  on ? MessageColour::LightYellow : MessageColour::Teal};
    return e;
}

void escape(const WindowKeyState& s, bool phone, WindowKeyDecision& d) {
    d.consumed = true;
    if (phone && s.voicePlaying) {
        d.action = WindowKeyAction::StopVoice;
    } else if (s.cwInterface == 5 && s.winKeyOpen && s.winKeyBusy) {
        d.action = WindowKeyAction::ClearKeyerAndCwBuffer;
    } else if (!s.cwSending) {
        d.action = WindowKeyAction::ClearRow;
    } else {
        d.action = WindowKeyAction::EmptyCwBuffer;
    }
}

} // namespace

WindowKeyDecision decideWindowKey(int keyCode, bool ctrl, const WindowKeyState& s) {
    WindowKeyDecision d;
    if (ctrl && keyCode > 0 && keyCode < 128) {
        if (auto shortcut = ctrlShortcut(toUpperAscii(static_cast<char>(keyCode)))) {
            d.action = *shortcut;
            d.consumed = true;
            d.swallowNextChar = true;
            return d;
        }
    }

    if (s.cwRepeatArmed) {
        d.stopCwRepeat = true;
        d.clearWinKeyBuffer = s.winKeyOpen;
    }
    d.stopPhoneRepeat = s.phoneRepeatArmed;

    const std::string mode = toUpper(trim(s.contestMode));
    const bool phone = mode == "PH";
    const bool fKey = keyCode >= kF1 && keyCode <= kF12;

    if (keyCode == kEscape) {
        escape(s, phone, d);
        return d;
    }
    if (phone && keyCode >= kF1 && keyCode <= kF10) {
        d.consumed = true;
        if (keyCode == kF10) {
            d.action = WindowKeyAction::Swallow;
        } else {
            d.action = WindowKeyAction::FKeyPhone;
            d.code = keyCode;
        }
        return d;
    }
    if (mode == "CW" && s.cwInterface != 0) {
        if (keyCode == kDown || keyCode == kUp) {
            d.action = keyCode == kDown ? WindowKeyAction::CwSpeedDown : WindowKeyAction::CwSpeedUp;
            d.consumed = true;
        } else if (keyCode == kF12) {
            d.action = WindowKeyAction::SetKeyboardCwMode;
            d.modeOn = !s.keyboardCwMode;
            d.message = modeMessage(d.modeOn, kKeyboardCwOnMessage);
            d.consumed = true;
        } else if (fKey) {
            d.action = WindowKeyAction::FKeyCw;
            d.code = keyCode == kF10 ? kF10Passed : keyCode;
            d.consumed = true;
        }
        return d;
    }
    if (mode == "RY" && s.digitalLinkConnected && fKey) {
        d.consumed = true;
        if (keyCode == kF12) {
            d.action = WindowKeyAction::SetKeyboardRttyMode;
            d.modeOn = !s.keyboardRttyMode;
            d.message = modeMessage(d.modeOn, kKeyboardRttyOnMessage);
        } else {
            d.action = WindowKeyAction::PassToLink;
            d.code = keyCode == kF10 ? kF10Passed : keyCode;
        }
    } else if (mode == "RY" && keyCode == kF12 && s.keyboardRttyMode) {
        // The link went down while keyboard RTTY was on: F12 still leaves the
        // mode, or nothing could ever clear its message.
        d.consumed = true;
        d.action = WindowKeyAction::SetKeyboardRttyMode;
        d.modeOn = false;
        d.message = modeMessage(false, kKeyboardRttyOnMessage);
    }
    return d;
}

KeyboardCwChar keyboardCwChar(int key, const WindowKeyState& s) {
    KeyboardCwChar c;
    if (key == kBackspace) {
        if (s.cwSending) {
            c.kind = KeyboardCwChar::Kind::RemoveLast;
        } else if (s.cwInterface == 5 && s.winKeyOpen && s.winKeyBusy) {
            c.kind = KeyboardCwChar::Kind::WinKeyBackspace;
        }
        return c;
    }
    if (key < 32 || key > 255) {
        return c; // Enter, Esc and other controls are not sent
    }
    c.kind = KeyboardCwChar::Kind::Append;
    c.ch = toUpperAscii(static_cast<char>(key));
    c.startSending = !s.cwSending;
    return c;
}

} // namespace wexon::core
