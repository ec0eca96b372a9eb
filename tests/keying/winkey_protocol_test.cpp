#include "keying/winkey_protocol.h"

#include <gtest/gtest.h>

#include "keying/code_practice.h"

namespace wexon::keying {
namespace {

std::string hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

TEST(WinKeyCommands, Bytes) {
    using namespace winkey;
    EXPECT_EQ(hex(echoTest(0x55)), "00 04 55 ");
    EXPECT_EQ(hex(hostOpen()), "00 02 ");
    EXPECT_EQ(hex(hostClose()), "00 03 ");
    EXPECT_EQ(hex(setSpeed(28)), "02 1C ");
    EXPECT_EQ(hex(setWeight(50)), "03 32 ");
    EXPECT_EQ(hex(pttLeadTail(3, 7)), "04 03 07 ");
    EXPECT_EQ(hex(backspace()), "08 ");
    EXPECT_EQ(hex(pinConfig(6)), "09 06 ");
    EXPECT_EQ(hex(clearBuffer()), "0A ");
    EXPECT_EQ(hex(setMode(16)), "0E 10 ");
    EXPECT_EQ(hex(requestStatus()), "15 ");
    EXPECT_EQ(hex(ditDahRatio(50)), "17 32 ");
}

TEST(WinKeyCommands, OnlyPrintableCharactersAreSent) {
    using winkey::characterByte;
    EXPECT_EQ(characterByte('a'), 'A');
    EXPECT_EQ(characterByte(' '), ' ');
    EXPECT_EQ(characterByte('!'), '!');
    EXPECT_FALSE(characterByte('\x00'));
    EXPECT_FALSE(characterByte('\x0A')); // would clear the keyer's buffer
    EXPECT_FALSE(characterByte('\x7F'));
    EXPECT_FALSE(characterByte(static_cast<char>(0xC4)));
}

TEST(WinKeyReplies, StatusPotAndPlainBytes) {
    winkey::ReplyDecoder d;
    EXPECT_EQ(d.status(), 0);
    d.feed("\x17"); // version 23
    EXPECT_EQ(d.lastPlainByte(), 23);
    d.feed("\xC5");
    EXPECT_EQ(d.status(), winkey::kStatusBusy | winkey::kStatusXoff);
    d.feed("\x9A");
    EXPECT_EQ(d.speedPot(), 26);
    EXPECT_EQ(d.status(), 5);
    d.feed("\xC4\xC0");
    EXPECT_EQ(d.status(), 0);
    d.reset();
    EXPECT_FALSE(d.lastPlainByte());
}

TEST(CodePractice, TenGroupsOfFiveGiveSixtyCharacters) {
    int calls = 0;
    auto random = [&] { return (calls++ % 41) / 41.0; };
    std::string text = generatePracticeGroups(10, 5, false, random);
    ASSERT_EQ(text.size(), 60u);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 6 == 5) {
            EXPECT_EQ(text[i], ' ');
        } else {
            EXPECT_NE(kPracticeCharacters.find(text[i]), std::string_view::npos);
        }
    }
    EXPECT_EQ(text.substr(0, 6), "ABCDE ");
}

TEST(CodePractice, RangeAndLimits) {
    std::string letters = generatePracticeGroups(50, 5, true, [] { return 0.999999; });
    EXPECT_EQ(letters.find_first_not_of("Z "), std::string::npos);
    std::string all = generatePracticeGroups(1, 3, false, [] { return 0.999999; });
    EXPECT_EQ(all, "--- ");
    // A random source at its bound stays inside the table.
    EXPECT_EQ(generatePracticeGroups(1, 1, true, [] { return 1.0; }), "Z ");
    EXPECT_EQ(generatePracticeGroups(0, 5, false, [] { return 0.0; }), "");
    EXPECT_EQ(generatePracticeGroups(-3, 5, false, [] { return 0.0; }), "");
    EXPECT_EQ(generatePracticeGroups(1'000'000'000, 1'000'000, false, [] { return 0.0; }).size(),
              static_cast<std::size_t>(kMaxPracticeGroups) * (kMaxPracticeGroupLength + 1));
    EXPECT_EQ(practiceGroupCountText("x"), "10");
    EXPECT_EQ(practiceGroupLengthText(""), "5");
    EXPECT_EQ(practiceGroupCountText("7"), "7");
}

} // namespace
} // namespace wexon::keying
