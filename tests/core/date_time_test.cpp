#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/date_time.h"

using namespace wexon::core;

namespace {

const DateTime kFirst{1, 1, 1, 0, 0, 0};
const DateTime kLast{9999, 12, 31, 23, 59, 59};

} // namespace

TEST(DateTimeEpoch, RoundTripsAcrossTheCalendar) {
    for (const DateTime& t :
         {DateTime{1970, 1, 1, 0, 0, 0}, DateTime{1969, 12, 31, 23, 59, 59},
          DateTime{2000, 2, 29, 12, 30, 45}, DateTime{1600, 3, 1, 0, 0, 0}, kFirst, kLast}) {
        EXPECT_EQ(DateTime::fromEpochSeconds(t.toEpochSeconds()), t) << formatDate(t);
    }
    EXPECT_EQ((DateTime{1970, 1, 2, 0, 0, 0}.toEpochSeconds()), 86400);
    const DateTime beforeEpoch{1969, 12, 31, 23, 59, 59};
    EXPECT_EQ(DateTime::fromEpochSeconds(-1), beforeEpoch);
}

// Conversions and sums are held to the years a four-digit date shows.
TEST(DateTimeExtremes, EpochConversionsClampInsteadOfOverflowing) {
    EXPECT_EQ(DateTime::fromEpochSeconds(INT64_MIN), kFirst);
    EXPECT_EQ(DateTime::fromEpochSeconds(INT64_MAX), kLast);
    EXPECT_EQ(formatDate(DateTime::fromEpochSeconds(INT64_MIN)), "0001/01/01");
    EXPECT_EQ(formatDate(DateTime::fromEpochSeconds(INT64_MAX)), "9999/12/31");
    // Fields far outside their ranges still give an instant within the span.
    DateTime wild{INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    EXPECT_EQ(DateTime::fromEpochSeconds(wild.toEpochSeconds()), kLast);
    DateTime wildLow{INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    EXPECT_EQ(DateTime::fromEpochSeconds(wildLow.toEpochSeconds()), kFirst);
}

TEST(DateTimeExtremes, ArithmeticStaysInsideTheFourDigitYears) {
    DateTime t{2026, 5, 30, 12, 0, 0};
    EXPECT_EQ(t.addMinutes(1e300), kLast);
    EXPECT_EQ(t.addMinutes(-1e300), kFirst);
    EXPECT_EQ(t.addMinutes(std::numeric_limits<double>::infinity()), kLast);
    EXPECT_EQ(t.addMinutes(std::nan("")), t);
    EXPECT_EQ(t.addSeconds(INT64_MAX), kLast);
    EXPECT_EQ(t.addSeconds(INT64_MIN), kFirst);
    EXPECT_EQ(kLast.addSeconds(1), kLast);
    EXPECT_EQ(kFirst.addSeconds(-1), kFirst);
    // Ordinary offsets are untouched by the bounds.
    EXPECT_EQ(t.addMinutes(-5.5 * 60), (DateTime{2026, 5, 30, 6, 30, 0}));
    EXPECT_EQ(t.addMinutes(0.5), (DateTime{2026, 5, 30, 12, 0, 30}));
}

TEST(DateTimeParse, AcceptsValidDatesAndTimesOnly) {
    EXPECT_EQ(parseDate("2026/05/30"), (DateTime{2026, 5, 30, 0, 0, 0}));
    EXPECT_EQ(parseDate(" 2028-02-29 "), (DateTime{2028, 2, 29, 0, 0, 0}));
    for (const char* bad : {"2027/02/29", "2026/13/01", "2026/00/10", "99/01/01", "2026/05",
                            "2026/05-30", "2026/05/30x", "", "99999/01/01"}) {
        EXPECT_FALSE(parseDate(bad).has_value()) << bad;
    }
    EXPECT_EQ(parseTime("7:05"), (DateTime{1970, 1, 1, 7, 5, 0}));
    EXPECT_EQ(parseTime("23:59:59"), (DateTime{1970, 1, 1, 23, 59, 59}));
    for (const char* bad : {"24:00", "12:60", "12:00:60", "12", "12:", "1:2:3:4", "-1:00"}) {
        EXPECT_FALSE(parseTime(bad).has_value()) << bad;
    }
}
