// The voice keyer: which line keys the transmitter, when it drops, and the
// F1 repeat.
#include "keying/voice_keyer.h"

#include <gtest/gtest.h>

#include "keying/voice_fakes.h"

namespace wexon::keying {
namespace {

using Events = std::vector<std::string>;

class VoiceKeyerTest : public ::testing::Test {
  protected:
    test::FakeSoundPlayer player;
    test::RecordingPtt ptt;
    test::FakeVoiceTimer watch;
    test::FakeVoiceTimer repeat;
    VoiceKeyer keyer{player, ptt, watch, repeat};

    void SetUp() override {
        player.anyPath = true;
        VoiceSettings s;
        s.files[0] = "/w/cq.wav";
        s.files[1] = "/w/exch.wav";
        s.files[8] = "/w/f9.wav";
        keyer.applySettings(s);
    }
    void settings(const char* port, PttLine line, const char* repeatText = "0") {
        VoiceSettings s = keyer.settings();
        s.portText = port;
        s.pttLine = line;
        s.repeatText = repeatText;
        keyer.applySettings(s);
    }
};

TEST_F(VoiceKeyerTest, APortWithNoLineChosenKeysRtsAroundTheMessage) {
    settings("3", PttLine::None);
    keyer.fKeyPhone(112);
    // The closed port is opened first, then RTS rises before the file plays.
    EXPECT_EQ(ptt.events, (Events{"open", "RTS+"}));
    EXPECT_EQ(player.started.size(), 1u);
    keyer.watchTick();
    EXPECT_TRUE(ptt.rts) << "still playing";
    player.endQuietly();
    keyer.watchTick();
    EXPECT_EQ(ptt.events, (Events{"open", "RTS+", "RTS-"}));
    EXPECT_FALSE(watch.isActive());

    // An open port is not opened again.
    keyer.fKeyPhone(112);
    EXPECT_EQ(ptt.events.back(), "RTS+");
    EXPECT_EQ(std::count(ptt.events.begin(), ptt.events.end(), "open"), 1);
}

TEST_F(VoiceKeyerTest, DtrAndParallelKeyTheirOwnLines) {
    settings("2", PttLine::Dtr);
    ptt.open = true;
    keyer.fKeyPhone(120);
    player.finish();
    EXPECT_EQ(ptt.events, (Events{"DTR+", "DTR-"}));

    ptt.events.clear();
    settings("0", PttLine::Parallel);
    keyer.setAddressText("&H378");
    keyer.fKeyPhone(112);
    EXPECT_EQ(ptt.events, Events{"LPT888=3"});
    player.finish();
    EXPECT_EQ(ptt.events, (Events{"LPT888=3", "LPT888=2"}));

    // A port and "Parallel": both key.
    ptt.events.clear();
    settings("4", PttLine::Parallel);
    keyer.fKeyPhone(112);
    EXPECT_EQ(ptt.events, (Events{"RTS+", "LPT888=3"}));
    player.finish();
    EXPECT_FALSE(ptt.keyed());
}

TEST_F(VoiceKeyerTest, OnlyFunctionKeysOneToNinePlayAndAnEmptyBoxPlaysNothing) {
    settings("3", PttLine::Rts);
    keyer.fKeyPhone(111);
    keyer.fKeyPhone(121);
    keyer.fKeyPhone(124);
    EXPECT_TRUE(player.played.empty());
    keyer.setFile(4, "   ");
    keyer.fKeyPhone(116);
    EXPECT_TRUE(player.played.empty());
    EXPECT_TRUE(ptt.events.empty());
    EXPECT_FALSE(watch.isActive());
}

TEST_F(VoiceKeyerTest, FOneRepeatsAfterTheIntervalUntilDisarmed) {
    settings("3", PttLine::Rts, "5");
    keyer.fKeyPhone(112);
    EXPECT_TRUE(keyer.repeatArmed());
    EXPECT_FALSE(repeat.isActive()) << "no wait while the message plays";
    player.finish();
    EXPECT_FALSE(ptt.rts);
    ASSERT_TRUE(repeat.isActive());
    EXPECT_EQ(repeat.lastMs, 5000);

    keyer.repeatTick();
    EXPECT_FALSE(repeat.isActive());
    EXPECT_EQ(player.started.size(), 2u);
    EXPECT_TRUE(ptt.rts);
    player.finish();
    EXPECT_TRUE(repeat.isActive());
    EXPECT_EQ(ptt.events, (Events{"open", "RTS+", "RTS-", "RTS+", "RTS-"}));

    // A key in the main window (or "Stop") ends the loop, also while waiting.
    keyer.disarmRepeat();
    EXPECT_FALSE(keyer.repeatArmed());
    EXPECT_FALSE(repeat.isActive());
    player.finish();
    EXPECT_FALSE(repeat.isActive());
}

TEST_F(VoiceKeyerTest, OtherKeysAndAZeroIntervalDoNotRepeat) {
    settings("0", PttLine::None, "5");
    keyer.fKeyPhone(113);
    EXPECT_FALSE(keyer.repeatArmed());
    player.finish();
    EXPECT_FALSE(repeat.isActive());

    settings("0", PttLine::None, "0");
    keyer.fKeyPhone(112);
    EXPECT_FALSE(keyer.repeatArmed());
    player.finish();
    EXPECT_FALSE(repeat.isActive());

    // The interval set to 0 while armed: no wait of 0 ms, the loop ends.
    settings("0", PttLine::None, "3");
    keyer.fKeyPhone(112);
    EXPECT_TRUE(keyer.setRepeatText("0") == false);
    player.finish();
    EXPECT_FALSE(repeat.isActive());
    EXPECT_FALSE(keyer.repeatArmed());
}

TEST_F(VoiceKeyerTest, AFileThePlayerRefusesKeysNothingAtAll) {
    settings("3", PttLine::Parallel, "5");
    player.refuse = true;
    keyer.fKeyPhone(112);
    // Not even a short pulse: no line moved, the port was not even opened.
    EXPECT_EQ(ptt.events, Events{});
    EXPECT_FALSE(watch.isActive());
    EXPECT_FALSE(repeat.isActive()) << "a file that cannot play is not retried";
}

TEST_F(VoiceKeyerTest, PttRisesOnlyOnceThePlayerHasAcceptedTheFile) {
    settings("3", PttLine::Parallel);
    player.deferAccept = true;
    keyer.fKeyPhone(112);
    EXPECT_TRUE(keyer.isPlaying());
    EXPECT_TRUE(watch.isActive());
    keyer.watchTick();
    EXPECT_EQ(ptt.events, Events{}) << "still loading";
    player.accept();
    EXPECT_EQ(ptt.events, (Events{"open", "RTS+", "LPT888=3"}));
    player.finish();
    EXPECT_FALSE(ptt.keyed());

    // A damaged file fails while loading: it never keys anything.
    ptt.events.clear();
    keyer.fKeyPhone(113);
    player.failBeforeStart();
    EXPECT_EQ(ptt.events, Events{});
    EXPECT_FALSE(watch.isActive());
    EXPECT_FALSE(keyer.keyed());
}

TEST_F(VoiceKeyerTest, AParallelPortThatCannotBeWrittenPlaysNothingAndKeysNothing) {
    settings("3", PttLine::Parallel);
    ptt.parallelFails = true;
    keyer.fKeyPhone(112);
    // Stopped from the started handler, before any sound.
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(ptt.keyed());
    EXPECT_FALSE(watch.isActive());
    EXPECT_EQ(ptt.events.back(), "RTS-");

    ptt.parallelFails = false;
    ptt.events.clear();
    keyer.setAddressText("printer");
    keyer.fKeyPhone(112);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(ptt.events, (Events{"RTS+", "RTS-"}));
}

TEST_F(VoiceKeyerTest, EscStopsTheMessageAndDropsPttAtOnce) {
    settings("3", PttLine::Dtr);
    keyer.fKeyPhone(112);
    keyer.stop();
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_FALSE(ptt.dtr);
    EXPECT_FALSE(watch.isActive());
    // Nothing playing: Esc changes nothing.
    ptt.events.clear();
    keyer.stop();
    EXPECT_TRUE(ptt.events.empty());
}

TEST_F(VoiceKeyerTest, ANewKeyWhilePlayingKeepsPttUpAndStartsTheNewFile) {
    settings("3", PttLine::Rts);
    keyer.fKeyPhone(112);
    keyer.fKeyPhone(113);
    EXPECT_EQ(player.stops, 2);
    EXPECT_EQ(player.started, (Events{"/w/cq.wav", "/w/exch.wav"}));
    EXPECT_EQ(ptt.events, (Events{"open", "RTS+", "RTS+"}));
    // A key with an empty box stops the message; the watch then drops PTT.
    keyer.fKeyPhone(114);
    EXPECT_TRUE(ptt.rts);
    keyer.watchTick();
    EXPECT_FALSE(ptt.rts);
}

TEST_F(VoiceKeyerTest, TheLineThatRoseIsTheLineThatDrops) {
    settings("3", PttLine::Dtr);
    keyer.fKeyPhone(112);
    keyer.setPttLine(PttLine::Rts);
    player.finish();
    EXPECT_FALSE(ptt.dtr) << "DTR was raised and must drop";
    EXPECT_EQ(ptt.events, (Events{"open", "DTR+", "DTR-"}));

    // A new message on another line first drops the old one.
    ptt.events.clear();
    settings("3", PttLine::Dtr);
    keyer.fKeyPhone(112);
    keyer.setPttLine(PttLine::Rts);
    keyer.fKeyPhone(113);
    EXPECT_EQ(ptt.events, (Events{"DTR+", "DTR-", "RTS+"}));
    keyer.setAddressText("&H278");
    player.finish();
    EXPECT_FALSE(ptt.keyed());
}

TEST_F(VoiceKeyerTest, CloseEndsPlayingRepeatAndPtt) {
    settings("3", PttLine::Parallel, "5");
    keyer.fKeyPhone(112);
    keyer.close();
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_FALSE(keyer.repeatArmed());
    EXPECT_FALSE(repeat.isActive());
    EXPECT_FALSE(watch.isActive());
    EXPECT_FALSE(ptt.keyed());
}

TEST_F(VoiceKeyerTest, ReleasingTheSerialPortDropsItsLineFirst) {
    settings("3", PttLine::Rts);
    keyer.fKeyPhone(112);
    keyer.releaseSerial();
    EXPECT_FALSE(ptt.rts);
    ptt.events.clear();
    player.finish();
    EXPECT_TRUE(ptt.events.empty()) << "nothing left to drop";
}

TEST_F(VoiceKeyerTest, RelativeFilesAreFoundInTheWorkingFolder) {
    keyer.setWorkingFolder("/station");
    keyer.setFile(2, "hello.wav");
    keyer.fKeyPhone(114);
    keyer.fKeyPhone(112);
    EXPECT_EQ(player.started, (Events{"/station/hello.wav", "/w/cq.wav"}));
}

} // namespace
} // namespace wexon::keying
