#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "rig/hex_bytes.h"
#include "rig/rig_controller.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

using namespace wexon;
using namespace wexon::rig;
using std::chrono::milliseconds;

namespace {

struct FakePort : CatPort {
    bool open_ = false;
    bool failOpen = false;
    bool failWrites = false;
    int pending = 0;
    PortRequest lastRequest;
    int opens = 0;
    std::string incoming;
    struct Write {
        long long atMs;
        std::string bytes;
    };
    std::vector<Write> writes;
    const test::FakeClock* clock = nullptr;
    // A write containing `refuse` is refused by the far end, as rigctld does.
    std::string refuse;
    std::string refusal;

    std::string open(const PortRequest& r) override {
        lastRequest = r;
        ++opens;
        if (failOpen) {
            return "no such port";
        }
        open_ = true;
        return {};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(std::string_view b) override {
        if (!open_ || failWrites) {
            return false;
        }
        writes.push_back(
            {std::chrono::duration_cast<milliseconds>(clock->steady.time_since_epoch()).count(),
             std::string(b)});
        if (!refuse.empty() && b.find(refuse) != std::string_view::npos) {
            refusal = "rigctld: Command rejected by the rig (RPRT -9)";
        }
        return true;
    }
    std::string takeCommandError() override { return std::exchange(refusal, {}); }
    std::string readAll() override { return std::exchange(incoming, {}); }
    int bytesToWrite() const override { return pending; }
    void setDtr(bool) override {}
    void setRts(bool) override {}
};

struct FakeTimer : PollTimer {
    bool active = false;
    int interval = 0;
    void start(int ms) override {
        active = true;
        interval = ms;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
};

// Runs scheduled work in time order, moving the fake clock to each due time.
struct FakeScheduler : Scheduler {
    test::FakeClock* clock = nullptr;
    std::multimap<long long, std::function<void()>> queue;
    void after(int ms, std::function<void()> work) override {
        queue.emplace(now() + ms, std::move(work));
    }
    long long now() const {
        return std::chrono::duration_cast<milliseconds>(clock->steady.time_since_epoch()).count();
    }
    void runAll(int maxSteps = 100000) {
        while (!queue.empty() && maxSteps-- > 0) {
            auto it = queue.begin();
            clock->steady = std::chrono::steady_clock::time_point(milliseconds(it->first));
            auto work = std::move(it->second);
            queue.erase(it);
            work();
        }
    }
};

struct Recorder : RigEvents {
    std::vector<TickReport> readings;
    std::vector<float> frequencies;
    std::vector<std::string> modes;
    std::vector<std::string> portFailures;
    std::vector<std::pair<std::string, std::string>> failures;
    std::vector<std::string> silences;
    void rigNotAnswering(const std::string& text) override { silences.push_back(text); }
    void readingTaken(const TickReport& r) override { readings.push_back(r); }
    void frequencyForLog(float mhz) override { frequencies.push_back(mhz); }
    void modeForLog(const std::string& m) override { modes.push_back(m); }
    void portFailed(const std::string& why) override { portFailures.push_back(why); }
    void operationFailed(const std::string& t, const std::string& x) override {
        failures.emplace_back(t, x);
    }
};

const char* kPlan = "\"d\"\r\n\"80\",\"E\",\"PH\",3.6,4\r\n\"160\",\"E\",\"PH\",1.8,2\r\n"
                    "\"20\",\"E\",\"CW\",14,14.15\r\n\"20\",\"E\",\"PH\",14.15,14.35\r\n";

class RigControllerTest : public ::testing::Test {
  protected:
    test::FakeClock clock;
    FakePort port;
    FakePort network; // the rigctld link
    FakeTimer timer;
    FakeScheduler scheduler;
    Recorder events;
    test::TempDir dir;
    std::unique_ptr<RigController> rig;

    void SetUp() override {
        port.clock = &clock;
        network.clock = &clock;
        scheduler.clock = &clock;
        rig = std::make_unique<RigController>(
            RigServices{&port, &timer, &scheduler, &clock, &events, dir.path(), &network});
        rig->setBandPlanRows(rowsOfClass(parseBandPlan(kPlan), 'E'));
    }
    void choose(const char* name) {
        RigSettings& s = rig->settings();
        const RigProfile& p = profileFor(name);
        s.rigName = name;
        s.frequencyRead = p.frequencyRead ? p.frequencyRead : "";
        s.modeRead = p.modeRead ? p.modeRead : "";
        if (p.baud) {
            s.baud = padBaud(p.baud);
        }
        s.portSettings = portSettingsText(s);
    }
    std::vector<std::string> written() const {
        std::vector<std::string> out;
        for (const auto& w : port.writes) {
            out.push_back(w.bytes);
        }
        return out;
    }
};

} // namespace

TEST_F(RigControllerTest, TestOpensThePortPollsOnceAndStartsTheTimer) {
    choose("Kenwood");
    rig->settings().portNumber = 4;
    rig->settings().power = "D";
    rig->settings().pollRate = "F";
    EXPECT_EQ(rig->test(), RigController::TestResult::Polling);
    EXPECT_EQ(port.lastRequest.portNumber, 4);
    EXPECT_EQ(port.lastRequest.settings, "4800,N,8,1");
    EXPECT_EQ(port.lastRequest.handshaking, 0);
    EXPECT_EQ(port.lastRequest.powerLine, 'D');
    EXPECT_EQ(written(), std::vector<std::string>{"FA;MD;"});
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(timer.interval, 50);
    EXPECT_TRUE(rig->pollState().awaitingReply);
}

TEST_F(RigControllerTest, StartUpAndClosingBytesOfTheRigsThatNeedThem) {
    choose("Ten Tec Orion");
    rig->test();
    EXPECT_EQ(port.lastRequest.handshaking, 2);
    ASSERT_GE(written().size(), 2u);
    EXPECT_EQ(written()[0], "X\r");
    EXPECT_EQ(written()[1], "?AF\r?RMM\r");

    port.writes.clear();
    choose("Yaesu 890");
    rig->test();
    EXPECT_EQ(port.lastRequest.handshaking, 0);
    EXPECT_EQ(hexOf(written()[0]), "0000000000");
    rig->closing();
    EXPECT_EQ(hexOf(written().back()), "0000000080");

    port.writes.clear();
    choose("Yaesu FTdx9000");
    rig->test();
    rig->closing();
    EXPECT_EQ(written(), std::vector<std::string>{"FA;"});

    choose("Yaesu");
    rig->test();
    rig->endTest();
    port.writes.clear();
    rig->closing(); // not polling: nothing
    EXPECT_TRUE(written().empty());
}

TEST_F(RigControllerTest, APortThatWillNotOpenLeavesPollingOff) {
    choose("Icom");
    port.failOpen = true;
    EXPECT_EQ(rig->test(), RigController::TestResult::PortFailed);
    EXPECT_FALSE(timer.active);
    EXPECT_EQ(events.portFailures.size(), 1u);
    choose("None");
    EXPECT_EQ(rig->test(), RigController::TestResult::NoRig);
    EXPECT_EQ(port.opens, 1);
}

TEST_F(RigControllerTest, ReadTicksFeedTheLogAsTheSettingsSay) {
    choose("Kenwood");
    rig->settings().useFrequency = 1;
    rig->settings().modeBy = 1;
    rig->test();
    port.incoming = "FA00014025000;MD3;";
    rig->tick();
    ASSERT_EQ(events.readings.size(), 1u);
    EXPECT_EQ(events.readings[0].received, "FA00014025000;MD3;");
    EXPECT_EQ(events.frequencies, std::vector<float>{14.025f});
    EXPECT_EQ(events.modes, std::vector<std::string>{"CW"});

    rig->settings().useFrequency = 0;
    rig->settings().modeBy = 3;
    rig->tick(); // send
    port.incoming = "FA00007025000;MD2;";
    rig->tick();
    EXPECT_EQ(events.frequencies.size(), 1u);
    EXPECT_EQ(events.modes.size(), 1u);
    EXPECT_FLOAT_EQ(rig->reading().frequency, 7.025f);

    rig->settings().modeBy = 2; // by frequency: 7.025 is CW whatever the rig says
    rig->tick();
    port.incoming = "FA00007025000;MD2;";
    rig->tick();
    EXPECT_EQ(events.modes.back(), "CW");
}

TEST_F(RigControllerTest, ASilentRigChangesNothingAndTheNextTickSendsAgain) {
    choose("Kenwood");
    rig->test();
    rig->tick(); // read: nothing came
    EXPECT_TRUE(events.readings.empty());
    EXPECT_FALSE(rig->pollState().awaitingReply);
    rig->tick();
    EXPECT_EQ(written().size(), 2u);
    // Bytes still waiting: the send tick writes nothing but the next one reads.
    port.pending = 3;
    rig->tick();
    rig->tick();
    EXPECT_EQ(written().size(), 2u);
    EXPECT_TRUE(rig->pollState().awaitingReply);
}

TEST_F(RigControllerTest, HostileRepliesKeepTheLastGoodReading) {
    choose("Icom");
    rig->test(); // asks for the frequency
    port.incoming = hexOf("") + bytesFromSpacedHex("FE FE E0 64 03 00 50 02 14 00 FD");
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    std::string noise(1 << 20, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919) >> 3);
    }
    for (int round = 0; round < 4; ++round) {
        rig->tick();
        port.incoming = noise;
        rig->tick();
    }
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
}

TEST_F(RigControllerTest, APortThatVanishesStopsPolling) {
    choose("Kenwood");
    rig->test();
    port.open_ = false;
    rig->tick();
    EXPECT_FALSE(timer.active);
    EXPECT_EQ(events.portFailures.size(), 1u);
}

TEST_F(RigControllerTest, ChangeFrequencySendsModeThenFrequencyWithThePauses) {
    choose("Kenwood");
    rig->test();
    port.writes.clear();
    port.incoming = "stale";
    rig->changeFrequency(14.250f);
    EXPECT_FALSE(timer.active); // no poll between the commands
    EXPECT_TRUE(port.incoming.empty());
    scheduler.runAll();
    ASSERT_EQ(port.writes.size(), 2u);
    EXPECT_EQ(port.writes[0].bytes, "MD2;");
    EXPECT_EQ(port.writes[0].atMs, 99);
    EXPECT_EQ(port.writes[1].bytes, "FA00014250000;");
    EXPECT_EQ(port.writes[1].atMs, 99 + 205);
    EXPECT_TRUE(timer.active);
    EXPECT_FALSE(rig->busy());
}

TEST_F(RigControllerTest, ElecraftWaitsASecondMoreAnd160MetresTakesNoMode) {
    choose("Elecraft");
    rig->test();
    port.writes.clear();
    rig->changeFrequency(1.840f);
    scheduler.runAll();
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0].bytes, "FA00001840000;");
    EXPECT_EQ(port.writes[0].atMs, 1205);
}

TEST_F(RigControllerTest, ANotPolledRigIsNeverTuned) {
    choose("Kenwood");
    rig->changeFrequency(14.2f);
    scheduler.runAll();
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(RigControllerTest, DrainWaitsForTheOutputButNoLongerThanTwoSeconds) {
    choose("Kenwood");
    rig->test();
    port.writes.clear();
    port.pending = 10; // never empties
    rig->changeFrequency(14.0501f);
    scheduler.runAll();
    ASSERT_EQ(port.writes.size(), 2u);
    // events, drain (2000), pause 99, mode; drain, drain (2000 each), pause 205.
    EXPECT_EQ(port.writes[0].bytes, "MD3;");
    EXPECT_GE(port.writes[0].atMs, 2000 + 99);
    EXPECT_LE(port.writes[0].atMs, 2000 + 99 + 2);
    EXPECT_GE(port.writes[1].atMs, 3 * 2000 + 99 + 205);
    EXPECT_LE(port.writes[1].atMs, 3 * 2000 + 99 + 205 + 4);
    EXPECT_TRUE(timer.active);
}

TEST_F(RigControllerTest, AFailedFrequencyChangeReportsAndLeavesPollingStopped) {
    choose("Kenwood");
    rig->test();
    port.failWrites = true;
    rig->changeFrequency(14.250f);
    scheduler.runAll();
    ASSERT_EQ(events.failures.size(), 2u);
    EXPECT_EQ(events.failures[0].first, kModeErrorTitle);
    EXPECT_EQ(events.failures[0].second, std::string(kPortClosedText) + " USB");
    EXPECT_EQ(events.failures[1].first, kFrequencyErrorTitle);
    EXPECT_FALSE(timer.active);
}

TEST_F(RigControllerTest, ChangeModeSendsTheRigsCommandOrNothing) {
    choose("Icom");
    rig->test();
    port.writes.clear();
    EXPECT_EQ(rig->changeMode(0, "CW"), "CW");
    scheduler.runAll();
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(hexOf(port.writes[0].bytes), "FEFE64E00603FD");
    EXPECT_TRUE(timer.active); // a mode change leaves polling running

    choose("Kenwood");
    port.writes.clear();
    rig->changeMode(0, "CW-R");
    scheduler.runAll();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(rig->changeMode(3.79f, ""), "LSB");
    scheduler.runAll();
    EXPECT_EQ(written(), std::vector<std::string>{"MD1;"});

    choose("None");
    port.writes.clear();
    rig->changeMode(0, "CW");
    scheduler.runAll();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(events.failures.empty());
}

TEST_F(RigControllerTest, EndTestAbandonsAChangeInProgress) {
    choose("Kenwood");
    rig->test();
    port.writes.clear();
    rig->changeFrequency(14.250f);
    rig->endTest();
    scheduler.runAll();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(timer.active);
}

TEST_F(RigControllerTest, PegasusTalksThroughItsExchangeFiles) {
    choose("Ten Tec Pegasus");
    dir.write("PEGASUS.OUT", "7.025,\"LSB\"\r\n");
    EXPECT_EQ(rig->test(), RigController::TestResult::Polling);
    EXPECT_EQ(port.opens, 0);
    rig->tick(); // read
    EXPECT_FLOAT_EQ(rig->reading().frequency, 7.025f);
    EXPECT_EQ(rig->reading().mode, "PH");
    rig->changeFrequency(14.025f);
    scheduler.runAll();
    EXPECT_EQ(dir.read("PEGASUS.IN"), "14.025\r\nPH\r\n");
    EXPECT_TRUE(timer.active);
    dir.write("PEGASUS.OUT", "garbage");
    rig->tick();
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 7.025f);
}

TEST_F(RigControllerTest, TheRigctldEntryTalksOverTheNetworkLinkOnly) {
    choose("Hamlib (rigctld)");
    rig->settings().useFrequency = 1;
    EXPECT_EQ(rig->test(), RigController::TestResult::Polling);
    EXPECT_EQ(port.opens, 0);
    EXPECT_EQ(network.opens, 1);
    ASSERT_EQ(network.writes.size(), 1u);
    EXPECT_EQ(network.writes[0].bytes, "+f\n+m\n");
    network.incoming = "get_freq:\nFrequency: 7025000\nRPRT 0\nget_mode:\nMode: LSB\n"
                       "Passband: 2400\nRPRT 0\n";
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 7.025f);
    EXPECT_EQ(rig->reading().mode, "PH");
    EXPECT_EQ(events.frequencies, std::vector<float>{7.025f});
    // Unanswered commands hold the next poll back, as bytes waiting would.
    network.pending = 1;
    rig->tick();
    EXPECT_EQ(network.writes.size(), 1u);
    rig->endTest();
    EXPECT_FALSE(network.open_);
    EXPECT_TRUE(port.writes.empty());

    // A serial rig chosen after it uses the serial port again; both are closed.
    choose("Kenwood");
    rig->test();
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(network.opens, 1);
}

TEST_F(RigControllerTest, WithoutANetworkLinkTheRigctldEntryFailsAsABadPort) {
    RigController alone(RigServices{&port, &timer, &scheduler, &clock, &events, dir.path()});
    alone.settings().rigName = "Hamlib (rigctld)";
    EXPECT_EQ(alone.test(), RigController::TestResult::PortFailed);
    EXPECT_EQ(events.portFailures.size(), 1u);
    EXPECT_FALSE(timer.active);
    EXPECT_EQ(port.opens, 0);
    alone.changeMode(14.0f, "CW"); // nothing to send on, and no crash
    scheduler.runAll();
    EXPECT_FALSE(alone.sendRaw("+f\n"));
}

TEST_F(RigControllerTest, RigctldChangesSendModeThenFrequencyWithoutSerialPauses) {
    choose("Hamlib (rigctld)");
    rig->test();
    network.writes.clear();
    network.incoming = "stale";
    rig->changeFrequency(14.025f);
    EXPECT_FALSE(timer.active);
    EXPECT_TRUE(network.incoming.empty());
    scheduler.runAll();
    ASSERT_EQ(network.writes.size(), 2u);
    EXPECT_EQ(network.writes[0].bytes, "+M CW 0\n");
    EXPECT_EQ(network.writes[0].atMs, 99);
    EXPECT_EQ(network.writes[1].bytes, "+F 14025000\n");
    EXPECT_EQ(network.writes[1].atMs, 99);
    EXPECT_TRUE(timer.active);
    EXPECT_TRUE(events.failures.empty());

    network.writes.clear();
    rig->changeMode(0, "RTTY");
    scheduler.runAll();
    EXPECT_EQ(network.writes[0].bytes, "+M RTTY 0\n");
}

TEST_F(RigControllerTest, ARefusedRigctldCommandIsReportedAndPollingGoesOn) {
    choose("Hamlib (rigctld)");
    rig->test();
    network.refuse = "+F";
    rig->changeFrequency(14.025f);
    scheduler.runAll();
    ASSERT_EQ(events.failures.size(), 1u);
    EXPECT_EQ(events.failures[0].first, kFrequencyErrorTitle);
    EXPECT_EQ(events.failures[0].second, "rigctld: Command rejected by the rig (RPRT -9)");
    EXPECT_TRUE(timer.active); // the link is sound: only the rig said no

    network.refuse = "+M";
    network.writes.clear();
    rig->changeFrequency(14.2f);
    scheduler.runAll();
    ASSERT_EQ(events.failures.size(), 2u);
    EXPECT_EQ(events.failures[1].first, kModeErrorTitle);
    EXPECT_EQ(events.failures[1].second, "rigctld: Command rejected by the rig (RPRT -9) USB");
    ASSERT_EQ(network.writes.size(), 2u); // the frequency still goes out
    EXPECT_EQ(network.writes[1].bytes, "+F 14200000\n");
    EXPECT_TRUE(timer.active);

    // A refusal left over from before is not blamed on the next command.
    network.refuse.clear();
    network.refusal = "rigctld: (RPRT -1)";
    rig->changeFrequency(14.1f);
    scheduler.runAll();
    EXPECT_EQ(events.failures.size(), 2u);
}

TEST_F(RigControllerTest, ASilentRigctldDelaysAChangeButNeverHoldsItForever) {
    choose("Hamlib (rigctld)");
    rig->test();
    network.writes.clear();
    network.pending = 1; // replies never come
    rig->changeFrequency(14.025f);
    scheduler.runAll();
    ASSERT_EQ(network.writes.size(), 2u);
    EXPECT_LE(network.writes[1].atMs, 3 * kDrainLimitMs + 99 + 4);
    EXPECT_TRUE(timer.active);
    EXPECT_FALSE(rig->busy());
}

// Binary Yaesu replies at 4800 baud take longer than a tick; the pieces of one
// reply are joined, whatever came before a poll is dropped, and only a whole
// frame in step is read.
TEST_F(RigControllerTest, YaesuRepliesSplitAcrossTicksAreReadWhole) {
    choose("Yaesu");
    rig->settings().useFrequency = 1;
    rig->test(); // start-up bytes, then the poll
    ASSERT_EQ(written().size(), 2u);
    port.incoming = bytesFromSpacedHex("01 40");
    rig->tick(); // two bytes of five: read on
    EXPECT_TRUE(events.readings.empty());
    EXPECT_TRUE(rig->pollState().awaitingReply);
    port.incoming = bytesFromSpacedHex("25 00 02");
    rig->tick();
    ASSERT_EQ(events.readings.size(), 1u);
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    EXPECT_EQ(rig->reading().mode, "CW");

    // The tail of a late reply is waiting when the next poll goes: dropped.
    port.incoming = bytesFromSpacedHex("00 02 01");
    rig->tick(); // send
    EXPECT_TRUE(port.incoming.empty());
    port.incoming = bytesFromSpacedHex("01 40 25");
    rig->tick();
    port.incoming = bytesFromSpacedHex("00 02");
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    EXPECT_EQ(events.frequencies, (std::vector<float>{14.025f, 14.025f}));

    // A reply that never completes is given up after the wait, unread.
    rig->tick(); // send
    port.incoming = bytesFromSpacedHex("02 01");
    rig->tick();
    clock.steady += milliseconds(kReplyWaitMs);
    rig->tick();
    EXPECT_FALSE(rig->pollState().awaitingReply);
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    for (float logged : events.frequencies) {
        EXPECT_FLOAT_EQ(logged, 14.025f);
    }
}

TEST_F(RigControllerTest, Yaesu890BlocksArriveInPiecesAndOutOfStepReadingsAreRefused) {
    choose("Yaesu 890");
    rig->settings().useFrequency = 1;
    rig->test();
    const std::string block =
        bytesFromSpacedHex("00 00 15 66 84 00 00 02 00 00 00 00 00 00 00 00 00 00");
    port.incoming = block.substr(0, 4);
    rig->tick();
    EXPECT_TRUE(events.readings.empty());
    port.incoming = block.substr(4);
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    // A block read out of step gives a frequency outside every band: refused.
    rig->tick();
    port.incoming = block.substr(3) + block.substr(0, 3);
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
    EXPECT_EQ(events.frequencies, (std::vector<float>{14.025f, 14.025f}));
}

TEST_F(RigControllerTest, AReadingOutsideEveryAmateurBandNeverReachesTheLog) {
    choose("Kenwood");
    rig->settings().useFrequency = 1;
    rig->test();
    port.incoming = "FA00010000000;MD3;"; // 10 MHz: a time signal, not a band
    rig->tick();
    EXPECT_FLOAT_EQ(rig->reading().frequency, 10.0f); // shown, as the rig says
    EXPECT_TRUE(events.frequencies.empty());
    rig->tick();
    port.incoming = "FA00010120000;MD3;";
    rig->tick();
    EXPECT_EQ(events.frequencies, std::vector<float>{10.12f});
}

TEST_F(RigControllerTest, ARigThatStopsAnsweringIsReportedOnceUntilItAnswersAgain) {
    choose("Kenwood");
    rig->test();
    port.incoming = "FA00014025000;MD3;";
    rig->tick();
    for (int i = 0; i < 40; ++i) { // ten seconds of silent ticks
        clock.steady += milliseconds(250);
        rig->tick();
    }
    ASSERT_EQ(events.silences.size(), 1u);
    EXPECT_EQ(events.silences[0], kRigSilentText);
    EXPECT_TRUE(rig->polling());
    if (!rig->pollState().awaitingReply) {
        rig->tick();
    }
    port.incoming = "FA00014025000;MD3;";
    rig->tick(); // back again
    for (int i = 0; i < 19; ++i) {
        clock.steady += milliseconds(250);
        rig->tick();
    }
    EXPECT_EQ(events.silences.size(), 1u); // under five seconds
    for (int i = 0; i < 4; ++i) {
        clock.steady += milliseconds(250);
        rig->tick();
    }
    EXPECT_EQ(events.silences.size(), 2u);
}

TEST_F(RigControllerTest, ARigctldWhoseRigNeverAnswersIsReported) {
    choose("Hamlib (rigctld)");
    rig->test();
    // rigctld itself answers, but only to say that the rig timed out.
    for (int i = 0; i < 30 && events.silences.empty(); ++i) {
        clock.steady += milliseconds(250);
        network.incoming = "get_freq:\nRPRT -5\nget_mode:\nRPRT -5\n";
        rig->tick();
    }
    ASSERT_EQ(events.silences.size(), 1u);
    EXPECT_EQ(events.silences[0], kRigctldSilentText);
    EXPECT_LE(clock.steady.time_since_epoch(), milliseconds(kSilentRigMs + 500));
    EXPECT_TRUE(events.portFailures.empty());
}
