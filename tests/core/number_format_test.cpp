#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/date_time.h"
#include "core/number_format.h"
#include "support/temp_dir.h"

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

TEST(ShortestNumber, NeverUsesAnExponent) {
    EXPECT_EQ(formatShortest(100000.0f), "100000");
    EXPECT_EQ(formatShortest(100000.0), "100000");
    EXPECT_EQ(formatShortest(1234567.5), "1234567.5");
    EXPECT_EQ(formatShortest(1234567.5f), "1234567.5");
    EXPECT_EQ(formatShortest(16777217.0f), "16777216"); // what the float holds
    EXPECT_EQ(formatShortest(-0.25), "-0.25");
    EXPECT_EQ(formatShortest(-0.25f), "-0.25");
    EXPECT_EQ(formatShortest(1e21), "1000000000000000000000");
    EXPECT_EQ(formatShortest(0.00015), "0.00015");
    EXPECT_EQ(formatShortest(1.5e-7f), "0.00000015");
    EXPECT_EQ(formatShortest(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(formatShortest(std::nan("")), "0");
    for (const char* text : {"100000", "1234567.5", "-0.25", "1e21", "1.5e-7", "3.4e38"}) {
        double d = *parseNumber(text);
        std::string written = formatShortest(d);
        EXPECT_EQ(written.find_first_of("eE"), std::string::npos) << written;
        EXPECT_EQ(*parseNumber(written), d) << written;
        float f = static_cast<float>(d);
        std::string writtenF = formatShortest(f);
        EXPECT_EQ(writtenF.find_first_of("eE"), std::string::npos) << writtenF;
        EXPECT_EQ(static_cast<float>(*parseNumber(writtenF)), f) << writtenF;
    }
    // The extremes of the type still come out whole.
    std::string largest = formatShortest(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 309u);
    EXPECT_EQ(*parseNumber(largest), std::numeric_limits<double>::max());
    std::string smallest = formatShortest(std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(*parseNumber(smallest), std::numeric_limits<double>::denorm_min());
}

TEST(NumericTest, EdgesOfTheDoubleRange) {
    EXPECT_FALSE(parseNumber("1e999").has_value());
    EXPECT_FALSE(parseNumber("-1e400").has_value());
    EXPECT_EQ(*parseNumber("1e-999"), 0.0);
    EXPECT_EQ(*parseNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_FALSE(parseNumber("1" + std::string(400, '0')).has_value());
    EXPECT_EQ(*parseNumber("+.5"), 0.5);
    EXPECT_EQ(*parseNumber("-5."), -5.0);
}

TEST(NumericTest, ReadsTheSameWhateverTheLocale) {
    // A Qt application takes its locale from the environment; a decimal comma
    // there must not change how "14.025" in a file reads. A locale with a
    // decimal comma is made for the test in a folder of its own.
    wexon::test::TempDir dir;
    dir.write("comma", "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                       "grouping 3\nEND LC_NUMERIC\n");
    const std::string make = "localedef -c -i '" + dir.file("comma") + "' -f ANSI_X3.4-1968 '" +
                             dir.file("xx_COMMA") + "' >/dev/null 2>&1";
    // localedef reports the categories the source leaves out, and still makes
    // the locale; whether it exists is what counts.
    const int made = std::system(make.c_str());
    (void)made;
    if (!dir.exists("xx_COMMA/LC_NUMERIC")) {
        GTEST_SKIP() << "localedef cannot make a test locale here";
    }
    ::setenv("LOCPATH", dir.path().c_str(), 1);
    const bool set = std::setlocale(LC_NUMERIC, "xx_COMMA") != nullptr;
    ASSERT_TRUE(set);
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    auto v = parseNumber("14.025");
    auto small = parseNumber("-0.5e-3");
    const double lead = leadingNumber("7.5abc");
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    ASSERT_TRUE(v.has_value());
    EXPECT_DOUBLE_EQ(*v, 14.025);
    ASSERT_TRUE(small.has_value());
    EXPECT_DOUBLE_EQ(*small, -0.0005);
    EXPECT_DOUBLE_EQ(lead, 7.5);
}

// Values beyond fifteen digits are held at the largest fifteen-digit value;
// nothing overflows a buffer or shows "inf" or "nan".
TEST(DisplayFormatsAtTheExtremes, ClampInsteadOfOverflowing) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatGrouped(1e64), "999,999,999,999,999");
    EXPECT_EQ(formatGrouped(-1e300), "-999,999,999,999,999");
    EXPECT_EQ(formatGrouped(999999999999999.0), "999,999,999,999,999");
    EXPECT_EQ(formatGrouped(123456789012345.0), "123,456,789,012,345");
    EXPECT_EQ(formatGrouped(std::nan("")), "0");
    EXPECT_EQ(formatFreq(1.79e308), "999999999999.999");
    EXPECT_EQ(formatFreq(inf), "999999999999.999"); // what a written 1.8e308 becomes
    EXPECT_EQ(formatFreq(-inf), "-999999999999.999");
    EXPECT_EQ(formatFreq(std::nan("")), ".000");
    EXPECT_EQ(formatFreq(std::numeric_limits<float>::max()), "999999999999.999");
    EXPECT_EQ(formatGroupedOptional(inf), "999,999,999,999,999");
    EXPECT_EQ(formatWholeOptional(-1e20), "-999999999999999");
    EXPECT_EQ(formatThreeDecimals(1e100), "999999999999.999");
    EXPECT_EQ(formatOneDecimal(inf), "99999999999999.9");
    for (double v : {1e15, 1e16, 1e64, 1.79e308, inf, -inf}) {
        for (const std::string& s : {formatFreq(v), formatGrouped(v), formatOneDecimal(v)}) {
            EXPECT_EQ(s.find_first_of("infa"), std::string::npos) << s;
            EXPECT_LE(s.size(), 24u) << s;
        }
    }
}

TEST(DisplayFormatsAtTheExtremes, ZeroPadHandlesTheWholeRangeAndWidth) {
    EXPECT_EQ(zeroPad(LLONG_MIN, 3), "-9223372036854775808");
    EXPECT_EQ(zeroPad(LLONG_MAX, 3), "9223372036854775807");
    EXPECT_EQ(zeroPad(-7, 3), "-007");
    EXPECT_EQ(zeroPad(5, -4), "5");
    EXPECT_EQ(zeroPad(5, INT_MAX).size(), static_cast<std::size_t>(kMaxPadWidth));
}
