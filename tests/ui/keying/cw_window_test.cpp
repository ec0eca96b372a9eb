#include "ui/keying/cw_window.h"

#include <chrono>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "keying/cw_settings.h"
#include "keying/keying_fakes.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/keying/cw_strings_window.h"

namespace wexon::ui {
namespace {

using namespace std::chrono_literals;

struct CwWindowRig {
    test::TempDir dir;
    test::FakeCwHost host;
    core::MemorySettingsStore settings;
    test::FakeClock clock;
    test::FakePrompts prompts;
    int modalRuns = 0;
    std::unique_ptr<CwWindow> window;

    void create() {
        CwWindowServices s;
        s.workingFolder = dir.path();
        s.programDataFolder = dir.path();
        s.ownCall = [] { return std::string("W1AW"); };
        s.runModal = [this](QDialog&) {
            ++modalRuns;
            return 0;
        };
        window = std::make_unique<CwWindow>(host, settings, clock, prompts, s);
    }
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
};

std::string sampleFile() {
    keying::CwSettings s;
    s.messages[0] = "CQ WPX DE W1AW";
    s.messages[1] = "$ *#";
    s.messages[8] = "";
    s.messages[9] = "F10 \"QUOTED\"";
    s.speedText = "24";
    s.interface = 0;
    s.repeatText = "3";
    return keying::writeCwSettings(s);
}

TEST(CwWindow, LoadsCwTxtIntoTheBoxes) {
    CwWindowRig rig;
    rig.dir.write("cw.txt", sampleFile());
    rig.create();
    rig.window->loadCwSettings();
    EXPECT_EQ(rig.find<QLineEdit>("Text1")->text(), "CQ WPX DE W1AW");
    EXPECT_EQ(rig.find<QLineEdit>("Text9")->text(), "VVV DE ");
    EXPECT_EQ(rig.find<QLineEdit>("Text12")->text(), "F10 \"QUOTED\"");
    EXPECT_EQ(rig.find<QLineEdit>("Text11")->text(), "24");
    EXPECT_EQ(rig.find<QLineEdit>("txtCWLoop")->text(), "3");
    EXPECT_TRUE(rig.find<QRadioButton>("Option4")->isChecked());
    EXPECT_EQ(rig.window->keyer().repeatIntervalMs(), 3000);
    EXPECT_FALSE(rig.find<QPushButton>("cmdConfWinkey")->isVisibleTo(rig.window.get()));
}

TEST(CwWindow, MissingFileKeepsTheDefaults) {
    CwWindowRig rig;
    rig.create();
    rig.window->loadCwSettings();
    EXPECT_EQ(rig.find<QLineEdit>("Text11")->text(), "13");
    EXPECT_EQ(rig.find<QLineEdit>("Text14")->text(), "&H378");
    EXPECT_EQ(rig.find<QLineEdit>("Text10")->text(), "0");
    EXPECT_TRUE(rig.prompts.shown.empty());
}

TEST(CwWindow, DoneWritesTheFileAndTheSettingsKeys) {
    CwWindowRig rig;
    rig.dir.write("cw.txt", sampleFile());
    rig.create();
    rig.window->loadCwSettings();
    rig.window->command1Click();
    std::string expected = sampleFile();
    // The empty F9 came back as "VVV DE ".
    auto pos = expected.find("\"\"\r\n\"0\"\r\n\"24\"");
    ASSERT_NE(pos, std::string::npos);
    expected.replace(pos, 2, "\"VVV DE \"");
    EXPECT_EQ(rig.dir.read("cw.txt"), expected);
    EXPECT_EQ(rig.settings.read(kUserCwSelectionKey, ""), "Timer");
    EXPECT_EQ(rig.settings.read(kUserCwLoopOffsetKey, ""), "0");
    EXPECT_FALSE(rig.window->isVisible());
}

TEST(CwWindow, TypedMessagesBecomeCapitals) {
    CwWindowRig rig;
    rig.create();
    auto* box = rig.find<QLineEdit>("Text3");
    box->setFocus();
    QTest::keyClicks(box, "tu 73 !");
    EXPECT_EQ(box->text(), "TU 73 !");
    EXPECT_EQ(rig.window->keyer().settings().messages[2], "TU 73 !");
}

TEST(CwWindow, SpeedAndWordSpaceBoxes) {
    CwWindowRig rig;
    rig.create();
    auto* speed = rig.find<QLineEdit>("Text11");
    speed->setText("25");
    EXPECT_EQ(rig.window->keyer().settings().speedText, "25");
    EXPECT_EQ(rig.window->upDown1UpClick(), "26");
    rig.find<QPushButton>("Command3")->click();
    EXPECT_EQ(speed->text(), "25");
    auto* space = rig.find<QLineEdit>("txtSpace");
    space->setText("-100");
    EXPECT_EQ(space->text(), "-8");
    rig.find<QPushButton>("Command6")->click();
    EXPECT_EQ(space->text(), "-7");
    // Only digits and ":" reach the speed box.
    speed->clear();
    speed->setFocus();
    QTest::keyClicks(speed, "1a2");
    EXPECT_EQ(speed->text(), "12");
}

TEST(CwWindow, APortThatCannotOpenIsReported) {
    CwWindowRig rig;
    rig.settings.write("Ports/COM3", "/dev/no-such-serial-port");
    rig.create();
    rig.find<QRadioButton>("Option1")->click();
    rig.window->keyer().setPortText("3");
    rig.window->cwSetup();
    EXPECT_TRUE(rig.prompts.wasShown("Invalid port."));
    EXPECT_EQ(rig.prompts.beeps, 1);
    EXPECT_EQ(rig.modalRuns, 1);
    EXPECT_FALSE(rig.window->cwPortOpen());
}

TEST(CwWindow, APrinterPortThatCannotOpenIsReportedAndKeysNothing) {
    CwWindowRig rig;
    rig.create();
    rig.find<QLineEdit>("Text14")->setText("&H3BC");
    rig.find<QRadioButton>("Option3")->click();
    const auto* shown = rig.prompts.find("Printer port unavailable.");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->text.contains("&H3BC"));
    EXPECT_EQ(rig.window->keyer().settings().interface, 3);
}

TEST(CwWindow, WinKeyOptionLoadsTheWinKeyWindowAndShowsItsButton) {
    CwWindowRig rig;
    rig.create();
    EXPECT_EQ(rig.window->winKeyWindow(false), nullptr);
    rig.find<QRadioButton>("Option5")->click();
    EXPECT_NE(rig.window->winKeyWindow(false), nullptr);
    EXPECT_TRUE(rig.find<QPushButton>("cmdConfWinkey")->isVisibleTo(rig.window.get()));
    rig.find<QRadioButton>("Option4")->click();
    EXPECT_FALSE(rig.find<QPushButton>("cmdConfWinkey")->isVisibleTo(rig.window.get()));
}

TEST(CwWindow, EachSpeedStepReachesTheWinKeyOnce) {
    CwWindowRig rig;
    rig.create();
    rig.find<QRadioButton>("Option5")->click();
    test::FakeWinKey wk;
    rig.window->keyer().setWinKey(&wk);
    rig.find<QLineEdit>("Text11")->setText("25");
    wk.calls.clear();
    EXPECT_EQ(rig.window->upDown1UpClick(), "26");
    EXPECT_EQ(wk.calls, std::vector<std::string>{"wpm 26"});
    EXPECT_EQ(rig.window->speedDown(), 25);
    EXPECT_EQ(wk.calls, (std::vector<std::string>{"wpm 26", "wpm 25"}));
    // A typed speed is sent once too.
    rig.find<QLineEdit>("Text11")->setText("30");
    EXPECT_EQ(wk.calls.back(), "wpm 30");
    EXPECT_EQ(wk.calls.size(), 3u);
    rig.window->keyer().setWinKey(nullptr);
}

TEST(CwWindow, RepeatTimerResendsF1) {
    CwWindowRig rig;
    rig.create();
    test::FakeWinKey wk;
    rig.window->keyer().setWinKey(&wk);
    rig.window->keyer().setInterface(5);
    rig.window->keyer().setMessage(0, "CQ");
    rig.window->keyer().setRepeatText("0.05");
    rig.window->keyer().fKeyCW(112);
    EXPECT_EQ(wk.calls.size(), 1u);
    rig.clock.steady += 60ms;
    QElapsedTimer t;
    t.start();
    while (wk.calls.size() < 2 && t.elapsed() < 2000) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(wk.calls.size(), 2u);
    rig.window->keyer().disarmRepeat();
    rig.window->keyer().setWinKey(nullptr);
}

TEST(CwWindow, ServesTheMainWindowsHook) {
    CwWindowRig rig;
    rig.create();
    CwKeyerHook& hook = *rig.window;
    EXPECT_EQ(hook.cwInterface(), 0);
    rig.find<QLineEdit>("Text11")->setText("30");
    EXPECT_EQ(hook.speedUp(), 31);
    EXPECT_EQ(hook.speedDown(), 30);
    EXPECT_FALSE(hook.winKeyOpen());
    EXPECT_FALSE(hook.winKeyBusy());
    rig.find<QRadioButton>("Option2")->click();
    EXPECT_EQ(hook.cwInterface(), 2);
    rig.window->keyer().setMessage(0, "E");
    rig.window->keyer().setRepeatText("5");
    hook.fKeyCw(112);
    EXPECT_TRUE(hook.repeatArmed());
    hook.stopRepeat();
    EXPECT_FALSE(hook.repeatArmed());
    EXPECT_TRUE(rig.window->keyer().engine().waitUntilIdle(std::chrono::seconds(5)));
}

TEST(CwStringsWindow, ShowsTheMessagesAndSendsOnClick) {
    CwWindowRig rig;
    rig.create();
    test::FakeWinKey wk;
    auto& keyer = rig.window->keyer();
    keyer.setWinKey(&wk);
    for (int i = 0; i < 11; ++i) {
        keyer.setMessage(i, "M" + std::to_string(i + 1));
    }
    CwStringsWindow strings(keyer);
    strings.refresh();
    EXPECT_EQ(strings.findChild<QLabel*>("lblMessage_9")->text(), "M10");
    EXPECT_EQ(strings.findChild<QLabel*>("lblMessage_11")->text(), "Keyboard");
    strings.rowClicked(0);
    EXPECT_TRUE(wk.calls.empty()); // no keying interface: nothing
    keyer.setInterface(5);
    strings.rowClicked(9); // F10 is passed as 124
    EXPECT_EQ(keyer.engine().buffer(), "M10");
    strings.rowClicked(11); // the F12 row does nothing
    EXPECT_EQ(keyer.engine().buffer(), "M10");
    strings.rowClicked(10);
    EXPECT_EQ(keyer.engine().buffer(), "M11");
    keyer.setWinKey(nullptr);
}

} // namespace
} // namespace wexon::ui
