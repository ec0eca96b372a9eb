#include "core/wpx_prefix.h"

#include <gtest/gtest.h>

namespace wexon::core {
namespace {

struct Case {
    const char* call;
    const char* prefix;
};

void expectPrefixes(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(derivePrefix(c.call), c.prefix) << c.call;
    }
}

TEST(DerivePrefix, ResultsTable) {
    expectPrefixes({
        {"W1AW", "W1"},
        {"K1A2B", "K1A2"},
        {"4X1AA", "4X1"},
        {"DL/W1AW", "DL0"},
        {"KH6/W1AW", "KH6"},
        {"W1AW/KH6", "KH6"},
        {"W1AW/4", "W4"},
        {"W1AW/P", "P0"},
        {"W1AW/QRP", "QR0"},
        {"RAEM", ""},
    });
}

TEST(DerivePrefix, ShortCallsAndCallsWithoutDigits) {
    expectPrefixes({
        {"", ""},
        {"W", ""},
        {"7", ""}, // one character, even a digit
        {"W1", "W1"},
        {"4X", ""}, // the first place is never examined for a digit
        {"ABCDEF", ""},
    });
}

TEST(DerivePrefix, PlainCallsEndAtTheLastDigit) {
    expectPrefixes({
        {"N6TR", "N6"},
        {"JA1XYZ", "JA1"},
        {"2E0ABC", "2E0"},
        {"S52A", "S52"},
        {"YB0ECT", "YB0"},
        {"W100AW", "W100"},
        {"3DA0RU", "3DA0"},
    });
}

TEST(DerivePrefix, DesignatorInFront) {
    expectPrefixes({
        {"VE3/W1AW", "VE3"},
        {"PA/ON4ABC", "PA0"},
        {"ABC/W1AW", "AB0"}, // a letter ending is cut to two characters
        {"DL/ABC", "DL0"},
        {"K/W1AW", "K0"},
        {"AB/CDE", "AB0"}, // slash at 3 of 6 still counts as the first part
    });
}

TEST(DerivePrefix, DesignatorBehind) {
    expectPrefixes({
        {"W1AW/VE3", "VE3"},
        {"ABC/DE", "DE0"}, // slash at 4 of 6 is the second part
        {"W1AW/MM", "MM0"},
        {"W1AW/0", "W0"},
        {"W1AW/12", "W12"},
        {"VK2ABC/9", "VK9"},
        {"W1AW/", ""}, // nothing after the slash
        {"DL/W1AW/P", "P0"},
    });
}

TEST(DerivePrefix, NumberDesignatorKeepsTheLettersOfACallStartingWithADigit) {
    expectPrefixes({
        {"4X1AA/5", "4X5"},
        {"3D2AB/8", "3D8"},
        {"RAEM/3", "RAEM3"},
    });
}

} // namespace
} // namespace wexon::core
