#include <gtest/gtest.h>

#include "core/post_contest.h"

using namespace wexon::core;

TEST(PostContestCheck, RewritesDateAndTime) {
    struct Case {
        const char* date;
        const char* time;
        const char* newDate;
        const char* newTime;
    } cases[] = {
        {"2006/5/27", "930", "2006/05/27", "09:30"},
        {"2006/05/27", "1234", "2006/05/27", "12:34"},
        {"2006/5/7", "0005", "2006/05/07", "00:05"},
        {"2006/12/31", "23:59", "2006/12/31", "23:59"},
        {"2006/12/31", "7:05:40", "2006/12/31", "07:05"},
        {"2008/2/29", "9:3", "2008/02/29", "09:03"},
    };
    for (const auto& c : cases) {
        PostContestCheck r = checkPostContest(c.date, c.time);
        EXPECT_TRUE(r.ok) << c.date << " " << c.time;
        EXPECT_EQ(r.message, "");
        EXPECT_EQ(r.date, c.newDate);
        EXPECT_EQ(r.time, c.newTime);
    }
}

TEST(PostContestCheck, RefusesBadDates) {
    for (const char* date : {"", "2006", "2006/13/01", "2007/2/29", "5/27/2006", "2006/5/27x",
                             "abcd/ef/gh", "2006//27"}) {
        PostContestCheck r = checkPostContest(date, "930");
        EXPECT_FALSE(r.ok) << date;
        EXPECT_EQ(r.message, "Invalid date format!") << date;
        EXPECT_FALSE(r.date.has_value());
        EXPECT_FALSE(r.time.has_value());
    }
}

TEST(PostContestCheck, RefusesBadTimesButKeepsTheRewrittenDate) {
    for (const char* time : {"", "9", "93", "2400", "1260", "12345", "12:60", "ab", "12:3x"}) {
        PostContestCheck r = checkPostContest("2006/5/27", time);
        EXPECT_FALSE(r.ok) << time;
        EXPECT_EQ(r.message, "Invalid time format!") << time;
        EXPECT_EQ(r.date, "2006/05/27");
        EXPECT_FALSE(r.time.has_value());
    }
}

TEST(PostContestKeys, EachBoxTakesItsOwnCharacters) {
    EXPECT_EQ(postContestDateKey('5'), PostContestKeyAction::Insert);
    EXPECT_EQ(postContestDateKey('/'), PostContestKeyAction::Insert);
    EXPECT_EQ(postContestDateKey(':'), PostContestKeyAction::Drop);
    EXPECT_EQ(postContestTimeKey(':'), PostContestKeyAction::Insert);
    EXPECT_EQ(postContestTimeKey('/'), PostContestKeyAction::Drop);
    for (auto filter : {postContestDateKey, postContestTimeKey}) {
        EXPECT_EQ(filter(8), PostContestKeyAction::Insert);
        EXPECT_EQ(filter(' '), PostContestKeyAction::FocusNext);
        EXPECT_EQ(filter(13), PostContestKeyAction::LogContact);
        for (int key : {int{'a'}, int{'-'}, int{'"'}, 0, 9, 27, 200}) {
            EXPECT_EQ(filter(key), PostContestKeyAction::Drop) << key;
        }
    }
}

TEST(PostContestKeys, EmptyDateBoxGetsTodaysLocalDate) {
    EXPECT_EQ(postContestDateFill("", DateTime{2026, 5, 3, 23, 59, 0}), "2026/05/03");
    EXPECT_FALSE(postContestDateFill("2006/05/27", DateTime{}).has_value());
}
