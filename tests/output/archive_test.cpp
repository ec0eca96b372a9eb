#include <gtest/gtest.h>

#include "core/backup.h"
#include "golden.h"
#include "output/archive.h"
#include "support/temp_dir.h"

using namespace wexon;

namespace {
const core::DateTime kNow{2026, 3, 30, 7, 5, 0};
const std::string kLine =
    "\"K1ABC\",\"599\",\"001\",\"599\",\"USA\",\"2026/03/28\",\"00:00:12\",\"20\",1,\"K1\","
    "\"001\",\"\"\r\n";
} // namespace

TEST(ArchiveName, CallStemAndDate) {
    EXPECT_EQ(output::archiveFileName("W1AW/P", kNow), "W1AW2026-03-30.log");
    EXPECT_EQ(output::archiveFileName("", kNow), "YourCall2026-03-30.log");
    EXPECT_EQ(output::archiveFileName("/W1AW", kNow), "YourCall2026-03-30.log");
}

TEST(LogCheck, AcceptsLogsRefusesEverythingElse) {
    EXPECT_EQ(output::logProblem(""), "");
    EXPECT_EQ(output::logProblem(kLine + kLine), "");
    EXPECT_EQ(output::logProblem(test::readData("small_log.txt")), "");
    EXPECT_NE(output::logProblem(std::string("\x7f"
                                             "ELF\x02\x01\x00",
                                             7)),
              "");
    EXPECT_NE(output::logProblem("START-OF-LOG: 2.0\r\nQSO: 14000 CW\r\n"), "");
    EXPECT_NE(output::logProblem(kLine.substr(0, 60) + "\r\n"), "");
    // Points quoted, or a text left bare.
    std::string quotedPoints = kLine;
    quotedPoints.replace(quotedPoints.find(",1,"), 3, ",\"1\",");
    EXPECT_NE(output::logProblem(quotedPoints), "");
    std::string bareCall = kLine;
    bareCall.replace(0, 7, "K1ABC");
    EXPECT_NE(output::logProblem(bareCall), "");
}

TEST(Restore, ReplacesTheLogAndKeepsTheOldOneInBackup) {
    test::TempDir dir;
    dir.write("work/log.txt", kLine);
    dir.write("BACKUP/W1AW2026-03-29.log", kLine + kLine);
    auto r = output::restoreLog(dir.file("BACKUP/W1AW2026-03-29.log"), dir.file("work/log.txt"),
                                dir.file("BACKUP"), kNow);
    ASSERT_TRUE(r.result.ok()) << r.result.error;
    EXPECT_EQ(dir.read("work/log.txt"), kLine + kLine);
    EXPECT_EQ(r.replacedCopy, dir.file("BACKUP/202603300705.log"));
    EXPECT_EQ(dir.read("BACKUP/202603300705.log"), kLine);
}

TEST(Restore, RefusesAFileThatIsNotALogAndLeavesTheWorkingLog) {
    test::TempDir dir;
    dir.write("work/log.txt", kLine);
    dir.write("notes.log", "Dear diary,\r\ntoday I worked K1ABC.\r\n");
    auto r = output::restoreLog(dir.file("notes.log"), dir.file("work/log.txt"), dir.file("BACKUP"),
                                kNow);
    EXPECT_FALSE(r.result.ok());
    EXPECT_TRUE(r.refused);
    EXPECT_NE(r.result.error.find("not a log"), std::string::npos);
    EXPECT_EQ(dir.read("work/log.txt"), kLine);
    EXPECT_FALSE(dir.exists("BACKUP"));

    auto missing = output::restoreLog(dir.file("gone.log"), dir.file("work/log.txt"),
                                      dir.file("BACKUP"), kNow);
    EXPECT_FALSE(missing.result.ok());
    EXPECT_EQ(dir.read("work/log.txt"), kLine);
}

TEST(Restore, NoBackupNeededForAnEmptyOrMissingWorkingLog) {
    test::TempDir dir;
    dir.write("a.log", kLine);
    auto r = output::restoreLog(dir.file("a.log"), dir.file("log.txt"), dir.file("BACKUP"), kNow);
    ASSERT_TRUE(r.result.ok());
    EXPECT_EQ(r.replacedCopy, "");
    EXPECT_EQ(dir.read("log.txt"), kLine);
}

TEST(Restore, AFailedSafetyCopyStopsTheRestore) {
    test::TempDir dir;
    dir.write("log.txt", kLine);
    dir.write("a.log", kLine + kLine);
    dir.write("BACKUP", "a file where the folder should be");
    auto r = output::restoreLog(dir.file("a.log"), dir.file("log.txt"), dir.file("BACKUP"), kNow);
    EXPECT_FALSE(r.result.ok());
    EXPECT_EQ(dir.read("log.txt"), kLine);
}

TEST(Archive, CopiesAtomicallyAndKeepsTheOldFileOnFailure) {
    test::TempDir dir;
    dir.write("log.txt", kLine);
    dir.write("old.log", "older");
    ASSERT_TRUE(output::copyFileAtomically(dir.file("log.txt"), dir.file("old.log")).ok());
    EXPECT_EQ(dir.read("old.log"), kLine);
    EXPECT_FALSE(output::copyFileAtomically(dir.file("log.txt"), dir.file("nofolder/x.log")).ok());
    EXPECT_FALSE(output::copyFileAtomically(dir.file("none.txt"), dir.file("old.log")).ok());
    EXPECT_EQ(dir.read("old.log"), kLine);
}
