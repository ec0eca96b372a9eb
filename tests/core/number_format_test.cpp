#include <gtest/gtest.h>

#include "core/date_time.h"
#include "core/number_format.h"

using namespace wexon::core;

TEST(ShortestNumber, WritesTheShortestDecimalThatReadsBack) {
    EXPECT_EQ(formatShortest(5.0f), "5");
    EXPECT_EQ(formatShortest(-4.5f), "-4.5");
    EXPECT_EQ(formatShortest(14.025f), "14.025");
    EXPECT_EQ(formatShortest(0.0f), "0");
    EXPECT_EQ(formatShortest(-0.0f), "0");
    EXPECT_EQ(formatShortest(5.75), "5.75");
    EXPECT_EQ(formatShortest(123456.0f), "123456");
}

TEST(NumericTest, AcceptsNumbersOnly) {
    struct Case {
        const char* text;
        bool numeric;
    } cases[] = {{"5", true},      {" -4.5 ", true}, {"+3", true},    {".5", true},
                 {"5.", true},     {"1e3", true},    {"", false},     {" ", false},
                 {".", false},     {"-", false},     {"abc", false},  {"12a", false},
                 {"1.2.3", false}, {"1e", false},    {"0x10", false}, {"5 5", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(isNumeric(c.text), c.numeric) << '"' << c.text << '"';
    }
    EXPECT_DOUBLE_EQ(*parseNumber(" -4.5"), -4.5);
    EXPECT_DOUBLE_EQ(leadingNumber("12abc"), 12.0);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0.0);
}

TEST(DisplayFormats, FrequencyHasThreeDecimals) {
    EXPECT_EQ(formatFreq(14.025), "14.025");
    EXPECT_EQ(formatFreq(14.025f), "14.025");
    EXPECT_EQ(formatFreq(7.0), "7.000");
    EXPECT_EQ(formatFreq(1.8123456), "1.812");
    EXPECT_EQ(formatFreq(0.5), ".500");
    EXPECT_EQ(formatFreq(28.0005), "28.001"); // half away from zero
}

TEST(DisplayFormats, GroupedWholeNumbers) {
    EXPECT_EQ(formatGrouped(0), "0");
    EXPECT_EQ(formatGrouped(999), "999");
    EXPECT_EQ(formatGrouped(1234), "1,234");
    EXPECT_EQ(formatGrouped(1234567.6), "1,234,568");
    EXPECT_EQ(formatGrouped(-1234), "-1,234");
    EXPECT_EQ(formatGroupedOptional(0), "");
    EXPECT_EQ(formatGroupedOptional(0.4), "");
    EXPECT_EQ(formatGroupedOptional(3467.5), "3,468");
    EXPECT_EQ(formatWholeOptional(0), "");
    EXPECT_EQ(formatWholeOptional(51.5), "52");
    EXPECT_EQ(formatWholeOptional(359.4), "359");
}

TEST(DisplayFormats, DecimalsAndPadding) {
    EXPECT_EQ(formatThreeDecimals(0.25), ".250");
    EXPECT_EQ(formatThreeDecimals(12.3456), "12.346");
    EXPECT_EQ(formatOneDecimal(0), "0.0");
    EXPECT_EQ(formatOneDecimal(45.66), "45.7");
    EXPECT_EQ(formatOneDecimal(1234.04), "1234.0");
    EXPECT_EQ(zeroPad(1, 3), "001");
    EXPECT_EQ(zeroPad(42, 3), "042");
    EXPECT_EQ(zeroPad(1000, 3), "1000");
}

TEST(DateTimeFormats, PatternsAndArithmetic) {
    DateTime t{2026, 12, 31, 23, 59, 30};
    EXPECT_EQ(formatDate(t), "2026/12/31");
    EXPECT_EQ(formatTime(t), "23:59:30");
    EXPECT_EQ(formatHourMinute(t), "23:59");
    EXPECT_EQ(formatMonthDay(t), "12/31");
    DateTime next = t.addMinutes(5 * 60);
    EXPECT_EQ(formatDate(next), "2027/01/01");
    EXPECT_EQ(formatTime(next), "04:59:30");
    EXPECT_EQ(t.addMinutes(-24 * 60).day, 30);
    DateTime leap{2028, 2, 28, 12, 0, 0};
    EXPECT_EQ(formatDate(leap.addSeconds(86400)), "2028/02/29");
}

TEST(DateTimeParsing, AcceptsValidDatesAndTimesOnly) {
    EXPECT_TRUE(parseDate("2026/05/30"));
    EXPECT_TRUE(parseDate("2028/02/29"));
    EXPECT_FALSE(parseDate("2026/02/29"));
    EXPECT_FALSE(parseDate("2026/13/01"));
    EXPECT_FALSE(parseDate("30/05/2026x"));
    EXPECT_FALSE(parseDate(""));
    EXPECT_TRUE(parseTime("9:34"));
    EXPECT_TRUE(parseTime("12:34:56"));
    EXPECT_FALSE(parseTime("24:00"));
    EXPECT_FALSE(parseTime("12:60"));
    EXPECT_FALSE(parseTime("1234"));
}
