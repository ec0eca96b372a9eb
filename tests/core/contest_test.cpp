#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>

#include "core/contest.h"
#include "core/file_io.h"
#include "core/log_file.h"
#include "core/number_format.h"
#include "support/small_mount.h"
#include "support/temp_dir.h"

using namespace wexon::core;

namespace {

QsoRecord contact(int n, const std::string& band = "20") {
    QsoRecord r;
    r.call = "K" + std::to_string(n) + "AA";
    r.rstReceived = "599";
    r.serialReceived = std::to_string(n);
    r.rstSent = "599";
    r.country = "USA";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "12:00:00";
    r.band = band;
    r.points = 1;
    r.prefix = "K" + std::to_string(n);
    r.serialSent = zeroPad(n, 3);
    return r;
}

std::string logOf(int first, int last) {
    std::string out;
    for (int n = first; n <= last; ++n) {
        out += formatQsoLine(contact(n));
    }
    return out;
}

} // namespace

TEST(ContestRead, AFailedReadLeavesTheStoreAsItWas) {
    wexon::test::TempDir dir;
    dir.write("log.txt", logOf(1, 5));
    Contest contest(dir.path());
    ASSERT_TRUE(contest.readLog().opened);
    ASSERT_EQ(contest.qsoCount(), 5);

    // The log turns into something that cannot be read as a file.
    std::filesystem::remove(dir.file("log.txt"));
    std::filesystem::create_directory(dir.file("log.txt"));
    EXPECT_FALSE(contest.readLog().opened);
    EXPECT_EQ(contest.qsoCount(), 5);
    EXPECT_EQ(contest.totalPoints(), 5);
    EXPECT_EQ(contest.qso(5).call, "K5AA");
}

TEST(ContestRead, ALogOfAnyLengthIsReadWholeAndTakesMoreContacts) {
    wexon::test::TempDir dir;
    // Three times what the store once held; the benchmark reads 200000.
    const int total = 40000;
    dir.write("log.txt", logOf(1, total));
    Contest contest(dir.path());
    ASSERT_TRUE(contest.readLog().opened);
    ASSERT_EQ(contest.qsoCount(), total);
    EXPECT_EQ(contest.qso(total).call, "K40000AA");
    EXPECT_EQ(contest.totalPoints(), total);
    EXPECT_EQ(contest.nextSerial(), "40001");

    ASSERT_EQ(contest.appendQso(contact(total + 1)).status, Contest::AppendStatus::Appended);
    EXPECT_EQ(contest.qsoCount(), total + 1);
    EXPECT_EQ(contest.totalPoints(), total + 1);
    EXPECT_EQ(contest.nextSerial(), "40002");
    Contest again(dir.path());
    ASSERT_TRUE(again.readLog().opened);
    EXPECT_EQ(again.qsoCount(), total + 1);
    EXPECT_EQ(again.qso(total + 1), contact(total + 1));
}

TEST(ContestContact, FrequenciesThatAreNotNumbersAreIgnored) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    contest.prefs.band = "20";
    contest.bandFreqConversion(7.025f);
    const std::string before = contest.lastFrequency;
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
          -std::numeric_limits<float>::infinity()}) {
        EXPECT_FALSE(contest.bandFreqConversion(bad).has_value());
        EXPECT_EQ(contest.lastFrequency, before);
    }
}

// Edit and delete are all or nothing: when "log.txt" cannot be written (a full
// file system, a read-only one), the store keeps the record as it was, so a
// later successful rewrite cannot slip the failed change in, and a restart
// cannot bring a deleted contact back.
class ContestOnASmallFileSystem : public ::testing::Test {
  protected:
    wexon::test::TempDir dir;
    std::unique_ptr<wexon::test::SmallMount> mount;
    std::string folder;

    void SetUp() override {
        folder = dir.file("small");
        mount = std::make_unique<wexon::test::SmallMount>(folder);
        if (!mount->mounted()) {
            GTEST_SKIP() << mount->reason();
        }
        ASSERT_TRUE(replaceAtomically(joinPath(folder, "log.txt"), logOf(1, 3)).ok());
    }
    void TearDown() override { mount.reset(); }
};

TEST_F(ContestOnASmallFileSystem, AFailedEditOrDeleteChangesNeitherTheStoreNorTheFile) {
    Contest contest(folder);
    ASSERT_TRUE(contest.readLog().opened);
    ASSERT_TRUE(mount->fill());
    QsoRecord edited = contest.qso(2);
    edited.call = "EDITED";
    EXPECT_FALSE(contest.replaceQso(2, edited).ok());
    EXPECT_FALSE(contest.removeQso(1).ok());
    EXPECT_EQ(contest.qsoCount(), 3);
    EXPECT_EQ(contest.qso(2).call, "K2AA");
    EXPECT_EQ(contest.totalPoints(), 3);
    EXPECT_EQ(readWholeFile(joinPath(folder, "log.txt")), logOf(1, 3));

    // With room again, the next change carries only itself.
    std::filesystem::remove(joinPath(folder, "filler"));
    ASSERT_TRUE(contest.removeQso(3).ok());
    EXPECT_EQ(readWholeFile(joinPath(folder, "log.txt")), logOf(1, 2));
}

TEST_F(ContestOnASmallFileSystem, AReadOnlyFileSystemRefusesTheDeleteAndKeepsTheContact) {
    Contest contest(folder);
    ASSERT_TRUE(contest.readLog().opened);
    ASSERT_TRUE(mount->makeReadOnly());
    EXPECT_FALSE(contest.removeQso(2).ok());
    EXPECT_EQ(contest.qsoCount(), 3);
    Contest restarted(folder);
    ASSERT_TRUE(restarted.readLog().opened);
    EXPECT_EQ(restarted.qsoCount(), 3);
}
