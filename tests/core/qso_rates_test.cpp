#include <gtest/gtest.h>

#include <vector>

#include "core/qso_rates.h"

using namespace wexon::core;

namespace {

const DateTime kNow{2026, 5, 30, 12, 0, 0};

QsoRecord at(std::int64_t secondsAgo) {
    QsoRecord r;
    r.call = "W1AW";
    const DateTime t = kNow.addSeconds(-secondsAgo);
    r.qsoDate = formatDate(t);
    r.qsoTime = formatTime(t);
    return r;
}

// Records from oldest to newest, one per age given (ages in seconds, oldest first).
std::vector<QsoRecord> log(std::initializer_list<std::int64_t> ages) {
    std::vector<QsoRecord> out;
    for (auto a : ages) {
        out.push_back(at(a));
    }
    return out;
}

} // namespace

TEST(QsoRates, TwentyAndSixtyMinuteCounts) {
    std::vector<QsoRecord> records;
    records.push_back(at(5000)); // older than an hour: the walk stops here
    for (int i = 0; i < 15; ++i) {
        records.push_back(at(3500 - i * 100)); // 3500 .. 2100 s
    }
    for (int i = 0; i < 10; ++i) {
        records.push_back(at(1100 - i * 100)); // 1100 .. 200 s
    }
    auto r = qsoRates(records, kNow);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->hourlyFromTwentyMin, 30);
    EXPECT_EQ(r->lastHour, 25);
}

TEST(QsoRates, Boundaries) {
    struct Case {
        std::initializer_list<std::int64_t> ages;
        QsoRates rates;
    } cases[] = {
        {{}, {0, 0}},     {{1199}, {1, 3}}, {{1200}, {1, 0}},
        {{3599}, {1, 0}}, {{3600}, {0, 0}}, {{-600}, {1, 3}}, // dated in the future: counts in both
        {{0}, {1, 3}},
    };
    for (const auto& c : cases) {
        auto r = qsoRates(log(c.ages), kNow);
        ASSERT_TRUE(r);
        EXPECT_EQ(*r, c.rates) << (c.ages.size() ? *c.ages.begin() : -1);
    }
}

TEST(QsoRates, WalkStopsAtTheFirstOldRecordFromTheNewest) {
    // A recent record before an old one (out of time order) is not reached.
    auto r = qsoRates(log({60, 4000, 30}), kNow);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lastHour, 1);
    EXPECT_EQ(r->hourlyFromTwentyMin, 3);
}

TEST(QsoRates, UnreadableDateLeavesTheRatesAlone) {
    std::vector<QsoRecord> records = log({100, 50});
    records[0].qsoDate = "30.5.26x";
    EXPECT_FALSE(qsoRates(records, kNow).has_value());
    records[0].qsoDate = "2026/05/30";
    records[0].qsoTime = "";
    EXPECT_FALSE(qsoRates(records, kNow).has_value());
    // Beyond the first old record a damaged one is never read.
    records = log({100, 5000, 50});
    records[0].qsoDate = "garbage";
    EXPECT_TRUE(qsoRates(records, kNow).has_value());
}

TEST(QsoRates, PostContestTimesWithoutSeconds) {
    QsoRecord r;
    r.qsoDate = "2026/05/30";
    r.qsoTime = "11:45";
    auto rates = qsoRates(std::vector<QsoRecord>{r}, kNow);
    ASSERT_TRUE(rates);
    EXPECT_EQ(*rates, (QsoRates{1, 3}));
}

TEST(QsoRates, MomentIsLocalPlusOffset) {
    EXPECT_EQ(rateMoment(DateTime{2026, 5, 30, 23, 0, 0}, 2.5), (DateTime{2026, 5, 31, 1, 30, 0}));
    // Yesterday's late contacts still count just after midnight UTC.
    std::vector<QsoRecord> records{at(0)};
    records[0].qsoDate = "2026/05/29";
    records[0].qsoTime = "23:50:00";
    auto late = qsoRates(records, DateTime{2026, 5, 30, 0, 5, 0});
    ASSERT_TRUE(late);
    EXPECT_EQ(*late, (QsoRates{1, 3}));
}
