#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstdint>

#include "core/settings_store.h"
#include "platform/rig_timers.h"
#include "platform/serial_port.h"
#include "rig/fake_rig.h"
#include "rig/hex_bytes.h"
#include "rig/rig_controller.h"
#include "support/temp_dir.h"

using namespace wexon;
using rig::bytesFromSpacedHex;
using rig::hexOf;
using test::FakeRig;

namespace {

struct Recorder : rig::RigEvents {
    int readings = 0;
    std::vector<float> logged;
    std::vector<std::string> portFailures;
    std::vector<std::string> failures;
    void readingTaken(const rig::TickReport&) override { ++readings; }
    void frequencyForLog(float mhz) override { logged.push_back(mhz); }
    void modeForLog(const std::string&) override {}
    void portFailed(const std::string& why) override { portFailures.push_back(why); }
    void operationFailed(const std::string& t, const std::string& x) override {
        failures.push_back(t + ": " + x);
    }
};

const char* kPlan = "\"d\"\r\n\"40\",\"E\",\"CW\",7,7.125\r\n\"20\",\"E\",\"CW\",14,14.15\r\n"
                    "\"20\",\"E\",\"PH\",14.15,14.35\r\n";

// The program's whole rig stack on a real serial port (the slave of a pty), a
// fake rig on the other end.
class RigOnPty : public ::testing::Test {
  protected:
    test::PtyPair pty;
    core::MemorySettingsStore map;
    platform::SerialPort port{&map};
    core::SystemClock clock;
    Recorder events;
    platform::QtScheduler scheduler;
    std::unique_ptr<rig::RigController> rig;
    platform::QtPollTimer timer{[this] { rig->tick(); }};
    std::unique_ptr<FakeRig> fake;

    void SetUp() override {
        map.write("Ports/COM2", pty.slavePath());
        rig = std::make_unique<rig::RigController>(
            rig::RigServices{&port, &timer, &scheduler, &clock, &events, "/nonexistent"});
        rig->setBandPlanRows(rig::rowsOfClass(rig::parseBandPlan(kPlan), 'E'));
    }
    void TearDown() override { rig->endTest(); }

    void start(const char* name, FakeRig::Framing framing, FakeRig::Answer answer) {
        fake = std::make_unique<FakeRig>(pty, framing, std::move(answer));
        rig::RigSettings& s = rig->settings();
        const rig::RigProfile& p = rig::profileFor(name);
        s.rigName = name;
        s.frequencyRead = p.frequencyRead ? p.frequencyRead : "";
        s.modeRead = p.modeRead ? p.modeRead : "";
        s.baud = rig::padBaud("38400");
        s.portSettings = rig::portSettingsText(s);
        s.portNumber = 2;
        s.pollRate = "F";
    }
    bool readsFrequency(float mhz) {
        return test::spinUntil([&] { return std::abs(rig->reading().frequency - mhz) < 1e-4f; });
    }
    // Tunes and waits until polling runs again.
    void tune(float mhz) {
        rig->changeFrequency(mhz);
        ASSERT_TRUE(test::spinUntil([&] { return !rig->busy() && rig->polling(); }));
    }
};

std::string bcdLsbFirst(long long value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        int two = static_cast<int>(value % 100);
        out.push_back(static_cast<char>(((two / 10) << 4) | (two % 10)));
        value /= 100;
    }
    return out;
}

long long bcdValueLsbFirst(std::string_view bytes) {
    long long v = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        auto b = static_cast<unsigned char>(bytes[i]);
        v = v * 100 + (b >> 4) * 10 + (b & 0x0F);
    }
    return v;
}

} // namespace

TEST_F(RigOnPty, KenwoodIsReadAndTunedWithItsModeFirst) {
    long long hz = 14025000;
    start("Kenwood", FakeRig::Framing::Semicolon, [&](const std::string& r) -> std::string {
        if (r == "FA;") {
            return "FA" + rig::countDigits(hz, 11) + ";";
        }
        if (r == "MD;") {
            return "MD3;";
        }
        if (r.rfind("FA", 0) == 0) {
            hz = std::stoll(r.substr(2, 11));
        }
        return {};
    });
    fake->split = true;
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(14.025f));
    EXPECT_EQ(rig->reading().mode, "CW");
    tune(7.025f);
    EXPECT_EQ(fake->requestsOtherThan({"FA;", "MD;"}),
              (std::vector<std::string>{"MD3;", "FA00007025000;"}));
    EXPECT_TRUE(readsFrequency(7.025f));
}

TEST_F(RigOnPty, IcomOnAnEchoingBusWithNoiseAndSplitReplies) {
    long long hz = 14025000;
    const std::string freqPoll = bytesFromSpacedHex("FE FE 64 E0 03 FD");
    const std::string modePoll = bytesFromSpacedHex("FE FE 64 E0 04 FD");
    start("Icom", FakeRig::Framing::CivEnd, [&](const std::string& r) -> std::string {
        const std::string head = bytesFromSpacedHex("FE FE E0 64");
        if (r == freqPoll) {
            return head + "\x03" + bcdLsbFirst(hz, 5) + "\xFD";
        }
        if (r == modePoll) {
            return head + std::string("\x04\x03\x01\xFD", 4);
        }
        if (r.size() == 11 && static_cast<unsigned char>(r[4]) == 0x05) {
            hz = bcdValueLsbFirst(r.substr(5, 5));
        }
        return {};
    });
    fake->echo = true;
    fake->split = true;
    fake->noise = "\x13\xFE\x00";
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(14.025f));
    ASSERT_TRUE(test::spinUntil([&] { return rig->reading().mode == "CW"; }));
    tune(14.250f);
    auto sets = fake->requestsOtherThan({freqPoll, modePoll});
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(hexOf(sets[0]), "FEFE64E00601FD");
    EXPECT_EQ(hexOf(sets[1]), "FEFE64E0050000251400FD");
    EXPECT_TRUE(readsFrequency(14.25f));
}

TEST_F(RigOnPty, YaesuStartUpStatusTuningAndClosingBytes) {
    long long tens = 1402500; // 10 Hz units
    const std::string poll = bytesFromSpacedHex("00 00 00 00 03");
    start("Yaesu", FakeRig::Framing::FiveBytes, [&](const std::string& r) -> std::string {
        if (r == poll) {
            std::string lsb = bcdLsbFirst(tens, 4);
            return std::string{lsb[3], lsb[2], lsb[1], lsb[0], '\x02'};
        }
        if (static_cast<unsigned char>(r[4]) == 0x01) {
            std::string lsb{r[3], r[2], r[1], r[0]};
            tens = bcdValueLsbFirst(lsb);
        }
        return {};
    });
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(14.025f));
    EXPECT_EQ(rig->reading().mode, "CW");
    EXPECT_EQ(hexOf(fake->requests.at(0)), "0000000000");
    tune(7.0251f);
    auto sets = fake->requestsOtherThan({poll});
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(hexOf(sets[1]), "0200000007"); // CW by the band plan
    EXPECT_EQ(hexOf(sets[2]), "0070251001");
    EXPECT_TRUE(readsFrequency(7.0251f));
    rig->closing();
    ASSERT_TRUE(test::spinUntil([&] { return fake->requestsOtherThan({poll}).size() == 4; }));
    EXPECT_EQ(hexOf(fake->requestsOtherThan({poll})[3]), "0000000080");
}

TEST_F(RigOnPty, Yaesu890StatusBlock) {
    std::uint32_t tens = 1402500;
    const std::string poll = bytesFromSpacedHex("00 00 00 02 10");
    start("Yaesu 890", FakeRig::Framing::FiveBytes, [&](const std::string& r) -> std::string {
        if (r == poll) {
            std::string s(18, '\0');
            s[2] = static_cast<char>((tens >> 16) & 0xFF);
            s[3] = static_cast<char>((tens >> 8) & 0xFF);
            s[4] = static_cast<char>(tens & 0xFF);
            s[7] = '\x02';
            return s;
        }
        if (static_cast<unsigned char>(r[4]) == 0x0A) {
            tens = static_cast<std::uint32_t>(bcdValueLsbFirst(r.substr(0, 4)));
        }
        return {};
    });
    fake->split = true;
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(14.025f));
    EXPECT_EQ(rig->reading().mode, "CW");
    tune(14.2f);
    auto sets = fake->requestsOtherThan({poll});
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(hexOf(sets[1]), "000000010C");
    EXPECT_EQ(hexOf(sets[2]), "000042010A");
    EXPECT_TRUE(readsFrequency(14.2f));
}

TEST_F(RigOnPty, OrionAndFtdx9000TextRigs) {
    long long hz = 7025000;
    start("Ten Tec Orion", FakeRig::Framing::CarriageReturn,
          [&](const std::string& r) -> std::string {
              if (r == "?AF\r") {
                  return "@AF" + std::to_string(hz) + "\r";
              }
              if (r == "?RMM\r") {
                  return "@RMM2\r";
              }
              if (r.rfind("*AF", 0) == 0) {
                  hz = std::stoll(r.substr(3));
              }
              return {};
          });
    fake->noise = "\x01garbage";
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(7.025f));
    EXPECT_EQ(rig->reading().mode, "CW");
    EXPECT_EQ(fake->requests.at(0), "X\r");
    tune(14.025f);
    EXPECT_EQ(fake->requestsOtherThan({"?AF\r", "?RMM\r", "X\r"}),
              std::vector<std::string>{"*AF14025000\r"});
    EXPECT_TRUE(readsFrequency(14.025f));
}

TEST_F(RigOnPty, Ftdx9000AsksFrequencyAndModeInTurn) {
    long long hz = 21025000;
    start("Yaesu FTdx9000", FakeRig::Framing::Semicolon, [&](const std::string& r) -> std::string {
        if (r == "FA;") {
            return "FA" + rig::countDigits(hz, 8) + ";";
        }
        if (r == "MD0;") {
            return "MD02;";
        }
        if (r.rfind("FA", 0) == 0) {
            hz = std::stoll(r.substr(2, r.size() - 3));
        }
        return {};
    });
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(21.025f));
    ASSERT_TRUE(test::spinUntil([&] { return rig->reading().mode == "PH"; }));
    tune(14.025f);
    EXPECT_EQ(fake->requestsOtherThan({"FA;", "MD0;"}),
              (std::vector<std::string>{"MD03;", "FA14025000;"}));
    EXPECT_TRUE(readsFrequency(14.025f));
}

TEST_F(RigOnPty, TenTecFrontPanelBinary) {
    std::uint32_t hz = 14025000;
    const std::string fpoll = bytesFromSpacedHex("3F 41 0D");
    const std::string mpoll = bytesFromSpacedHex("3F 4D 0D");
    start("Ten Tec Fnt Pnl", FakeRig::Framing::CarriageReturn,
          [&](const std::string& r) -> std::string {
              if (r == fpoll) {
                  std::string s = "A";
                  for (int shift = 24; shift >= 0; shift -= 8) {
                      s.push_back(static_cast<char>((hz >> shift) & 0xFF));
                  }
                  return s + "\r";
              }
              if (r == mpoll) {
                  return "M33\r";
              }
              if (r.size() == 7 && r[0] == '\x2A') {
                  hz = 0;
                  for (int i = 2; i < 6; ++i) {
                      hz = (hz << 8) | static_cast<unsigned char>(r[static_cast<std::size_t>(i)]);
                  }
              }
              return {};
          });
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(14.025f));
    ASSERT_TRUE(test::spinUntil([&] { return rig->reading().mode == "CW"; }));
    tune(7.01f);
    auto sets = fake->requestsOtherThan({fpoll, mpoll});
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(hexOf(sets[0]), "2A41006AF6D00D");
    EXPECT_TRUE(readsFrequency(7.01f));
}

TEST_F(RigOnPty, ASilentRigLeavesNoReading) {
    start("Kenwood", FakeRig::Framing::Semicolon, [](const std::string&) { return "x;"; });
    fake->silent = true;
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    test::spinFor(300);
    EXPECT_EQ(events.readings, 0);
    EXPECT_GE(fake->requests.size(), 4u); // it keeps asking
    EXPECT_EQ(rig->reading().frequency, 0.0f);
}

TEST_F(RigOnPty, APortThatDisappearsStopsPollingWithAMessage) {
    start("Kenwood", FakeRig::Framing::Semicolon,
          [](const std::string& r) { return r == "FA;" ? "FA00014025000;" : ""; });
    ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
    ASSERT_TRUE(readsFrequency(14.025f));
    fake.reset();
    pty.releaseSlave();
    pty.closeMaster();
    ASSERT_TRUE(test::spinUntil([&] { return !events.portFailures.empty(); }));
    EXPECT_FALSE(rig->polling());
    EXPECT_FALSE(port.isOpen());
    EXPECT_FLOAT_EQ(rig->reading().frequency, 14.025f);
}

// Binary Yaesu replies at a real 4800-baud pace take longer than a polling
// tick, so they arrive split across read ticks; every reading logged must be
// the rig's frequency all the same.
TEST_F(RigOnPty, BinaryYaesuRepliesAtTheirRealPaceAreReadInStep) {
    struct Case {
        const char* rig;
        std::string poll;
        std::string reply;
    };
    std::string block(18, '\0'); // the 890's status block: 14.025 MHz, CW
    block[2] = '\x15';
    block[3] = '\x66';
    block[4] = '\x84';
    block[7] = '\x02';
    const Case cases[] = {
        {"Yaesu", bytesFromSpacedHex("00 00 00 00 03"), bytesFromSpacedHex("01 40 25 00 02")},
        {"Yaesu 890", bytesFromSpacedHex("00 00 00 02 10"), block},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rig);
        events.logged.clear();
        start(c.rig, FakeRig::Framing::FiveBytes, [&](const std::string& r) -> std::string {
            return r == c.poll ? c.reply : std::string();
        });
        fake->byteGapMs = 2;
        fake->latencyMs = 30;
        rig->settings().useFrequency = 1;
        ASSERT_EQ(rig->test(), rig::RigController::TestResult::Polling);
        test::spinFor(3000);
        rig->endTest();
        ASSERT_GE(events.logged.size(), 5u);
        for (float mhz : events.logged) {
            EXPECT_FLOAT_EQ(mhz, 14.025f);
        }
        EXPECT_EQ(rig->reading().mode, "CW");
        test::spinFor(200); // let the last paced bytes go before the next rig
        fake.reset();
    }
}
