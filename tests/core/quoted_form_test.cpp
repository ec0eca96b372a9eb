#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/country_table.h"
#include "core/log_file.h"
#include "core/preferences.h"
#include "core/quoted_form.h"

using wexon::core::FieldReader;
using wexon::core::FieldWriter;

namespace {

std::vector<std::string> readAll(const std::string& data) {
    FieldReader in(data);
    std::vector<std::string> out;
    std::string v;
    while (in.next(v)) {
        out.push_back(v);
    }
    return out;
}

} // namespace

TEST(QuotedFormWriter, TextsQuotedNumbersBareLinesCrLf) {
    FieldWriter w;
    w.text("K1ABC").text("").number(3.0f).number(-4.5).integer(100).endLine();
    w.text("a,b").endLine();
    EXPECT_EQ(w.str(), "\"K1ABC\",\"\",3,-4.5,100\r\n\"a,b\"\r\n");
}

TEST(QuotedFormWriter, QuoteAndLineBreakCannotBreakTheRecord) {
    FieldWriter w;
    w.text("say \"hi\"").text("two\r\nlines").endLine();
    EXPECT_EQ(w.str(), "\"say hi\",\"two  lines\"\r\n");
    EXPECT_EQ(readAll(w.str()), (std::vector<std::string>{"say hi", "two  lines"}));
}

struct ReadCase {
    const char* name;
    std::string data;
    std::vector<std::string> values;
};

class QuotedFormReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(QuotedFormReader, ReadsValues) {
    EXPECT_EQ(readAll(GetParam().data), GetParam().values) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuotedFormReader,
    ::testing::Values(
        ReadCase{"comma inside quotes", "\"Korea, South\",\"AS\"\r\n", {"Korea, South", "AS"}},
        ReadCase{"empty quoted text", "\"\",\"x\",\"\"\r\n", {"", "x", ""}},
        ReadCase{"bare numbers trimmed", " 5 , -4.5,14.025\r\n", {"5", "-4.5", "14.025"}},
        ReadCase{"values run across lines", "\"a\",\"b\"\r\n\"c\"\r\n", {"a", "b", "c"}},
        ReadCase{"LF-only line ends", "\"a\"\n\"b\"\n", {"a", "b"}},
        ReadCase{"no final line end", "\"a\",1", {"a", "1"}},
        ReadCase{"empty bare value between commas", "\"a\",,\"c\"", {"a", "", "c"}},
        ReadCase{"blank lines between records skipped", "\"a\"\r\n\r\n\r\n\"b\"\r\n", {"a", "b"}},
        ReadCase{"text after closing quote ignored", "\"ab\"cd,\"e\"", {"ab", "e"}},
        ReadCase{"unclosed quote ends at line end", "\"abc\r\n\"d\"\r\n", {"abc", "d"}},
        ReadCase{"binary bytes kept", std::string("\"a\x01\xff\"", 5), {std::string("a\x01\xff")}},
        ReadCase{"empty input", "", {}}));

TEST(QuotedFormReaderLimits, VeryLongValueIsCutNotGrown) {
    std::string data = "\"" + std::string(100000, 'x') + "\",\"next\"";
    auto values = readAll(data);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].size(), FieldReader::kMaxFieldLength);
    EXPECT_EQ(values[1], "next");
}

TEST(QuotedFormReaderLimits, AtEndIgnoresTrailingBlankLines) {
    FieldReader in("\"a\"\r\n\r\n  \r\n");
    std::string v;
    ASSERT_TRUE(in.next(v));
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.next(v));
}

// A comma directly before the line end ends the record with an empty last
// value; it must never pull the next line's first value into this record.
TEST(QuotedFormCommaBeforeLineEnd, GivesAnEmptyValueAndKeepsTheNextLineApart) {
    EXPECT_EQ(readAll("\"a\",\"b\",\r\n\"c\"\r\n"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(readAll("\"a\", \t\n\"c\"\n"), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_EQ(readAll("1,\r2\r"), (std::vector<std::string>{"1", "", "2"}));
    // At the very end of the data the empty value is still owed.
    EXPECT_EQ(readAll("\"a\","), (std::vector<std::string>{"a", ""}));
    FieldReader in("\"a\",\r\n\r\n");
    std::string v;
    ASSERT_TRUE(in.next(v));
    EXPECT_FALSE(in.atEnd());
    ASSERT_TRUE(in.next(v));
    EXPECT_EQ(v, "");
    EXPECT_FALSE(in.lastWasQuoted());
    EXPECT_TRUE(in.atEnd());
    // A comma followed by a blank line ends only its own record.
    EXPECT_EQ(readAll("\"a\",\r\n\r\n\"b\""), (std::vector<std::string>{"a", "", "b"}));
}

TEST(QuotedFormCommaBeforeLineEnd, LogLinesStayAligned) {
    const std::string first =
        "\"K1ABC\",\"599\",\"123\",\"599\",\"USA\",\"2026/05/30\",\"00:01:02\","
        "\"20\",1,\"K1\",\"001\",\r\n";
    const std::string second = "\"W1AW\",\"599\",\"7\",\"599\",\"USA\",\"2026/05/30\",\"00:02:00\","
                               "\"20\",1,\"W1\",\"002\",\"14.025\"\r\n";
    auto read = wexon::core::parseLog(first + second + first);
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].serialSent, "001");
    EXPECT_EQ(read.records[0].frequency, "");
    EXPECT_EQ(read.records[1].call, "W1AW");
    EXPECT_EQ(read.records[1].frequency, "14.025");
    EXPECT_EQ(read.records[2].call, "K1ABC");
    EXPECT_FALSE(read.lastRecordShort);
    EXPECT_FALSE(read.lastLineUnterminated);
}

TEST(QuotedFormCommaBeforeLineEnd, PreferenceLinesStayAligned) {
    // One value per line; a stray comma after the rig name must not eat the
    // taskbar mode on the next line.
    const std::string prefs =
        "\"W1AW\"\r\n-5\r\n\"CW\"\r\n\"20\"\r\n100000\r\n\"USA\"\r\n\"NA\"\r\n"
        "72.5\r\n41.7\r\n1\r\n100\r\n0\r\n\"None\",\r\n1\r\n0\r\n";
    auto read = wexon::core::parsePreferences(prefs);
    // The empty value owed to the comma is read as the taskbar mode, which is
    // not a number: the damage is reported instead of shifting silently.
    EXPECT_FALSE(read.ok());
    const std::string clean =
        "\"W1AW\"\r\n-5\r\n\"CW\"\r\n\"20\"\r\n100000\r\n\"USA\"\r\n\"NA\"\r\n"
        "72.5\r\n41.7\r\n1\r\n100\r\n0\r\n\"None\"\r\n1\r\n0\r\n";
    auto good = wexon::core::parsePreferences(clean);
    ASSERT_TRUE(good.ok()) << good.error;
    EXPECT_EQ(good.prefs.rigName, "None");
    EXPECT_EQ(good.prefs.taskbarMode, 1);
    EXPECT_FLOAT_EQ(good.prefs.timeOnSeconds, 100000.0f);
    // On the last line the owed empty value is simply one value too many.
    auto lastComma = wexon::core::parsePreferences(clean.substr(0, clean.size() - 2) + ",\r\n");
    ASSERT_TRUE(lastComma.ok()) << lastComma.error;
    EXPECT_EQ(lastComma.prefs, good.prefs);
}

TEST(QuotedFormCommaBeforeLineEnd, CountryLinesStayAligned) {
    const std::string table = "\"1A\",\"Sov Mil Order of Malta\",\"EU\",-12.43,41.9,246,15,\r\n"
                              "\"2D\",\"Isle of Man\",\"EU\",4.53,54.2,114,14,27\r\n";
    auto read = wexon::core::CountryTable::load(table);
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(read.table.count(), 2);
    EXPECT_EQ(read.table.entry(1).prefix, "1A");
    EXPECT_EQ(read.table.entry(2).prefix, "2D");
    EXPECT_EQ(read.table.entry(2).country, "Isle of Man");
}
