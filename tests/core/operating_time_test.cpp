#include <gtest/gtest.h>

#include <limits>

#include "core/operating_time.h"
#include "support/fake_clock.h"

using namespace wexon::core;
using wexon::test::FakeClock;

TEST(OperatingTimeDisplay, HoursMinutesSeconds) {
    struct Case {
        double seconds;
        const char* shown;
    } cases[] = {
        {0, "00:00:00"},       {3725, "01:02:05"},
        {59.9, "00:00:59"},    {86399, "23:59:59"},
        {360000, "100:00:00"}, {35999, "09:59:59"},
        {-5, "00:00:00"},      {1e300, "277777777777:46:40"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatOperatingTime(c.seconds), c.shown) << c.seconds;
    }
}

TEST(OperatingTimeToggle, CaptionsAndMessages) {
    FakeClock clock;
    clock.utc = DateTime{2026, 5, 30, 14, 5, 10};
    OperatingTime ot;
    EXPECT_STREQ(ot.caption(), "&Log \"Time On\"");
    auto on = ot.toggle(clock.utcNow());
    EXPECT_TRUE(on.loggedOn);
    EXPECT_EQ(on.message, " ");
    EXPECT_FALSE(on.savePreferences);
    EXPECT_STREQ(ot.caption(), "&Log \"Time Off\"");

    auto off = ot.toggle(clock.utcNow());
    EXPECT_FALSE(off.loggedOn);
    EXPECT_TRUE(off.savePreferences);
    EXPECT_EQ(off.message, "Logged Off at 2026/05/30 14:05:10. Log on after 15:05:10");
    EXPECT_STREQ(ot.caption(), "&Log \"Time On\"");
}

TEST(OperatingTimeToggle, LogOnAgainTimeCrossesMidnight) {
    EXPECT_EQ(logOffMessage(DateTime{2026, 12, 31, 23, 30, 0}),
              "Logged Off at 2026/12/31 23:30:00. Log on after 00:30:00");
}

TEST(OperatingTimeRunning, AccumulatesOverPeriodsAndRestarts) {
    FakeClock clock;
    OperatingTime ot(100.0f);
    EXPECT_FALSE(ot.tick(clock.utcNow()).has_value()); // off: the label stays
    ot.toggle(clock.utcNow());
    clock.advanceSeconds(3625);
    EXPECT_EQ(ot.tick(clock.utcNow()), "01:02:05");
    clock.advanceSeconds(10);
    ot.toggle(clock.utcNow()); // off
    EXPECT_FLOAT_EQ(ot.savedSeconds(), 3735.0f);
    clock.advanceSeconds(7200); // time off does not count
    ot.toggle(clock.utcNow());
    clock.advanceSeconds(5);
    EXPECT_EQ(ot.tick(clock.utcNow()), "01:02:20");

    // After a restart the saved total goes on.
    OperatingTime restarted(ot.savedSeconds());
    restarted.toggle(clock.utcNow());
    clock.advanceSeconds(1);
    EXPECT_EQ(restarted.tick(clock.utcNow()), "01:02:16");
}

TEST(OperatingTimeRunning, LogOffBeforeTheFirstTickKeepsTheTotal) {
    FakeClock clock;
    OperatingTime ot(500.0f);
    ot.toggle(clock.utcNow());
    ot.toggle(clock.utcNow());
    EXPECT_FLOAT_EQ(ot.savedSeconds(), 500.0f);
}

TEST(OperatingTimeRunning, ClockSetBackTakesNothingAway) {
    FakeClock clock;
    OperatingTime ot(60.0f);
    ot.toggle(clock.utcNow());
    clock.utc = clock.utc.addSeconds(-3600);
    EXPECT_EQ(ot.tick(clock.utcNow()), "00:01:00");
}

TEST(OperatingTimeRunning, DamagedSavedTotals) {
    EXPECT_FLOAT_EQ(OperatingTime(-120.0f).savedSeconds(), 120.0f);
    EXPECT_FLOAT_EQ(OperatingTime(std::numeric_limits<float>::quiet_NaN()).savedSeconds(), 0.0f);
    EXPECT_FLOAT_EQ(OperatingTime(std::numeric_limits<float>::infinity()).savedSeconds(), 0.0f);
}

TEST(OperatingTimeRunning, ExitSavesOnlyWhileLoggedOn) {
    FakeClock clock;
    OperatingTime ot(10.0f);
    EXPECT_FALSE(ot.stopAtExit(clock.utcNow()));
    ot.toggle(clock.utcNow());
    clock.advanceSeconds(50);
    EXPECT_TRUE(ot.stopAtExit(clock.utcNow()));
    EXPECT_FLOAT_EQ(ot.savedSeconds(), 60.0f);
    EXPECT_FALSE(ot.loggedOn());

    ot.reset(clock.utcNow());
    EXPECT_FLOAT_EQ(ot.savedSeconds(), 0.0f);
}

TEST(OperatingTimeRunning, NewLogWhileLoggedOnCountsFromNothing) {
    FakeClock clock;
    OperatingTime ot(5000.0f);
    ot.toggle(clock.utcNow());
    clock.advanceSeconds(100);
    ot.reset(clock.utcNow());
    clock.advanceSeconds(7);
    EXPECT_EQ(ot.tick(clock.utcNow()), "00:00:07");
}

TEST(Clocks, UtcAndLocalLabels) {
    EXPECT_EQ(utcClockText(DateTime{2026, 3, 29, 1, 1, 0}), "01:01:00");
    struct Case {
        int hour;
        const char* clock;
        const char* amPm;
    } cases[] = {{0, "12:07:09", "AM"},  {1, "1:07:09", "AM"},  {11, "11:07:09", "AM"},
                 {12, "12:07:09", "PM"}, {13, "1:07:09", "PM"}, {23, "11:07:09", "PM"}};
    for (const auto& c : cases) {
        DateTime t{2026, 5, 30, c.hour, 7, 9};
        EXPECT_EQ(localClockText(t), c.clock) << c.hour;
        EXPECT_EQ(amPmText(t), c.amPm) << c.hour;
    }
}
