#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "rig/rig_protocol.h"
#include "rig/rigctld_protocol.h"

using namespace wexon::rig;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

namespace {

// What Hamlib 4.5's rigctld with the dummy rig answered to a poll.
const char* kDummyPoll = "get_freq:\nFrequency: 14025000\nRPRT 0\n"
                         "get_mode:\nMode: CW\nPassband: 500\nRPRT 0\n";

RigReading parsed(std::string_view lines, RigReading reading = {}) {
    parseRigctldReply(lines, reading);
    return reading;
}

} // namespace

TEST(RigctldCommands, PollFrequencyAndModeTexts) {
    EXPECT_EQ(rigctldPollCommand(), "+f\n+m\n");
    EXPECT_EQ(rigctldFrequencyCommand(14.025f), "+F 14025000\n");
    EXPECT_EQ(rigctldFrequencyCommand(1.8f), "+F 1800000\n");
    // The frequency meant, not the float's nearest value times a million.
    EXPECT_EQ(rigctldFrequencyCommand(21.3f), "+F 21300000\n");
    EXPECT_EQ(rigctldFrequencyCommand(1296.2f), "+F 1296200000\n");
    EXPECT_EQ(rigctldFrequencyCommand(14.00001f), "+F 14000010\n");
    EXPECT_EQ(rigctldFrequencyCommand(0.1357f), "+F 135700\n");
    EXPECT_EQ(rigctldFrequencyCommand(0.0f), "");
    EXPECT_EQ(rigctldFrequencyCommand(-7.0f), "");
    EXPECT_EQ(rigctldFrequencyCommand(std::numeric_limits<float>::quiet_NaN()), "");
    EXPECT_EQ(rigctldFrequencyCommand(std::numeric_limits<float>::infinity()), "");
}

TEST(RigctldCommands, OurModeNamesMapOntoHamlibs) {
    const std::pair<const char*, const char*> cases[] = {
        {"CW", "CW"},
        {"cwr", "CWR"},
        {"LSB", "LSB"},
        {"USB", "USB"},
        {"AM", "AM"},
        {"FM", "FM"},
        {"RTTY", "RTTY"},
        {"FSK", "RTTY"},
        {"RY", "RTTY"},
        {"RTTYR", "RTTYR"},
        {"PKTUSB", "PKTUSB"},
        {"DATA", "PKTUSB"},
        {"PKTLSB", "PKTLSB"},
        {"PKTFM", "PKTFM"},
        {" usb ", "USB"},
        // The spellings of the band plan and the other families' mode tables.
        {"CW-R", "CWR"},
        {"RTTY-R", "RTTYR"},
        {"DIG", "PKTUSB"},
        {"dig", "PKTUSB"},
    };
    for (const auto& [ours, hamlib] : cases) {
        EXPECT_EQ(rigctldModeName(ours), hamlib) << ours;
    }
    EXPECT_EQ(rigctldModeCommand("CW"), "+M CW 0\n");
    EXPECT_EQ(rigctldModeCommand("RTTY"), "+M RTTY 0\n");
    EXPECT_EQ(rigctldModeCommand("CW-R"), "+M CWR 0\n");
    EXPECT_EQ(rigctldModeCommand("RTTY-R"), "+M RTTYR 0\n");
    EXPECT_EQ(rigctldModeCommand("DIG"), "+M PKTUSB 0\n");
    // Phone without a sideband, and anything unknown, send nothing.
    for (const char* none : {"PH", "", "SSB", "CW\nq", "+M"}) {
        EXPECT_EQ(rigctldModeCommand(none), "") << none;
    }
}

TEST(RigctldCommands, TheProfileRoutesThroughTheRigctldTexts) {
    const RigProfile& p = profileFor("hamlib (RIGCTLD)");
    ASSERT_EQ(p.id, RigId::Hamlib);
    EXPECT_EQ(p.link, LinkKind::Rigctld);
    EXPECT_EQ(&rigProfiles().back(), &p); // after "Other"
    EXPECT_EQ(rigProfiles()[kRigCount - 2].id, RigId::Other);
    RigSettings s;
    PollState state;
    EXPECT_EQ(pollCommand(p, s, state), "+f\n+m\n");
    EXPECT_EQ(frequencyCommand(p, s, 7.025f, {}), "+F 7025000\n");
    EXPECT_EQ(modeCommand(p, s, "LSB"), "+M LSB 0\n");
    RigReading r;
    parseReply(p, s, 0, kDummyPoll, r);
    EXPECT_FLOAT_EQ(r.frequency, 14.025f);
    EXPECT_EQ(r.mode, "CW");
    // The serial rigs keep their link.
    EXPECT_EQ(profileFor("Kenwood").link, LinkKind::Serial);
    EXPECT_EQ(profileFor("Other").link, LinkKind::Serial);
}

TEST(RigctldReply, ReadsTheLabelledValues) {
    RigReading r = parsed(kDummyPoll);
    EXPECT_FLOAT_EQ(r.frequency, 14.025f);
    EXPECT_EQ(r.mode, "CW");
    // Fractions of a Hz, CR LF line ends, and values split over two reads.
    EXPECT_FLOAT_EQ(parsed("Frequency: 7025000.4\r\n").frequency, 7.025f);
    r = parsed("get_freq:\nFrequency: 3550000\n");
    r = parsed("RPRT 0\nget_mode:\nMode: USB\n", r);
    EXPECT_FLOAT_EQ(r.frequency, 3.55f);
    EXPECT_EQ(r.mode, "PH");
}

TEST(RigctldReply, ModesFallIntoTheLogsModes) {
    const std::pair<const char*, const char*> cases[] = {
        {"CW", "CW"},     {"CWR", "CW"},    {"LSB", "PH"},    {"USB", "PH"},   {"AM", "AM"},
        {"SAM", "AM"},    {"FM", "FM"},     {"WFM", "FM"},    {"RTTY", "RY"},  {"RTTYR", "RY"},
        {"PKTUSB", "RY"}, {"PKTLSB", "RY"}, {"PKTFM", "RY"},  {"usb", "PH"},
    };
    for (const auto& [hamlib, ours] : cases) {
        EXPECT_EQ(programModeOf(hamlib), ours) << hamlib;
        EXPECT_EQ(parsed(std::string("Mode: ") + hamlib + "\n").mode, ours) << hamlib;
    }
}

TEST(RigctldReply, GarbageAndRefusalsLeaveTheLastReading) {
    RigReading good;
    good.frequency = 21.05f;
    good.mode = "CW";
    const char* hostile[] = {
        "get_freq:\nRPRT -5\n",
        "Frequency: \n",
        "Frequency: abc\n",
        "Frequency: -14025000\n",
        "Frequency: 0\n",
        "Frequency: 0.4\n",
        "Frequency: 14025000x\n",
        "Frequency: 1.2.3\n",
        "Frequency: 99999999999999999999999\n",
        "Frequency: 077077777770401\n", // 77 THz: no radio's reading
        "Frequency 14025000\n",
        "frequency: 14025000\n",
        "XFrequency: 14025000\n",
        "Mode: None\n",
        "Mode: \n",
        "Mode: CWCW\n",
        "14025000\nCW\n500\n", // the unlabelled replies are not trusted
        "\x00\xff\n\n\n",
        "",
    };
    for (const char* h : hostile) {
        RigReading r = parsed(h, good);
        EXPECT_FLOAT_EQ(r.frequency, 21.05f) << h;
        EXPECT_EQ(r.mode, "CW") << h;
        // Nothing was taken, so the rig behind rigctld did not answer.
        EXPECT_FALSE(parseRigctldReply(h, r)) << h;
    }
    RigReading r;
    EXPECT_TRUE(parseRigctldReply("get_freq:\nFrequency: 7025000\nRPRT 0\n", r));
    EXPECT_TRUE(parseRigctldReply("Mode: CW\n", r));
}

TEST(RigctldReply, ReturnCodesAndTheirWords) {
    EXPECT_EQ(rigctldReturnCode("RPRT 0"), 0);
    EXPECT_EQ(rigctldReturnCode("RPRT -9\r"), -9);
    EXPECT_EQ(rigctldReturnCode("  RPRT -11"), -11);
    for (const char* bad : {"RPRT", "RPRT ", "RPRT x", "RPRT --1", "RPRT -", "rprt 0",
                            "RPRT 99999999999999", "Frequency: 0"}) {
        EXPECT_FALSE(rigctldReturnCode(bad).has_value()) << bad;
    }
    EXPECT_EQ(rigctldErrorText(-9), "rigctld: Command rejected by the rig (RPRT -9)");
    EXPECT_EQ(rigctldErrorText(-1), "rigctld: Invalid parameter (RPRT -1)");
    EXPECT_EQ(rigctldErrorText(-77), "rigctld: (RPRT -77)");
}

TEST(RigctldReply, PortNumbersOfTheSettings) {
    EXPECT_EQ(rigctldPortNumber("4532"), 4532);
    EXPECT_EQ(rigctldPortNumber(" 1 "), 1);
    EXPECT_EQ(rigctldPortNumber("65535"), 65535);
    for (const char* bad : {"", "0", "65536", "-1", "45 32", "4532x", "000004532"}) {
        EXPECT_FALSE(rigctldPortNumber(bad).has_value()) << bad;
    }
}

TEST(RigctldSessionTest, OnlyCompleteLinesAreHandedOn) {
    RigctldSession s;
    s.received("get_freq:\nFreq");
    EXPECT_EQ(s.takeLines(), "get_freq:\n");
    s.received("uency: 140");
    EXPECT_EQ(s.takeLines(), "");
    s.received("25000\nRPRT 0\n");
    EXPECT_EQ(s.takeLines(), "Frequency: 14025000\nRPRT 0\n");
    EXPECT_EQ(s.takeLines(), "");
}

TEST(RigctldSessionTest, AnOverLongLineIsDroppedWholeAndTheNextSurvives) {
    RigctldSession s;
    s.received("Frequency: 7");
    s.received(std::string(kRigctldLineLimit + 10, '0'));
    s.received(std::string(100, '0') + "\nMode: CW\n");
    EXPECT_EQ(s.takeLines(), "Mode: CW\n");
    // A line of exactly the limit still counts.
    s.received(std::string(kRigctldLineLimit, 'x') + "\n");
    EXPECT_EQ(s.takeLines().size(), kRigctldLineLimit + 1);
}

TEST(RigctldSessionTest, AFloodKeepsOnlyTheNewestLines) {
    RigctldSession s;
    for (int i = 0; i < 20000; ++i) {
        s.received("noise noise noise\n");
    }
    s.received("Frequency: 14025000\n");
    std::string lines = s.takeLines();
    EXPECT_LE(lines.size(), kRigctldPendingLimit);
    EXPECT_EQ(lines.rfind("noise", 0), 0u); // starts at a line
    EXPECT_EQ(lines.substr(lines.size() - 20), "Frequency: 14025000\n");
}

TEST(RigctldSessionTest, CommandsGoOutOneAtATimeAsRepliesEnd) {
    RigctldSession s;
    const Clock::time_point t0{};
    EXPECT_FALSE(s.nextCommand(t0).has_value());
    EXPECT_FALSE(s.awaitingReplies(t0));
    ASSERT_TRUE(s.queue("+f\n+m\n"));
    EXPECT_EQ(s.unanswered(), 2);
    EXPECT_TRUE(s.awaitingReplies(t0));
    EXPECT_EQ(s.nextCommand(t0), "+f\n");
    EXPECT_FALSE(s.nextCommand(t0).has_value()); // the first is still in flight
    s.received("get_freq:\nFrequency: 1\n");
    EXPECT_FALSE(s.nextCommand(t0).has_value()); // its reply has not ended
    s.received("RPRT 0\n");
    EXPECT_EQ(s.nextCommand(t0), "+m\n");
    EXPECT_TRUE(s.awaitingReplies(t0));
    s.received("get_mode:\nMode: CW\nPassband: 0\nRPRT 0\n");
    EXPECT_FALSE(s.awaitingReplies(t0));
    EXPECT_EQ(s.unanswered(), 0);
    // Extra replies change nothing.
    s.received("RPRT 0\nRPRT 0\n");
    EXPECT_EQ(s.unanswered(), 0);
    // Text after the last line end is not a command.
    ASSERT_TRUE(s.queue("no newline"));
    EXPECT_EQ(s.unanswered(), 0);
}

TEST(RigctldSessionTest, AnUnansweredCommandIsGivenUpAtTheTimeout) {
    RigctldSession s;
    const Clock::time_point t0{};
    s.queue("+f\n+m\n");
    ASSERT_TRUE(s.nextCommand(t0).has_value());
    const auto almost = t0 + milliseconds(kRigctldReplyTimeoutMs - 1);
    EXPECT_FALSE(s.nextCommand(almost).has_value());
    const auto late = t0 + milliseconds(kRigctldReplyTimeoutMs);
    EXPECT_EQ(s.nextCommand(late), "+m\n");
    EXPECT_TRUE(s.awaitingReplies(late));
    const auto later = late + milliseconds(kRigctldReplyTimeoutMs);
    EXPECT_FALSE(s.awaitingReplies(later)); // never answered: waiting ends
    s.queue("+f\n");
    EXPECT_EQ(s.nextCommand(later), "+f\n");
    s.reset();
    EXPECT_FALSE(s.awaitingReplies(later));
    EXPECT_EQ(s.unanswered(), 0);
}

TEST(RigctldSessionTest, TheQueueIsBounded) {
    RigctldSession s;
    std::string many;
    for (std::size_t i = 0; i < RigctldSession::kQueueLimit; ++i) {
        many += "+f\n";
    }
    EXPECT_TRUE(s.queue(many));
    EXPECT_FALSE(s.queue("+m\n"));
    EXPECT_EQ(s.unanswered(), static_cast<int>(RigctldSession::kQueueLimit));
}

TEST(RigctldSessionTest, RefusalsOfSetCommandsAreKeptForTheirOwner) {
    RigctldSession s;
    s.received("set_freq: 14025000\nRPRT -9\n");
    EXPECT_EQ(s.takeCommandError(), "rigctld: Command rejected by the rig (RPRT -9)");
    EXPECT_EQ(s.takeCommandError(), "");
    // A refused question is not a refused command, nor is a success.
    s.received("get_freq:\nRPRT -5\nset_mode: CW 0\nRPRT 0\n");
    EXPECT_EQ(s.takeCommandError(), "");
    // The reply split across reads still belongs to its command.
    s.received("set_mode: BOGUS 0\n");
    s.received("RPRT -1\n");
    EXPECT_EQ(s.takeCommandError(), "rigctld: Invalid parameter (RPRT -1)");
    // A refusal without a label is nobody's.
    s.received("RPRT -1\n");
    EXPECT_EQ(s.takeCommandError(), "");
}
