#include "core/station_log.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/number_format.h"
#include "support/temp_dir.h"

using namespace wexon::core;

namespace {

const DateTime kStationNow{2026, 5, 30, 12, 0, 0};

QsoRecord stationContact(const std::string& call, const std::string& band, int minutesAgo,
                         int serial) {
    QsoRecord r;
    r.call = call;
    r.rstReceived = "599";
    r.serialReceived = "1";
    r.rstSent = "599";
    r.country = "USA";
    const DateTime t = kStationNow.addSeconds(-60 * minutesAgo);
    r.qsoDate = formatDate(t);
    r.qsoTime = formatTime(t);
    r.band = band;
    r.points = 2;
    r.prefix = call.substr(0, 2);
    r.serialSent = zeroPad(serial, 3);
    return r;
}

RemoteContact fromRun2(QsoRecord r) {
    return RemoteContact{"RUN2", "K2OP", std::move(r)};
}

// A contest with a log started in a temporary folder and a station log on it.
struct StationFixture : ::testing::Test {
    wexon::test::TempDir dir;
    Contest contest{dir.path()};
    StationLog station{contest};

    void SetUp() override {
        ASSERT_TRUE(contest.startEmptyLog().ok());
        contest.prefs.band = "20";
    }
    void log(const QsoRecord& r) {
        ASSERT_EQ(contest.appendQso(r).status, Contest::AppendStatus::Appended);
    }
};

using StationLogTest = StationFixture;

TEST_F(StationLogTest, AnotherStationsContactIsADupeHereNamingThatStation) {
    log(stationContact("W1AW", "20", 30, 1));
    contest.putRemote("a", fromRun2(stationContact("K9XX", "20", 5, 7)));

    DupeCheck own = station.dupcheck("w1aw", "20", false);
    EXPECT_EQ(own.duplicate, 1);
    DupeCheck remote = station.dupcheck("k9xx", "20", false);
    ASSERT_TRUE(remote.found());
    EXPECT_EQ(remote.duplicate, 0);
    EXPECT_EQ(remote.remoteId, "a");
    EXPECT_EQ(remote.message, "Duplicate K9XX 2026/05/30 11:55:00 ON 20  worked by RUN2");
    EXPECT_FALSE(station.dupcheck("K9XX", "40", false).found());

    // An own record on the band is named first, with its record number.
    log(stationContact("K9XX", "20", 1, 2));
    EXPECT_EQ(station.dupcheck("K9XX", "20", false).duplicate, 2);
}

TEST_F(StationLogTest, ScorePrefixesAndCountFollowBothStationsAndTheirWithdrawal) {
    log(stationContact("W1AW", "20", 30, 1));
    contest.putRemote("a", fromRun2(stationContact("DL1AB", "40", 5, 7)));
    EXPECT_EQ(station.contactCount(), 2);
    EXPECT_EQ(contest.totalPoints(), 4);
    EXPECT_EQ(contest.ownPoints(), 2);
    EXPECT_TRUE(station.prefixes().contains("DL"));
    const auto revision = station.prefixRevision();

    // A changed contact moves to its new band and prefix.
    contest.putRemote("a", fromRun2(stationContact("OK1AB", "15", 5, 7)));
    EXPECT_FALSE(station.prefixes().contains("DL"));
    EXPECT_TRUE(station.prefixes().contains("OK"));
    EXPECT_FALSE(station.dupes().hasCallOnBand("DL1AB", "40"));
    EXPECT_TRUE(station.dupes().hasCallOnBand("OK1AB", "15"));
    EXPECT_GT(station.prefixRevision(), revision);

    ASSERT_TRUE(contest.removeRemote("a"));
    EXPECT_FALSE(station.dupes().hasCallOnBand("OK1AB", "15"));
    EXPECT_EQ(station.prefixes().count(), 1);
    EXPECT_EQ(contest.totalPoints(), 2);
    EXPECT_EQ(station.contactCount(), 1);
}

TEST_F(StationLogTest, RatesCountContactsArrivingOutOfTimeOrder) {
    // Own contacts 50 and 10 minutes ago, then one typed in late from two hours
    // ago: the newest record is old, but two contacts are within the hour.
    log(stationContact("W1AW", "20", 50, 1));
    log(stationContact("W2AW", "20", 10, 2));
    log(stationContact("W3AW", "20", 120, 3));
    contest.putRemote("a", fromRun2(stationContact("K9XX", "20", 5, 7)));
    contest.putRemote("b", fromRun2(stationContact("K8XX", "20", 90, 8)));
    EXPECT_EQ(station.rates(kStationNow), (QsoRates{3, 6}));
    ASSERT_TRUE(contest.removeRemote("a"));
    EXPECT_EQ(station.rates(kStationNow), (QsoRates{2, 3}));
}

TEST_F(StationLogTest, NextSerialContinuesAboveEveryStationInTheSequence) {
    log(stationContact("W1AW", "20", 30, 5));
    EXPECT_EQ(contest.nextSerial(), "006");
    contest.putRemote("a", fromRun2(stationContact("K9XX", "40", 5, 41)));
    EXPECT_EQ(contest.nextSerial(), "042");
    contest.prefs.serialPerBand = 1;
    EXPECT_EQ(contest.nextSerial(), "006");
    contest.prefs.band = "40";
    EXPECT_EQ(contest.nextSerial(), "042");
    contest.prefs.band = "80";
    EXPECT_EQ(contest.nextSerial(), "001");
    contest.prefs.serialPerBand = 0;
    // The highest serial withdrawn, the sequence falls back to what remains.
    ASSERT_TRUE(contest.removeRemote("a"));
    EXPECT_EQ(contest.nextSerial(), "006");
}

TEST_F(StationLogTest, TimeOrderKeptUpByArrivalsEqualsOneBuiltAfresh) {
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> minutes(0, 600);
    station.timeOrder(); // built now, kept up from here on
    for (int i = 0; i < 300; ++i) {
        QsoRecord r =
            stationContact("K" + std::to_string(i) + "A", i % 2 ? "20" : "40", minutes(rng), i + 1);
        if (i % 3 == 0) {
            contest.putRemote("r" + std::to_string(i), fromRun2(r));
        } else {
            log(r);
        }
    }
    const std::vector<StationLog::Row> kept = station.timeOrder();
    ASSERT_EQ(kept.size(), 300u);
    for (std::size_t i = 1; i < kept.size(); ++i) {
        EXPECT_LE(kept[i - 1].moment, kept[i].moment);
    }
    station.rebuild();
    const std::vector<StationLog::Row>& fresh = station.timeOrder();
    ASSERT_EQ(fresh.size(), kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(fresh[i].moment, kept[i].moment);
    }
}

TEST(RateCounter, EqualsTheWalkOfATimeOrderedLogAndSkipsUnreadableTimes) {
    RateCounter counter;
    std::vector<QsoRecord> ordered;
    for (int minutesAgo : {200, 70, 61, 59, 30, 21, 19, 1, 0, -5}) {
        ordered.push_back(stationContact("W1AW", "20", minutesAgo, 1));
    }
    // Added newest first, out of order, to cross the merges of the sorted runs.
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) {
        counter.add(*it);
    }
    QsoRecord broken = stationContact("W1AW", "20", 1, 1);
    broken.qsoTime = "soon";
    counter.add(broken);
    EXPECT_EQ(counter.rates(kStationNow), qsoRates(ordered, kStationNow).value());
    EXPECT_EQ(counter.rates(kStationNow), (QsoRates{7, 12}));
}

TEST(RateCounter, ManyContactsInAnyOrderEqualACountOfEveryOne) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<std::int64_t> offset(-600, 3 * 3600);
    const std::int64_t now = kStationNow.toEpochSeconds();
    RateCounter counter;
    std::vector<std::int64_t> moments;
    // Enough to cross many merges of the small run into the large one.
    for (int i = 0; i < 6000; ++i) {
        moments.push_back(now - offset(rng));
        counter.addMoment(moments.back());
    }
    int hour = 0;
    int twenty = 0;
    for (std::int64_t m : moments) {
        hour += now - m < 3600 ? 1 : 0;
        twenty += now - m < 1200 ? 1 : 0;
    }
    EXPECT_EQ(counter.size(), moments.size());
    EXPECT_EQ(counter.rates(kStationNow), (QsoRates{hour, 3 * twenty}));
}

} // namespace
