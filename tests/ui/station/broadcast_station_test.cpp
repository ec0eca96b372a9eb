// The broadcasts and score posting plugged into a real main window: contacts
// typed, changed and deleted reach a UDP listener as their messages, rig
// readings and the score follow, the score reaches a scoreboard on this
// machine on its cadence, and none of it holds up logging.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/score.h"
#include "support/main_window_fixture.h"
#include "ui/station/broadcast_window.h"
#include "ui/station/score_posting_window.h"
#include "ui/station/station_broadcasts.h"

using namespace wexon;
using wexon::test::logOf;
using wexon::test::MainWindowTest;

namespace {

struct StationDatagram {
    QString root;
    std::map<QString, QString> fields;
};

StationDatagram readStationDatagram(const QByteArray& bytes) {
    StationDatagram d;
    QXmlStreamReader xml(bytes);
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1) {
                d.root = xml.name().toString();
            } else if (depth == 2) {
                d.fields[xml.name().toString()] =
                    xml.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    if (xml.hasError()) {
        d.root = "malformed: " + xml.errorString();
    }
    return d;
}

// A scoreboard that answers every POST with `status` (0: never answers).
class StationScoreboard {
  public:
    int status = 200;
    std::vector<QByteArray> bodies;

    StationScoreboard() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { read(s); });
            }
        });
    }
    std::string url() const {
        return "http://127.0.0.1:" + std::to_string(server.serverPort()) + "/score";
    }
    QTcpServer server;

  private:
    void read(QTcpSocket* s) {
        QByteArray& b = buffers[s];
        b += s->readAll();
        const int end = b.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        const QByteArray head = b.left(end).toLower();
        const int at = head.indexOf("content-length:");
        const int length =
            at < 0 ? 0 : head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toInt();
        if (b.size() < end + 4 + length) {
            return;
        }
        bodies.push_back(b.mid(end + 4, length));
        b.clear();
        if (status != 0) {
            s->write("HTTP/1.1 " + QByteArray::number(status) +
                     " X\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            s->disconnectFromHost();
        }
    }
    std::map<QTcpSocket*, QByteArray> buffers;
};

bool settle(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

class BroadcastStationTest : public MainWindowTest {
  protected:
    QUdpSocket listener;
    std::vector<StationDatagram> received;
    std::unique_ptr<ui::StationBroadcasts> broadcasts;
    // Prompts shown by the start-up itself; any later one would be ours.
    std::size_t startupPrompts = 0;

    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(
            listener.bind(QHostAddress::LocalHost, 0,
                          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    }
    void TearDown() override { broadcasts.reset(); }

    void enableBroadcasts() {
        output::BroadcastSettings s;
        s.enabled = true;
        s.destinations = "127.0.0.1:" + std::to_string(listener.localPort());
        s.operatorCall = "N2XYZ";
        s.stationName = "RUN1";
        s.save(settings);
    }
    ui::MainWindow& start(int contacts = 2) {
        dir.write("work/log.txt", logOf(contacts));
        prompts.questionAnswers = {true};
        auto& w = make();
        broadcasts = std::make_unique<ui::StationBroadcasts>(w, services);
        EXPECT_EQ(w.formLoad(), ui::MainWindow::LoadOutcome::Ready);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        startupPrompts = prompts.shown.size();
        return w;
    }
    void drain() {
        while (listener.hasPendingDatagrams()) {
            received.push_back(readStationDatagram(listener.receiveDatagram().data()));
        }
    }
    // The next message with root `root`, waited for; the ones before it are dropped.
    std::optional<StationDatagram> next(const QString& root, int ms = 3000) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            drain();
            while (!received.empty()) {
                StationDatagram d = received.front();
                received.erase(received.begin());
                if (d.root == root) {
                    return d;
                }
            }
            QTest::qWait(5);
        }
        return std::nullopt;
    }
    void typeContact(const char* keys) {
        child<QLineEdit>("txtCall")->setFocus();
        for (const char* c = keys; *c; ++c) {
            QTest::keyClick(window->focusWidget(), *c);
        }
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
    }
};

} // namespace

TEST_F(BroadcastStationTest, LoggedEditedAndDeletedContactsGoOutWithOneId) {
    enableBroadcasts();
    auto& w = start(2);
    w.bandFreqConversion(7.012f);
    typeContact("dl1abc59915");
    ASSERT_EQ(w.contest().qsoCount(), 3);

    const auto info = next("contactinfo");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->fields.at("call"), "DL1ABC");
    EXPECT_EQ(info->fields.at("mycall"), "W1AW");
    EXPECT_EQ(info->fields.at("operator"), "N2XYZ");
    EXPECT_EQ(info->fields.at("StationName"), "RUN1");
    EXPECT_EQ(info->fields.at("band"), "7");
    EXPECT_EQ(info->fields.at("rxfreq"), "701200");
    EXPECT_EQ(info->fields.at("mode"), "CW");
    EXPECT_EQ(info->fields.at("rcv"), "599");
    EXPECT_EQ(info->fields.at("rcvnr"), "15");
    EXPECT_EQ(info->fields.at("sntnr"), "3");
    EXPECT_EQ(info->fields.at("wpxprefix"), "DL1");
    EXPECT_EQ(info->fields.at("ismultiplier1"), "1");
    EXPECT_EQ(info->fields.at("contestname"), "CQ-WPX-CW");
    const QString id = info->fields.at("ID");
    EXPECT_EQ(id.size(), 32);

    // The score follows the contact: three contacts, three prefixes.
    const auto score = next("dynamicresults");
    ASSERT_TRUE(score);
    EXPECT_EQ(score->fields.at("score").toLongLong(),
              core::totalScore(w.contest().totalPoints(), w.prefixes().count()));

    core::QsoRecord edited = w.contest().qso(3);
    edited.call = "DL1ABD";
    ASSERT_TRUE(w.contest().replaceQso(3, edited).ok());
    // The edit window reads the log again after a change.
    ASSERT_TRUE(w.reloadLog());
    const auto replace = next("contactreplace");
    ASSERT_TRUE(replace);
    EXPECT_EQ(replace->fields.at("call"), "DL1ABD");
    EXPECT_EQ(replace->fields.at("ID"), id);

    // Deleting an earlier contact leaves the edited one its id.
    ASSERT_TRUE(w.contest().removeQso(1).ok());
    ASSERT_TRUE(w.reloadLog());
    const auto firstGone = next("contactdelete");
    ASSERT_TRUE(firstGone);
    EXPECT_EQ(firstGone->fields.at("call"), "K1AA");
    EXPECT_NE(firstGone->fields.at("ID"), id);
    ASSERT_TRUE(w.contest().removeQso(2).ok());
    const auto del = next("contactdelete");
    ASSERT_TRUE(del);
    EXPECT_EQ(del->fields.at("ID"), id);
    EXPECT_EQ(del->fields.at("call"), "DL1ABD");
    EXPECT_EQ(broadcasts->failedCount(), 0u);
    EXPECT_EQ(prompts.shown.size(), startupPrompts);
}

TEST_F(BroadcastStationTest, NothingGoesOutWhileBroadcastsAreOff) {
    auto& w = start(1);
    typeContact("dl1abc59915");
    ASSERT_EQ(w.contest().qsoCount(), 2);
    w.bandFreqConversion(14.025f);
    broadcasts->pollRig();
    QTest::qWait(100);
    drain();
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(broadcasts->sentCount(), 0u);
}

TEST_F(BroadcastStationTest, RigReadingsGoOutOnChangeAndEveryTenSeconds) {
    enableBroadcasts();
    prefs.rigName = "Kenwood";
    dir.write("work/wexonprf.txt", core::serializePreferences(prefs));
    auto& w = start(1);
    w.bandFreqConversion(14.025f);
    broadcasts->pollRig();
    auto radio = next("RadioInfo");
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->fields.at("Freq"), "1402500");
    EXPECT_EQ(radio->fields.at("Mode"), "CW");
    EXPECT_EQ(radio->fields.at("OpCall"), "N2XYZ");
    EXPECT_EQ(radio->fields.at("IsConnected"), "True");

    clock.advanceSeconds(5);
    broadcasts->pollRig();
    EXPECT_FALSE(next("RadioInfo", 200)); // nothing new, not yet ten seconds
    clock.advanceSeconds(5);
    broadcasts->pollRig();
    EXPECT_TRUE(next("RadioInfo"));
    // Logging clears the window's reading; the rig is still where it was.
    typeContact("dl1abc59915");
    broadcasts->pollRig();
    w.bandFreqConversion(14.031f);
    broadcasts->pollRig();
    radio = next("RadioInfo");
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->fields.at("Freq"), "1403100");
}

TEST_F(BroadcastStationTest, TheScoreIsPostedOnItsCadenceWithTheKnownFigures) {
    StationScoreboard board;
    output::ScorePostingSettings posting;
    posting.enabled = true;
    posting.url = board.url();
    posting.user = "w1aw";
    posting.password = "pw";
    posting.save(settings);
    auto& w = start(3);
    broadcasts->pollScore();
    ASSERT_TRUE(settle([&] { return board.bodies.size() == 1 && !broadcasts->poster().busy(); }));
    const std::string body = board.bodies[0].toStdString();
    EXPECT_NE(body.find("<call>W1AW</call>"), std::string::npos);
    EXPECT_NE(body.find("<qso band=\"total\" mode=\"ALL\">3</qso>"), std::string::npos);
    EXPECT_NE(body.find("<score>9</score>"), std::string::npos); // 3 points x 3 prefixes
    EXPECT_TRUE(broadcasts->postingStatus().startsWith("Posted at"))
        << broadcasts->postingStatus().toStdString();

    // A contact a minute later changes the score; it goes at two minutes.
    clock.advanceSeconds(60);
    typeContact("dl1abc59915");
    ASSERT_EQ(w.contest().qsoCount(), 4);
    broadcasts->pollScore();
    QTest::qWait(100);
    EXPECT_EQ(board.bodies.size(), 1u);
    clock.advanceSeconds(60);
    broadcasts->pollScore();
    ASSERT_TRUE(settle([&] { return board.bodies.size() == 2; }));
    EXPECT_NE(board.bodies[1].indexOf("<qso band=\"total\" mode=\"ALL\">4</qso>"), -1);
    ASSERT_TRUE(settle([&] { return !broadcasts->poster().busy(); }));

    // With no change, ten minutes.
    clock.advanceSeconds(9 * 60);
    broadcasts->pollScore();
    QTest::qWait(100);
    EXPECT_EQ(board.bodies.size(), 2u);
    clock.advanceSeconds(60);
    broadcasts->pollScore();
    ASSERT_TRUE(settle([&] { return board.bodies.size() == 3; }));
}

TEST_F(BroadcastStationTest, AScoreboardThatFailsIsShownOnOneLineAndLoggingGoesOn) {
    StationScoreboard board;
    board.status = 500;
    output::ScorePostingSettings posting;
    posting.enabled = true;
    posting.url = board.url();
    posting.save(settings);
    enableBroadcasts();
    auto& w = start(1);
    broadcasts->pollScore();
    ASSERT_TRUE(settle([&] { return broadcasts->postingStatus().startsWith("Not posted"); }))
        << broadcasts->postingStatus().toStdString();
    EXPECT_NE(broadcasts->postingStatus().indexOf("HTTP 500"), -1);
    EXPECT_EQ(broadcasts->postingStatus().indexOf('\n'), -1);
    // No retry before the next slot.
    for (int i = 0; i < 10; ++i) {
        clock.advanceSeconds(10);
        broadcasts->pollScore();
        QTest::qWait(10);
    }
    EXPECT_EQ(board.bodies.size(), 1u);
    typeContact("dl1abc59915");
    EXPECT_EQ(w.contest().qsoCount(), 2);
    EXPECT_EQ(prompts.shown.size(), startupPrompts);

    // The window shows the same line.
    w.findChild<QAction*>("mnuScorePosting")->trigger();
    auto& postingWindow = broadcasts->scorePostingWindow();
    EXPECT_TRUE(postingWindow.isVisible());
    EXPECT_EQ(postingWindow.findChild<QLabel*>("lblScorePostStatus")->text(),
              broadcasts->postingStatus());
    EXPECT_EQ(postingWindow.findChild<QLabel*>("lblScorePostStatus")->textFormat(), Qt::PlainText);
}

TEST_F(BroadcastStationTest, TheWindowsSaveTheirSettingsAndRefuseBadEntries) {
    start(1);
    auto* item = child<QAction>("mnuBroadcasts");
    ASSERT_NE(item, nullptr);
    item->trigger();
    auto& bw = broadcasts->broadcastWindow();
    ASSERT_TRUE(bw.isVisible());
    bw.findChild<QCheckBox*>("chkBroadcastOn")->setChecked(true);
    auto* destinations = bw.findChild<QLineEdit*>("txtBroadcastDestinations");
    destinations->setText("127.0.0.1:12060, dashboard.local:1");
    QTest::mouseClick(bw.findChild<QPushButton*>("cmdBroadcastOk"), Qt::LeftButton);
    EXPECT_TRUE(bw.isVisible());
    EXPECT_EQ(bw.findChild<QLabel*>("lblBroadcastError")->text(),
              "Not a destination: dashboard.local:1: not an IPv4 address");
    EXPECT_EQ(settings.read(output::BroadcastSettings::kEnabledKey, "none"), "none");

    destinations->setText("127.0.0.1:12060;192.168.1.255:12060");
    bw.findChild<QCheckBox*>("chkBroadcastRadio")->setChecked(false);
    QTest::mouseClick(bw.findChild<QPushButton*>("cmdBroadcastOk"), Qt::LeftButton);
    EXPECT_FALSE(bw.isVisible());
    EXPECT_EQ(settings.read(output::BroadcastSettings::kEnabledKey, ""), "1");
    EXPECT_EQ(settings.read(output::BroadcastSettings::kDestinationsKey, ""),
              "127.0.0.1:12060, 192.168.1.255:12060");
    EXPECT_EQ(settings.read(output::BroadcastSettings::kRadioKey, ""), "0");
    EXPECT_TRUE(broadcasts->broadcastSettings().enabled);

    child<QAction>("mnuScorePosting")->trigger();
    auto& pw = broadcasts->scorePostingWindow();
    pw.findChild<QCheckBox*>("chkScorePostOn")->setChecked(true);
    pw.findChild<QLineEdit*>("txtScorePostUrl")->setText("file:///etc/passwd");
    QTest::mouseClick(pw.findChild<QPushButton*>("cmdScorePostOk"), Qt::LeftButton);
    EXPECT_TRUE(pw.isVisible());
    EXPECT_EQ(settings.read(output::ScorePostingSettings::kEnabledKey, "none"), "none");
    pw.findChild<QLineEdit*>("txtScorePostUrl")->setText("https://scores.example/post");
    QTest::mouseClick(pw.findChild<QPushButton*>("cmdScorePostOk"), Qt::LeftButton);
    EXPECT_FALSE(pw.isVisible());
    EXPECT_EQ(settings.read(output::ScorePostingSettings::kUrlKey, ""),
              "https://scores.example/post");
}

// Logging with everything on, against a scoreboard that never answers, takes
// as long as logging with everything off: nothing is sent inside it.
TEST_F(BroadcastStationTest, LoggingIsNotHeldUpByBroadcastsOrPosting) {
    StationScoreboard silent;
    silent.status = 0;
    output::ScorePostingSettings posting;
    posting.enabled = true;
    posting.url = silent.url();
    posting.save(settings);
    enableBroadcasts();
    auto& w = start(0);
    broadcasts->pollScore(); // a post now hangs on the silent scoreboard
    ASSERT_TRUE(settle([&] { return silent.bodies.size() == 1; }));

    constexpr int kContacts = 20;
    // The median and the worst time to type and log one contact, in ms.
    auto timeLogging = [&](int first) {
        QElapsedTimer t;
        std::vector<double> times;
        for (int i = 0; i < kContacts; ++i) {
            const std::string keys = "dl" + std::to_string(first + i) + "abc59912";
            t.start();
            typeContact(keys.c_str());
            times.push_back(t.nsecsElapsed() / 1e6);
            QTest::qWait(1); // the event loop sends what the contact queued
        }
        std::sort(times.begin(), times.end());
        return std::pair{times[times.size() / 2], times.back()};
    };
    const auto [medianOn, worstOn] = timeLogging(1);
    ASSERT_EQ(w.contest().qsoCount(), kContacts);
    EXPECT_TRUE(broadcasts->poster().busy());
    ASSERT_TRUE(settle([&] {
        drain();
        int infos = 0;
        for (const auto& d : received) {
            infos += d.root == "contactinfo" ? 1 : 0;
        }
        return infos == kContacts;
    }));

    output::BroadcastSettings off;
    off.save(settings);
    output::ScorePostingSettings postingOff;
    postingOff.save(settings);
    broadcasts->applySettings();
    const auto [medianOff, worstOff] = timeLogging(30);
    ASSERT_EQ(w.contest().qsoCount(), 2 * kContacts);
    std::printf("[ figures ] time to type and log one contact (median / worst of %d): "
                "%.2f / %.2f ms with broadcasts and posting on, %.2f / %.2f ms with them off\n",
                kContacts, medianOn, worstOn, medianOff, worstOff);
    // Generous bounds for a sanitizer build on a busy machine; a send or post
    // made inside logging would wait for the silent scoreboard's 30 s.
    EXPECT_LT(worstOn, 2000.0);
    EXPECT_EQ(prompts.shown.size(), startupPrompts);
}
