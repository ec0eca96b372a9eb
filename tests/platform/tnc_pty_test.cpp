#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "core/settings_store.h"
#include "platform/serial_port.h"
#include "rig/pty_pair.h"
#include "spots/fake_spot_host.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/spots/spotting_window.h"

namespace wexon {
namespace {

template <typename F> bool spinUntil(F done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

// The spotting window on a real serial port whose other end is the test's
// pseudo-terminal, standing in for a packet TNC on COM3.
class TncPtyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        map.write("Ports/COM3", pty.slavePath());
        ui::SpottingServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.tncPort = &port;
        s.workingFolder = QString::fromStdString(dir.path());
        s.postSpot = [this](const std::string& call, const std::string& khz, const std::string&) {
            posted.emplace_back(call, khz);
        };
        window = std::make_unique<ui::SpottingWindow>(std::move(s));
        window->formLoad();
        auto* sources = window->findChild<QListWidget*>("List1");
        sources->setCurrentRow(1);
        window->list1Click(1); // "TNC", with its presets
        window->findChild<QRadioButton*>("optComm_2")->setChecked(true);
        window->openPort();
    }
    void TearDown() override { window->formUnload(); }

    // Lets the port send what the window wrote, then reads the TNC's end.
    std::string received() {
        QTest::qWait(100);
        return pty.receive();
    }

    test::PtyPair pty;
    core::MemorySettingsStore map;
    platform::SerialPort port{&map};
    test::FakeSpotHost host;
    test::FakePrompts prompts;
    test::TempDir dir;
    std::unique_ptr<ui::SpottingWindow> window;
    std::vector<std::pair<std::string, std::string>> posted;
};

TEST_F(TncPtyTest, EscAndCtrlCSendTheCommandCharacter) {
    ASSERT_TRUE(port.isOpen()) << window->terminal();
    EXPECT_NE(window->terminal().find("** TNC Serial Port Open **"), std::string::npos);
    auto* box = window->findChild<QLineEdit*>("txtSent");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(received(), "\x03");
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(received(), "\x03");
    EXPECT_TRUE(box->text().isEmpty());

    QTest::keyClicks(box, "CONNECT DX0CL");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(received(), "CONNECT DX0CL\r");
}

TEST_F(TncPtyTest, LinesArriveRepeatsAreDroppedAndPartialsHeld) {
    ASSERT_TRUE(port.isOpen());
    const std::string spot =
        "DX de W1XX:      14025.0  JA1XYZ       CQ WPX                         1234Z";
    pty.send("cmd:\r\n" + spot + "\r\n" + spot + "\r\nDX de G4AAA:     7012.5   ");
    ASSERT_TRUE(spinUntil([&] { return !posted.empty(); }));
    QTest::qWait(400); // another poll or two
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].first, "JA1XYZ");
    pty.send("DL1ABC       test\r\n");
    ASSERT_TRUE(spinUntil([&] { return posted.size() == 2; }));
    EXPECT_EQ(posted[1].first, "DL1ABC");
    EXPECT_EQ(posted[1].second, "7012.5");
}

} // namespace
} // namespace wexon
