// The Qt Multimedia player: real WAV files through a real audio sink (a
// private PulseAudio null sink), files it must refuse, stopping, and the
// guard that ends a playback that never gets going.
#include "platform/qt_sound_player.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QTest>

#include <sys/stat.h>

#include <fstream>
#include <random>

#include "keying/voice_audio.h"
#include "support/temp_dir.h"

// The audio client library keeps allocations for the life of the process
// (its main loop and context, made by the media framework and never freed);
// they are not this program's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\nleak:libpulsecommon\nleak:libgstreamer\nleak:libgstpulseaudio\n";
}

namespace wexon::platform {
namespace {

// One sink for the whole test program, started before the first player.
test::PulseNullSink& sink() {
    static test::PulseNullSink s;
    static bool started = s.start();
    (void)started;
    return s;
}

class SoundPlayerTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    bool sinkUp = false;
    int ended = 0;

    void SetUp() override { sinkUp = sink().reason().empty(); }
    void watch(QtSoundPlayer& player) {
        player.setEndedHandler([this] { ++ended; });
    }
};

TEST_F(SoundPlayerTest, AWavPlaysIntoTheSinkAndReportsItsEnd) {
    if (!sinkUp) {
        GTEST_SKIP() << "no audio sink could be started: " << sink().reason();
    }
    test::writeToneWav(dir.file("tone.wav"), 400);
    QtSoundPlayer player;
    watch(player);
    qint64 furthest = 0;
    QObject::connect(&player.mediaPlayer(), &QMediaPlayer::positionChanged,
                     [&furthest](qint64 p) { furthest = std::max(furthest, p); });
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player.play(dir.file("tone.wav")));
    EXPECT_TRUE(player.isPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended > 0; }, 15000)) << "never ended";
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(ended, 1);
    // It played through at the sink's pace, not failed at once.
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_GT(furthest, 0);

    // And again: the player is ready for the next message.
    ASSERT_TRUE(player.play(dir.file("tone.wav")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended > 1; }, 15000));
    EXPECT_EQ(ended, 2);
}

TEST_F(SoundPlayerTest, StopEndsAtOnceWithoutReportingAnEnd) {
    test::writeToneWav(dir.file("long.wav"), 3000);
    QtSoundPlayer player;
    watch(player);
    ASSERT_TRUE(player.play(dir.file("long.wav")));
    QTest::qWait(100);
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    QTest::qWait(300);
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(SoundPlayerTest, WhatIsNotAPlainReadableFileIsRefusedAtOnce) {
    QtSoundPlayer player;
    watch(player);
    ASSERT_EQ(::mkfifo(dir.file("pipe.wav").c_str(), 0600), 0);
    dir.write("locked.wav", "RIFF");
    ::chmod(dir.file("locked.wav").c_str(), 0);
    std::vector<std::string> refused = {"", dir.file("missing.wav"), dir.path(),
                                        dir.file("pipe.wav"), "/dev/zero"};
    if (::geteuid() != 0) {
        refused.push_back(dir.file("locked.wav")); // root reads every file
    }
    for (const std::string& path : refused) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(player.play(path)) << path;
        EXPECT_FALSE(player.isPlaying()) << path;
        EXPECT_LT(clock.elapsed(), 2000) << path;
    }
    QTest::qWait(100);
    EXPECT_EQ(ended, 0);
}

TEST_F(SoundPlayerTest, ADamagedFileEndsAsAFailure) {
    std::mt19937 rng(3);
    std::string noise(4000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(rng());
    }
    dir.write("noise.wav", noise);
    dir.write("empty.wav", "");
    dir.write("header.wav", "RIFF\x24\x00\x00\x00WAVEfmt ");
    for (const char* name : {"noise.wav", "empty.wav", "header.wav"}) {
        QtSoundPlayer player;
        watch(player);
        ended = 0;
        if (player.play(dir.file(name))) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !player.isPlaying(); }, 8000)) << name;
            QTest::qWait(50);
            EXPECT_EQ(ended, 1) << name;
        } else {
            EXPECT_FALSE(player.isPlaying()) << name;
        }
    }
}

// After a damaged or empty file the same player still plays the next good
// one, through to its end, without holding up the window on the way.
TEST_F(SoundPlayerTest, AGoodFileStillPlaysAfterADamagedOneOnTheSamePlayer) {
    if (!sinkUp) {
        GTEST_SKIP() << "no audio sink could be started: " << sink().reason();
    }
    std::mt19937 rng(7);
    std::string noise(4000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(rng());
    }
    dir.write("noise.wav", noise);
    dir.write("empty.wav", "");
    test::writeToneWav(dir.file("tone.wav"), 400);
    QtSoundPlayer player;
    watch(player);
    int started = 0;
    player.setStartedHandler([&started] { ++started; });
    for (const char* bad : {"noise.wav", "empty.wav"}) {
        SCOPED_TRACE(bad);
        started = 0;
        if (player.play(dir.file(bad))) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !player.isPlaying(); }, 8000));
        }
        QTest::qWait(50);
        // A file that never plays is never accepted.
        EXPECT_EQ(started, 0);

        started = 0;
        ended = 0;
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(player.play(dir.file("tone.wav")));
        // play() hands the file over and returns; it does not wait on the player.
        EXPECT_LT(clock.elapsed(), 300);
        EXPECT_TRUE(player.isPlaying());
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended > 0; }, 15000)) << "never ended";
        EXPECT_EQ(started, 1);
        // It played at the sink's pace rather than failing at once.
        EXPECT_GE(clock.elapsed(), 300);
    }
}

TEST_F(SoundPlayerTest, APlaybackThatNeverGetsGoingEndsAsAFailure) {
    test::writeToneWav(dir.file("tone.wav"), 2000);
    QtSoundPlayer player;
    watch(player);
    // Far less time than any player needs to start.
    player.setGuardLimits(1, 1);
    if (player.play(dir.file("tone.wav"))) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !player.isPlaying(); }, 3000));
        QTest::qWait(50);
        EXPECT_EQ(ended, 1);
    }
}

} // namespace
} // namespace wexon::platform
