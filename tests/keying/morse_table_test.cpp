#include "keying/morse_table.h"

#include <gtest/gtest.h>

namespace wexon::keying {
namespace {

TEST(MorseTable, LettersDigitsAndPunctuation) {
    struct Case {
        char ch;
        const char* units;
    };
    const Case cases[] = {
        {'E', "1000"},
        {'T', "111000"},
        {'A', "101110"
              "00"},
        {'N', "11101000"},
        {'S', "10101000"},
        {'0', "11101110111011101110"
              "00"},
        {'5', "1010101010"
              "00"},
        {'?', "101011101110101000"},
        {'.', "10111010111010111000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(morsePattern(c.ch), c.units) << c.ch;
    }
}

TEST(MorseTable, ProsignsAndAliases) {
    // AR, SK, KN, CL and BT; "-" sends the same BT as "=".
    EXPECT_EQ(morsePattern('['), "1011101011101000"); // .-.-.
    EXPECT_EQ(morsePattern(']'), "1010101110101110"
                                 "00");                 // ...-.-
    EXPECT_EQ(morsePattern(';'), "111010111011101000"); // -.--.
    EXPECT_EQ(morsePattern('\\'), "11101011101010111010100"
                                  "0");               // -.-..-..
    EXPECT_EQ(morsePattern('='), "1110101010111000"); // -...-
    EXPECT_EQ(morsePattern('-'), morsePattern('='));
    EXPECT_EQ(morsePattern('/'), "1110101011101000"); // -..-.
}

TEST(MorseTable, LowerCaseIsSentAsUpperCase) {
    for (char c = 'a'; c <= 'z'; ++c) {
        EXPECT_EQ(morsePattern(c), morsePattern(static_cast<char>(c - 32))) << c;
        EXPECT_FALSE(morsePattern(c).empty());
    }
}

TEST(MorseTable, CharactersWithoutPatternAreSkipped) {
    for (char c : std::string("!\"#$%&'()*+<>@^_`{|}~\x01\x7f")) {
        EXPECT_TRUE(morsePattern(c).empty()) << int(c);
    }
    EXPECT_TRUE(morsePattern(static_cast<char>(0xE9)).empty());
}

TEST(MorseTable, EveryCharacterEndsWithThreeSilentUnits) {
    for (int c = 0; c < 256; ++c) {
        auto p = morsePattern(static_cast<char>(c));
        if (p.empty() || c == ' ') {
            continue;
        }
        ASSERT_GE(p.size(), 4u);
        EXPECT_EQ(p.substr(p.size() - 3), "000") << c;
        EXPECT_EQ(p.front(), '1');
    }
}

TEST(WordSpace, AdjustmentAddsOrCutsSilentUnits) {
    EXPECT_EQ(keyedPattern(' ', 0), std::string(8, '0'));
    EXPECT_EQ(keyedPattern(' ', 2), std::string(10, '0'));
    EXPECT_EQ(keyedPattern(' ', -3), std::string(5, '0'));
    EXPECT_EQ(keyedPattern(' ', -8), "");
    EXPECT_EQ(keyedPattern(' ', -100), "");
    // A huge adjustment is bounded instead of filling memory.
    EXPECT_EQ(keyedPattern(' ', 2'000'000'000).size(), 8u + kMaxWordSpaceExtra);
    // Only the space is adjusted.
    EXPECT_EQ(keyedPattern('E', 5), "1000");
    EXPECT_EQ(keyedPattern('e', -8), "1000");
}

} // namespace
} // namespace wexon::keying
