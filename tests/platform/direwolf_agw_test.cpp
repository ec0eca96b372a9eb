// The AGW client against a real AGW Packet Engine: direwolf, running without a
// sound card inside a private network namespace that has only loopback, fed a
// packet carrying a cluster spot line as audio on its UDP port.

#include <gtest/gtest.h>

#include <sched.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>

#include <cstdlib>
#include <fstream>

#include "core/file_io.h"
#include "platform/agw_client.h"
#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "agw_spotting_window.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"

namespace wexon {
namespace {

constexpr quint16 kAgwPort = 8000;
constexpr quint16 kAudioPort = 7355;
const char* const kSpotLine =
    "DX de W1XX:      14025.0  JA1XYZ       CQ WPX                         1234Z";

template <typename F> bool spinUntil(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
    return true;
}

class DirewolfAgwTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QStandardPaths::findExecutable("direwolf").isEmpty() ||
            QStandardPaths::findExecutable("gen_packets").isEmpty()) {
            s_skip = "direwolf or gen_packets is not installed";
            return;
        }
        // A network namespace of our own (this thread makes every socket of the
        // test, and direwolf inherits it), so direwolf's listening ports reach
        // nothing but this test.
        if (::unshare(CLONE_NEWNET) != 0) {
            s_skip = "cannot create a network namespace (needs root)";
            return;
        }
        if (std::system("ip link set lo up") != 0) {
            s_skip = "cannot bring up loopback in the namespace";
            return;
        }
        s_dir = new test::TempDir;
        s_dir->write("dw.conf", "ADEVICE udp:7355 null\nARATE 44100\nCHANNEL 0\nMYCALL N0CALL\n"
                                "MODEM 1200\nAGWPORT 8000\nKISSPORT 0\n");
        s_direwolf = new QProcess;
        s_direwolf->setProcessChannelMode(QProcess::MergedChannels);
        s_direwolf->setStandardOutputFile(QString::fromStdString(s_dir->file("direwolf.log")));
        s_direwolf->start("direwolf",
                          {"-t", "0", "-c", QString::fromStdString(s_dir->file("dw.conf"))});
        const bool listening = spinUntil(
            [] {
                QTcpSocket probe;
                probe.connectToHost("127.0.0.1", kAgwPort);
                return probe.waitForConnected(200);
            },
            10000);
        if (!listening) {
            s_skip = "direwolf did not start listening";
        }
    }
    static void TearDownTestSuite() {
        if (s_direwolf != nullptr) {
            s_direwolf->terminate();
            if (!s_direwolf->waitForFinished(3000)) {
                s_direwolf->kill();
                s_direwolf->waitForFinished(3000);
            }
            delete s_direwolf;
            s_direwolf = nullptr;
        }
        delete s_dir;
        s_dir = nullptr;
    }

    void SetUp() override {
        if (!s_skip.empty()) {
            std::printf("skipped: %s\n", s_skip.c_str());
            GTEST_SKIP() << s_skip;
        }
    }

    // Makes the audio of one packet and plays it into direwolf's UDP port.
    static void transmit(const std::string& monitorLine) {
        s_dir->write("packet.txt", monitorLine + "\n");
        QProcess gen;
        gen.start("gen_packets",
                  {"-r", "44100", "-o", QString::fromStdString(s_dir->file("packet.wav")),
                   QString::fromStdString(s_dir->file("packet.txt"))});
        ASSERT_TRUE(gen.waitForFinished(10000));
        const auto wav = core::readWholeFile(s_dir->file("packet.wav"));
        ASSERT_TRUE(wav.has_value());
        ASSERT_GT(wav->size(), 44u);
        std::string audio = wav->substr(44) + std::string(44100, '\0');
        QUdpSocket udp;
        for (std::size_t i = 0; i < audio.size(); i += 1024) {
            const std::string part = audio.substr(i, 1024);
            udp.writeDatagram(part.data(), static_cast<qint64>(part.size()),
                              QHostAddress::LocalHost, kAudioPort);
            QTest::qWait(2);
        }
    }

    static std::string s_skip;
    static test::TempDir* s_dir;
    static QProcess* s_direwolf;
};

std::string DirewolfAgwTest::s_skip;
test::TempDir* DirewolfAgwTest::s_dir = nullptr;
QProcess* DirewolfAgwTest::s_direwolf = nullptr;

TEST_F(DirewolfAgwTest, ClientRegistersTheCall) {
    platform::AgwClient client("127.0.0.1", kAgwPort);
    EXPECT_TRUE(client.startPoll("K1ABC", "Wexon")); // returns at once, still connecting
    std::string why;
    spots::AgwLinkEvent event = spots::AgwLinkEvent::None;
    ASSERT_TRUE(spinUntil(
        [&] { return (event = client.takeLinkEvent(why)) != spots::AgwLinkEvent::None; }, 5000));
    EXPECT_EQ(event, spots::AgwLinkEvent::Up) << why;
    EXPECT_TRUE(client.isOpen());
    client.close();
    EXPECT_FALSE(client.isOpen());
    platform::AgwClient nobody("127.0.0.1", 1, 500);
    EXPECT_TRUE(nobody.startPoll("K1ABC", "Wexon"));
    ASSERT_TRUE(spinUntil(
        [&] { return (event = nobody.takeLinkEvent(why)) != spots::AgwLinkEvent::None; }, 5000));
    EXPECT_EQ(event, spots::AgwLinkEvent::Failed);
    EXPECT_FALSE(nobody.isOpen());
}

TEST_F(DirewolfAgwTest, ReceivedSpotReachesTheStoreAndTheList) {
    test::AgwSpottingWindow station(kAgwPort);
    station.open();
    ui::SpottingWindow* window = station.window;
    ui::BandMapController& controller = *station.controller;
    ASSERT_TRUE(window->timerRunning()) << window->terminal();
    EXPECT_TRUE(spinUntil(
        [&] {
            return window->terminal().find("** Successfully connected to AGW Packet Engine **") !=
                   std::string::npos;
        },
        5000))
        << window->terminal();

    transmit(std::string("W1XX>DX:") + kSpotLine);
    ASSERT_TRUE(spinUntil([&] { return controller.store().slot(49).call == "JA1XYZ"; }, 15000))
        << window->terminal();
    EXPECT_FLOAT_EQ(controller.store().slot(49).frequency, 14.025f);
    ASSERT_EQ(controller.spotList()->topLevelItemCount(), 1);
    EXPECT_EQ(controller.spotList()->topLevelItem(0)->text(6), "1234");
    EXPECT_NE(window->terminal().find(kSpotLine), std::string::npos);

    // A beacon that is not a spot shows as monitor text.
    transmit("N0CALL>BEACON:hello from the test");
    ASSERT_TRUE(spinUntil(
        [&] { return window->terminal().find("hello from the test") != std::string::npos; },
        15000));
    EXPECT_EQ(controller.spotList()->topLevelItemCount(), 1);
}

} // namespace
} // namespace wexon
