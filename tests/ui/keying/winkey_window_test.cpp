#include "ui/keying/winkey_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <gtest/gtest.h>

#include "keying/cw_keyer.h"
#include "keying/fake_winkeyer.h"
#include "keying/keying_fakes.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"

namespace wexon::ui {
namespace {

std::string hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

struct WinKeyRig {
    test::TempDir dir;
    test::FakeWinKeyer device;
    core::MemorySettingsStore map;
    test::FakeCwHost host;
    test::FakeClock clock;
    test::VirtualElementClock elementClock;
    test::FakePrompts prompts;
    keying::CwKeyer keyer{host, elementClock, clock, false};
    std::unique_ptr<WinKeyWindow> window;

    WinKeyRig() {
        map.write("Ports/COM5", device.slavePath());
        keying::CwSettings s;
        s.speedText = "28";
        keyer.applySettings(s);
    }
    void create() {
        window = std::make_unique<WinKeyWindow>(keyer, &map, prompts, dir.file("WK.txt"),
                                                [] { return std::string("W1AW"); });
        window->keyer().setAnswerTimeoutMs(300);
    }
    template <typename T> T* find(const char* name) { return window->findChild<T*>(name); }
    void settle(std::size_t bytes) {
        QElapsedTimer t;
        t.start();
        while (device.received().size() < bytes && t.elapsed() < 2000) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        QThread::msleep(20);
        QCoreApplication::processEvents();
    }
};

const char* kSixLines = "5\r\n\"20\"\r\n\"55\"\r\n\"2\"\r\n\"3\"\r\n\"45\"\r\n";

TEST(WinKeyWindow, OpenSendsTheSettingsInOrder) {
    WinKeyRig rig;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    EXPECT_EQ(rig.find<QLineEdit>("txtWKWPM")->text(), "28"); // the CW window's speed
    EXPECT_EQ(rig.find<QLineEdit>("txtWKComPort")->text(), "5");
    EXPECT_TRUE(rig.find<QRadioButton>("optPin6")->isChecked());
    EXPECT_TRUE(rig.find<QRadioButton>("optMode0")->isChecked());
    rig.window->cmdOpenWinkeyClick();
    rig.settle(18);
    EXPECT_EQ(rig.find<QLabel>("lblOpenStatus")->text(), "WK Success!");
    EXPECT_EQ(rig.find<QLabel>("lblVersion")->text(), "Version # 23");
    EXPECT_EQ(hex(rig.device.received()), "00 04 55 00 02 02 1C 03 37 04 02 03 17 2D 09 06 0E 00 ");
    EXPECT_TRUE(rig.prompts.shown.empty());
}

TEST(WinKeyWindow, OpeningTwiceReportsAlreadyOpenAndSendsNothing) {
    WinKeyRig rig;
    rig.create();
    rig.find<QLineEdit>("txtWKComPort")->setText("5");
    rig.window->cmdOpenWinkeyClick();
    rig.settle(18);
    rig.device.clearReceived();
    rig.window->cmdOpenWinkeyClick();
    rig.settle(0);
    EXPECT_EQ(rig.find<QLabel>("lblOpenStatus")->text(), "WK Already Open");
    EXPECT_EQ(rig.device.received(), "");
    rig.window->cmdCloseWinkeyClick();
    rig.settle(2);
    EXPECT_EQ(hex(rig.device.received()), "00 03 ");
    EXPECT_EQ(rig.find<QLabel>("lblOpenStatus")->text(), "Closed");
    EXPECT_EQ(rig.find<QLabel>("lblVersion")->text(), "Version #");
}

TEST(WinKeyWindow, AKeyerThatDoesNotAnswerIsReported) {
    WinKeyRig rig;
    rig.device.echo = test::FakeWinKeyer::Echo::None;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    rig.window->cmdOpenWinkeyClick();
    const auto* shown = rig.prompts.find("Unable to establish connection with Winkey.");
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(
        shown->text.startsWith("Unable to establish connection with WinKey on com port 5."));
    EXPECT_EQ(rig.find<QLabel>("lblOpenStatus")->text(), "No Echo Response");
    // Test: the failed open empties the buffer.
    rig.window->command3Click();
    EXPECT_TRUE(rig.keyer.engine().bufferEmpty());
}

TEST(WinKeyWindow, AKeyerThatStopsAnsweringIsClosedAndTheOperatorIsTold) {
    WinKeyRig rig;
    rig.device.holdAfterFirstCharacter = true;
    rig.device.silentWhileHeld = true;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    rig.window->keyer().setStallTimeoutMs(100);
    rig.window->cmdOpenWinkeyClick();
    ASSERT_TRUE(rig.window->keyer().isOpen());
    rig.window->command3Click();
    QElapsedTimer t;
    t.start();
    while (rig.window->keyer().transmitting() && t.elapsed() < 3000) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    ASSERT_FALSE(rig.window->keyer().transmitting());
    // Closed, so the next message is not handed to a keyer that is gone.
    EXPECT_FALSE(rig.window->keyer().isOpen());
    EXPECT_EQ(rig.window->keyer().version(), 0);
    EXPECT_EQ(rig.find<QLabel>("lblOpenStatus")->text(), "Closed");
    ASSERT_FALSE(rig.host.dialog.empty());
    EXPECT_EQ(rig.host.dialog.back(), "The WinKey stopped answering.");
    EXPECT_TRUE(rig.keyer.engine().bufferEmpty());
}

TEST(WinKeyWindow, RatioEdgesAndResets) {
    WinKeyRig rig;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    rig.window->cmdOpenWinkeyClick();
    rig.settle(18);
    auto leave = [&](const char* name, const char* text, std::size_t expected) {
        rig.device.clearReceived();
        auto* box = rig.find<QLineEdit>(name);
        box->setText(text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &out);
        rig.settle(expected);
        return hex(rig.device.received());
    };
    EXPECT_EQ(leave("txtRatio", "31", 0), "");
    EXPECT_EQ(rig.find<QLineEdit>("txtRatio")->text(), "31");
    EXPECT_EQ(leave("txtRatio", "32", 2), "17 20 ");
    EXPECT_EQ(leave("txtRatio", "67", 2), "17 43 ");
    EXPECT_EQ(leave("txtRatio", "68", 0), "");
    EXPECT_EQ(leave("txtRatio", "", 2), "17 32 ");
    EXPECT_EQ(rig.find<QLineEdit>("txtRatio")->text(), "50");
    EXPECT_EQ(leave("txtWKWPM", "", 2), "02 12 ");
    EXPECT_EQ(rig.find<QLineEdit>("txtWKWPM")->text(), "18");
    EXPECT_EQ(leave("txtWeight", "100", 0), "");
    EXPECT_EQ(leave("txtLeadIn", "4", 3), "04 04 03 ");
}

TEST(WinKeyWindow, ModeOptionAppliesTheSettingsWhenOpen) {
    WinKeyRig rig;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    rig.window->cmdOpenWinkeyClick();
    rig.settle(18);
    rig.device.clearReceived();
    rig.find<QRadioButton>("optMode48")->click();
    rig.settle(13);
    EXPECT_EQ(hex(rig.device.received()), "02 1C 03 37 04 02 03 17 2D 09 06 0E 30 ");
}

TEST(WinKeyWindow, DoneWritesWkTxt) {
    WinKeyRig rig;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    rig.find<QRadioButton>("optPin5")->click();
    rig.find<QRadioButton>("optMode16")->click();
    rig.window->cmdDoneClick();
    EXPECT_EQ(rig.dir.read("WK.txt"),
              "5\r\n\"28\"\r\n\"55\"\r\n\"2\"\r\n\"3\"\r\n\"45\"\r\n5\r\n16\r\n");
}

TEST(WinKeyWindow, TestAndStopFeedAndClearTheKeyer) {
    WinKeyRig rig;
    rig.dir.write("WK.txt", kSixLines);
    rig.create();
    rig.window->cmdOpenWinkeyClick();
    rig.settle(18);
    rig.device.clearReceived();
    rig.window->command3Click();
    QElapsedTimer t;
    t.start();
    while (rig.device.characters() != "VVV TEST DE W1AW" && t.elapsed() < 3000) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    EXPECT_EQ(rig.device.characters(), "VVV TEST DE W1AW");
    rig.device.clearReceived();
    rig.window->cmdStopClick();
    rig.settle(1);
    EXPECT_EQ(hex(rig.device.received()), "0A ");
}

} // namespace
} // namespace wexon::ui
