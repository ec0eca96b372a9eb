#include <gtest/gtest.h>

#include "output/contact_edit.h"

using namespace wexon;
using output::EditDecision;

namespace {

core::QsoRecord rec(const char* call, const char* band) {
    core::QsoRecord r;
    r.call = call;
    r.band = band;
    r.qsoDate = "2026/03/28";
    r.qsoTime = "12:00:00";
    r.country = "USA";
    r.points = 3;
    r.frequency = "14.025";
    return r;
}

std::vector<core::QsoRecord> log3() {
    return {rec("K1ABC", "20"), rec("DL1XYZ", "20"), rec("K1ABC", "40")};
}

} // namespace

TEST(ContactEdit, UnchangedSaveGivesTheSameRecord) {
    auto qsos = log3();
    auto d = output::decideEdit(qsos, 2, output::editBoxesFor(qsos[1]), qsos[1]);
    ASSERT_EQ(d.step, EditDecision::Step::Save);
    EXPECT_EQ(d.record, qsos[1]);
}

TEST(ContactEdit, ChecksInOrderTimeDateBand) {
    auto qsos = log3();
    auto b = output::editBoxesFor(qsos[1]);
    b.time = "25:00";
    b.date = "2026/02/30";
    b.band = "17";
    EXPECT_EQ(output::decideEdit(qsos, 2, b, qsos[1]).step, EditDecision::Step::InvalidTime);
    b.time = "12:34";
    EXPECT_EQ(output::decideEdit(qsos, 2, b, qsos[1]).step, EditDecision::Step::InvalidDate);
    b.date = "2026/02/28";
    EXPECT_EQ(output::decideEdit(qsos, 2, b, qsos[1]).step, EditDecision::Step::InvalidBand);
    b.band = "160";
    EXPECT_EQ(output::decideEdit(qsos, 2, b, qsos[1]).step, EditDecision::Step::Save);
}

TEST(ContactEdit, DuplicatesAreExactCaseSensitiveAndSkipTheEditedRecord) {
    auto qsos = log3();
    auto b = output::editBoxesFor(qsos[1]);
    b.call = "K1ABC";
    auto d = output::decideEdit(qsos, 2, b, qsos[1]);
    EXPECT_EQ(d.step, EditDecision::Step::Duplicate);
    EXPECT_EQ(d.duplicates, std::vector<int>{1});
    // The stored calls are compared as they stand.
    EXPECT_TRUE(output::editDuplicates(qsos, 2, "k1abc", "20").empty());
    // The record itself never counts.
    EXPECT_TRUE(output::editDuplicates(qsos, 1, "K1ABC", "20").empty());
    EXPECT_EQ(output::editDuplicates(qsos, 0, "K1ABC", "20"), std::vector<int>{1});
}

TEST(ContactEdit, SavedFieldsPointsAndCountry) {
    auto qsos = log3();
    auto b = output::editBoxesFor(qsos[1]);
    b.country = "Germany   ";
    b.points = "";
    b.serialSent = "017";
    auto d = output::decideEdit(qsos, 2, b, qsos[1]);
    ASSERT_EQ(d.step, EditDecision::Step::Save);
    EXPECT_EQ(d.points, "0");
    EXPECT_EQ(d.record.points, 0.0f);
    EXPECT_EQ(d.record.country, "Germany");
    EXPECT_EQ(d.record.serialSent, "017");
    EXPECT_EQ(d.record.frequency, "14.025"); // no box: kept
    b.points = "6";
    EXPECT_EQ(output::decideEdit(qsos, 2, b, qsos[1]).record.points, 6.0f);
}

TEST(ContactEdit, PointsAreOneDigitFromZeroToSix) {
    auto qsos = log3();
    auto b = output::editBoxesFor(qsos[1]);
    struct Case {
        const char* box;
        const char* saved;
        float points;
    } cases[] = {{"66666", "0", 0.0f}, {"66", "0", 0.0f}, {"9", "6", 6.0f},
                 {" 4 ", "4", 4.0f},   {"x", "0", 0.0f},  {"-1", "0", 0.0f}};
    for (const auto& c : cases) {
        b.points = c.box;
        auto d = output::decideEdit(qsos, 2, b, qsos[1]);
        ASSERT_EQ(d.step, EditDecision::Step::Save) << c.box;
        EXPECT_EQ(d.points, c.saved) << c.box;
        EXPECT_EQ(d.record.points, c.points) << c.box;
    }
}

TEST(ContactEdit, ATypedTimeAndDateAreStoredInTheLogsForm) {
    auto qsos = log3();
    auto b = output::editBoxesFor(qsos[1]);
    struct Case {
        const char* time;
        const char* date;
        const char* storedTime;
        const char* storedDate;
    } cases[] = {
        {"9:05", "2026/3/8", "09:05:00", "2026/03/08"},
        {"7:3:9", "2026-03-28", "07:03:09", "2026/03/28"},
        {"23:59:59", "2026.12.31", "23:59:59", "2026/12/31"},
    };
    for (const auto& c : cases) {
        b.time = c.time;
        b.date = c.date;
        auto d = output::decideEdit(qsos, 2, b, qsos[1]);
        ASSERT_EQ(d.step, EditDecision::Step::Save) << c.time;
        EXPECT_EQ(d.record.qsoTime, c.storedTime);
        EXPECT_EQ(d.record.qsoDate, c.storedDate);
    }
}

TEST(ContactEdit, APastedLowerCaseCallIsSavedAndComparedInCapitals) {
    auto qsos = log3();
    auto b = output::editBoxesFor(qsos[1]);
    b.call = "dl1abc";
    b.prefix = "dl1";
    auto d = output::decideEdit(qsos, 2, b, qsos[1]);
    ASSERT_EQ(d.step, EditDecision::Step::Save);
    EXPECT_EQ(d.record.call, "DL1ABC");
    EXPECT_EQ(d.record.prefix, "DL1");
    // The same call in lower case is still the other record's duplicate.
    b.call = "k1abc";
    b.band = "20";
    EXPECT_EQ(output::decideEdit(qsos, 2, b, qsos[1]).step, EditDecision::Step::Duplicate);
}
