#include <gtest/gtest.h>

#include "core/entry_window_keys.h"

using namespace wexon::core;
namespace wk = wexon::core::window_key;

namespace {
WindowKeyState cwWithKeyer() {
    WindowKeyState s;
    s.contestMode = "CW";
    s.cwInterface = 1;
    return s;
}
} // namespace

TEST(WindowKeys, CtrlShortcutsOpenWindowsAndSwallowTheCharacter) {
    struct Case {
        int key;
        WindowKeyAction action;
    } cases[] = {
        {'B', WindowKeyAction::OpenSpectrumMap},    {'C', WindowKeyAction::ShowCwWindow},
        {'S', WindowKeyAction::ShowCwWindow},       {'d', WindowKeyAction::ShowSpotting},
        {'F', WindowKeyAction::OpenFreqPrivileges}, {'G', WindowKeyAction::OpenRigTune},
        {'P', WindowKeyAction::ShowVoiceKeyer},     {'R', WindowKeyAction::ShowRigInterface},
        {'W', WindowKeyAction::ShowCwStrings},
    };
    WindowKeyState s = cwWithKeyer();
    s.cwRepeatArmed = true;
    for (const auto& c : cases) {
        WindowKeyDecision d = decideWindowKey(c.key, true, s);
        EXPECT_EQ(d.action, c.action) << char(c.key);
        EXPECT_TRUE(d.swallowNextChar);
        EXPECT_TRUE(d.consumed);
        EXPECT_FALSE(d.stopCwRepeat); // a shortcut leaves a repeating message alone
    }
    // A code beyond the letters never wraps onto one.
    EXPECT_EQ(decideWindowKey(0x100 + 'B', true, s).action, WindowKeyAction::None);
    WindowKeyDecision other = decideWindowKey('X', true, s);
    EXPECT_EQ(other.action, WindowKeyAction::None);
    EXPECT_FALSE(other.swallowNextChar);
    EXPECT_TRUE(other.stopCwRepeat);
}

TEST(WindowKeys, AnyOtherKeyStopsMessageRepetition) {
    WindowKeyState s = cwWithKeyer();
    s.cwRepeatArmed = true;
    s.phoneRepeatArmed = true;
    s.winKeyOpen = true;
    WindowKeyDecision d = decideWindowKey('A', false, s);
    EXPECT_TRUE(d.stopCwRepeat);
    EXPECT_TRUE(d.clearWinKeyBuffer);
    EXPECT_TRUE(d.stopPhoneRepeat);
    EXPECT_FALSE(d.consumed); // the letter still reaches the box
    s.winKeyOpen = false;
    EXPECT_FALSE(decideWindowKey('A', false, s).clearWinKeyBuffer);
}

TEST(WindowKeys, PhoneFunctionKeys) {
    WindowKeyState s;
    s.contestMode = "PH";
    for (int k = wk::kF1; k <= wk::kF9; ++k) {
        WindowKeyDecision d = decideWindowKey(k, false, s);
        EXPECT_EQ(d.action, WindowKeyAction::FKeyPhone);
        EXPECT_EQ(d.code, k);
    }
    EXPECT_EQ(decideWindowKey(wk::kF10, false, s).action, WindowKeyAction::Swallow);
    EXPECT_TRUE(decideWindowKey(wk::kF10, false, s).consumed);
    EXPECT_FALSE(decideWindowKey(wk::kF12, false, s).consumed);
    EXPECT_EQ(decideWindowKey(wk::kUp, false, s).action, WindowKeyAction::None);
}

TEST(WindowKeys, CwFunctionKeysNeedAKeyingMethod) {
    WindowKeyState s = cwWithKeyer();
    EXPECT_EQ(decideWindowKey(wk::kF1, false, s).code, 112);
    EXPECT_EQ(decideWindowKey(wk::kF11, false, s).code, 122);
    WindowKeyDecision f10 = decideWindowKey(wk::kF10, false, s);
    EXPECT_EQ(f10.action, WindowKeyAction::FKeyCw);
    EXPECT_EQ(f10.code, 124);
    EXPECT_EQ(decideWindowKey(wk::kDown, false, s).action, WindowKeyAction::CwSpeedDown);
    EXPECT_EQ(decideWindowKey(wk::kUp, false, s).action, WindowKeyAction::CwSpeedUp);
    s.cwInterface = 0;
    EXPECT_EQ(decideWindowKey(wk::kF1, false, s).action, WindowKeyAction::None);
    EXPECT_EQ(decideWindowKey(wk::kUp, false, s).action, WindowKeyAction::None);
}

TEST(WindowKeys, F12TogglesKeyboardModes) {
    WindowKeyState s = cwWithKeyer();
    WindowKeyDecision on = decideWindowKey(wk::kF12, false, s);
    EXPECT_EQ(on.action, WindowKeyAction::SetKeyboardCwMode);
    EXPECT_TRUE(on.modeOn);
    ASSERT_TRUE(on.message);
    EXPECT_EQ(on.message->text, "Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.");
    EXPECT_EQ(on.message->colour, MessageColour::LightYellow);
    s.keyboardCwMode = true;
    WindowKeyDecision off = decideWindowKey(wk::kF12, false, s);
    EXPECT_FALSE(off.modeOn);
    EXPECT_EQ(off.message->text, "");
    EXPECT_EQ(off.message->colour, MessageColour::Teal);

    WindowKeyState ry;
    ry.contestMode = "RY";
    EXPECT_EQ(decideWindowKey(wk::kF12, false, ry).action, WindowKeyAction::None);
    ry.digitalLinkConnected = true;
    WindowKeyDecision rtty = decideWindowKey(wk::kF12, false, ry);
    EXPECT_EQ(rtty.action, WindowKeyAction::SetKeyboardRttyMode);
    EXPECT_EQ(rtty.message->text, "Keyboard RTTY mode.  Press F12 to exit keyboard RTTY.");
    WindowKeyDecision f10 = decideWindowKey(wk::kF10, false, ry);
    EXPECT_EQ(f10.action, WindowKeyAction::PassToLink);
    EXPECT_EQ(f10.code, 124);

    // A link lost while keyboard RTTY is on: F12 still turns the mode off, and
    // only off.
    ry.digitalLinkConnected = false;
    ry.keyboardRttyMode = true;
    WindowKeyDecision leave = decideWindowKey(wk::kF12, false, ry);
    EXPECT_EQ(leave.action, WindowKeyAction::SetKeyboardRttyMode);
    EXPECT_FALSE(leave.modeOn);
    EXPECT_EQ(leave.message->colour, MessageColour::Teal);
    ry.keyboardRttyMode = false;
    EXPECT_EQ(decideWindowKey(wk::kF12, false, ry).action, WindowKeyAction::None);
}

TEST(WindowKeys, EscapeStopsWhatIsSendingBeforeItClearsTheRow) {
    WindowKeyState s = cwWithKeyer();
    EXPECT_EQ(decideWindowKey(wk::kEscape, false, s).action, WindowKeyAction::ClearRow);
    s.cwSending = true;
    EXPECT_EQ(decideWindowKey(wk::kEscape, false, s).action, WindowKeyAction::EmptyCwBuffer);
    s.cwInterface = 5;
    s.winKeyOpen = true;
    s.winKeyBusy = true;
    EXPECT_EQ(decideWindowKey(wk::kEscape, false, s).action,
              WindowKeyAction::ClearKeyerAndCwBuffer);

    WindowKeyState ph;
    ph.contestMode = "PH";
    ph.voicePlaying = true;
    EXPECT_EQ(decideWindowKey(wk::kEscape, false, ph).action, WindowKeyAction::StopVoice);
    ph.voicePlaying = false;
    EXPECT_EQ(decideWindowKey(wk::kEscape, false, ph).action, WindowKeyAction::ClearRow);
}

TEST(WindowKeys, KeyboardCwCharacters) {
    WindowKeyState s = cwWithKeyer();
    KeyboardCwChar c = keyboardCwChar('q', s);
    EXPECT_EQ(c.kind, KeyboardCwChar::Kind::Append);
    EXPECT_EQ(c.ch, 'Q');
    EXPECT_TRUE(c.startSending);
    s.cwSending = true;
    EXPECT_FALSE(keyboardCwChar('q', s).startSending);
    EXPECT_EQ(keyboardCwChar(wk::kBackspace, s).kind, KeyboardCwChar::Kind::RemoveLast);
    s.cwSending = false;
    EXPECT_EQ(keyboardCwChar(wk::kBackspace, s).kind, KeyboardCwChar::Kind::Drop);
    s.cwInterface = 5;
    s.winKeyOpen = true;
    s.winKeyBusy = true;
    EXPECT_EQ(keyboardCwChar(wk::kBackspace, s).kind, KeyboardCwChar::Kind::WinKeyBackspace);
    EXPECT_EQ(keyboardCwChar(13, s).kind, KeyboardCwChar::Kind::Drop);
}
