#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/log_file.h"
#include "core/log_repair.h"
#include "support/small_mount.h"
#include "support/temp_dir.h"

using namespace wexon::core;
using wexon::test::TempDir;

namespace {

const DateTime kNow{2026, 5, 30, 12, 0, 0};
const char* kStamped = "torn-line-20260530120000.txt";

QsoRecord contact(int n) {
    QsoRecord r;
    r.call = "K" + std::to_string(n) + "ABC";
    r.rstReceived = "599";
    r.serialReceived = std::to_string(100 + n);
    r.rstSent = "599";
    r.country = "United States";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "12:00:0" + std::to_string(n % 10);
    r.band = "20";
    r.points = 1;
    r.prefix = "K" + std::to_string(n);
    r.serialSent = "00" + std::to_string(n);
    r.frequency = "14.025";
    return r;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(folder)) {
        return names;
    }
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// The whole path of a torn last line: the repair before the next append moves
// the fragment aside and the appended contact reads back intact, wherever the
// line was cut. A line cut only of its CR LF, or of its LF, is whole and stays.
TEST(TornTailRepair, ACutAtEveryByteEndsInACleanLog) {
    const std::string head = formatQsoLine(contact(1)) + formatQsoLine(contact(2));
    const std::string torn = formatQsoLine(contact(3));
    const std::string next = formatQsoLine(contact(4));
    for (std::size_t cut = 0; cut < torn.size(); ++cut) {
        TempDir dir;
        const std::string fragment = torn.substr(0, cut);
        dir.write("log.txt", head + fragment);
        TornTailRepair r = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
        ASSERT_TRUE(r.ok()) << r.error << " cut at " << cut;
        const bool crOnly = cut == torn.size() - 1;
        const bool noLineEnd = cut == torn.size() - 2;
        const bool kept = crOnly || noLineEnd;
        EXPECT_EQ(r.repaired, cut > 0 && !kept) << "cut at " << cut;
        EXPECT_EQ(r.lineEndAdded, noLineEnd) << "cut at " << cut;
        if (r.repaired) {
            EXPECT_EQ(r.savedAs, dir.file(std::string("BACKUP/") + kStamped));
            EXPECT_EQ(r.fragmentBytes, fragment.size());
            EXPECT_EQ(dir.read(std::string("BACKUP/") + kStamped), fragment) << "cut at " << cut;
            EXPECT_EQ(dir.read("log.txt"), head) << "cut at " << cut;
        } else {
            EXPECT_TRUE(r.savedAs.empty());
            EXPECT_TRUE(namesIn(dir.file("BACKUP")).empty()) << "cut at " << cut;
            EXPECT_EQ(dir.read("log.txt"), kept ? head + torn : head) << "cut at " << cut;
        }
        ASSERT_TRUE(appendDurably(dir.file("log.txt"), next).ok());
        auto read = parseLog(dir.read("log.txt"));
        EXPECT_FALSE(read.lastLineUnterminated);
        EXPECT_FALSE(read.lastRecordShort);
        ASSERT_EQ(read.records.size(), kept ? 4u : 3u) << "cut at " << cut;
        EXPECT_EQ(read.records[0], contact(1));
        EXPECT_EQ(read.records[1], contact(2));
        EXPECT_EQ(read.records.back(), contact(4)) << "cut at " << cut;
    }
}

TEST(TornTailRepair, NothingToDoForWholeMissingOrEmptyLogs) {
    TempDir dir;
    auto missing = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    EXPECT_TRUE(missing.ok());
    EXPECT_FALSE(missing.repaired);
    EXPECT_FALSE(dir.exists("log.txt")); // the append creates it, not the check
    dir.write("log.txt", "");
    EXPECT_FALSE(repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow).repaired);
    dir.write("log.txt", formatQsoLine(contact(1)));
    auto whole = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    EXPECT_TRUE(whole.ok());
    EXPECT_FALSE(whole.repaired);
    EXPECT_EQ(dir.read("log.txt"), formatQsoLine(contact(1)));
    EXPECT_FALSE(dir.exists("BACKUP")); // nothing to keep, no folder made
}

TEST(TornTailRepair, BlankTailIsCutWithoutACopy) {
    TempDir dir;
    dir.write("log.txt", formatQsoLine(contact(1)) + "  \t ");
    auto r = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(r.repaired);
    EXPECT_EQ(dir.read("log.txt"), formatQsoLine(contact(1)));
    EXPECT_FALSE(dir.exists("BACKUP"));
}

TEST(TornTailRepair, CopiesNeverOverwriteEachOther) {
    TempDir dir;
    dir.write(std::string("BACKUP/") + kStamped, "someone else's");
    for (const char* fragment : {"\"K1", "\"K2", "\"K3"}) {
        dir.write("log.txt", formatQsoLine(contact(1)) + fragment);
        auto r = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
        ASSERT_TRUE(r.repaired) << r.error;
    }
    EXPECT_EQ(namesIn(dir.file("BACKUP")),
              (std::vector<std::string>{"torn-line-20260530120000-2.txt",
                                        "torn-line-20260530120000-3.txt",
                                        "torn-line-20260530120000-4.txt", kStamped}));
    EXPECT_EQ(dir.read(std::string("BACKUP/") + kStamped), "someone else's");
    EXPECT_EQ(dir.read("BACKUP/torn-line-20260530120000-4.txt"), "\"K3");
}

// Without a copy of the fragment nothing is cut: the log is left as it was and
// the failure is reported.
TEST(TornTailRepair, NoCutWithoutACopy) {
    TempDir dir;
    const std::string bytes = formatQsoLine(contact(1)) + "\"K2AB";
    dir.write("log.txt", bytes);
    dir.write("BACKUP", "a file where the folder should be");
    auto r = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.repaired);
    EXPECT_EQ(dir.read("log.txt"), bytes);
    auto noParent = repairTornTail(dir.file("log.txt"), dir.file("no/BACKUP"), kNow);
    EXPECT_FALSE(noParent.ok());
    EXPECT_EQ(dir.read("log.txt"), bytes);
}

TEST(TornTailRepair, LongFragmentWithoutAnyLineEndIsKeptWhole) {
    TempDir dir;
    std::string junk(200000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<char>('a' + i % 26);
    }
    dir.write("log.txt", junk);
    auto r = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    ASSERT_TRUE(r.repaired) << r.error;
    EXPECT_EQ(r.fragmentBytes, junk.size());
    EXPECT_EQ(dir.read(std::string("BACKUP/") + kStamped), junk);
    EXPECT_EQ(dir.read("log.txt"), "");
}

TEST(TornTailRepair, MessageNamesTheCopy) {
    TornTailRepair r;
    r.repaired = true;
    r.savedAs = "/home/op/Documents/TARNO Software/CQ WPX/BACKUP/torn-line-20260530120000.txt";
    EXPECT_EQ(tornTailMessage(r), "The incomplete last line of log.txt was moved to "
                                  "BACKUP/torn-line-20260530120000.txt");
}

// A hand-edited or restored log often lacks only the last line end: a whole
// record there is kept and ended, never moved aside.
TEST(TornTailRepair, AWholeLastRecordWithoutItsLineEndGetsOne) {
    TempDir dir;
    std::string last = formatQsoLine(contact(2));
    last.resize(last.size() - 2);
    dir.write("log.txt", formatQsoLine(contact(1)) + last);
    auto r = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.lineEndAdded);
    EXPECT_FALSE(r.repaired);
    EXPECT_EQ(dir.read("log.txt"), formatQsoLine(contact(1)) + formatQsoLine(contact(2)));
    EXPECT_FALSE(dir.exists("BACKUP"));
}

// Lines that end in CR alone are lines as the reader takes them: only the
// unterminated last one is a fragment.
TEST(TornTailRepair, CrOnlyLinesEndLinesToo) {
    TempDir dir;
    std::string head;
    for (int n = 1; n <= 3; ++n) {
        const std::string line = formatQsoLine(contact(n));
        head += line.substr(0, line.size() - 1);
    }
    dir.write("log.txt", head + "\"K9TO");
    auto torn = repairTornTail(dir.file("log.txt"), dir.file("BACKUP"), kNow);
    ASSERT_TRUE(torn.repaired) << torn.error;
    EXPECT_EQ(dir.read(std::string("BACKUP/") + kStamped), "\"K9TO");
    EXPECT_EQ(dir.read("log.txt"), head);

    // A whole last record whose CR is missing is ended the same way.
    TempDir whole;
    const std::string last = formatQsoLine(contact(4));
    whole.write("log.txt", head + last.substr(0, last.size() - 2));
    auto ended = repairTornTail(whole.file("log.txt"), whole.file("BACKUP"), kNow);
    ASSERT_TRUE(ended.lineEndAdded) << ended.error;
    EXPECT_EQ(parseLog(whole.read("log.txt")).records.size(), 4u);
}

// The check only reads: a well-ended log on a file system that cannot be
// written passes it, so the append reports the real cause. A torn one names
// what could not be done.
TEST(TornTailRepair, AReadOnlyLogIsCheckedWithoutWriting) {
    TempDir dir;
    wexon::test::SmallMount mount(dir.file("ro"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.reason();
    }
    dir.write("ro/log.txt", formatQsoLine(contact(1)));
    dir.write("ro/torn.txt", formatQsoLine(contact(1)) + "\"K2");
    std::string last = formatQsoLine(contact(2));
    dir.write("ro/unended.txt", last.substr(0, last.size() - 2));
    dir.write("ro/cr.txt", last.substr(0, last.size() - 1)); // a CR ends the line too
    ASSERT_TRUE(mount.makeReadOnly());

    for (const char* name : {"ro/log.txt", "ro/cr.txt"}) {
        auto fine = repairTornTail(dir.file(name), dir.file("BACKUP"), kNow);
        EXPECT_TRUE(fine.ok()) << name << ": " << fine.error;
    }
    const FileResult append = appendDurably(dir.file("ro/log.txt"), formatQsoLine(contact(2)));
    EXPECT_NE(append.error.find(std::strerror(EROFS)), std::string::npos) << append.error;

    auto torn = repairTornTail(dir.file("ro/torn.txt"), dir.file("BACKUP"), kNow);
    EXPECT_FALSE(torn.ok());
    EXPECT_STREQ(tornTailErrorText(torn), kTornTailErrorText);
    auto unended = repairTornTail(dir.file("ro/unended.txt"), dir.file("BACKUP"), kNow);
    EXPECT_FALSE(unended.ok());
    EXPECT_STREQ(tornTailErrorText(unended), kLineEndErrorText);
}
