#include <gtest/gtest.h>

#include "output/score_schedule.h"

namespace wexon::output {
namespace {

constexpr std::int64_t kMinute = 60 * 1000;

TEST(ScoreScheduleCadence, FirstPostAtOnceThenTwoMinutesWhileTheScoreChanges) {
    ScoreSchedule s;
    EXPECT_TRUE(s.due(0));
    s.started(0);
    EXPECT_FALSE(s.due(0)); // one post in flight
    s.finished(true);
    s.scoreChanged();
    EXPECT_FALSE(s.due(2 * kMinute - 1));
    EXPECT_TRUE(s.due(2 * kMinute));
    s.started(2 * kMinute);
    s.finished(true);
    s.scoreChanged();
    EXPECT_TRUE(s.due(4 * kMinute));
}

TEST(ScoreScheduleCadence, TenMinutesWhileTheScoreStandsStill) {
    ScoreSchedule s;
    s.started(0);
    s.finished(true);
    EXPECT_FALSE(s.due(2 * kMinute));
    EXPECT_FALSE(s.due(10 * kMinute - 1));
    EXPECT_TRUE(s.due(10 * kMinute));
    EXPECT_EQ(s.nextDueMs(), 10 * kMinute);
}

TEST(ScoreScheduleCadence, NeverASecondPostWhileOneIsInFlight) {
    ScoreSchedule s;
    s.started(0);
    s.scoreChanged();
    for (std::int64_t t = 0; t <= 60 * kMinute; t += kMinute) {
        EXPECT_FALSE(s.due(t)) << t;
    }
    s.finished(true);
    EXPECT_TRUE(s.due(60 * kMinute)); // the change made meanwhile is still owed
}

TEST(ScoreScheduleCadence, AFailureWaitsForTheNextSlotInsteadOfRetrying) {
    ScoreSchedule s;
    s.started(0);
    s.finished(false);
    EXPECT_TRUE(s.owed());
    EXPECT_FALSE(s.due(1));
    EXPECT_FALSE(s.due(2 * kMinute - 1));
    EXPECT_TRUE(s.due(2 * kMinute));
    // A scoreboard that stays down is tried once per slot, no more.
    int attempts = 0;
    for (std::int64_t t = 2 * kMinute; t < 20 * kMinute; t += 1000) {
        if (s.due(t)) {
            ++attempts;
            s.started(t);
            s.finished(false);
        }
    }
    EXPECT_EQ(attempts, 9);
}

TEST(ScoreScheduleCadence, ResetPostsAtOnceAgain) {
    ScoreSchedule s;
    s.started(5 * kMinute);
    s.finished(true);
    EXPECT_FALSE(s.due(6 * kMinute));
    s.reset();
    EXPECT_TRUE(s.due(6 * kMinute));
}

} // namespace
} // namespace wexon::output
