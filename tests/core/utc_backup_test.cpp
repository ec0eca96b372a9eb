#include <gtest/gtest.h>

#include "core/backup.h"
#include "core/utc_offset.h"
#include "support/temp_dir.h"

using namespace wexon::core;

TEST(UtcOffset, RecommendedIsUtcMinusLocalInHours) {
    DateTime utc{2026, 5, 30, 12, 0, 0};
    EXPECT_DOUBLE_EQ(recommendedUtcOffset(utc, utc.addMinutes(-300)), 5.0);
    EXPECT_DOUBLE_EQ(recommendedUtcOffset(utc, utc.addMinutes(330)), -5.5);
    EXPECT_DOUBLE_EQ(recommendedUtcOffset(utc, utc.addMinutes(-20)), 0.33);
    // A second's skew between the two clock reads does not change the answer.
    EXPECT_DOUBLE_EQ(recommendedUtcOffset(utc, utc.addSeconds(-300 * 60 + 1)), 5.0);
}

TEST(UtcOffset, EqualOffsetAsksNothingAHundredthDiffers) {
    EXPECT_FALSE(utcOffsetDiffers(5.0f, 5.0));
    EXPECT_FALSE(utcOffsetDiffers(-5.5f, -5.5));
    EXPECT_FALSE(utcOffsetDiffers(0.33f, 0.33));
    EXPECT_TRUE(utcOffsetDiffers(5.01f, 5.0));
    EXPECT_TRUE(utcOffsetDiffers(4.99f, 5.0));
}

TEST(UtcOffset, QuestionTextNamesBothTimesAndBothOffsets) {
    DateTime utc{2026, 5, 30, 12, 7, 0};
    std::string text = utcOffsetQuestion(utc, utc.addMinutes(-300), 5.0, 4.5f);
    EXPECT_EQ(text,
              "Would you like to adjust the UTC offset in this program for your local time "
              "setting?\n\nCurrent System Time: 12:07\n\nCurrent Local Time: 07:07\n\n"
              "Recommended Offset Setting: 5\n\nCurrent Offset Setting: 4.5\n\nPlease click OK to "
              "accept the recommended change or Cancel to keep the current setting.");
}

TEST(Backup, CopiesTheLogUnderTheMinutesName) {
    wexon::test::TempDir dir;
    dir.write("log.txt", "\"W1AW\"\r\n");
    DateTime local{2026, 5, 30, 7, 5, 59};
    EXPECT_EQ(backupFileName(local), "202605300705.log");
    ASSERT_TRUE(backupLog(dir.file("log.txt"), dir.file("BACKUP"), local).ok());
    EXPECT_EQ(dir.read("BACKUP/202605300705.log"), "\"W1AW\"\r\n");
    EXPECT_FALSE(backupLog(dir.file("none.txt"), dir.file("BACKUP"), local).ok());
    EXPECT_TRUE(backupNeeded(3, 2));
    EXPECT_FALSE(backupNeeded(2, 2));
    EXPECT_FALSE(backupNeeded(0, 5));
}

TEST(Backup, TwoBackupsInOneMinuteKeepBoth) {
    wexon::test::TempDir dir;
    DateTime local{2026, 5, 30, 7, 5, 10};
    dir.write("log.txt", "first\r\n");
    std::string first;
    ASSERT_TRUE(backupLogTo(dir.file("log.txt"), dir.file("BACKUP"), local, first).ok());
    dir.write("log.txt", "second\r\n");
    std::string second;
    ASSERT_TRUE(
        backupLogTo(dir.file("log.txt"), dir.file("BACKUP"), local.addSeconds(30), second).ok());
    dir.write("log.txt", "third\r\n");
    ASSERT_TRUE(backupLog(dir.file("log.txt"), dir.file("BACKUP"), local).ok());
    EXPECT_EQ(first, dir.file("BACKUP/202605300705.log"));
    EXPECT_EQ(second, dir.file("BACKUP/202605300705-2.log"));
    EXPECT_EQ(dir.read("BACKUP/202605300705.log"), "first\r\n");
    EXPECT_EQ(dir.read("BACKUP/202605300705-2.log"), "second\r\n");
    EXPECT_EQ(dir.read("BACKUP/202605300705-3.log"), "third\r\n");
    // The next minute starts with its plain name again.
    EXPECT_EQ(freeBackupPath(dir.file("BACKUP"), local.addMinutes(1)),
              dir.file("BACKUP/202605300706.log"));
}

TEST(Backup, OnlyWhenTheCountChangedSinceTheLogWasRead) {
    EXPECT_FALSE(backupNeeded(0, 0));   // nothing logged
    EXPECT_FALSE(backupNeeded(12, 12)); // edits that kept the count are not noticed
    EXPECT_TRUE(backupNeeded(13, 12));  // one logged
    EXPECT_TRUE(backupNeeded(11, 12));  // one deleted
    EXPECT_TRUE(backupNeeded(1, 0));    // a first contact in a new log
}

TEST(NewLog, TypedYesInAnyCaseConfirms) {
    EXPECT_TRUE(newLogConfirmed(std::string("YES")));
    EXPECT_TRUE(newLogConfirmed(std::string("yes")));
    EXPECT_FALSE(newLogConfirmed(std::string(" Yes ")));
    EXPECT_FALSE(newLogConfirmed(std::string("")));
    EXPECT_FALSE(newLogConfirmed(std::nullopt));
    EXPECT_FALSE(newLogConfirmed(std::string("Y")));
    EXPECT_FALSE(newLogConfirmed(std::string("YES!")));
    EXPECT_FALSE(newLogConfirmed(std::string("no")));
}
