#include "core/score.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace wexon::core {
namespace {

TEST(ScoreLabels, ShowTheTotalsInTheirFormats) {
    ScoreLabels labels = labelDisplay(1500, 56, 1234);
    EXPECT_EQ(labels.lblTotCon, "1500");
    EXPECT_EQ(labels.lblsectogo, "56");
    EXPECT_EQ(labels.lblTotSec, "1,234");
    EXPECT_EQ(labels.lblTotScore, "69,104");
    EXPECT_EQ(labels.lbl160, "Prefixes Worked - 56");
}

TEST(ScoreLabels, EmptyLogShowsZeros) {
    ScoreLabels labels = labelDisplay(0, 0, 0);
    EXPECT_EQ(labels.lblTotCon, "0");
    EXPECT_EQ(labels.lblsectogo, "0");
    EXPECT_EQ(labels.lblTotSec, "0");
    EXPECT_EQ(labels.lblTotScore, "0");
    EXPECT_EQ(labels.lbl160, "Prefixes Worked - 0");
}

TEST(ScoreLabels, LargeScoresDoNotWrap) {
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(totalScore(most, 13000), std::int64_t{most} * 13000);
    ScoreLabels labels = labelDisplay(13000, 13000, most);
    EXPECT_EQ(labels.lblTotSec, "2,147,483,647");
    EXPECT_EQ(labels.lblTotScore, "27,917,287,411,000");
    // 78000 points (13000 six-point contacts) times 10000 prefixes.
    EXPECT_EQ(labelDisplay(13000, 10000, 78000).lblTotScore, "780,000,000");
}

TEST(ScoreLabels, NegativePointsFromAnEditedLogStayReadable) {
    ScoreLabels labels = labelDisplay(2, 3, -1500);
    EXPECT_EQ(labels.lblTotSec, "-1,500");
    EXPECT_EQ(labels.lblTotScore, "-4,500");
}

} // namespace
} // namespace wexon::core
