#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include "platform/telnet_client.h"
#include "spots/fake_spot_host.h"
#include "support/fake_clock.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "ui/spots/band_map_controller.h"
#include "ui/spots/spot_list_widget.h"
#include "ui/spots/spotting_window.h"

namespace wexon {
namespace {

bool waitUntil(const std::function<bool()>& done, int ms = 5000) {
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

std::string clusterLine(const std::string& spotter, const std::string& khz,
                        const std::string& call) {
    std::string line = "DX de " + spotter;
    line.resize(15, ' ');
    line += std::string(9 - khz.size(), ' ') + khz + "  " + call;
    line.resize(39, ' ');
    line += "CQ WPX";
    line.resize(70, ' ');
    return line + "1234Z";
}

// A cluster on 127.0.0.1 that talks like a real one: a login prompt, then
// whatever the test makes it send.
class FakeCluster {
  public:
    FakeCluster() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead,
                             [this] { received += client->readAll().toStdString(); });
            client->write("Welcome to the test cluster\r\nlogin: ");
        });
    }
    quint16 port() const { return server.serverPort(); }
    void send(const std::string& bytes) {
        client->write(bytes.data(), static_cast<qint64>(bytes.size()));
        client->flush();
        client->waitForBytesWritten(1000);
    }

    QTcpServer server;
    QTcpSocket* client = nullptr;
    std::string received;
};

class TelnetClusterTest : public ::testing::Test {
  protected:
    TelnetClusterTest() {
        main.resize(800, 600);
        ui::SpotServices s;
        s.host = &host;
        s.prompts = &prompts;
        s.clock = &clock;
        s.workingFolder = QString::fromStdString(dir.path());
        s.tncPort = &port;
        s.agw = &agw;
        controller = std::make_unique<ui::BandMapController>(std::move(s), &main);
        window = controller->spottingWindow();
    }
    ~TelnetClusterTest() override { controller->shutdown(); }

    void connectTo(quint16 port) {
        auto* sources = window->findChild<QListWidget*>("List1");
        sources->setCurrentRow(2);
        window->list1Click(2);
        window->findChild<QLineEdit*>("txtTelnetHost")->setText("127.0.0.1");
        window->findChild<QLineEdit*>("txtTelnetPort")->setText(QString::number(port));
        window->openPort();
    }

    QWidget main;
    test::TempDir dir;
    test::FakeSpotHost host;
    test::FakePrompts prompts;
    test::FakeClock clock;
    test::FakeCatPort port;
    test::FakeAgwLink agw;
    std::unique_ptr<ui::BandMapController> controller;
    ui::SpottingWindow* window = nullptr;
};

TEST_F(TelnetClusterTest, LoginSpotsSplitLinesAndAnnouncements) {
    FakeCluster cluster;
    connectTo(cluster.port());
    ASSERT_TRUE(waitUntil([&] { return window->terminal().find("login: ") != std::string::npos; }));
    EXPECT_NE(window->terminal().find("Attempting connection to: 127.0.0.1:"), std::string::npos);

    auto* box = window->findChild<QLineEdit*>("txtSent");
    QTest::keyClicks(box, "K1ABC");
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return cluster.received == "K1ABC\r\n"; }));

    const std::string ja = clusterLine("W1XX:", "14025.0", "JA1XYZ");
    const std::string dl = clusterLine("G4AAA:", "7012.5", "DL1ABC");
    cluster.send("Hello K1ABC, this is the cluster\r\nK1ABC de TEST >\r\n");
    cluster.send(ja + "\r\n");
    // one spot line split over two writes
    cluster.send(dl.substr(0, 33));
    QTest::qWait(50);
    cluster.send(dl.substr(33) + "\r\n");
    cluster.send("To ALL de W1XX: contest starts soon\r\n");
    cluster.send("DX de W2XX: announcement with no frequency\r\n");
    // the same spot again: Telnet stores it twice, the older blanked
    cluster.send(ja + "\r\n");
    ASSERT_TRUE(waitUntil([&] { return controller->spotList()->topLevelItemCount() == 3; }))
        << controller->spotList()->topLevelItemCount();
    QTest::qWait(100);
    EXPECT_EQ(controller->spotList()->topLevelItemCount(), 3);

    const auto& store = controller->store();
    EXPECT_EQ(store.slot(49).call, "JA1XYZ");
    EXPECT_FLOAT_EQ(store.slot(49).frequency, 14.025f);
    EXPECT_EQ(store.slot(48).call, "DL1ABC");
    EXPECT_FLOAT_EQ(store.slot(48).frequency, 7.0125f);
    EXPECT_EQ(store.slot(47).call, "JA1XYZ");
    EXPECT_FLOAT_EQ(store.slot(47).frequency, 0.0f);
    EXPECT_EQ(controller->spotList()->topLevelItem(1)->text(0), "DL1ABC");
    EXPECT_NE(window->terminal().find("contest starts soon"), std::string::npos);
    EXPECT_NE(window->terminal().find(dl), std::string::npos) << "shown whole after the split";
}

TEST_F(TelnetClusterTest, OwnCallSpottedOverTelnet) {
    FakeCluster cluster;
    connectTo(cluster.port());
    ASSERT_TRUE(waitUntil([&] { return cluster.client != nullptr; }));
    cluster.send(clusterLine("W1XX:", "21025.0", "K1ABC") + "\r\n");
    ASSERT_TRUE(waitUntil([&] { return host.warnings == 1; }));
    EXPECT_TRUE(host.dupeText.startsWith("You've been spotted!  de W1XX:"));
}

TEST_F(TelnetClusterTest, HostileFloodStaysBounded) {
    FakeCluster cluster;
    connectTo(cluster.port());
    ASSERT_TRUE(waitUntil([&] { return cluster.client != nullptr; }));
    const std::string junk(256 * 1024, 'x');
    for (int i = 0; i < 8; ++i) {
        cluster.send(junk); // two megabytes without a line end
    }
    cluster.send("\r\n" + clusterLine("W1XX:", "14025.0", "JA1XYZ") + "\r\n");
    ASSERT_TRUE(waitUntil([&] { return controller->spotList()->topLevelItemCount() == 1; }, 10000));
    EXPECT_LE(window->terminal().size(), spots::TerminalText::kTrimAbove);
}

TEST_F(TelnetClusterTest, RefusedConnectionShowsItsErrorNumber) {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 closedPort = probe.serverPort();
    probe.close();
    connectTo(closedPort);
    ASSERT_TRUE(waitUntil([&] {
        return window->terminal().find("ERROR: Connection is forcefully rejected.") !=
               std::string::npos;
    }));
    EXPECT_FALSE(window->listening());
    EXPECT_GE(prompts.beeps, 1);
}

TEST(SocketErrorNumbers, EachErrorHasItsNumber) {
    using E = QAbstractSocket::SocketError;
    EXPECT_EQ(platform::socketErrorNumber(E::ConnectionRefusedError), 10061);
    EXPECT_EQ(platform::socketErrorNumber(E::HostNotFoundError), 11001);
    EXPECT_EQ(platform::socketErrorNumber(E::SocketTimeoutError), 10060);
    EXPECT_EQ(platform::socketErrorNumber(E::RemoteHostClosedError), 10053);
    EXPECT_EQ(platform::socketErrorNumber(E::NetworkError), 10050);
    EXPECT_EQ(platform::socketErrorNumber(E::AddressInUseError), 10048);
}

} // namespace
} // namespace wexon
