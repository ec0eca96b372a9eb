#include <gtest/gtest.h>

#include <string>
#include <vector>

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
