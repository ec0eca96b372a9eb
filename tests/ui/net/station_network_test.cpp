// The station network as the operator meets it: the Network window, the state
// line and the message line, against a real broker and a second station.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>

#include "net/station_sync.h"
#include "platform/mqtt_station_link.h"
#include "platform/mqtt_test_support.h"
#include "support/main_window_fixture.h"
#include "ui/net/network_window.h"
#include "ui/net/station_network.h"

using namespace wexon;
using wexon::test::MainWindowTest;

namespace {

class StationNetworkWindowTest : public MainWindowTest {
  protected:
    void startWindow() {
        make();
        network = std::make_unique<ui::StationNetwork>(*window, services, [this](const std::string& s) {
            stationNames.push_back(s);
        });
        ASSERT_EQ(window->formLoad(), ui::MainWindow::LoadOutcome::Ready);
        network->start();
    }
    void fill(ui::NetworkWindow& w, const char* name, const QString& text) {
        auto* box = w.findChild<QLineEdit*>(name);
        ASSERT_NE(box, nullptr) << name;
        box->setText(text);
    }
    void TearDown() override {
        network.reset();
        MainWindowTest::TearDown();
    }

    std::unique_ptr<ui::StationNetwork> network;
    std::vector<std::string> stationNames;
};

TEST_F(StationNetworkWindowTest, OffByDefaultTheWindowLooksAndWorksAsASingleStation) {
    startWindow();
    EXPECT_EQ(network->sync(), nullptr);
    auto* item = child<QAction>("mnuNetwork");
    ASSERT_NE(item, nullptr);
    // It stands right after Setup in the menu bar.
    const auto actions = window->menuBar()->actions();
    const auto setupAt = actions.indexOf(child<QAction>("mnuSetup"));
    EXPECT_EQ(actions.indexOf(item), setupAt + 1);
    EXPECT_EQ(child<QLabel>("lblNetworkState"), nullptr);
    ASSERT_TRUE(window->appendQso(test::qso(1)));
    EXPECT_FALSE(std::filesystem::exists(dir.file("work/network-log.txt")));
}

TEST_F(StationNetworkWindowTest, TurnedOnInTheWindowItSharesTheLogAndPersists) {
    test::TestBroker broker(dir.file("broker"));
    ASSERT_TRUE(broker.start());
    test::TestStation peer(dir.path(), "MULT", 1);
    peer.sync.reset();
    peer.link.reset();
    // The peer must log under the contest id the window uses.
    peer.sync = std::make_unique<net::StationSync>(
        *peer.contest, net::SyncConfig{"WPX-TEST", "MULT", "K2OP", "", 1},
        peer.folder() + "/network-log.txt");
    peer.sync->start();
    peer.link = std::make_unique<platform::MqttStationLink>(*peer.sync);
    ASSERT_TRUE(peer.connect(broker.host(), broker.port()));

    startWindow();
    child<QAction>("mnuNetwork")->trigger();
    ui::NetworkWindow& w = network->networkWindow();
    ASSERT_TRUE(w.isVisible());
    w.findChild<QCheckBox*>("chkNetworkOn")->setChecked(true);
    fill(w, "txtBrokerHost", "127.0.0.1");
    fill(w, "txtBrokerPort", QString::number(broker.port()));
    fill(w, "txtStationName", "run1");
    fill(w, "txtOperator", "k1op");
    fill(w, "txtContestId", "WPX-TEST");
    auto* category = w.findChild<QComboBox*>("cboCategory");
    category->setCurrentIndex(category->findData("MULTI-TWO"));
    QTest::mouseClick(w.findChild<QPushButton*>("cmdNetworkApply"), Qt::LeftButton);

    ASSERT_NE(network->sync(), nullptr);
    EXPECT_EQ(stationNames.back(), "RUN1");
    // Multi-Two: serials per band, in the preference file too.
    EXPECT_EQ(window->contest().prefs.serialPerBand, 1);
    EXPECT_EQ(savedPrefs().serialPerBand, 1);
    EXPECT_EQ(settings.read("Network/On", ""), "1");
    EXPECT_EQ(settings.read("Network/Station", ""), "RUN1");
    EXPECT_EQ(settings.read("Network/Category", ""), "MULTI-TWO");

    peer.log("OK1AB", "20");
    ASSERT_TRUE(test::pumpUntil([&] { return window->contest().remoteCount() == 1; }));
    ASSERT_TRUE(window->appendQso(test::qso(7)));
    ASSERT_TRUE(test::pumpUntil([&] { return peer.contest->remoteCount() == 1; }));
    const core::RemoteContact& mine = peer.contest->remotes().begin()->second;
    EXPECT_EQ(mine.station, "RUN1");
    EXPECT_EQ(mine.op, "K1OP");
    EXPECT_EQ(mine.record.call, "K7AA");
    auto* state = child<QLabel>("lblNetworkState");
    ASSERT_NE(state, nullptr);
    ASSERT_TRUE(test::pumpUntil([&] { return state->text().contains("(MULT)"); }));
    EXPECT_TRUE(state->text().contains("0 waiting")) << state->text().toStdString();
    EXPECT_EQ(state->textFormat(), Qt::PlainText);

    // The broker goes away: the line says so and counts what waits.
    broker.kill(SIGKILL);
    ASSERT_TRUE(test::pumpUntil([&] { return state->text().contains("down"); }));
    ASSERT_TRUE(window->appendQso(test::qso(8)));
    EXPECT_TRUE(state->text().contains("1 waiting")) << state->text().toStdString();
}

TEST_F(StationNetworkWindowTest, StationCabrilloHoldsEveryStationsContacts) {
    startWindow();
    net::NetworkSettings s;
    s.on = true;
    s.port = test::freeLoopbackPort(); // no broker needed: the journal is the source
    s.station = "RUN1";
    s.op = "K1OP";
    s.contestId = "WPX-TEST";
    s.category = net::Category::MultiTwo;
    ASSERT_TRUE(network->apply(s));
    ASSERT_TRUE(window->appendQso(test::qso(1)));
    net::ContactMessage other;
    other.contestId = "WPX-TEST";
    other.station = "MULT";
    other.instance = "i1";
    other.op = "W2OP";
    other.id = "c1";
    other.transmitter = 1;
    other.record = test::qso(2, "40");
    network->sync()->receive({{net::contactTopic("WPX-TEST", "MULT", "c1"),
                               net::encodeContact(other), true}});
    prompts.fileAnswers.push_back(QString::fromStdString(dir.file("station.log")));
    QTest::mouseClick(network->networkWindow().findChild<QPushButton*>("cmdStationCabrillo"),
                      Qt::LeftButton);
    const std::string file = dir.read("station.log");
    EXPECT_NE(file.find("K1AA"), std::string::npos) << file;
    EXPECT_NE(file.find("K2AA"), std::string::npos) << file;
    EXPECT_NE(file.find("OPERATORS: K1OP W2OP"), std::string::npos) << file;
    EXPECT_NE(file.find("CATEGORY-TRANSMITTER: TWO"), std::string::npos) << file;
}

TEST_F(StationNetworkWindowTest, RefusedMessagesAreToldOnTheMessageLineAsPlainText) {
    startWindow();
    net::NetworkSettings s;
    s.on = true;
    s.port = test::freeLoopbackPort(); // nobody there: the station works alone
    s.station = "RUN1";
    s.contestId = "WPX-TEST";
    ASSERT_TRUE(network->apply(s));
    ASSERT_NE(network->sync(), nullptr);
    network->sync()->receive({{"wexon/WPX-TEST/log/MULT/x1", "<img src=x width=99999>", false}});
    auto* message = child<QLabel>("lblDialog");
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_TRUE(message->text().contains("refused a message from MULT"))
        << message->text().toStdString();
    EXPECT_EQ(window->contest().remoteCount(), 0);
    auto* log = network->networkWindow().findChild<QPlainTextEdit*>("txtNetworkLog");
    EXPECT_TRUE(log->toPlainText().contains("refused"));
    // A station name that cannot be a topic level is refused before anything starts.
    s.station = "RUN/1";
    EXPECT_FALSE(network->apply(s));
    EXPECT_EQ(prompts.shown.back().title, "Network");
}

} // namespace
