#include <gtest/gtest.h>

#include <string>

#include "rig/hex_bytes.h"
#include "rig/icom.h"
#include "rig/kenwood.h"
#include "rig/pegasus.h"
#include "rig/rig_protocol.h"
#include "rig/tentec.h"
#include "rig/yaesu.h"
#include "rig/yaesu_text.h"

using namespace wexon::rig;

namespace {

std::string hex(const char* spaced) {
    return bytesFromSpacedHex(spaced);
}

RigSettings settingsFor(const char* rig) {
    RigSettings s;
    s.rigName = rig;
    const RigProfile& p = profileFor(rig);
    s.frequencyRead = p.frequencyRead ? p.frequencyRead : "";
    s.modeRead = p.modeRead ? p.modeRead : "";
    s.convertToHex = p.convertToHex ? 1 : 0;
    return s;
}

std::string tune(const char* rig, float mhz, int vfo = 10) {
    RigReading r;
    r.vfo = vfo;
    return frequencyCommand(profileFor(rig), settingsFor(rig), mhz, r);
}

std::string modeFor(const char* rig, const char* mode) {
    return modeCommand(profileFor(rig), settingsFor(rig), mode);
}

RigReading parsed(const char* rig, std::string_view reply, int nextQuery = 1,
                  RigReading start = {}) {
    parseReply(profileFor(rig), settingsFor(rig), nextQuery, reply, start);
    return start;
}

} // namespace

TEST(HexBytes, PairsStandEveryThirdCharacter) {
    EXPECT_EQ(hexOf(bytesFromSpacedHex("FE FE 64 E0 03 FD")), "FEFE64E003FD");
    EXPECT_EQ(hexOf(bytesFromSpacedHex("FE FE 64 E0 03 FD", 3)), "FEFE64");
    EXPECT_EQ(hexOf(bytesFromSpacedHex("3F 41 0D")), "3F410D");
    EXPECT_EQ(hexOf(bytesFromSpacedHex("G1 1G F")), "00010F"); // read like numbers
    EXPECT_EQ(spacedHexOf(std::string("\x00\xff\x0d", 3)), "00 FF 0D ");
    EXPECT_EQ(hexOf(bytesFromHex("FEFE64E00500500214"
                                 "00FD")),
              "FEFE64E00500500214"
              "00FD");
}

// ---------------------------------------------------------------- frequency commands

TEST(FrequencyCommands, GoldenBytesOfEveryFamily) {
    EXPECT_EQ(tune("Kenwood", 28.475f), "FA00028475000;");
    EXPECT_EQ(tune("Elecraft", 28.475f), "FA00028475000;");
    EXPECT_EQ(tune("Kenwood 2", 14.025f), "FA00014025000;");
    EXPECT_EQ(tune("Kenwood 2", 14.025f, 1), "FB00014025000;");
    EXPECT_EQ(hexOf(tune("Icom", 14.025f)), "FEFE64E0050050021400FD");
    EXPECT_EQ(hexOf(tune("Ten Tec Omni VI", 14.025f)), "FEFE04E0050050021400FD");
    EXPECT_EQ(hexOf(tune("Yaesu 890", 14.025f)), "002540010A");
    EXPECT_EQ(hexOf(tune("Yaesu 920", 14.025f)), "002540010A");
    EXPECT_EQ(hexOf(tune("Yaesu 990", 14.025f)), "002540010A");
    EXPECT_EQ(hexOf(tune("Yaesu 1000 D", 14.025f)), "002540010A");
    EXPECT_EQ(hexOf(tune("Yaesu 1000", 14.025f)), "002540010A");
    EXPECT_EQ(hexOf(tune("Yaesu 757 GX II", 14.025f)), "002540010A");
    EXPECT_EQ(hexOf(tune("Yaesu", 14.025f)), "0140250001");
    EXPECT_EQ(hexOf(tune("Ten Tec Fnt Pnl", 14.025f)), "2A4100D601280D");
    EXPECT_EQ(tune("Yaesu FTdx9000", 14.025f), "FA14025000;");
    EXPECT_EQ(tune("Other", 14.025f), "");
    EXPECT_EQ(tune("None", 14.025f), "");
}

TEST(FrequencyCommands, MendedOrionSendsHertz) {
    EXPECT_EQ(tune("Ten Tec Orion", 14.025f), "*AF14025000\r");
    EXPECT_EQ(tune("Ten Tec Orion", 1.8f), "*AF1800000\r");
}

TEST(FrequencyCommands, MendedIcom735SendsFourBcdBytes) {
    EXPECT_EQ(hexOf(tune("Icom 735", 14.025f)), "FEFE64E00500500214FD");
    EXPECT_EQ(hexOf(tune("Icom 735", 7.0f)), "FEFE64E00500000007FD");
    // Beyond 99.999999 MHz four BCD bytes cannot say it: nothing is sent.
    EXPECT_EQ(tune("Icom 735", 146.0f), "");
}

TEST(FrequencyCommands, CountsRoundToTheNearestUnitAndAreNeverCut) {
    EXPECT_EQ(tune("Kenwood", 14.2001f), "FA00014200100;");
    EXPECT_EQ(tune("Kenwood", 1270.0f), "FA01270000000;");
    EXPECT_EQ(tune("Yaesu FTdx9000", 435.0f), "FA435000000;"); // 9 digits, not cut
    EXPECT_EQ(hexOf(tune("Yaesu", 435.0f)), "4350000001");
    EXPECT_EQ(hexOf(tune("Yaesu 890", 146.0f)), "000060140A");
    // Four BCD bytes of 10 Hz end at 999.99999 MHz: above that nothing is sent.
    EXPECT_EQ(tune("Yaesu", 1270.0f), "");
    EXPECT_EQ(tune("Yaesu 890", 1270.0f), "");
    // Nothing for a frequency that is not a positive number.
    EXPECT_EQ(tune("Kenwood", 0.0f), "");
    EXPECT_EQ(tune("Icom", -14.0f), "");
}

TEST(FrequencyCommands, IcomAddressComesFromTheReadCommand) {
    RigSettings s = settingsFor("Icom");
    s.frequencyRead = "FE FE 5C E0 03 FD";
    EXPECT_EQ(hexOf(frequencyCommand(profileFor("Icom"), s, 7.0f, {})), "FEFE5CE0050000000700FD");
    s.frequencyRead = "FE FE";
    EXPECT_EQ(civAddress(s.frequencyRead), "64");
}

// ---------------------------------------------------------------- mode commands

TEST(ModeCommands, EveryFamilysTable) {
    EXPECT_EQ(hexOf(modeFor("Icom", "CW")), "FEFE64E00603FD");
    EXPECT_EQ(hexOf(modeFor("Icom", "RTTY-R")), "FEFE64E00608FD");
    EXPECT_EQ(hexOf(modeFor("Ten Tec Omni VI", "LSB")), "FEFE04E00600FD");
    EXPECT_EQ(modeFor("Kenwood", "USB"), "MD2;");
    EXPECT_EQ(modeFor("Kenwood 2", "FSK"), "MD6;");
    EXPECT_EQ(modeFor("Elecraft", "FM"), "MD4;");
    EXPECT_EQ(modeFor("Kenwood", "CW-R"), "");
    EXPECT_EQ(modeFor("Yaesu FTdx9000", "CW"), "MD03;");
    EXPECT_EQ(modeFor("Yaesu FTdx9000", "CW-R"), "MD07;");
    EXPECT_EQ(hexOf(modeFor("Yaesu 890", "PKT")), "0000000A0C");
    EXPECT_EQ(hexOf(modeFor("Yaesu 757 GX II", "CW-R")), "000000030C");
    EXPECT_EQ(modeFor("Yaesu 990", "DIG"), "");
    EXPECT_EQ(hexOf(modeFor("Yaesu", "USB")), "0100000007");
    EXPECT_EQ(hexOf(modeFor("Yaesu", "DIG")), "0A00000007");
    EXPECT_EQ(modeFor("Yaesu", "CW-R"), "");
    for (const char* rig :
         {"Icom 735", "Ten Tec Orion", "Ten Tec Fnt Pnl", "Ten Tec Pegasus", "Other", "None"}) {
        EXPECT_EQ(modeFor(rig, "CW"), "") << rig;
    }
    EXPECT_EQ(modeFor("Icom", "cw"), ""); // mode texts are case sensitive
}

// ---------------------------------------------------------------- poll commands

TEST(PollCommands, WhatEachSendTickWrites) {
    PollState st;
    EXPECT_EQ(pollCommand(profileFor("Kenwood"), settingsFor("Kenwood"), st), "FA;MD;");
    EXPECT_EQ(pollCommand(profileFor("Kenwood 2"), settingsFor("Kenwood 2"), st), "IF;");
    EXPECT_EQ(pollCommand(profileFor("Ten Tec Orion"), settingsFor("Ten Tec Orion"), st),
              "?AF\r?RMM\r");
    EXPECT_EQ(hexOf(pollCommand(profileFor("Yaesu"), settingsFor("Yaesu"), st)), "0000000003");
    EXPECT_EQ(st.nextQuery, 0);

    PollState civ;
    EXPECT_EQ(hexOf(pollCommand(profileFor("Icom"), settingsFor("Icom"), civ)), "FEFE64E003FD");
    EXPECT_EQ(civ.nextQuery, 1);
    EXPECT_EQ(hexOf(pollCommand(profileFor("Icom"), settingsFor("Icom"), civ)), "FEFE64E004FD");
    EXPECT_EQ(civ.nextQuery, 0);

    PollState panel;
    EXPECT_EQ(
        hexOf(pollCommand(profileFor("Ten Tec Fnt Pnl"), settingsFor("Ten Tec Fnt Pnl"), panel)),
        "3F410D");
    EXPECT_EQ(
        hexOf(pollCommand(profileFor("Ten Tec Fnt Pnl"), settingsFor("Ten Tec Fnt Pnl"), panel)),
        "3F4D0D");

    PollState ft;
    EXPECT_EQ(pollCommand(profileFor("Yaesu FTdx9000"), settingsFor("Yaesu FTdx9000"), ft), "FA;");
    EXPECT_EQ(pollCommand(profileFor("Yaesu FTdx9000"), settingsFor("Yaesu FTdx9000"), ft), "MD0;");
    EXPECT_EQ(pollCommand(profileFor("Ten Tec Pegasus"), settingsFor("Ten Tec Pegasus"), ft), "");
}

TEST(PollCommands, ShortTextsSendNothingAndOtherFollowsItsHexChoice) {
    RigSettings s = settingsFor("Yaesu");
    s.frequencyRead = "00 00 00 00"; // 11 characters: too short
    PollState st;
    EXPECT_EQ(pollCommand(profileFor("Yaesu"), s, st), "");
    RigSettings icom = settingsFor("Icom");
    icom.frequencyRead = "FE FE 64 E0";
    EXPECT_EQ(pollCommand(profileFor("Icom"), icom, st), "");
    EXPECT_EQ(st.nextQuery, 1); // the turn passes all the same

    RigSettings other = settingsFor("Other");
    other.frequencyRead = "01 02 03 04 05 06 07";
    other.modeRead = "AA";
    other.convertToHex = 1;
    EXPECT_EQ(hexOf(pollCommand(profileFor("Other"), other, st)), "01020304050607AA");
    other.convertToHex = 0;
    EXPECT_EQ(pollCommand(profileFor("Other"), other, st), "01 02 03 04 05 06 07AA");
}

// ---------------------------------------------------------------- parsers

struct ParserCase {
    const char* rig;
    std::string reply;
    int nextQuery;
    float frequency;  // expected; -1 = unchanged
    const char* mode; // expected; nullptr = unchanged
};

class ParserTable : public ::testing::TestWithParam<ParserCase> {};

TEST_P(ParserTable, ReadsOrLeavesTheReading) {
    const ParserCase& c = GetParam();
    RigReading start;
    start.frequency = 3.5f;
    start.mode = "XX";
    RigReading r = parsed(c.rig, c.reply, c.nextQuery, start);
    if (c.frequency < 0) {
        EXPECT_EQ(r.frequency, 3.5f);
    } else {
        EXPECT_FLOAT_EQ(r.frequency, c.frequency);
    }
    EXPECT_EQ(r.mode, c.mode ? c.mode : "XX");
}

INSTANTIATE_TEST_SUITE_P(
    Kenwood, ParserTable,
    ::testing::Values(ParserCase{"Kenwood", "FA00028475000;", 0, 28.475f, nullptr},
                      ParserCase{"Kenwood", "FA00028475000;MD3;", 0, 28.475f, "CW"},
                      ParserCase{"Elecraft", "xxFA00007025000;MD7;", 0, 7.025f, "CW"},
                      ParserCase{"Kenwood", "MD2;", 0, -1, "PH"},
                      ParserCase{"Kenwood", "FA0002847500", 0, -1, nullptr},   // cut short
                      ParserCase{"Kenwood", "FA000284750x0;", 0, -1, nullptr}, // not digits
                      ParserCase{"Kenwood", "MD", 0, -1, nullptr},
                      ParserCase{"Kenwood 2", "IF00014025000     +00000000003000000;", 0, 14.025f,
                                 "CW"},
                      ParserCase{"Kenwood 2", "IF00014025000", 0, 14.025f, nullptr},
                      ParserCase{"Kenwood 2", "IF0001402", 0, -1, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    Civ, ParserTable,
    ::testing::Values(
        // The echo of the request, then the rig's answer.
        ParserCase{"Icom", hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 50 02 14 00 FD"), 1, 14.025f,
                   nullptr},
        ParserCase{"Icom", hex("00 11 FE FE E0 64 03 00 00 50 44 01 FD"), 1, 144.5f, nullptr},
        ParserCase{"Icom", hex("FE FE E0 64 03 00 50 02 14 00"), 1, -1, nullptr}, // no FD
        ParserCase{"Icom", hex("FE FE 64 E0 03 FD"), 1, -1, nullptr},             // echo only
        ParserCase{"Icom", hex("13 FE FE FE E0 64 03 00 50 02 14 00 FD"), 1, 14.025f, nullptr},
        ParserCase{"Icom", hex("FE FE E0 64 03 00 50 02 FD"), 1, -1, nullptr}, // too few bytes
        ParserCase{"Icom", hex("FE FE E0 64 03 00 50 02 14 00 FD FE FE E0 64 03 00 50 02 07 00 FD"),
                   1, 7.025f, nullptr}, // the last complete frame counts
        ParserCase{"Icom", hex("FE FE E0 64 03 00 50 02 14 00 FD FE FE E0 64 03 00 50"), 1, 14.025f,
                   nullptr},
        ParserCase{"Icom", hex("FE FE E0 64 03 00 5A 02 14 00 FD"), 1, -1, nullptr}, // not BCD
        ParserCase{"Icom", hex("FE FE E0 64 04 03 01 FD"), 1, -1, nullptr}, // wrong command
        ParserCase{"Icom", hex("FE FE 64 E0 04 FD FE FE E0 64 04 03 01 FD"), 0, -1, "CW"},
        ParserCase{"Icom", hex("FE FE E0 64 04 01 01 FD"), 0, -1, "PH"},
        ParserCase{"Icom", hex("FE FE E0 64 04 FD"), 0, -1, nullptr},
        ParserCase{"Icom 735", hex("FE FE E0 64 03 00 50 02 14 FD"), 1, 14.025f, nullptr},
        ParserCase{"Ten Tec Omni VI", hex("FE FE E0 04 03 00 50 02 07 00 FD"), 1, 7.025f,
                   nullptr}));

INSTANTIATE_TEST_SUITE_P(
    YaesuBinary, ParserTable,
    ::testing::Values(
        ParserCase{"Yaesu", hex("01 42 50 00 01"), 0, 14.25f, "PH"},
        ParserCase{"Yaesu", hex("00 70 25 00 02"), 0, 7.025f, "CW"},
        ParserCase{"Yaesu", hex("43 50 00 00 88"), 0, 435.0f, "PH"},
        ParserCase{"Yaesu", hex("01 42 50 00 0A"), 0, -1, nullptr}, // letter in the mode byte
        ParserCase{"Yaesu", hex("01 42 50 00 06"), 0, 14.25f, nullptr},
        ParserCase{"Yaesu", hex("01 4F 50 00 01"), 0, -1, nullptr},    // not BCD
        ParserCase{"Yaesu", hex("01 42 50 00"), 0, -1, nullptr},       // short
        ParserCase{"Yaesu", hex("01 42 50 00 01 01"), 0, -1, nullptr}, // not one frame
        // Valid BCD, but outside every amateur band: read out of step.
        ParserCase{"Yaesu", hex("02 01 40 25 00"), 0, -1, nullptr},
        ParserCase{"Yaesu", hex("00 00 00 01 01"), 0, -1, nullptr},
        ParserCase{"Yaesu", hex("00 01 36 00 02"), 0, 0.136f, "CW"}, // below 1 MHz, read as such
        ParserCase{"Yaesu 757 GX II", hex("00 00 00 00 00 00 00 20 01 02"), 0, -1, nullptr},
        ParserCase{"Yaesu 890", hex("00 00 00 00 01 00 00 02"), 0, -1, nullptr}, // .00001
        ParserCase{"Yaesu 890", hex("00 00 00 00 15 00 00 02"), 0, -1, nullptr}, // .00021
        ParserCase{"Yaesu 757 GX II", hex("00 00 00 00 00 00 25 40 01 02"), 0, 14.025f, "CW"},
        ParserCase{"Yaesu 757 GX II", hex("00 00 00 00 00 00 25 40 01 05"), 0, 14.025f, "FM"},
        ParserCase{"Yaesu 757 GX II", hex("00 00 00 00 00 00 25"), 0, -1, nullptr},
        ParserCase{"Yaesu 890", hex("00 00 15 66 84 00 00 02"), 0, 14.025f, "CW"},
        ParserCase{"Yaesu 890", hex("00 00 15 66 84 00 00 09"), 0, 14.025f, nullptr},
        ParserCase{"Yaesu 890", hex("00 00 15 66 84"), 0, -1, nullptr}, // mode not yet in
        ParserCase{"Yaesu 890", hex("00 00 15 66"), 0, -1, nullptr},
        ParserCase{"Yaesu 920", hex("00 00 D6 01 28 00 00 01"), 0, 14.025f, "CW"},
        ParserCase{"Yaesu 920", hex("00 00 D6 01 28 00 00 0B"), 0, 14.025f, "PH"},
        ParserCase{"Yaesu 990", hex("00 15 66 84 00 00 00 01"), 0, 14.025f, "PH"},
        ParserCase{"Yaesu 1000 D", hex("00 15 66 84 00"), 0, -1, nullptr},
        ParserCase{"Yaesu 1000", hex("00 01 56 68 40 00 00 02"), 0, 14.025f, "CW"}));

INSTANTIATE_TEST_SUITE_P(
    TextAndTenTec, ParserTable,
    ::testing::Values(ParserCase{"Yaesu FTdx9000", "FA14025000;MD03;", 0, 14.025f, "CW"},
                      ParserCase{"Yaesu FTdx9000", "MD02;", 0, -1, "PH"},
                      ParserCase{"Yaesu FTdx9000", "FA140250", 0, -1, nullptr}, // cut short
                      ParserCase{"Ten Tec Orion", "@AF14025000\r@RMM3\r", 0, 14.025f, "CW"},
                      ParserCase{"Ten Tec Orion", "junk@AF7025000\r@RMM0\r", 0, 7.025f, "PH"},
                      ParserCase{"Ten Tec Orion", "@AF14025000", 0, -1, nullptr}, // no CR yet
                      ParserCase{"Ten Tec Orion", "@AF14x25000\r", 0, -1, nullptr},
                      ParserCase{"Ten Tec Fnt Pnl", hex("41 00 D6 01 28 0D"), 1, 14.025f, nullptr},
                      ParserCase{"Ten Tec Fnt Pnl", hex("41 00 D6 01"), 1, -1, nullptr},
                      ParserCase{"Ten Tec Fnt Pnl", hex("4D 33 33 0D"), 0, -1, "CW"},
                      ParserCase{"Ten Tec Fnt Pnl", hex("4D 00 00 0D"), 0, -1, "PH"},
                      ParserCase{"Ten Tec Fnt Pnl", hex("4D 39 39 0D"), 0, -1, nullptr},
                      ParserCase{"Other", "FA00014025000;", 0, -1, nullptr}));

// Every family takes the same upper bound: nothing at or above 100 GHz, nothing
// at or below zero, becomes a reading.
TEST(Parsers, EveryFamilyRefusesFrequenciesBeyondTheBound) {
    EXPECT_FALSE(readingMhz(kMaxReadingMhz).has_value());
    EXPECT_FALSE(readingMhz(0.0).has_value());
    EXPECT_FALSE(readingMhz(-14.0).has_value());
    EXPECT_FALSE(readingMhz(0.000001).has_value()); // rounds to nothing
    EXPECT_FLOAT_EQ(*readingMhz(99999.0), 99999.0f);
    const RigReading start = [] {
        RigReading r;
        r.frequency = 14.025f;
        return r;
    }();
    // 9.5 x 10^7 MHz in Hz, and the largest numbers each text family's field can carry.
    EXPECT_FLOAT_EQ(parsed("Ten Tec Orion", "@AF95000000000000\r", 0, start).frequency, 14.025f);
    EXPECT_FLOAT_EQ(parsed("Kenwood", "FA99999999999;", 0, start).frequency, 14.025f);
    EXPECT_FLOAT_EQ(parsed("Kenwood", "FA00000000000;", 0, start).frequency, 14.025f);
    EXPECT_FLOAT_EQ(parsed("Kenwood 2", "IF99999999999", 0, start).frequency, 14.025f);
    EXPECT_FLOAT_EQ(parsed("Yaesu FTdx9000", "FA00000000;", 0, start).frequency, 14.025f);
    EXPECT_FLOAT_EQ(parsed("Icom", hex("FE FE E0 64 03 00 00 00 00 00 FD"), 1, start).frequency,
                    14.025f);
    EXPECT_FLOAT_EQ(parsed("Ten Tec Fnt Pnl", hex("41 00 00 00 00 0D"), 1, start).frequency,
                    14.025f);
    RigReading pegasus = start;
    parsePegasusOut("100000,CW\r\n", pegasus);
    parsePegasusOut("0,CW\r\n", pegasus);
    parsePegasusOut("9e-55,CW\r\n", pegasus);      // positive, but nothing as a float
    parsePegasusOut("99999.9999,CW\r\n", pegasus); // the bound, as a float
    EXPECT_FLOAT_EQ(pegasus.frequency, 14.025f);
}

TEST(Parsers, Kenwood2KeepsTheVfoDigit) {
    RigReading r = parsed("Kenwood 2", "IF00014025000     +00000000002100000;", 0);
    EXPECT_EQ(r.vfo, 1);
    EXPECT_EQ(r.mode, "PH");
    RigReading cut = parsed("Kenwood 2", "IF00014025000     ", 0);
    EXPECT_EQ(cut.vfo, 10);
}

TEST(Parsers, PegasusFileGivesFrequencyAndMode) {
    RigReading r;
    parsePegasusOut("14.025,\"CW\"\r\n", r);
    EXPECT_FLOAT_EQ(r.frequency, 14.025f);
    EXPECT_EQ(r.mode, "CW");
    parsePegasusOut("7.1\r\nUSB\r\n", r);
    EXPECT_FLOAT_EQ(r.frequency, 7.1f);
    EXPECT_EQ(r.mode, "PH");
    parsePegasusOut("abc,CW", r);
    parsePegasusOut("21.0", r); // no mode: the file is not complete
    EXPECT_FLOAT_EQ(r.frequency, 7.1f);
    EXPECT_EQ(pegasusInContent(14.025f, " CW "), "14.025\r\nCW\r\n");
    EXPECT_EQ(sevenDigits(1270.12345f), "1270.123");
}

// Hostile replies: every parser on noise, on every cut of a good reply and on a
// megabyte of binary; none may crash, and noise must not replace a reading.
TEST(Parsers, NoiseAndCutRepliesNeverCrash) {
    std::string noise;
    unsigned x = 12345;
    for (int i = 0; i < 1 << 20; ++i) {
        x = x * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(x >> 16));
    }
    for (const RigProfile& p : rigProfiles()) {
        RigReading r;
        parseReply(p, settingsFor(p.name), 0, noise, r);
        parseReply(p, settingsFor(p.name), 1, noise, r);
        std::string text(1 << 20, 'F');
        parseReply(p, settingsFor(p.name), 1, text, r);
    }
    const std::string good = hex("FE FE E0 64 03 00 50 02 14 00 FD");
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        RigReading r;
        r.frequency = 7.0f;
        parseCivFrequency(good.substr(0, cut), false, r);
        EXPECT_TRUE(r.frequency == 7.0f || r.frequency == 14.025f) << cut;
    }
    const std::string kenwood = "FA00028475000;MD3;";
    for (std::size_t cut = 0; cut < kenwood.size(); ++cut) {
        RigReading r;
        r.frequency = 7.0f;
        parseKenwood(kenwood.substr(0, cut), "FA;", r);
        EXPECT_TRUE(r.frequency == 7.0f || r.frequency == 28.475f) << cut;
    }
}
