#include "keying/cw_keyer.h"

#include <chrono>

#include <gtest/gtest.h>

#include "keying/cw_messages.h"
#include "keying/morse_table.h"
#include "keying_fakes.h"
#include "support/fake_clock.h"

namespace wexon::keying {
namespace {

using namespace std::chrono_literals;

// A keyer on virtual element time whose keyed text is read back as
// characters by recording what leaves the buffer.
struct KeyerRig {
    test::FakeCwHost host;
    test::FakeClock clock;
    test::VirtualElementClock elementClock;
    test::ScriptedKeyLine line{elementClock};
    test::QueuedPost queue;
    CwKeyer keyer{host, elementClock, clock, false};

    KeyerRig() {
        keyer.setPost(queue.post());
        keyer.setKeyLine(&line);
        CwSettings s;
        s.interface = 1;
        s.speedText = "20";
        keyer.applySettings(s);
    }
    void settle() {
        ASSERT_TRUE(keyer.engine().waitUntilIdle(5s));
        queue.drain();
    }
    // Keyed units, at 20 WPM.
    std::string units() const { return line.units(60e6); }
};

std::string unitsOf(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += std::string(morsePattern(c));
    }
    // The recording ends with the last key-up edge.
    while (!out.empty() && out.back() == '0') {
        out.pop_back();
    }
    return out;
}

TEST(Wildcards, ReportAndSerial) {
    WildcardValues v{"", "012", "599"};
    EXPECT_EQ(substituteWildcards("TU * #", v), "TU 5NN 12");
    EXPECT_EQ(substituteWildcards("TU *#", v), "TU 5NN12");
    v.reportSent = "579";
    EXPECT_EQ(substituteWildcards("TU *#", v), "TU 57912");
    v.reportSent = "  ";
    EXPECT_EQ(substituteWildcards("*", v), "5NN");
}

TEST(Wildcards, CallAndSerialForms) {
    WildcardValues v{" K1ABC ", "001", "59"};
    EXPECT_EQ(substituteWildcards("$ $ DE W1AW", v), "K1ABC K1ABC DE W1AW");
    v.call = "";
    EXPECT_EQ(substituteWildcards("$ TU", v), " TU");
    EXPECT_EQ(substituteWildcards("$$", v), "");
    EXPECT_EQ(substituteWildcards("#", v), "1");
    v.serial = "1234";
    EXPECT_EQ(substituteWildcards("NR #", v), "NR 1234");
    v.serial = " A12 ";
    EXPECT_EQ(substituteWildcards("#", v), "A12");
}

TEST(Wildcards, KeyCodes) {
    EXPECT_EQ(messageSlotForKey(112), 0);
    EXPECT_EQ(messageSlotForKey(120), 8);
    EXPECT_EQ(messageSlotForKey(124), 9);
    EXPECT_EQ(messageSlotForKey(122), 10);
    EXPECT_FALSE(messageSlotForKey(121));
    EXPECT_FALSE(messageSlotForKey(123));
    EXPECT_FALSE(messageSlotForKey(65));
}

TEST(FunctionKeys, SendsTheFilledInMessage) {
    KeyerRig rig;
    rig.host.report = "599";
    rig.host.serial = "012";
    rig.keyer.setMessage(1, "TU *#");
    rig.keyer.fKeyCW(113);
    rig.settle();
    EXPECT_EQ(rig.units(), unitsOf("TU 5NN12"));
}

TEST(FunctionKeys, NoInterfaceSendsNothing) {
    KeyerRig rig;
    rig.keyer.setInterface(0);
    rig.keyer.setMessage(0, "CQ");
    rig.keyer.fKeyCW(112);
    rig.settle();
    EXPECT_TRUE(rig.line.edges().empty());
    EXPECT_FALSE(rig.keyer.isSending());
}

TEST(FunctionKeys, NewKeyDuringAMessageReplacesItAfterTheCurrentCharacter) {
    KeyerRig rig;
    rig.keyer.setMessage(0, "CQ TEST");
    rig.keyer.setMessage(1, "EE");
    rig.line.atEdge = 1; // C has started
    rig.line.onEdge = [&] { rig.keyer.fKeyCW(113); };
    rig.keyer.fKeyCW(112);
    rig.settle();
    EXPECT_EQ(rig.units(), unitsOf("CEE"));
}

TEST(FunctionKeys, ExclamationLogsOnlyWithACall) {
    KeyerRig rig;
    rig.keyer.setMessage(2, "TU!");
    rig.keyer.fKeyCW(114);
    rig.settle();
    EXPECT_EQ(rig.host.logged.load(), 0);
    rig.host.call = "K1ABC";
    rig.keyer.fKeyCW(114);
    rig.settle();
    EXPECT_EQ(rig.host.logged.load(), 1);
}

TEST(Repeat, IntervalOfThreeSecondsResendsUntilAKey) {
    KeyerRig rig;
    rig.keyer.setMessage(0, "E");
    rig.keyer.setRepeatText("3");
    rig.keyer.fKeyCW(112);
    EXPECT_TRUE(rig.keyer.repeatArmed());
    rig.settle();
    ASSERT_TRUE(rig.keyer.repeatTimerRunning());
    EXPECT_EQ(rig.keyer.msUntilRepeat(), 3000);
    rig.clock.advanceSeconds(2);
    EXPECT_FALSE(rig.keyer.pollRepeat());
    rig.clock.advanceSeconds(1);
    EXPECT_TRUE(rig.keyer.pollRepeat());
    rig.settle();
    EXPECT_EQ(rig.line.edges().size(), 4u); // E twice
    EXPECT_TRUE(rig.keyer.repeatTimerRunning());
    rig.keyer.disarmRepeat();
    EXPECT_FALSE(rig.keyer.repeatArmed());
    EXPECT_FALSE(rig.keyer.repeatTimerRunning());
    rig.clock.advanceSeconds(10);
    EXPECT_FALSE(rig.keyer.pollRepeat());
}

TEST(Repeat, IntervalOfZeroSendsOnce) {
    KeyerRig rig;
    rig.keyer.setMessage(0, "E");
    rig.keyer.setRepeatText("0");
    rig.keyer.fKeyCW(112);
    rig.settle();
    EXPECT_FALSE(rig.keyer.repeatArmed());
    EXPECT_FALSE(rig.keyer.repeatTimerRunning());
}

TEST(Repeat, IntervalBox) {
    KeyerRig rig;
    rig.keyer.setRepeatText("2.5");
    EXPECT_EQ(rig.keyer.repeatIntervalMs(), 2500);
    for (const char* bad : {"60", "-1", "abc", ""}) {
        rig.keyer.setRepeatText(bad);
        EXPECT_EQ(rig.keyer.repeatIntervalMs(), 0) << bad;
        EXPECT_EQ(rig.keyer.settings().repeatText, "0");
    }
}

TEST(Repeat, WithWinKeyStartsAtHandOverAndDisarmClearsTheKeyer) {
    KeyerRig rig;
    test::FakeWinKey wk;
    rig.keyer.setWinKey(&wk);
    rig.keyer.setInterface(5);
    rig.keyer.setMessage(0, "CQ");
    rig.keyer.setRepeatText("3");
    rig.keyer.fKeyCW(112);
    EXPECT_EQ(wk.calls, std::vector<std::string>{"transmit"});
    EXPECT_EQ(rig.keyer.engine().buffer(), "CQ");
    EXPECT_TRUE(rig.keyer.repeatTimerRunning());
    rig.keyer.disarmRepeat();
    EXPECT_EQ(wk.calls.back(), "clearbuf");
    EXPECT_TRUE(rig.keyer.engine().bufferEmpty());
}

TEST(KeyboardMode, TypedCharactersAreSentAsCapitals) {
    KeyerRig rig;
    EXPECT_TRUE(rig.keyer.toggleKeyboardMode());
    rig.keyer.keyboardCharacter('e');
    rig.settle();
    EXPECT_EQ(rig.units(), unitsOf("E"));
    EXPECT_FALSE(rig.keyer.toggleKeyboardMode());
}

TEST(KeyboardMode, BackspaceRemovesTheLastUnsentCharacter) {
    KeyerRig rig;
    rig.line.atEdge = 1;
    rig.line.onEdge = [&] {
        rig.keyer.keyboardCharacter('T');
        EXPECT_TRUE(rig.keyer.backspace());
    };
    rig.keyer.keyboardCharacter('E');
    rig.keyer.keyboardCharacter('E');
    rig.settle();
    EXPECT_EQ(rig.units(), unitsOf("EE"));
    EXPECT_FALSE(rig.keyer.backspace()); // nothing sending
}

TEST(KeyboardMode, DisplayShowsTheRestAndTheModeLine) {
    KeyerRig rig;
    CwSettings s = rig.keyer.settings();
    s.displayText = true;
    rig.keyer.applySettings(s);
    rig.keyer.toggleKeyboardMode();
    rig.keyer.keyboardCharacter('E');
    rig.settle();
    ASSERT_FALSE(rig.host.dialog.empty());
    EXPECT_EQ(rig.host.dialog.back(), kKeyboardModeStillOnText);
}

TEST(Escape, StopsSendingOrLetsTheRowBeCleared) {
    KeyerRig rig;
    EXPECT_FALSE(rig.keyer.escape());
    rig.keyer.setMessage(0, "TEST");
    bool consumed = false;
    rig.line.atEdge = 1;
    rig.line.onEdge = [&] { consumed = rig.keyer.escape(); };
    rig.keyer.fKeyCW(112);
    rig.settle();
    EXPECT_TRUE(consumed);
    EXPECT_EQ(rig.units(), unitsOf("T"));
}

TEST(Escape, BusyWinKeyIsCleared) {
    KeyerRig rig;
    test::FakeWinKey wk;
    wk.statusValue = 4;
    rig.keyer.setWinKey(&wk);
    rig.keyer.setInterface(5);
    rig.keyer.engine().append("ABC");
    EXPECT_TRUE(rig.keyer.escape());
    EXPECT_EQ(wk.calls, std::vector<std::string>{"clearbuf"});
    EXPECT_TRUE(rig.keyer.engine().bufferEmpty());
    EXPECT_TRUE(rig.keyer.backspace());
    EXPECT_EQ(wk.calls.back(), "backspace");
}

TEST(Speed, ArrowsStepAndWinKeyFollows) {
    KeyerRig rig;
    EXPECT_EQ(rig.keyer.speedUp(), "21");
    EXPECT_EQ(rig.keyer.speedDown(), "20");
    test::FakeWinKey wk;
    rig.keyer.setWinKey(&wk);
    rig.keyer.setInterface(5);
    rig.keyer.setSpeedText("4");
    rig.keyer.setSpeedText("100");
    EXPECT_TRUE(wk.calls.empty());
    rig.keyer.setSpeedText("5");
    rig.keyer.setSpeedText("99");
    EXPECT_EQ(wk.calls, (std::vector<std::string>{"wpm 5", "wpm 99"}));
    // The window hands an arrow's new text back: that is no second command.
    const std::string stepped = rig.keyer.speedDown();
    rig.keyer.setSpeedText(stepped);
    EXPECT_EQ(wk.calls, (std::vector<std::string>{"wpm 5", "wpm 99", "wpm 98"}));
}

// A service that never grants; the kernel stands in through a refusing call.
class RefusingService : public RealTimeService {
  public:
    int asked = 0;
    std::optional<Limits> limits(std::string& why) override {
        ++asked;
        why = "no system bus";
        return std::nullopt;
    }
    bool makeThreadRealtime(std::uint64_t, int, std::string&) override { return false; }
};

TEST(RealTime, ARefusalIsToldOnceAfterTheFirstMessage) {
    RefusingService service;
    RealTimeRequest request;
    request.service = &service;
    request.system.setFifo = [](int) { return false; };
    test::FakeCwHost host;
    test::FakeClock clock;
    test::VirtualElementClock elementClock;
    test::ScriptedKeyLine line{elementClock};
    test::QueuedPost queue;
    CwKeyer keyer{host, elementClock, clock, request};
    keyer.setPost(queue.post());
    keyer.setKeyLine(&line);
    CwSettings s;
    s.interface = 1;
    s.speedText = "40";
    s.messages[0] = "TEST";
    keyer.applySettings(s);
    for (int i = 0; i < 2; ++i) {
        keyer.fKeyCW(112);
        ASSERT_TRUE(keyer.engine().waitUntilIdle(5s));
        queue.drain();
    }
    EXPECT_EQ(service.asked, 1);
    EXPECT_EQ(keyer.realTimeGrant().way, RealTimeGrant::Way::Refused);
    ASSERT_EQ(host.dialog.size(), 1u);
    EXPECT_EQ(host.dialog[0], "CW keying runs without real-time priority (no system bus); "
                              "elements may be uneven on a busy computer.");
    // Keying went on all the same.
    EXPECT_FALSE(line.edges().empty());
    keyer.setKeyLine(nullptr);
}

TEST(RealTime, NothingIsToldWhenGrantedOrNotWanted) {
    KeyerRig rig; // real time not wanted
    rig.keyer.setMessage(0, "E");
    rig.keyer.fKeyCW(112);
    rig.settle();
    EXPECT_TRUE(rig.host.dialog.empty());
}

TEST(Speed, BadSpeedTextsNeitherCrashNorKey) {
    for (const char* text : {"0", "1000", "", "abc"}) {
        KeyerRig rig;
        rig.keyer.setSpeedText(text);
        rig.keyer.setMessage(0, "PARIS");
        rig.keyer.fKeyCW(112);
        rig.settle();
        EXPECT_TRUE(rig.line.edges().empty()) << text;
    }
    KeyerRig rig;
    rig.keyer.setSpeedText("abc");
    EXPECT_EQ(rig.keyer.speedUp(), "1");
    rig.keyer.setSpeedText("1000");
    EXPECT_EQ(rig.keyer.speedUp(), "99");
}

TEST(WordSpace, BoxRules) {
    KeyerRig rig;
    rig.keyer.setSpaceText("-100");
    EXPECT_EQ(rig.keyer.settings().spaceText, "-8");
    EXPECT_EQ(rig.keyer.engine().wordSpace(), -8);
    rig.keyer.wordSpaceLess();
    EXPECT_EQ(rig.keyer.settings().spaceText, "-8");
    rig.keyer.wordSpaceMore();
    EXPECT_EQ(rig.keyer.settings().spaceText, "-7");
    rig.keyer.setSpaceText("x");
    rig.keyer.wordSpaceMore();
    EXPECT_EQ(rig.keyer.settings().spaceText, "0");
}

} // namespace
} // namespace wexon::keying
