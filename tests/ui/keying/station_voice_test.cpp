// The voice parts plugged into the main window: the function keys and Esc of
// a phone contest, the menu items, the spoken prompts by navigation mode and
// the PTT port shared with the CW window.
#include "ui/keying/station_voice.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <fstream>

#include <pty.h>
#include <unistd.h>

#include "keying/voice_fakes.h"
#include "support/main_window_fixture.h"
#include "ui/keying/cw_window.h"
#include "ui/station/station_tools.h"
#include "ui/keying/voice_keyer_window.h"
#include "ui/keying/voice_navigation_window.h"

using namespace wexon;
using Names = std::vector<std::string>;

namespace {

class StationVoiceTest : public test::MainWindowTest {
  protected:
    std::unique_ptr<ui::StationTools> tools;
    std::unique_ptr<ui::StationVoice> voice;
    test::FakeSoundPlayer* messages = nullptr;
    test::FakeSoundPlayer* prompter = nullptr;
    std::vector<QString> modalWindows;

    ui::MainWindow& start(const char* mode = "PH", int navigation = 0) {
        prefs.contestMode = mode;
        prefs.voiceNavigation = static_cast<std::uint8_t>(navigation);
        dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
        dir.write("work/log.txt", test::logOf(1)); // K1AA worked on 20
        prompts.questionAnswers = {true};
        auto& w = make();
        auto stationModal = services.runModal;
        services.runModal = [this, stationModal](QDialog& d) {
            modalWindows.push_back(d.objectName());
            return stationModal(d);
        };
        tools = std::make_unique<ui::StationTools>(w, services);
        ui::VoicePlayers players;
        auto m = std::make_unique<test::FakeSoundPlayer>();
        auto p = std::make_unique<test::FakeSoundPlayer>();
        messages = m.get();
        prompter = p.get();
        players.messages = std::move(m);
        players.prompts = std::move(p);
        voice = std::make_unique<ui::StationVoice>(w, *tools, services, std::move(players));
        EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    void TearDown() override {
        voice.reset();
        tools.reset();
    }
    void writePrompts(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            dir.write(std::string("work/") + name + ".wav", "RIFF");
        }
    }
    std::string prompt(const char* name) { return dir.file(std::string("work/") + name + ".wav"); }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(window->focusWidget(), key, mods);
    }
    void focusBox(const char* name) {
        child<QLineEdit>(name)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
};

TEST_F(StationVoiceTest, FunctionKeysPlayTheirFilesAndEscStopsTheMessage) {
    dir.write("work/wave2.txt", "\"cq.wav\"\r\n\"\"\r\n\"exch.wav\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                "\"\"\r\n\"\"\r\n\"\"\r\n\"0\"\r\n0\r\n\"5\"\r\n\"&H378\"\r\n");
    dir.write("work/cq.wav", "RIFF");
    dir.write("work/exch.wav", "RIFF");
    start();
    focusBox("txtCall");
    press(Qt::Key_F3);
    EXPECT_EQ(messages->started, Names{dir.file("work/exch.wav")});
    press(Qt::Key_F10); // swallowed
    EXPECT_EQ(messages->played.size(), 1u);
    EXPECT_TRUE(voice->keyerWindow().isPlaying());
    press(Qt::Key_Escape);
    EXPECT_FALSE(voice->keyerWindow().isPlaying());
    EXPECT_FALSE(voice->keyerWindow().findChild<QTimer*>("Timer1")->isActive());

    // F1 repeats; the next key in the main window ends the repeat.
    press(Qt::Key_F1);
    EXPECT_TRUE(voice->keyerWindow().repeatArmed());
    messages->finish();
    auto* repeat = voice->keyerWindow().findChild<QTimer*>("tmrRepeat");
    ASSERT_NE(repeat, nullptr);
    EXPECT_TRUE(repeat->isActive());
    QTest::keyClick(window->focusWidget(), 'k');
    EXPECT_FALSE(voice->keyerWindow().repeatArmed());
    EXPECT_FALSE(repeat->isActive());
}

TEST_F(StationVoiceTest, TheMenuShowsTheKeyerModallyAndCtrlPRestoresIt) {
    start();
    auto* item = child<QAction>("mnuVoice");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_EQ(modalWindows, std::vector<QString>{"PhoneFrm"});
    focusBox("txtCall");
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(voice->keyerWindow().isVisible());
    EXPECT_EQ(modalWindows.size(), 1u);
}

TEST_F(StationVoiceTest, CallOnlySpeaksTheCallBoxAndNotTheCountryBox) {
    writePrompts({"Call", "Country", "RstRcvd", "Dupe"});
    start("PH", 1);
    prompter->played.clear();
    prompter->started.clear();
    focusBox("txtCntry");
    EXPECT_TRUE(prompter->played.empty());
    focusBox("txtCall");
    EXPECT_EQ(prompter->started, Names{prompt("Call")});
    // Asked directly, the hook keeps to the mode too.
    voice->playPrompt("Country");
    EXPECT_EQ(prompter->started.size(), 1u);
}

TEST_F(StationVoiceTest, AllDataFieldsSpeaksEveryBoxAndOffSpeaksNone) {
    writePrompts({"Call", "Country", "RstSnt"});
    start("PH", 2);
    prompter->started.clear();
    focusBox("txtCntry");
    focusBox("txtRSTS");
    focusBox("txtCall");
    EXPECT_EQ(prompter->started, (Names{prompt("Country"), prompt("RstSnt"), prompt("Call")}));

    voice.reset();
    tools.reset();
    window.reset();
    prompter = nullptr;
    start("PH", 0);
    focusBox("txtCntry");
    focusBox("txtCall");
    EXPECT_TRUE(prompter->played.empty());
}

TEST_F(StationVoiceTest, ADuplicateSaysDupeInEveryMode) {
    writePrompts({"Dupe"});
    for (int mode : {0, 1, 2}) {
        start("PH", mode);
        focusBox("txtCall");
        QTest::keyClicks(window->focusWidget(), "k1aa");
        press(Qt::Key_Return);
        ASSERT_FALSE(prompter->started.empty()) << mode;
        EXPECT_EQ(prompter->started.back(), prompt("Dupe")) << mode;
        voice.reset();
        tools.reset();
        window.reset();
        clock.advanceSeconds(5);
    }
}

TEST_F(StationVoiceTest, TheCallBoxIsSpokenWhenItFirstGetsTheFocusAtStartUp) {
    writePrompts({"Call"});
    for (int mode : {1, 2}) {
        start("PH", mode);
        EXPECT_EQ(window->focusWidget(), child<QLineEdit>("txtCall")) << mode;
        EXPECT_EQ(prompter->started, Names{prompt("Call")}) << mode;
        // Once only: going to another window and back says nothing new.
        prompter->finish();
        voice->keyerWindow().show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&voice->keyerWindow()));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_EQ(prompter->started.size(), 1u) << mode;
        voice.reset();
        tools.reset();
        window.reset();
    }
    start("PH", 0);
    EXPECT_TRUE(prompter->played.empty());
}

TEST_F(StationVoiceTest, DupeIsHeardToItsEndBeforeTheCallBoxPrompt) {
    writePrompts({"Dupe", "Call", "RstSnt"});
    for (int mode : {1, 2}) {
        start("PH", mode);
        prompter->finish(); // the start-up prompt
        focusBox("txtCall");
        QTest::keyClicks(window->focusWidget(), "k1aa");
        // Leaving the call box finds the duplicate and brings the focus back.
        press(Qt::Key_Tab);
        ASSERT_FALSE(prompter->started.empty()) << mode;
        EXPECT_EQ(prompter->started.back(), prompt("Dupe")) << mode;
        QTest::qWait(100);
        EXPECT_EQ(prompter->started.back(), prompt("Dupe")) << mode << ": cut off";
        EXPECT_TRUE(prompter->isPlaying()) << mode;
        // Then the call box's prompt, once the word has ended.
        prompter->finish();
        EXPECT_EQ(prompter->started.back(), prompt("Call")) << mode;
        voice.reset();
        tools.reset();
        window.reset();
        clock.advanceSeconds(5);
    }
}

TEST_F(StationVoiceTest, MissingPromptFilesAreSilentAndShowNoMessage) {
    start("PH", 2);
    const std::size_t shownBefore = prompts.shown.size();
    const std::size_t playedBefore = prompter->played.size();
    focusBox("txtCntry");
    focusBox("txtCall");
    voice->playDupe();
    EXPECT_EQ(prompter->played.size(), playedBefore + 3);
    EXPECT_TRUE(prompter->started.empty());
    EXPECT_FALSE(voice->isPlaying());
    EXPECT_EQ(prompts.shown.size(), shownBefore);
}

TEST_F(StationVoiceTest, ChoosingCallOnlySaysNavEnThenCallAndDoneSavesTheMode) {
    writePrompts({"NavEn", "NavDis", "Call", "Country"});
    auto& w = start("PH", 0);
    child<QAction>("mnuBlind")->trigger();
    auto& nav = voice->navigationWindow();
    EXPECT_TRUE(nav.isVisible());
    EXPECT_FALSE(nav.isModal());
    EXPECT_EQ(nav.windowTitle(), "Voice Navigation Settings");
    EXPECT_EQ(prompter->started, Names{prompt("NavDis")}) << "the current mode is spoken";
    EXPECT_TRUE(nav.findChild<QLabel*>("Label1")->text().endsWith(
        QString::fromStdString(dir.file("work"))));

    nav.findChild<QRadioButton*>("Option2")->click();
    EXPECT_EQ(prompter->started.back(), prompt("NavEn"));
    // The window goes on taking events while NavEn plays; Call follows it.
    QTest::qWait(100);
    EXPECT_EQ(prompter->started.back(), prompt("NavEn"));
    prompter->endQuietly();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter->started.back() == prompt("Call"); }, 2000));

    nav.command1Click();
    EXPECT_FALSE(nav.isVisible());
    EXPECT_EQ(w.contest().prefs.voiceNavigation, 1);
    EXPECT_EQ(savedPrefs().voiceNavigation, 1);
    prompter->started.clear();
    focusBox("txtCntry");
    focusBox("txtCall");
    EXPECT_EQ(prompter->started, Names{prompt("Call")});
}

TEST_F(StationVoiceTest, ThePttPortAndTheCwPortTakeTurns) {
    start();
    int master = -1;
    int slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    settings.write("Ports/COM5", name);
    auto& keyerWindow = voice->keyerWindow();
    keyerWindow.keyer().setPortText("5");
    keyerWindow.openPhonePort();
    ASSERT_TRUE(keyerWindow.phonePortOpen());

    // The CW window opening the same port closes the voice keyer's first.
    auto& cw = tools->cwWindow();
    cw.keyer().setInterface(1);
    cw.keyer().setPortText("5");
    cw.cwSetup();
    EXPECT_TRUE(cw.cwPortOpen());
    EXPECT_FALSE(keyerWindow.phonePortOpen());

    // And the other way round.
    keyerWindow.openPhonePort();
    EXPECT_TRUE(keyerWindow.phonePortOpen());
    EXPECT_FALSE(cw.cwPortOpen());
    EXPECT_FALSE(prompts.wasShown("Invalid port."));
    ::close(master);
    ::close(slave);
}

} // namespace

// The audio stack is loaded at the first sound, not with the program: a phone
// contest started with voice navigation off and no message played maps none
// of it.
using AudioFootprintTest = test::MainWindowTest;

TEST_F(AudioFootprintTest, TheAudioStackWaitsForTheFirstSound) {
    const auto mapped = [](const char* library) {
        std::ifstream maps("/proc/self/maps");
        std::string line;
        while (std::getline(maps, line)) {
            if (line.find(library) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    if (mapped("libgstreamer") || mapped("wexon_audio")) {
        GTEST_SKIP() << "another test in this process loaded the audio stack already";
    }
    prefs.contestMode = "PH";
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    prompts.questionAnswers = {true};
    auto& w = make();
    ui::StationTools tools(w, services);
    ui::StationVoice voice(w, tools, services); // the real players
    ASSERT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.focusWidget(), Qt::Key_Escape); // stops what never started
    EXPECT_FALSE(mapped("libgstreamer"));
    EXPECT_FALSE(mapped("wexon_audio"));
}

