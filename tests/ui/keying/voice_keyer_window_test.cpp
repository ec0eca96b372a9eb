// The voice keyer window: "wave2.txt", the boxes and their rules, the PTT
// port with its message, the repeat on the window's timers, and PTT edges on
// a pseudo-terminal seen through the modem-line shim.
#include "ui/keying/voice_keyer_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QElapsedTimer>
#include <QMediaPlayer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/settings_store.h"
#include "keying/voice_audio.h"
#include "keying/voice_fakes.h"
#include "platform/qt_sound_player.h"
#include "support/fake_prompts.h"
#include "support/rts_shim_loader.h"
#include "support/temp_dir.h"

// The audio client library keeps allocations for the life of the process
// (its main loop and context, made by the media framework and never freed);
// they are not this program's leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\nleak:libpulsecommon\nleak:libgstreamer\nleak:libgstpulseaudio\n";
}

using namespace wexon;

namespace {

const char* kWave = "\"cq.wav\"\r\n\"exch.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                    "\"/no/such/f9.wav\"\r\n\"3\"\r\n1\r\n\"5\"\r\n\"&H278\"\r\n";

struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty() {
        char name[256];
        EXPECT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
    }
    ~Pty() {
        ::close(master);
        ::close(slave);
    }
};

std::int64_t monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A fake player that notes when it started and ended on the monotonic clock.
class TimedPlayer : public test::FakeSoundPlayer {
  public:
    std::int64_t startedNs = 0;
    std::int64_t endedNs = 0;
    // The sound starts once the player has accepted the file, after the
    // started handler: here as play() returns.
    bool play(const std::string& path) override {
        const bool ok = FakeSoundPlayer::play(path);
        startedNs = monotonicNs();
        return ok;
    }
    void finishNow() {
        endedNs = monotonicNs();
        finish();
    }
};

class VoiceKeyerWindowTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::FakePrompts prompts;
    core::MemorySettingsStore settings;
    TimedPlayer player;
    int modalShown = 0;
    int cwPortsClosed = 0;
    std::unique_ptr<ui::VoiceKeyerWindow> window;

    ui::VoiceKeyerWindow& make(keying::SoundPlayer* with = nullptr) {
        ui::VoiceKeyerServices s;
        s.workingFolder = dir.path();
        s.portMap = &settings;
        s.prompts = &prompts;
        s.player = with != nullptr ? with : &player;
        s.closeCwPorts = [this] { ++cwPortsClosed; };
        s.runModal = [this](QDialog&) {
            ++modalShown;
            return 0;
        };
        window = std::make_unique<ui::VoiceKeyerWindow>(std::move(s));
        window->loadSettings();
        return *window;
    }
    template <typename T> T* child(const char* name) { return window->findChild<T*>(name); }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    // Types into a box and leaves it, as the operator does.
    void typeAndLeave(const char* name, const QString& text) {
        if (!window->isActiveWindow()) {
            window->show();
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
        QLineEdit* b = box(name);
        b->setFocus();
        b->selectAll();
        QTest::keyClicks(b, text);
        child<QPushButton>("Command1")->setFocus();
    }
};

TEST_F(VoiceKeyerWindowTest, ReadsWave2IntoTheBoxesAndDoneWritesItBackByteForByte) {
    dir.write("wave2.txt", kWave);
    auto& w = make();
    EXPECT_EQ(w.objectName(), "PhoneFrm");
    EXPECT_EQ(w.windowTitle(), "Phone Wave Selections");
    EXPECT_EQ(box("Text1")->text(), "cq.wav");
    EXPECT_EQ(box("Text9")->text(), "/no/such/f9.wav");
    EXPECT_EQ(box("Text10")->text(), "3");
    EXPECT_TRUE(child<QRadioButton>("Option2")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("Option1")->isChecked());
    EXPECT_EQ(box("txtPHLoop")->text(), "5");
    EXPECT_EQ(box("Text11")->text(), "&H278");
    EXPECT_EQ(w.keyer().repeatIntervalMs(), 5000);
    for (int i = 2; i <= 10; ++i) {
        EXPECT_NE(child<QPushButton>(qPrintable(QString("Command%1").arg(i))), nullptr) << i;
    }
    EXPECT_FALSE(child<QPushButton>("Command12")->isVisible());

    dir.write("wave2.txt", "changed");
    w.show();
    w.command1Click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(dir.read("wave2.txt"), kWave);
}

TEST_F(VoiceKeyerWindowTest, WhatIsTypedAndChosenIsWhatDoneWrites) {
    auto& w = make();
    EXPECT_EQ(box("Text10")->text(), "0");
    EXPECT_EQ(box("Text11")->text(), "&H378");
    for (const char* option : {"Option1", "Option2", "Option3"}) {
        EXPECT_FALSE(child<QRadioButton>(option)->isChecked()) << option;
    }
    typeAndLeave("Text2", "/home/op/exch.wav");
    typeAndLeave("txtPHLoop", "7.5x");
    EXPECT_EQ(box("txtPHLoop")->text(), "7.5") << "only digits and points";
    typeAndLeave("Text11", "&h3b\"c");
    EXPECT_EQ(box("Text11")->text(), "&H3BC") << "capitals, no double quote";
    child<QRadioButton>("Option3")->click();
    w.command1Click();
    keying::VoiceSettings back;
    ASSERT_EQ(keying::readVoiceSettings(dir.read("wave2.txt"), back), 13);
    EXPECT_EQ(back.files[1], "/home/op/exch.wav");
    EXPECT_EQ(back.repeatText, "7.5");
    EXPECT_EQ(back.addressText, "&H3BC");
    EXPECT_EQ(back.pttLine, keying::PttLine::Parallel);
}

TEST_F(VoiceKeyerWindowTest, RepeatIntervalsOutsideZeroToSixtyBecomeZero) {
    make();
    for (const char* typed : {"60", "75", "."}) {
        typeAndLeave("txtPHLoop", typed);
        EXPECT_EQ(box("txtPHLoop")->text(), "0") << typed;
        EXPECT_EQ(window->keyer().repeatIntervalMs(), 0) << typed;
    }
    typeAndLeave("txtPHLoop", "59");
    EXPECT_EQ(window->keyer().repeatIntervalMs(), 59000);
}

TEST_F(VoiceKeyerWindowTest, DamagedSettingsFilesLoadWithoutHarmAndKeyNothing) {
    Pty pty;
    settings.write("Ports/COM3", pty.path);
    std::string binary(5000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>((i * 131 + 7) % 256);
    }
    const std::string bad[] = {
        binary,
        "\"cq.wav\"\r\n\"x\"\r\n",
        "\"/no/such.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
        "\"3\"\r\n0\r\n\"-1\"\r\n\"&H378\"\r\n",
        "\"/dev/zero\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
        "\"3\"\r\n2\r\n\"abc\"\r\n\"&HZZZ\"\r\n",
        "\"" + dir.path() + "\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
        "\"3\"\r\n9\r\n\"60\"\r\n\"&H378\"\r\n",
    };
    for (const std::string& bytes : bad) {
        dir.write("wave2.txt", bytes);
        auto& w = make();
        EXPECT_EQ(w.keyer().repeatIntervalMs(), 0);
        EXPECT_EQ(box("txtPHLoop")->text(), "0");
        for (int key = 112; key <= 120; ++key) {
            w.fKeyPhone(key);
            EXPECT_FALSE(w.keyer().keyed()) << key;
            EXPECT_FALSE(w.isPlaying()) << key;
        }
        EXPECT_FALSE(child<QTimer>("tmrRepeat")->isActive());
        EXPECT_FALSE(child<QTimer>("Timer1")->isActive());
        window.reset();
    }
}

TEST_F(VoiceKeyerWindowTest, WithoutAPttPortTheMessagePlaysAndNothingIsKeyed) {
    dir.write("cq.wav", "RIFF");
    dir.write("wave2.txt", kWave);
    auto& w = make();
    typeAndLeave("Text10", "0");
    w.fKeyPhone(112);
    EXPECT_EQ(player.started, std::vector<std::string>{dir.file("cq.wav")});
    EXPECT_TRUE(w.isPlaying());
    EXPECT_FALSE(w.phonePortOpen());
    EXPECT_FALSE(w.keyer().keyed());
    EXPECT_TRUE(child<QTimer>("Timer1")->isActive());
    EXPECT_EQ(child<QTimer>("Timer1")->interval(), 40);
    player.endQuietly();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !child<QTimer>("Timer1")->isActive(); }, 2000));
    EXPECT_EQ(cwPortsClosed, 0);
}

TEST_F(VoiceKeyerWindowTest, AnInvalidPortSaysSoAndShowsTheWindowButStillPlays) {
    dir.write("cq.wav", "RIFF");
    dir.write("wave2.txt", kWave);
    settings.write("Ports/COM3", dir.file("no-such-tty"));
    auto& w = make();
    w.fKeyPhone(112);
    const auto* shown = prompts.find("Invalid port.");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text, "The port you have selected for Phone keying is invalid.  Please "
                           "select another or enter 0 for none.");
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(modalShown, 1);
    EXPECT_EQ(cwPortsClosed, 1) << "the CW ports were closed before trying";
    EXPECT_TRUE(w.isPlaying());
    player.finish();
    EXPECT_FALSE(w.keyer().keyed());
}

TEST_F(VoiceKeyerWindowTest, LeavingThePortBoxOpensThePortOrLetsItGo) {
    Pty pty;
    settings.write("Ports/COM3", pty.path);
    make();
    typeAndLeave("Text10", "3");
    EXPECT_TRUE(window->phonePortOpen());
    EXPECT_EQ(cwPortsClosed, 1);
    typeAndLeave("Text10", "COM");
    EXPECT_EQ(box("Text10")->text(), "0");
    EXPECT_FALSE(window->phonePortOpen());
    typeAndLeave("Text10", "3");
    window->closePhonePort(); // the CW window takes the port
    EXPECT_FALSE(window->phonePortOpen());
}

TEST_F(VoiceKeyerWindowTest, TestRepeatsEveryFiveSecondsUntilStop) {
    dir.write("cq.wav", "RIFF");
    dir.write("wave2.txt", kWave);
    settings.write("Ports/COM3", dir.file("no-such-tty"));
    auto& w = make();
    typeAndLeave("Text10", "0");
    w.show();
    child<QPushButton>("Command11")->click();
    auto* stop = child<QPushButton>("Command12");
    EXPECT_TRUE(stop->isVisible());
    EXPECT_TRUE(w.repeatArmed());
    auto* repeat = child<QTimer>("tmrRepeat");
    EXPECT_FALSE(repeat->isActive());
    player.finish();
    ASSERT_TRUE(repeat->isActive());
    EXPECT_EQ(repeat->interval(), 5000);
    EXPECT_TRUE(repeat->isSingleShot());
    // The five seconds pass.
    repeat->start(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.started.size() == 2; }, 2000));
    EXPECT_FALSE(repeat->isActive());
    player.finish();
    EXPECT_TRUE(repeat->isActive());
    stop->click();
    EXPECT_FALSE(stop->isVisible());
    EXPECT_FALSE(w.repeatArmed());
    EXPECT_FALSE(repeat->isActive()) << "Stop ends the wait as well";
}

TEST_F(VoiceKeyerWindowTest, BrowsePutsTheChosenFileInTheKeysBox) {
    make();
    prompts.fileAnswers = {"/home/op/tu.wav"};
    window->browse(4);
    EXPECT_EQ(box("Text5")->text(), "/home/op/tu.wav");
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, "open");
    window->browse(4); // cancelled
    EXPECT_EQ(box("Text5")->text(), "/home/op/tu.wav");
    EXPECT_EQ(prompts.beeps, 1);
}

TEST_F(VoiceKeyerWindowTest, WithTheRealPlayerABadFileDropsPttWithoutWaiting) {
    Pty pty;
    settings.write("Ports/COM3", pty.path);
    std::string noise(6000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    dir.write("noise.wav", noise);
    dir.write("wave2.txt", "\"noise.wav\"\r\n\"missing.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                           "\"\"\r\n\"\"\r\n\"\"\r\n\"3\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
    platform::QtSoundPlayer real;
    auto& w = make(&real);
    w.fKeyPhone(113);
    EXPECT_FALSE(w.keyer().keyed()) << "a missing file never keys";
    // Not even the port is opened for it.
    EXPECT_FALSE(w.phonePortOpen());

    QElapsedTimer clock;
    clock.start();
    w.fKeyPhone(112);
    bool everKeyed = false;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            everKeyed = everKeyed || w.keyer().keyed();
            return !w.isPlaying();
        },
        10000));
    EXPECT_FALSE(everKeyed) << "a damaged file keyed the transmitter";
    EXPECT_FALSE(w.phonePortOpen());
    // The player's own failure report ends it, well before its stall guard.
    EXPECT_LT(clock.elapsed(), platform::QtSoundPlayer::kStartLimitMs);
    QTest::qWait(50);
    EXPECT_FALSE(w.keyer().keyed());
    EXPECT_FALSE(child<QTimer>("Timer1")->isActive());
    window.reset(); // before the player it plays through
}

// Runs under the shim only: the PTT line seen on a pseudo-terminal.
TEST(VoicePttUnderShim, RtsRisesBeforePlayingAndFallsAfterIt) {
    if (!test::shimLoaded()) {
        GTEST_SKIP() << "runs under the modem-line shim";
    }
    test::TempDir dir;
    Pty pty;
    core::MemorySettingsStore settings;
    settings.write("Ports/COM3", pty.path);
    test::FakePrompts prompts;
    TimedPlayer player;
    dir.write("cq.wav", "RIFF");
    dir.write("wave2.txt", "\"cq.wav\"\r\n\"cq.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                           "\"\"\r\n\"\"\r\n\"3\"\r\n1\r\n\"0\"\r\n\"&H378\"\r\n");
    ui::VoiceKeyerServices s;
    s.workingFolder = dir.path();
    s.portMap = &settings;
    s.prompts = &prompts;
    s.player = &player;
    ui::VoiceKeyerWindow window(s);
    window.loadSettings();
    window.openPhonePort();
    ASSERT_TRUE(window.phonePortOpen());
    test::resetShim();

    window.fKeyPhone(112); // DTR chosen
    player.finishNow();
    auto events = test::shimEvents();
    std::vector<test::ShimEvent> dtr;
    for (const auto& e : events) {
        if (e.request != 3 && (e.bits & TIOCM_DTR) != 0) {
            dtr.push_back(e);
        }
    }
    ASSERT_EQ(dtr.size(), 2u);
    EXPECT_EQ(dtr[0].request, 1);
    EXPECT_LE(dtr[0].ns, player.startedNs);
    EXPECT_EQ(dtr[1].request, 2);
    EXPECT_GE(dtr[1].ns, player.endedNs);

    // With the real player into a null sink: raised before the file starts,
    // dropped once it has played.
    window.closePhonePort();
    test::PulseNullSink sink;
    if (!sink.start()) {
        GTEST_SKIP() << "no audio sink could be started: " << sink.reason();
    }
    test::writeToneWav(dir.file("tone.wav"), 300);
    dir.write("wave2.txt", "\"tone.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                           "\"\"\r\n\"\"\r\n\"3\"\r\n0\r\n\"0\"\r\n\"&H378\"\r\n");
    platform::QtSoundPlayer real;
    std::int64_t firstProgressNs = 0;
    QObject::connect(&real.mediaPlayer(), &QMediaPlayer::positionChanged, [&](qint64 p) {
        if (p > 0 && firstProgressNs == 0) {
            firstProgressNs = monotonicNs();
        }
    });
    s.player = &real;
    ui::VoiceKeyerWindow live(s);
    live.loadSettings();
    live.openPhonePort();
    ASSERT_TRUE(live.phonePortOpen());
    test::resetShim();
    live.fKeyPhone(112);
    ASSERT_TRUE(live.isPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live.isPlaying() && !live.keyer().keyed(); }, 15000));
    const std::int64_t endNs = monotonicNs();
    std::vector<test::ShimEvent> rts;
    for (const auto& e : test::shimEvents()) {
        if (e.request != 3 && (e.bits & TIOCM_RTS) != 0) {
            rts.push_back(e);
        }
    }
    ASSERT_EQ(rts.size(), 2u);
    EXPECT_EQ(rts[0].request, 1);
    EXPECT_EQ(rts[1].request, 2);
    ASSERT_GT(firstProgressNs, 0) << "the file never played";
    EXPECT_LT(rts[0].ns, firstProgressNs);
    EXPECT_GT(rts[1].ns, firstProgressNs);
    EXPECT_LE(rts[1].ns, endNs);
}

TEST(VoicePttUnderShim, ShimRun) {
    if (test::shimLoaded()) {
        GTEST_SKIP() << "already under the shim";
    }
    test::TempDir dir;
    std::string shim = test::buildShim(WEXON_SOURCE_DIR, dir.path());
    ASSERT_FALSE(shim.empty()) << "the shim did not compile";
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = '\0';
    int status = test::runUnderShim(
        shim, {self, "--gtest_filter=VoicePttUnderShim.RtsRises*", "--gtest_brief=1"});
    EXPECT_EQ(status, 0);
}

} // namespace
