#include "core/serials.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wexon::core {
namespace {

QsoRecord sent(const std::string& band, const std::string& serial) {
    QsoRecord r;
    r.call = "W1AW";
    r.band = band;
    r.serialSent = serial;
    return r;
}

TEST(LabelIncrement, OneMoreThanTheNewestSerialWithThreeDigits) {
    struct Case {
        const char* last;
        const char* next;
    } cases[] = {
        {"001", "002"},  {"1", "002"},    {"9", "010"},     {"09", "010"},      {"99", "100"},
        {"998", "999"},  {"999", "1000"}, {"1000", "1001"}, {"12345", "12346"}, {" 12 ", "013"},
        {"12.7", "013"}, // a hand-edited fraction counts by its whole part
        {"0", "001"},    {"-5", "001"},   {"", "001"},      {"abc", "001"},     {"12a", "001"},
    };
    for (const auto& c : cases) {
        std::vector<QsoRecord> log{sent("20", "005"), sent("20", c.last)};
        EXPECT_EQ(labelIncrement(log, false, "20"), c.next) << '"' << c.last << '"';
    }
}

TEST(LabelIncrement, FirstContactOfTheLogIsOne) {
    EXPECT_EQ(labelIncrement({}, false, "20"), "001");
    EXPECT_EQ(labelIncrement({}, true, "20"), "001");
}

TEST(LabelIncrement, OverAllBandsTheNewestRecordCounts) {
    std::vector<QsoRecord> log{sent("20", "014"), sent("40", "015")};
    EXPECT_EQ(labelIncrement(log, false, "20"), "016");
    EXPECT_EQ(labelIncrement(log, false, "10"), "016");
}

TEST(LabelIncrement, PerBandTheNewestRecordOnTheBandCounts) {
    std::vector<QsoRecord> log;
    for (int i = 1; i <= 15; ++i) {
        log.push_back(sent("20", std::to_string(i)));
    }
    EXPECT_EQ(labelIncrement(log, true, "40"), "001");
    EXPECT_EQ(labelIncrement(log, true, "20"), "016");
    log.push_back(sent("40", "001"));
    log.push_back(sent("20", "016"));
    EXPECT_EQ(labelIncrement(log, true, "40"), "002");
    EXPECT_EQ(labelIncrement(log, true, "20"), "017");
    // A newest record on the band whose serial cannot be read starts again.
    log.push_back(sent("40", "x"));
    EXPECT_EQ(labelIncrement(log, true, "40"), "001");
}

TEST(PlainSerial, DropsLeadingZerosForTheKeyers) {
    struct Case {
        const char* caption;
        const char* plain;
    } cases[] = {{"001", "1"},     {"010", "10"}, {" 012 ", "12"}, {"999", "999"},
                 {"1000", "1000"}, {"", ""},      {"A12", "A12"},  {" x ", "x"}};
    for (const auto& c : cases) {
        EXPECT_EQ(plainSerial(c.caption), c.plain) << '"' << c.caption << '"';
    }
}

} // namespace
} // namespace wexon::core
