#include "platform/cwdaemon_link.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include "keying/cw_engine.h"
#include "keying/cwdaemon_protocol.h"
#include "keying/keying_fakes.h"

namespace wexon::platform {
namespace {

// What the sender reports, with the time sending stopped.
class TimedReports : public keying::CwEngineListener {
  public:
    void exclamationReached() override {}
    void characterDone(const std::string&) override {}
    void sendingStopped() override {
        ++stops;
        stoppedAtMs = clock.elapsed();
    }
    QElapsedTimer clock;
    int stops = 0;
    qint64 stoppedAtMs = -1;
};

// A UDP port on the loopback that nothing listens on right now.
int freeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

// Runs the event loop until `done` or `ms` pass; returns whether done.
bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

// A real cwdaemon in the foreground: no keying device, no sound, on a free
// loopback port (it listens on every interface; the tests send only to
// 127.0.0.1).
class RealCwdaemon {
  public:
    bool start() {
        QString program = QStandardPaths::findExecutable("cwdaemon", {"/usr/sbin", "/usr/bin"});
        if (program.isEmpty()) {
            return false;
        }
        port = freeUdpPort();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program,
                        {"-n", "-d", "null", "-x", "n", "-y", "n", "-p", QString::number(port)});
        if (!m_process.waitForStarted(3000)) {
            return false;
        }
        // Ready once it echoes a character back.
        QUdpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        for (int i = 0; i < 30; ++i) {
            probe.write(QByteArray::fromStdString(keying::cwdaemon::echoRequest("P")));
            probe.write("E");
            if (waitFor([&] { return probe.hasPendingDatagrams(); }, 200)) {
                return true;
            }
        }
        return false;
    }
    void kill() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    ~RealCwdaemon() { kill(); }
    int port = 0;

  private:
    QProcess m_process;
};

// The link with its buffer, aimed at `port`.
struct LinkRig {
    test::VirtualElementClock elementClock;
    keying::CwEngine engine{elementClock, nullptr, false};
    TimedReports reports;
    std::unique_ptr<CwdaemonLink> link;
    std::vector<std::string> problems;

    explicit LinkRig(int port) {
        link = std::make_unique<CwdaemonLink>(engine, reports);
        link->sender().setProblemReport([this](const std::string& p) { problems.push_back(p); });
        EXPECT_EQ(link->setTarget("127.0.0.1", port), "");
    }
    // Sends `text` at `wpm`; returns how long pump() itself took.
    qint64 send(const std::string& text, double wpm) {
        engine.setSpeed(wpm);
        engine.append(text);
        reports.stops = 0;
        reports.clock.start();
        link->sender().pump();
        return reports.clock.elapsed();
    }
    bool waitStopped(int ms) {
        return waitFor([this] { return reports.stops > 0; }, ms);
    }
    // cwdaemon takes about a second over the first character after the reset
    // the link sends; one character absorbs it.
    void warmUp() {
        send("E", 40);
        ASSERT_TRUE(waitStopped(4000));
    }
};

double predictedMs(const std::string& text, double wpm) {
    return static_cast<double>(keying::cwdaemon::keyedUnits(text, 0)) * 1200.0 / wpm;
}

class CwdaemonLive : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!m_daemon.start()) {
            GTEST_SKIP() << "cwdaemon could not be started (scripts/deps.sh installs it)";
        }
    }
    RealCwdaemon m_daemon;
};

TEST_F(CwdaemonLive, AMessageEndsWhenParisTimingSays) {
    LinkRig rig(m_daemon.port);
    rig.warmUp();
    const std::string text = "PARIS TU";
    rig.send(text, 25);
    ASSERT_TRUE(rig.waitStopped(8000));
    const double predicted = predictedMs(text, 25);
    const double measured = static_cast<double>(rig.reports.stoppedAtMs);
    std::printf("[ timing   ] \"%s\" at 25 WPM: predicted %.0f ms, measured %.0f ms (%+.1f %%)\n",
                text.c_str(), predicted, measured, (measured - predicted) * 100.0 / predicted);
    EXPECT_NEAR(measured, predicted, predicted * 0.10);
    EXPECT_TRUE(rig.problems.empty());
}

TEST_F(CwdaemonLive, EscCutsALongMessageShortAfterTheCharacterOnAir) {
    LinkRig rig(m_daemon.port);
    rig.warmUp();
    const std::string text = "PARIS PARIS PARIS PARIS";
    rig.send(text, 25);
    waitFor([] { return false; }, 600);
    EXPECT_TRUE(rig.link->sender().isSending());
    rig.link->sender().stop();
    ASSERT_TRUE(rig.waitStopped(1500));
    // At most the character on air (P, 14 units) after the Esc.
    EXPECT_LT(rig.reports.stoppedAtMs, 600 + 14 * 48 + 150);
    EXPECT_LT(rig.reports.stoppedAtMs, predictedMs(text, 25) / 3);
    EXPECT_TRUE(rig.engine.bufferEmpty());
}

TEST_F(CwdaemonLive, ASpeedChangeReachesTheRestOfTheMessage) {
    LinkRig rig(m_daemon.port);
    rig.warmUp();
    const std::string text = "TTTTTTTTTT";
    rig.send(text, 25);
    waitFor([] { return false; }, 500);
    rig.engine.setSpeed(50);
    ASSERT_TRUE(rig.waitStopped(6000));
    const double at25 = predictedMs(text, 25);
    const double measured = static_cast<double>(rig.reports.stoppedAtMs);
    std::printf("[ speed    ] 10 T, 25 then 50 WPM after 500 ms: %.0f ms (all at 25: %.0f ms)\n",
                measured, at25);
    EXPECT_LT(measured, at25 * 0.8);
    EXPECT_GT(measured, predictedMs(text, 50));
}

TEST_F(CwdaemonLive, ACwdaemonThatDiesMidMessageIsReportedWithoutBlocking) {
    LinkRig rig(m_daemon.port);
    rig.warmUp();
    EXPECT_LT(rig.send("PARIS PARIS PARIS", 25), 50);
    waitFor([] { return false; }, 400);
    m_daemon.kill();
    // The character on air is never answered: given up after its keyed
    // length twice plus the slack.
    ASSERT_TRUE(rig.waitStopped(5000));
    EXPECT_FALSE(rig.link->sender().isSending());
    ASSERT_FALSE(rig.problems.empty());
    EXPECT_NE(rig.problems.back().find("cwdaemon at 127.0.0.1:"), std::string::npos);
    EXPECT_NE(rig.problems.back().find("the message was stopped"), std::string::npos);
}

TEST(CwdaemonAbsent, ANotRunningCwdaemonIsReportedAtOnce) {
    LinkRig rig(freeUdpPort());
    waitFor([] { return false; }, 100);
    rig.problems.clear();
    EXPECT_LT(rig.send("CQ CQ", 25), 50);
    ASSERT_TRUE(rig.waitStopped(1500));
    EXPECT_FALSE(rig.link->sender().isSending());
    ASSERT_EQ(rig.problems.size(), 1u);
    EXPECT_NE(rig.problems[0].find("is it running?"), std::string::npos);
}

TEST(CwdaemonAbsent, UnusableTargetsAreRefusedWithAReason) {
    test::VirtualElementClock elementClock;
    keying::CwEngine engine{elementClock, nullptr, false};
    TimedReports reports;
    CwdaemonLink link(engine, reports);
    EXPECT_NE(link.setTarget("127.0.0.1", 0), "");
    EXPECT_NE(link.setTarget("127.0.0.1", 70000), "");
    EXPECT_NE(link.setTarget("  ", 6789), "");
    EXPECT_FALSE(link.isOpen());
}

} // namespace
} // namespace wexon::platform
