// The "Hamlib (rigctld)" entry over a real TCP link: against Hamlib's rigctld
// with its dummy rig (skipped when rigctld is not installed), and against
// small fake servers that answer garbage, refuse, or say nothing.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "core/bands.h"
#include "core/clock.h"
#include "core/settings_store.h"
#include "platform/rig_timers.h"
#include "platform/rigctld_daemon.h"
#include "platform/rigctld_port.h"
#include "rig/fake_rig.h"
#include "rig/rig_controller.h"
#include "rig/rigctld_process.h"
#include "rig/rigctld_protocol.h"

using namespace wexon;

namespace {

struct Recorder : rig::RigEvents {
    std::string band;
    int readings = 0;
    std::vector<std::string> portFailures;
    std::vector<std::pair<std::string, std::string>> failures;
    std::vector<std::string> silences;
    void rigNotAnswering(const std::string& text) override { silences.push_back(text); }
    void readingTaken(const rig::TickReport&) override { ++readings; }
    void frequencyForLog(float mhz) override {
        if (auto b = core::bandForFrequency(mhz)) {
            band = *b;
        }
    }
    void modeForLog(const std::string&) override {}
    void portFailed(const std::string& why) override { portFailures.push_back(why); }
    void operationFailed(const std::string& t, const std::string& x) override {
        failures.emplace_back(t, x);
    }
};

const char* kPlan = "\"d\"\r\n\"40\",\"E\",\"CW\",7,7.125\r\n\"40\",\"E\",\"PH\",7.125,7.3\r\n"
                    "\"20\",\"E\",\"CW\",14,14.15\r\n\"20\",\"E\",\"PH\",14.15,14.35\r\n";

// A stand-in for rigctld: answers each line it receives through `answer`
// (nothing when it returns empty) and counts the lines.
class FakeRigctld {
  public:
    using Answer = std::function<std::string(const std::string& line)>;
    explicit FakeRigctld(Answer answer) : m_answer(std::move(answer)) {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] { readable(s); });
            }
        });
    }
    int port() const { return m_server.serverPort(); }
    int lines = 0;
    std::vector<std::string> received;

  private:
    void readable(QTcpSocket* s) {
        m_pending += s->readAll().toStdString();
        std::size_t end;
        while ((end = m_pending.find('\n')) != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            ++lines;
            received.push_back(line);
            std::string reply = m_answer(line);
            if (!reply.empty()) {
                s->write(reply.data(), static_cast<qint64>(reply.size()));
            }
        }
    }
    QTcpServer m_server;
    Answer m_answer;
    std::string m_pending;
};

class RigctldLinkTest : public ::testing::Test {
  protected:
    core::MemorySettingsStore settings;
    platform::RigctldPort link{&settings};
    core::SystemClock clock;
    Recorder events;
    platform::QtScheduler scheduler;
    std::unique_ptr<rig::RigController> rig;
    platform::QtPollTimer timer{[this] { rig->tick(); }};

    void SetUp() override {
        rig = std::make_unique<rig::RigController>(rig::RigServices{
            nullptr, &timer, &scheduler, &clock, &events, "/nonexistent", &link});
        rig->setBandPlanRows(rig::rowsOfClass(rig::parseBandPlan(kPlan), 'E'));
        rig->settings().rigName = "Hamlib (rigctld)";
        rig->settings().useFrequency = 1;
        rig->settings().pollRate = "F";
    }
    void TearDown() override { rig->endTest(); }

    void address(int port) {
        settings.write(rig::kRigctldHostKey, "127.0.0.1");
        settings.write(rig::kRigctldPortKey, std::to_string(port));
    }
    // Tunes and waits until polling runs again.
    bool tune(float mhz) {
        rig->changeFrequency(mhz);
        return test::spinUntil([&] { return !rig->busy() && rig->polling(); }, 8000);
    }
};

class RealRigctldTest : public RigctldLinkTest {
  protected:
    test::RigctldProcess rigctld;
    void SetUp() override {
        if (!test::haveHamlibTool("rigctld") || !test::haveHamlibTool("rigctl")) {
            GTEST_SKIP() << "rigctld and rigctl (Debian package libhamlib-utils) are not installed";
        }
        RigctldLinkTest::SetUp();
        ASSERT_TRUE(rigctld.start()) << "rigctld would not start";
        address(rigctld.port());
    }
    void TearDown() override {
        if (rig) {
            RigctldLinkTest::TearDown();
        }
    }
};

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace

TEST_F(RealRigctldTest, TheBandFollowsTheDummyRig) {
    EXPECT_EQ(firstLine(rigctld.rigctl("F 14025000")), "");
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(test::spinUntil([&] { return events.band == "20"; }));
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    rigctld.rigctl("F 7025000");
    ASSERT_TRUE(test::spinUntil([&] { return events.band == "40"; }));
    EXPECT_FLOAT_EQ(rig->reading().frequency, 7.025f);
    rigctld.rigctl("M USB 0");
    EXPECT_TRUE(test::spinUntil([&] { return rig->reading().mode == "PH"; }));
    EXPECT_TRUE(events.portFailures.empty());
}

TEST_F(RealRigctldTest, ChangeFrequencyAndChangeModeReachTheDummyRig) {
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(tune(14.025f));
    EXPECT_EQ(firstLine(rigctld.rigctl("f")), "14025000");
    EXPECT_EQ(firstLine(rigctld.rigctl("m")), "CW"); // the band plan's mode went first
    ASSERT_TRUE(tune(7.2f));
    EXPECT_EQ(firstLine(rigctld.rigctl("f")), "7200000");
    EXPECT_EQ(firstLine(rigctld.rigctl("m")), "LSB");

    rig->changeMode(0, "RTTY");
    ASSERT_TRUE(test::spinUntil([&] { return !rig->busy(); }));
    EXPECT_EQ(firstLine(rigctld.rigctl("m")), "RTTY");
    EXPECT_TRUE(test::spinUntil([&] { return rig->reading().mode == "RY"; }));
    EXPECT_TRUE(events.failures.empty());
    EXPECT_TRUE(rig->polling());
}

TEST_F(RealRigctldTest, ARigctldThatDiesMidPollGivesThePortMessageAndStopsPolling) {
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(test::spinUntil([&] { return events.readings > 2; }));
    rigctld.stop();
    ASSERT_TRUE(test::spinUntil([&] { return !events.portFailures.empty(); }));
    EXPECT_FALSE(rig->polling());
    EXPECT_FALSE(link.isOpen());
    const int readings = events.readings;
    test::spinFor(200);
    EXPECT_EQ(events.readings, readings);
    EXPECT_EQ(events.portFailures.size(), 1u);
}

TEST_F(RealRigctldTest, PollRoundTripAgainstTheDummyRig) {
    ASSERT_EQ(link.open({}), "");
    ASSERT_TRUE(test::spinUntil([&] { return link.connected(); }));
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < 200; ++i) {
        t.start();
        ASSERT_TRUE(link.write(rig::rigctldPollCommand()));
        std::string got;
        ASSERT_TRUE(test::spinUntil([&] {
            got += link.readAll();
            return link.bytesToWrite() == 0;
        }));
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        rig::RigReading r;
        rig::parseRigctldReply(got, r);
        ASSERT_GT(r.frequency, 0.0f) << got;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("poll round trip (+f, +m) against the dummy rig, 200 polls: median %.3f ms, "
                "90%% %.3f ms, max %.3f ms\n",
                ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back());
}

TEST_F(RigctldLinkTest, GarbageRepliesLeaveTheReadingAndPollingGoesOn) {
    unsigned seed = 1;
    FakeRigctld fake([&](const std::string&) {
        std::string noise;
        for (int i = 0; i < 300; ++i) {
            seed = seed * 1103515245u + 12345u;
            noise.push_back(static_cast<char>(seed >> 16));
        }
        return noise + "\nFrequency: 12x\nMode: Q\nRPRT zz\n";
    });
    address(fake.port());
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    // No reply ever ends ("RPRT zz"), so each command waits out the reply
    // timeout; readings still come as the noise does.
    ASSERT_TRUE(test::spinUntil([&] { return events.readings >= 2; }, 8000))
        << events.readings << " readings, " << fake.lines << " lines";
    EXPECT_EQ(rig->reading().frequency, 0.0f);
    EXPECT_TRUE(rig->polling());
    EXPECT_TRUE(tune(14.025f));
    EXPECT_TRUE(events.portFailures.empty());
}

TEST_F(RigctldLinkTest, RefusalsAreReportedAndPollingGoesOn) {
    FakeRigctld fake([](const std::string& line) -> std::string {
        if (line == "+f") {
            return "get_freq:\nRPRT -5\n";
        }
        if (line == "+m") {
            return "get_mode:\nRPRT -5\n";
        }
        if (line.rfind("+F ", 0) == 0) {
            return "set_freq: " + line.substr(3) + "\nRPRT -9\n";
        }
        if (line.rfind("+M ", 0) == 0) {
            return "set_mode: " + line.substr(3) + "\nRPRT -11\n";
        }
        return "RPRT -4\n";
    });
    address(fake.port());
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(test::spinUntil([&] { return events.readings > 2; }));
    EXPECT_EQ(rig->reading().frequency, 0.0f);
    ASSERT_TRUE(tune(14.025f));
    ASSERT_EQ(events.failures.size(), 2u);
    EXPECT_EQ(events.failures[0].first, rig::kModeErrorTitle);
    EXPECT_EQ(events.failures[0].second, "rigctld: Function not available (RPRT -11) CW");
    EXPECT_EQ(events.failures[1].first, rig::kFrequencyErrorTitle);
    EXPECT_EQ(events.failures[1].second, "rigctld: Command rejected by the rig (RPRT -9)");
    EXPECT_TRUE(rig->polling());
    EXPECT_TRUE(events.portFailures.empty());
}

TEST_F(RigctldLinkTest, ASilentRigctldNeitherBlocksNorFloods) {
    FakeRigctld fake([](const std::string&) { return std::string(); });
    address(fake.port());
    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(10);
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    EXPECT_LT(t.elapsed(), 100);
    test::spinFor(1000);
    // One command in the first reply timeout, though ticks come every 50 ms.
    EXPECT_EQ(fake.lines, 1);
    EXPECT_TRUE(rig->polling());
    EXPECT_GT(ticks, 50); // the event loop ran all along
    t.start();
    ASSERT_TRUE(tune(14.025f));
    // The drains before and after the frequency command each end by the limit.
    EXPECT_LT(t.elapsed(), 4 * rig::kDrainLimitMs + 500);
    EXPECT_GT(ticks, 100);
    // Queued behind commands that were never answered, it still goes out.
    EXPECT_TRUE(test::spinUntil(
        [&] {
            return std::find(fake.received.begin(), fake.received.end(), "+F 14025000") !=
                   fake.received.end();
        },
        5000));
    EXPECT_TRUE(events.portFailures.empty());
}

TEST_F(RigctldLinkTest, NobodyListeningGivesThePortMessage) {
    address(test::freeLocalPort());
    EXPECT_EQ(rig->test(), rig::RigController::TestResult::Polling); // still connecting
    ASSERT_TRUE(test::spinUntil([&] { return !events.portFailures.empty(); }));
    EXPECT_FALSE(rig->polling());
}

TEST_F(RigctldLinkTest, AnUnusableAddressFailsAtOnce) {
    settings.write(rig::kRigctldPortKey, "99999");
    EXPECT_EQ(rig->test(), rig::RigController::TestResult::PortFailed);
    ASSERT_EQ(events.portFailures.size(), 1u);
    EXPECT_NE(events.portFailures[0].find("99999"), std::string::npos);
    settings.write(rig::kRigctldPortKey, "4532");
    settings.write(rig::kRigctldHostKey, "  ");
    EXPECT_EQ(rig->test(), rig::RigController::TestResult::PortFailed);
    EXPECT_FALSE(rig->polling());
    // Without any settings the defaults are used.
    platform::RigctldPort defaults(nullptr);
    defaults.open({});
    EXPECT_EQ(defaults.host(), "127.0.0.1");
    EXPECT_EQ(defaults.tcpPort(), 4532);
    defaults.close();
    EXPECT_FALSE(defaults.write("+f\n"));
}

TEST_F(RigctldLinkTest, TheProgramStartsRigctldItselfAndStopsIt) {
    if (!test::haveHamlibTool("rigctld")) {
        GTEST_SKIP() << "rigctld (Debian package libhamlib-utils) is not installed";
    }
    platform::RigctldDaemon daemon;
    rig::RigctldLaunch launch; // the dummy rig, no serial device
    launch.port = test::freeLocalPort();
    address(launch.port);
    ASSERT_EQ(daemon.start(launch), "");
    EXPECT_TRUE(daemon.running());
    const QStringList arguments = daemon.arguments();
    EXPECT_EQ(daemon.start(launch), ""); // the same daemon goes on
    EXPECT_EQ(daemon.arguments(), arguments);
    // The link waits for the new daemon to listen rather than failing at once.
    link.allowStartUp(3000);
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(test::spinUntil([&] { return rig->reading().frequency > 0; }, 5000))
        << events.portFailures.size() << " failures, open " << link.isOpen() << ", connected "
        << link.connected() << ", listening " << test::acceptsConnections(launch.port)
        << ", readings " << events.readings;
    ASSERT_TRUE(tune(14.025f));
    EXPECT_TRUE(test::spinUntil([&] { return events.band == "20"; }));
    EXPECT_TRUE(events.portFailures.empty());

    // Stopped, the daemon is gone: polling meets a closed link.
    daemon.stop();
    EXPECT_FALSE(daemon.running());
    ASSERT_TRUE(test::spinUntil([&] { return !events.portFailures.empty(); }));
    EXPECT_FALSE(test::acceptsConnections(launch.port));
}

TEST(RigctldDaemonTest, BadLaunchesAndAMissingProgramAreReported) {
    platform::RigctldDaemon daemon(QStringLiteral("/nonexistent/rigctld"));
    rig::RigctldLaunch launch;
    launch.device = "ttyUSB0";
    EXPECT_NE(daemon.start(launch), "");
    launch.device.clear();
    launch.port = test::freeLocalPort();
    const std::string why = daemon.start(launch);
    EXPECT_NE(why.find("rigctld could not be started"), std::string::npos) << why;
    EXPECT_FALSE(daemon.running());
    daemon.stop(); // nothing to stop
}

TEST(RigctldDaemonTest, TheModelListComesFromRigctl) {
    bool missingDone = false;
    std::vector<rig::HamlibModel> none{{1, "x", "y"}};
    platform::HamlibModelListing missing(
        [&](std::vector<rig::HamlibModel> m) {
            none = std::move(m);
            missingDone = true;
        },
        QStringLiteral("/nonexistent/rigctl"));
    ASSERT_TRUE(test::spinUntil([&] { return missingDone; }));
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(missing.finished());
    if (!test::haveHamlibTool("rigctl")) {
        GTEST_SKIP() << "rigctl (Debian package libhamlib-utils) is not installed";
    }
    std::vector<rig::HamlibModel> models;
    int calls = 0;
    platform::HamlibModelListing listing([&](std::vector<rig::HamlibModel> m) {
        models = std::move(m);
        ++calls;
    });
    ASSERT_TRUE(test::spinUntil([&] { return calls > 0; }, 6000));
    ASSERT_GT(models.size(), 100u);
    EXPECT_EQ(models[0].label(), "Hamlib Dummy (1)");
    test::spinFor(100);
    EXPECT_EQ(calls, 1);

    // Nothing is handed on from a listing that has gone.
    bool called = false;
    {
        platform::HamlibModelListing gone([&](std::vector<rig::HamlibModel>) { called = true; });
    }
    test::spinFor(1500);
    EXPECT_FALSE(called);
}

// rigctld runs, but the rig behind it never answers: every command comes back
// as a time-out. That is said within seconds, and polling goes on.
TEST_F(RigctldLinkTest, ARigThatNeverAnswersBehindRigctldIsReported) {
    FakeRigctld fake([](const std::string& line) {
        return line == "+f" ? std::string("get_freq:\nRPRT -5\n")
                            : std::string("get_mode:\nRPRT -5\n");
    });
    address(fake.port());
    QElapsedTimer t;
    t.start();
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(test::spinUntil([&] { return !events.silences.empty(); }, 10000));
    EXPECT_GE(t.elapsed(), rig::kSilentRigMs - 100);
    EXPECT_LT(t.elapsed(), rig::kSilentRigMs + 2000);
    EXPECT_EQ(events.silences[0], rig::kRigctldSilentText);
    EXPECT_TRUE(rig->polling());
    EXPECT_TRUE(events.portFailures.empty());
    EXPECT_GT(fake.lines, 20); // it kept asking
}
