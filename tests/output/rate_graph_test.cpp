#include <gtest/gtest.h>

#include "core/date_time.h"
#include "output/rate_graph.h"

using namespace wexon;
using output::RateGraph;

namespace {

constexpr output::Rgb kWhite = 0xFFFFFF;
const core::DateTime kStart{2026, 3, 28, 0, 0, 0};

core::QsoRecord at(std::int64_t seconds, const char* band = "20") {
    core::QsoRecord q;
    auto t = kStart.addSeconds(seconds);
    q.qsoDate = core::formatDate(t);
    q.qsoTime = core::formatTime(t);
    q.band = band;
    return q;
}

// Contacts at the given minutes; the last one at minute 1500 makes one column a
// minute.
std::vector<core::QsoRecord> atMinutes(std::initializer_list<int> minutes) {
    std::vector<core::QsoRecord> v;
    for (int m : minutes) {
        v.push_back(at(m * 60LL));
    }
    return v;
}

float raw(const RateGraph& g, int c) {
    return g.rawRate[static_cast<std::size_t>(c)];
}
float plot(const RateGraph& g, int c) {
    return g.plotRate[static_cast<std::size_t>(c)];
}
output::Rgb colour(const RateGraph& g, int c) {
    return g.columnColour[static_cast<std::size_t>(c)];
}

} // namespace

TEST(RateGraphContacts, SixAreTooFewSevenDraw) {
    auto six = atMinutes({0, 1, 2, 3, 4, 1500});
    EXPECT_EQ(output::computeRateGraph(six, kWhite).status, RateGraph::Status::TooFewContacts);
    auto seven = atMinutes({0, 1, 2, 3, 4, 5, 1500});
    RateGraph g = output::computeRateGraph(seven, kWhite);
    ASSERT_EQ(g.status, RateGraph::Status::Drawn);
    // Contact 6 at minute 5 has all six within ten minutes: 36 an hour.
    EXPECT_FLOAT_EQ(raw(g, 5), 36.0f);
    // Minute 1 is column 1 too, and the later contact's rate (two) stands.
    EXPECT_FLOAT_EQ(raw(g, 1), 12.0f);
    EXPECT_FLOAT_EQ(raw(g, 1500), 6.0f); // alone in its ten minutes
    EXPECT_EQ(output::computeRateGraph({}, kWhite).status, RateGraph::Status::TooFewContacts);
}

TEST(RateGraphContacts, TenMinuteWindowStopsAtTheFirstOlderContact) {
    // 00:00 .. 00:05, then 00:09:59 (all within 600 s of the first) and 00:10:00.
    std::vector<core::QsoRecord> v = atMinutes({0, 1, 2, 3, 4, 5});
    v.push_back(at(599));
    v.push_back(at(600));
    v.push_back(at(1500 * 60));
    RateGraph g = output::computeRateGraph(v, kWhite);
    ASSERT_EQ(g.status, RateGraph::Status::Drawn);
    EXPECT_FLOAT_EQ(raw(g, 10), 6.0f * 7); // 00:10:00 counts itself and six back to 00:01
}

TEST(RateGraphContacts, SameColumnTakesTheLaterRate) {
    std::vector<core::QsoRecord> v = atMinutes({0, 1, 2, 3, 4, 5});
    v.push_back(at(89975)); // column 1499.58 -> 1500
    v.push_back(at(90000)); // column 1500
    RateGraph g = output::computeRateGraph(v, kWhite);
    ASSERT_EQ(g.status, RateGraph::Status::Drawn);
    EXPECT_FLOAT_EQ(raw(g, 1500), 12.0f);
}

TEST(RateGraphGaps, ShortGapsAreBridgedLongOnesStayEmpty) {
    auto v = atMinutes({0, 1, 2, 3, 4, 5, 9, 1500});
    RateGraph g = output::computeRateGraph(v, kWhite);
    ASSERT_EQ(g.status, RateGraph::Status::Drawn);
    // Columns 6..8 run from column 5's rate (36) towards column 9's (42).
    EXPECT_FLOAT_EQ(raw(g, 6), 36.0f);
    EXPECT_FLOAT_EQ(raw(g, 7), 38.0f);
    EXPECT_FLOAT_EQ(raw(g, 8), 40.0f);
    EXPECT_FLOAT_EQ(raw(g, 9), 42.0f);
    // More than 15 empty columns follow: no bridge, the plot is empty there.
    EXPECT_FLOAT_EQ(plot(g, 100), 0.0f);
    EXPECT_FLOAT_EQ(plot(g, 1484), 0.0f);
    EXPECT_FLOAT_EQ(g.minRate, 0.0f);
    // The last 15 columns before the final contact are bridged from zero.
    EXPECT_GT(plot(g, 1490), 0.0f);
}

TEST(RateGraphSmoothing, AveragesThePositiveRatesOfSevenColumns) {
    auto v = atMinutes({0, 1, 2, 3, 4, 5, 9, 1500});
    RateGraph g = output::computeRateGraph(v, kWhite);
    // Column 7 averages the raw rates of columns 1..7 (the bridged ones included).
    EXPECT_FLOAT_EQ(plot(g, 7), (12 + 18 + 24 + 30 + 36 + 36 + 38.0f) / 7);
    // Column 15: of columns 9..15 only column 9 holds a rate.
    EXPECT_FLOAT_EQ(plot(g, 15), 42.0f);
    EXPECT_FLOAT_EQ(plot(g, 16), 0.0f);
    // Column 1 is plotted at the starting rate, whatever its contacts set.
    EXPECT_FLOAT_EQ(plot(g, 1), 6.0f);
}

TEST(RateGraphColours, BandsColourTheirColumnsAndCarryOn) {
    std::vector<core::QsoRecord> v;
    const char* bands[] = {"160", "80", "40", "20", "15", "10"};
    for (int i = 0; i < 6; ++i) {
        v.push_back(at(i * 60, bands[i]));
    }
    v.push_back(at(10 * 60, "17")); // not in the legend
    v.push_back(at(1500 * 60, "6"));
    RateGraph g = output::computeRateGraph(v, kWhite);
    ASSERT_EQ(g.status, RateGraph::Status::Drawn);
    // Minutes 0 and 1 share column 1: the later contact's band colours it.
    EXPECT_EQ(colour(g, 1), output::bandColour("80", 0));
    EXPECT_EQ(colour(g, 5), output::bandColour("10", 0));
    // The bridged columns and the unknown band's column carry the colour before.
    EXPECT_EQ(colour(g, 7), output::bandColour("10", 0));
    EXPECT_EQ(colour(g, 10), output::bandColour("10", 0));
    // An empty stretch keeps the background, and the last contact its band's colour.
    EXPECT_EQ(colour(g, 700), kWhite);
    EXPECT_EQ(colour(g, 1500), output::bandColour("6", 0));
    EXPECT_EQ(output::bandColour("17", 0x123456), 0x123456u);
    EXPECT_EQ(output::bandColour("", kWhite), kWhite);
}

TEST(RateGraphColours, UnknownBandKeepsTheColourOfItsColumn) {
    std::vector<core::QsoRecord> v = atMinutes({0, 1, 2, 3, 4, 5});
    v.push_back(at(89975, "15"));
    v.push_back(at(90000, "WARC")); // same column as the 15 m contact
    RateGraph g = output::computeRateGraph(v, kWhite);
    EXPECT_EQ(colour(g, 1500), output::bandColour("15", 0));
}

TEST(RateGraphAxes, TimeAndRateLabels) {
    auto v = atMinutes({0, 1, 2, 3, 4, 5, 1500});
    RateGraph g = output::computeRateGraph(v, kWhite);
    EXPECT_EQ(g.timeLabels[0], "00:00");
    EXPECT_EQ(g.dateLabels[0], "03/28");
    EXPECT_EQ(g.timeLabels[7], "12:30");
    EXPECT_EQ(g.timeLabels[14], "01:00");
    EXPECT_EQ(g.dateLabels[14], "03/29");
    EXPECT_EQ(g.rateLabels[0], "0.0");
    EXPECT_EQ(g.rateLabels[16], "36.0");
    EXPECT_EQ(g.rateLabels[8], "18.0");
}

TEST(RateGraphBadInput, UnreadableTimesAndNoSpanDrawNothing) {
    auto same = atMinutes({0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(output::computeRateGraph(same, kWhite).status, RateGraph::Status::Unusable);
    auto bad = atMinutes({0, 1, 2, 3, 4, 5, 1500});
    bad[3].qsoDate = "2026/13/01";
    EXPECT_EQ(output::computeRateGraph(bad, kWhite).status, RateGraph::Status::Unusable);
    // Out of order: a contact later than the last one is left off the plot.
    auto late = atMinutes({0, 1, 2, 3000, 4, 5, 1500});
    RateGraph g = output::computeRateGraph(late, kWhite);
    EXPECT_EQ(g.status, RateGraph::Status::Drawn);
    EXPECT_TRUE(output::rateSegments(RateGraph{}, {0, 0, 1500, 100}).empty());
}

TEST(RateGraphDrawing, SegmentGeometry) {
    auto v = atMinutes({0, 1, 2, 3, 4, 5, 1500});
    RateGraph g = output::computeRateGraph(v, kWhite);
    auto s = output::rateSegments(g, {100, 50, 1600, 450});
    ASSERT_EQ(s.size(), 1500u);
    // Column c lies at left + 10 + width * (c - 2), width 1 here.
    EXPECT_DOUBLE_EQ(s[0].x0, 100 + 10 - 2);
    EXPECT_DOUBLE_EQ(s[0].x1, 100 + 10 - 1);
    EXPECT_DOUBLE_EQ(s[1499].x1, 100 + 10 + 1498);
    // The lowest rate sits 0.25 % of the height above the bottom line; the
    // highest 99.5 % of the height above that.
    const double h = 400;
    EXPECT_DOUBLE_EQ(s[699].y1, 450 - 0.0025 * h);
    EXPECT_NEAR(s[4].y1, 450 - 0.0025 * h - 0.995 * h, 1e-9); // column 5 holds the maximum
    EXPECT_TRUE(s[0].strip);
    EXPECT_FALSE(s[699].strip);
    EXPECT_EQ(s[0].stripColour, colour(g, 1));
}
