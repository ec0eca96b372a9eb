#include <gtest/gtest.h>

#include <filesystem>

#include "core/bands.h"
#include "core/contest.h"
#include "core/log_file.h"
#include "core/log_list.h"
#include "support/temp_dir.h"

using namespace wexon::core;

namespace {

QsoRecord qso(const std::string& call, const std::string& band = "20", float points = 1,
              const std::string& serial = "001") {
    QsoRecord r;
    r.call = call;
    r.rstReceived = "599";
    r.serialReceived = "123";
    r.rstSent = "599";
    r.country = "USA";
    r.qsoDate = "2026/05/30";
    r.qsoTime = "00:01:02";
    r.band = band;
    r.points = points;
    r.prefix = "K1";
    r.serialSent = serial;
    r.frequency = "14.025";
    return r;
}

std::vector<QsoRecord> numbered(int n) {
    std::vector<QsoRecord> v;
    for (int i = 1; i <= n; ++i) {
        v.push_back(qso("K" + std::to_string(i) + "AA", "20", 1, std::to_string(i)));
    }
    return v;
}

} // namespace

TEST(LogLine, ElevenQuotedTextsAndBarePointsNinth) {
    EXPECT_EQ(formatQsoLine(qso("K1ABC")),
              "\"K1ABC\",\"599\",\"123\",\"599\",\"USA\",\"2026/05/30\",\"00:01:02\",\"20\",1,"
              "\"K1\",\"001\",\"14.025\"\r\n");
}

TEST(LogLine, CommaInsideCallOrCountrySurvivesWriteAndRead) {
    QsoRecord r = qso("K1,ABC");
    r.country = "Korea, South";
    r.frequency = "";
    auto read = parseLog(formatQsoLine(r) + formatQsoLine(qso("W1AW")));
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0], r);
    EXPECT_EQ(read.records[1], qso("W1AW"));
    EXPECT_FALSE(read.lastRecordShort);
}

TEST(LogRead, ShortLineTakesTheRestFromTheNextLine) {
    std::string data =
        "\"K1ABC\",\"599\",\"123\",\"599\",\"USA\",\"2026/05/30\"\r\n\"00:01:02\",\"20\",1,\"K1\","
        "\"001\",\"14.025\"\r\n";
    auto read = parseLog(data);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0], qso("K1ABC"));
}

TEST(LogRead, DamagedFilesLoadWhatTheyCan) {
    // A short last record is kept, its missing values empty.
    auto shortLast = parseLog(formatQsoLine(qso("W1AW")) + "\"K2XX\",\"59\"");
    ASSERT_EQ(shortLast.records.size(), 2u);
    EXPECT_TRUE(shortLast.lastRecordShort);
    EXPECT_EQ(shortLast.records[1].call, "K2XX");
    EXPECT_EQ(shortLast.records[1].band, "");

    // Points that are not a number count 0.
    auto badPoints = parseLog("\"K1ABC\",\"599\",\"1\",\"599\",\"USA\",\"2026/05/"
                              "30\",\"00:01:02\",\"20\",x,\"K1\",\"001\",\"\"");
    ASSERT_EQ(badPoints.records.size(), 1u);
    EXPECT_EQ(badPoints.records[0].points, 0.0f);
    EXPECT_EQ(badPoints.unreadablePoints, 1);

    // Binary bytes, stray quotes and a very long line neither crash nor grow without bound.
    std::string junk = std::string("\x00\x01\xff\"\"\"", 6) + std::string(200000, 'Z') + "\r\n" +
                       formatQsoLine(qso("W1AW"));
    auto messy = parseLog(junk);
    EXPECT_GE(messy.records.size(), 1u);
    for (const auto& r : messy.records) {
        EXPECT_LE(r.call.size(), 4096u);
    }
}

TEST(LogList, ShowsTheNewestTwentyNewestFirst) {
    for (int n : {19, 20, 21}) {
        auto rows = logListRows(numbered(n), false);
        int expected = n < 20 ? n : 20;
        ASSERT_EQ(static_cast<int>(rows.size()), expected) << n;
        EXPECT_EQ(rows.front()[0], std::to_string(n));
        EXPECT_EQ(rows.back()[0], n == 21 ? "2" : "1");
    }
    EXPECT_EQ(logListRows(numbered(21), true).size(), 21u);
}

TEST(LogList, RowColumnsInOrder) {
    auto row = logListRow(qso("K1ABC"), 7);
    EXPECT_EQ(row, (LogListRow{"7", "K1ABC", "599", "123", "599", "001", "05/30 00:01", "20", "USA",
                               "K1", "1"}));
    QsoRecord odd = qso("K1ABC");
    odd.qsoDate = "garbage";
    EXPECT_EQ(logListDateTime(odd), "garbage 00:01");
}

TEST(BandConversion, EdgesAreExclusive) {
    struct Case {
        float mhz;
        const char* band;
    } cases[] = {{1.7999f, nullptr},  {1.8f, "160"},      {2.0001f, nullptr}, {3.5f, "80"},
                 {7.0f, "40"},        {7.3001f, nullptr}, {14.0f, "20"},      {14.35f, "20"},
                 {14.3501f, nullptr}, {21.45f, "15"},     {28.0f, "10"},      {29.7001f, nullptr},
                 {10.1f, nullptr}};
    for (const auto& c : cases) {
        auto band = bandForFrequency(c.mhz);
        if (c.band == nullptr) {
            EXPECT_FALSE(band) << c.mhz;
        } else {
            ASSERT_TRUE(band) << c.mhz;
            EXPECT_EQ(*band, c.band) << c.mhz;
        }
    }
    EXPECT_EQ(nextBand("10"), "160");
    EXPECT_EQ(nextBand("40"), "20");
    EXPECT_TRUE(isLowBand("160"));
    EXPECT_FALSE(isLowBand("20"));
}

TEST(ContestStore, OutOfBandFrequencyIsStoredButKeepsTheBand) {
    Contest contest;
    contest.prefs.band = "40";
    EXPECT_FALSE(contest.bandFreqConversion(14.3501f));
    EXPECT_EQ(contest.lastFrequency, "14.350");
    EXPECT_FALSE(contest.bandFreqConversion(1.7999f));
    EXPECT_EQ(contest.lastFrequency, "1.800");
    EXPECT_FALSE(contest.bandFreqConversion(7.025f)); // same band, no change
    auto changed = contest.bandFreqConversion(14.025f);
    ASSERT_TRUE(changed);
    EXPECT_EQ(*changed, "20");
    EXPECT_EQ(contest.lastFrequency, "14.025");
}

TEST(ContestStore, AppendIsOnDiskAndReadsBack) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    ASSERT_TRUE(contest.startEmptyLog().ok());
    ASSERT_EQ(contest.appendQso(qso("W1AW", "20", 1)).status, Contest::AppendStatus::Appended);
    ASSERT_EQ(contest.appendQso(qso("DL1ABC", "40", 6)).status, Contest::AppendStatus::Appended);
    EXPECT_EQ(dir.read("log.txt"),
              formatQsoLine(qso("W1AW", "20", 1)) + formatQsoLine(qso("DL1ABC", "40", 6)));
    EXPECT_EQ(contest.totalPoints(), 7);

    Contest again(dir.path());
    auto load = again.readLog();
    ASSERT_TRUE(load.opened);
    EXPECT_EQ(again.qsoCount(), 2);
    EXPECT_EQ(again.qso(2).call, "DL1ABC");
    EXPECT_EQ(again.totalPoints(), 7);
    EXPECT_EQ(again.openedCount(), 2);
}

TEST(ContestStore, EmptyLogGivesNothingAndSerialOne) {
    wexon::test::TempDir dir;
    dir.write("log.txt", "");
    Contest contest(dir.path());
    auto load = contest.readLog();
    EXPECT_TRUE(load.opened);
    EXPECT_EQ(contest.qsoCount(), 0);
    EXPECT_EQ(contest.totalPoints(), 0);
    EXPECT_EQ(contest.nextSerial(), "001");
    EXPECT_FALSE(Contest(dir.path() + "/missing").readLog().opened);
}

TEST(ContestStore, FailedWriteLeavesTheStoreAsItWas) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    ASSERT_TRUE(contest.startEmptyLog().ok());
    std::filesystem::remove(dir.file("log.txt"));
    std::filesystem::create_directory(dir.file("log.txt")); // a folder where the file belongs
    auto outcome = contest.appendQso(qso("W1AW"));
    EXPECT_EQ(outcome.status, Contest::AppendStatus::WriteFailed);
    EXPECT_EQ(contest.qsoCount(), 0);
    EXPECT_EQ(contest.totalPoints(), 0);
}

TEST(ContestStore, RewriteReplacesTheFileAfterEditAndDelete) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    ASSERT_TRUE(contest.startEmptyLog().ok());
    for (const auto& r : numbered(3)) {
        contest.appendQso(r);
    }
    QsoRecord edited = contest.qso(2);
    edited.call = "EDITED";
    ASSERT_TRUE(contest.replaceQso(2, edited));
    ASSERT_TRUE(contest.removeQso(1));
    EXPECT_FALSE(contest.removeQso(5));
    ASSERT_TRUE(contest.rewriteLog().ok());
    Contest again(dir.path());
    again.readLog();
    ASSERT_EQ(again.qsoCount(), 2);
    EXPECT_EQ(again.qso(1).call, "EDITED");
    EXPECT_EQ(again.qso(2).call, "K3AA");
}

TEST(NextSerial, CountsPerBandOrOverall) {
    wexon::test::TempDir dir;
    Contest contest(dir.path());
    ASSERT_TRUE(contest.startEmptyLog().ok());
    for (int i = 1; i <= 15; ++i) {
        contest.appendQso(qso("K" + std::to_string(i), "20", 1, contest.nextSerial()));
    }
    EXPECT_EQ(contest.qso(15).serialSent, "015");
    contest.prefs.band = "40";
    contest.prefs.serialPerBand = 1;
    EXPECT_EQ(contest.nextSerial(), "001");
    contest.prefs.serialPerBand = 0;
    EXPECT_EQ(contest.nextSerial(), "016");

    wexon::test::TempDir dir2;
    Contest big(dir2.path());
    ASSERT_TRUE(big.startEmptyLog().ok());
    big.appendQso(qso("K1", "20", 1, "999"));
    EXPECT_EQ(big.nextSerial(), "1000");
    big.appendQso(qso("K2", "20", 1, "abc"));
    EXPECT_EQ(big.nextSerial(), "001");
}

// Points a contact cannot be worth (negative, above 999) read as 0 and are
// counted, so that a damaged file cannot wrap the total.
TEST(LogReadPoints, OutOfRangePointsReadAsZeroAndAreCounted) {
    auto line = [](const std::string& points) {
        return "\"K1ABC\",\"599\",\"1\",\"599\",\"USA\",\"2026/05/30\",\"00:01:02\",\"20\"," +
               points + ",\"K1\",\"001\",\"\"\r\n";
    };
    struct Case {
        std::string points;
        float read;
        int outOfRange;
        int unreadable;
    } cases[] = {{"3", 3, 0, 0},     {"999", 999, 0, 0}, {"0", 0, 0, 0},  {"1.5", 1.5f, 0, 0},
                 {"1000", 0, 1, 0},  {"3e9", 0, 1, 0},   {"-1", 0, 1, 0}, {"-0.5", 0, 1, 0},
                 {"1e308", 0, 1, 0}, {"1e999", 0, 0, 1}, {"x", 0, 0, 1},  {"\"6\"", 6, 0, 0}};
    for (const auto& c : cases) {
        auto read = parseLog(line(c.points));
        ASSERT_EQ(read.records.size(), 1u) << c.points;
        EXPECT_EQ(read.records[0].points, c.read) << c.points;
        EXPECT_EQ(read.outOfRangePoints, c.outOfRange) << c.points;
        EXPECT_EQ(read.unreadablePoints, c.unreadable) << c.points;
        EXPECT_EQ(read.records[0].prefix, "K1") << c.points;
    }
    // Many absurd values together still add up to nothing.
    std::string many;
    for (int i = 0; i < 5; ++i) {
        many += line("3000000000");
    }
    auto read = parseLog(many);
    EXPECT_EQ(read.outOfRangePoints, 5);
    for (const auto& r : read.records) {
        EXPECT_EQ(r.points, 0.0f);
    }
}

// A log whose last line lost its line end is reported, wherever the cut fell,
// and the records before it are read whole.
TEST(LogReadTornLine, ACutAtEveryByteOfTheLastLineIsReported) {
    const std::vector<QsoRecord> records = numbered(3);
    const std::string head = formatQsoLine(records[0]) + formatQsoLine(records[1]);
    const std::string last = formatQsoLine(records[2]);
    for (std::size_t cut = 0; cut <= last.size(); ++cut) {
        auto read = parseLog(head + last.substr(0, cut));
        const bool whole = cut == 0 || cut >= last.size() - 1; // nothing, or all but the LF
        EXPECT_EQ(read.lastLineUnterminated, !whole) << "cut at " << cut;
        // Cut of its CR LF only, the record is whole and needs just its line end.
        EXPECT_EQ(read.lastLineWholeRecord, cut == last.size() - 2) << "cut at " << cut;
        ASSERT_GE(read.records.size(), 2u) << "cut at " << cut;
        EXPECT_EQ(read.records[0], records[0]) << "cut at " << cut;
        EXPECT_EQ(read.records[1], records[1]) << "cut at " << cut;
        EXPECT_EQ(read.records.size(), cut == 0 ? 2u : 3u) << "cut at " << cut;
        if (cut >= last.size() - 1) {
            EXPECT_EQ(read.records[2], records[2]);
        }
    }
}

TEST(LogReadTornLine, BlankOrMissingTailsAreNotTorn) {
    EXPECT_FALSE(endsWithUnterminatedLine(""));
    EXPECT_FALSE(endsWithUnterminatedLine("\"a\"\r\n"));
    EXPECT_FALSE(endsWithUnterminatedLine("\"a\"\n"));
    EXPECT_FALSE(endsWithUnterminatedLine("\"a\"\r"));
    EXPECT_FALSE(endsWithUnterminatedLine("\"a\"\r\n  \t"));
    EXPECT_TRUE(endsWithUnterminatedLine("\"a\""));
    EXPECT_TRUE(endsWithUnterminatedLine("\"a\"\r\n\"b"));
    EXPECT_TRUE(endsWithUnterminatedLine(std::string("\"a\"\r\n\0\0", 7)));
}

// An editor's UTF-8 byte-order mark belongs to no value: the first call reads
// as written, so it still counts as a dupe.
TEST(LogRead, AByteOrderMarkIsNotPartOfTheFirstCall) {
    auto read = parseLog("\xEF\xBB\xBF" + formatLog(numbered(2)));
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0], numbered(2)[0]);
    EXPECT_EQ(read.misplacedCount, 0);
    EXPECT_FALSE(read.lastLineUnterminated);
}

// A line with one value too few or too many slides every later value into the
// wrong place. The slide is found by what the places hold and named by record
// and line, while the value-by-value reading of short lines stays as it was.
TEST(LogReadMisplaced, ALineWithTooFewOrTooManyValuesIsFoundAndNamed) {
    const auto records = numbered(4);
    const std::string line2 = formatQsoLine(records[1]);
    const std::string withoutFrequency = line2.substr(0, line2.rfind(",\"")) + "\r\n";
    const std::string withExtra = line2.substr(0, line2.size() - 2) + ",\"x\"\r\n";
    for (const std::string& bad : {withoutFrequency, withExtra}) {
        const std::string bytes =
            formatQsoLine(records[0]) + bad + formatQsoLine(records[2]) + formatQsoLine(records[3]);
        auto read = parseLog(bytes);
        EXPECT_GT(read.misplacedCount, 0) << bad;
        ASSERT_FALSE(read.misplaced.empty()) << bad;
        // Record 2 still holds its twelve values in place; the slide shows from
        // record 3 on, which starts on line 2 when line 2 has a value too many.
        EXPECT_EQ(read.misplaced[0].record, 3) << bad;
        EXPECT_EQ(read.misplaced[0].line, bad == withExtra ? 2 : 3) << bad;
        EXPECT_EQ(read.records[0], records[0]);
    }
    // A whole log, one whose short line takes the rest from the next line, and a
    // short last record are not out of place.
    EXPECT_EQ(parseLog(formatLog(records)).misplacedCount, 0);
    EXPECT_EQ(parseLog("\"K1ABC\",\"599\",\"123\",\"599\",\"USA\",\"2026/05/30\"\r\n\"00:01:02\","
                       "\"20\",1,\"K1\",\"001\",\"14.025\"\r\n")
                  .misplacedCount,
              0);
    EXPECT_EQ(parseLog(formatQsoLine(records[0]) + "\"K2XX\",\"59\"").misplacedCount, 0);
}

TEST(LogReadMisplaced, LinesAreCountedWithCrOnlyEndsAndOnlyTheFirstFewAreListed) {
    std::string bytes;
    for (const auto& r : numbered(3)) {
        std::string line = formatQsoLine(r);
        bytes += line.substr(0, line.size() - 1); // CR alone ends each line
    }
    bytes += "\"K9ZZ\",\"599\",\"1\",\"599\",\"USA\",\"2026/05/30\",\"12:00:00\",\"2O\",1,\"K9\","
             "\"001\",\"\"\r";
    auto read = parseLog(bytes);
    ASSERT_EQ(read.misplaced.size(), 1u);
    EXPECT_EQ(read.misplaced[0].record, 4);
    EXPECT_EQ(read.misplaced[0].line, 4);

    // A whole log shifted by one value: every record is counted, a few are listed.
    std::string shifted = "\"K0\"\r\n" + formatLog(numbered(40));
    auto many = parseLog(shifted);
    EXPECT_GE(many.misplacedCount, 39);
    EXPECT_EQ(many.misplaced.size(), kMisplacedListed);
}

TEST(LogLineWhole, OnlyATwelveValueRecordWithItsLastQuoteClosedIsWhole) {
    std::string line = formatQsoLine(qso("W1AW"));
    line.resize(line.size() - 2);
    EXPECT_TRUE(isWholeRecordLine(line));
    EXPECT_TRUE(isWholeRecordLine(line + "  "));
    EXPECT_TRUE(isWholeRecordLine("\xEF\xBB\xBF" + line));
    for (std::size_t cut = 0; cut < line.size(); ++cut) {
        EXPECT_FALSE(isWholeRecordLine(line.substr(0, cut))) << "cut at " << cut;
    }
    EXPECT_FALSE(isWholeRecordLine(line + ",\"x\""));
    EXPECT_FALSE(isWholeRecordLine(line + "\r\n"));
    QsoRecord badBand = qso("W1AW", "00:00:00");
    std::string bad = formatQsoLine(badBand);
    EXPECT_FALSE(isWholeRecordLine(bad.substr(0, bad.size() - 2)));
}

// Nothing is appended to, or rewritten over, a log the program has not read:
// a rewrite would put the store in place of contacts it has never seen.
TEST(ContestStore, AnUnreadLogIsNeitherAppendedToNorRewritten) {
    wexon::test::TempDir dir;
    const std::string earlier = formatLog(numbered(3));
    dir.write("log.txt", earlier);
    Contest contest(dir.path());
    EXPECT_FALSE(contest.logLoaded());
    EXPECT_EQ(contest.appendQso(qso("W1AW")).status, Contest::AppendStatus::LogNotLoaded);
    EXPECT_FALSE(contest.rewriteLog().ok());
    EXPECT_FALSE(contest.removeQso(1).ok());
    EXPECT_EQ(dir.read("log.txt"), earlier);
    ASSERT_TRUE(contest.readLog().opened);
    EXPECT_EQ(contest.appendQso(qso("W1AW")).status, Contest::AppendStatus::Appended);
    EXPECT_EQ(dir.read("log.txt"), earlier + formatQsoLine(qso("W1AW")));
}

// A log with out-of-place records is rewritten only after a copy has been kept.
TEST(ContestStore, ALogWithMisplacedRecordsIsRewrittenOnlyAfterACopy) {
    wexon::test::TempDir dir;
    const std::string damaged = "\"K0\"\r\n" + formatLog(numbered(3));
    dir.write("log.txt", damaged);
    Contest contest(dir.path());
    ASSERT_TRUE(contest.readLog().opened);
    ASSERT_TRUE(contest.rewriteNeedsConsent());
    EXPECT_FALSE(contest.rewriteLog().ok());
    EXPECT_FALSE(contest.removeQso(1).ok());
    EXPECT_EQ(dir.read("log.txt"), damaged);
    // Appending cannot make the slide worse and goes on.
    EXPECT_EQ(contest.appendQso(qso("W1AW")).status, Contest::AppendStatus::Appended);

    std::string savedAs;
    ASSERT_TRUE(
        contest.allowDamagedRewrite(dir.file("BACKUP"), DateTime{2026, 5, 30, 12, 0, 0}, savedAs)
            .ok());
    EXPECT_EQ(savedAs, dir.file("BACKUP/202605301200.log"));
    EXPECT_EQ(dir.read("BACKUP/202605301200.log"), damaged + formatQsoLine(qso("W1AW")));
    EXPECT_FALSE(contest.rewriteNeedsConsent());
    EXPECT_TRUE(contest.removeQso(1).ok());
}
