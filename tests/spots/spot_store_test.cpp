#include <gtest/gtest.h>

#include <string>

#include "core/country_table.h"
#include "spots/spot_intake.h"
#include "spots/spot_line.h"
#include "spots/spot_list.h"
#include "spots/spot_store.h"

namespace wexon::spots {
namespace {

// A cluster line in the standard layout: spotter at 7, frequency right-aligned in
// 16-24, call from 27, comment from 40, time at 71-75.
std::string clusterLine(const std::string& spotter, const std::string& khz, const std::string& call,
                        const std::string& comment = "CQ WPX", const std::string& time = "1234Z") {
    std::string line = "DX de " + spotter;
    line.resize(15, ' ');
    line += std::string(9 - khz.size(), ' ') + khz;
    line += "  ";
    line += call;
    line.resize(39, ' ');
    line += comment;
    line.resize(70, ' ');
    line += time;
    return line;
}

core::CountryTable smallTable() {
    core::CountryTable t;
    for (auto [p, c] : {std::pair{"DL", "Germany"},
                        {"JA", "Japan"},
                        {"K", "USA"},
                        {"KG4", "Guantanamo Bay"},
                        {"W", "USA"}}) {
        core::CountryEntry e;
        e.prefix = p;
        e.country = c;
        t.add(e);
    }
    return t;
}

const core::DateTime kNow{2026, 5, 30, 7, 0, 0};

TEST(SpotLine, StandardClusterLineColumns) {
    const std::string line = clusterLine("W1XX:", "14025.0", "JA1XYZ");
    ASSERT_EQ(line.substr(70, 5), "1234Z");
    SpotFields f = spotFields(line);
    EXPECT_EQ(f.frequencyText, "14025.0");
    EXPECT_EQ(f.call, "JA1XYZ");
    EXPECT_EQ(f.spotText.substr(0, 8), "de W1XX:");
}

TEST(SpotLine, ShortAndEmptyLinesGiveEmptyFields) {
    EXPECT_EQ(spotFields("DX").call, "");
    EXPECT_EQ(spotFields("").frequencyText, "");
    EXPECT_EQ(spotFields("DX de K1AB:    14").frequencyText, "14");
    EXPECT_EQ(spotFields("DX de K1AB:    14025.0    K2XYZ\r\n").call, "K2XYZ");
    EXPECT_TRUE(beginsWithDx("dx de"));
    EXPECT_FALSE(beginsWithDx(" DX"));
}

TEST(SpotLabelText, Examples) {
    EXPECT_EQ(spotLabelText("K1ABC"), "K1");
    EXPECT_EQ(spotLabelText("JA1XYZ"), "JA1");
    EXPECT_EQ(spotLabelText("DL/K1ABC"), "DL");
    EXPECT_EQ(spotLabelText("K1ABC/4"), "K4");
    EXPECT_EQ(spotLabelText("K1ABC/P"), "P");
    EXPECT_EQ(spotLabelText("K1"), "");
    EXPECT_EQ(spotLabelText("ABCD"), "ABCD"); // no digit: the whole call
    EXPECT_EQ(spotLabelText("/"), "");
    EXPECT_EQ(spotLabelText("///"), "");
}

TEST(CountryForSpot, LongestPrefixPortableAndKg4) {
    const core::CountryTable t = smallTable();
    EXPECT_EQ(countryForSpot(t, "JA1XYZ"), "Japan");
    EXPECT_EQ(countryForSpot(t, "K1ABC"), "USA");
    EXPECT_EQ(countryForSpot(t, "KG4AB"), "Guantanamo Bay");
    EXPECT_EQ(countryForSpot(t, "KG4ABC"), "USA");
    EXPECT_EQ(countryForSpot(t, "W1ABCDEF/DL"), "Germany"); // suffix shorter than half
    EXPECT_EQ(countryForSpot(t, "DL/W1AW"), "Germany");     // suffix not short enough
    EXPECT_EQ(countryForSpot(t, "9A1A"), "");
    EXPECT_EQ(countryForSpot(t, ""), "");
    EXPECT_EQ(countryForSpot(core::CountryTable{}, "K1ABC"), "");
}

TEST(SpotIntake, StandardLineStoresJa1AtFourteenMhz) {
    SpotStore store;
    SpotList list;
    const std::string line = clusterLine("W1XX:", "14025.0", "JA1XYZ");
    const SpotFields f = spotFields(line);
    IntakeResult r =
        takeInSpot(store, list, smallTable(), "K1ABC", f.call, f.frequencyText, f.spotText, kNow);
    ASSERT_TRUE(r.stored);
    EXPECT_FALSE(r.ownCallSpotted);
    EXPECT_EQ(store.slot(49).call, "JA1XYZ");
    EXPECT_FLOAT_EQ(store.slot(49).frequency, 14.025f);
    EXPECT_EQ(store.slot(49).label, "JA1");
    EXPECT_EQ(store.slot(49).time, kNow);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.row(0).call, "JA1XYZ");
    EXPECT_EQ(list.row(0).frequency, "14.025");
    EXPECT_EQ(list.row(0).country, "Japan");
    EXPECT_EQ(list.row(0).time, "1234");
    EXPECT_EQ(list.row(0).comments, "de W1XX:  CQ WPX");
    EXPECT_EQ(list.row(0).status, "");
}

TEST(SpotIntake, OwnCallWarnsEvenWithoutAFrequency) {
    SpotStore store;
    SpotList list;
    IntakeResult r =
        takeInSpot(store, list, smallTable(), "k1abc", "K1ABC", "abc", "de X: hello", kNow);
    EXPECT_TRUE(r.ownCallSpotted);
    EXPECT_FALSE(r.stored);
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(store.slot(49).call, "");
}

TEST(SpotIntake, AnnouncementWithEmptyCallIsNotTheOwnCall) {
    SpotStore store;
    SpotList list;
    IntakeResult r = takeInSpot(store, list, smallTable(), "", "", "", "de X: hello", kNow);
    EXPECT_FALSE(r.ownCallSpotted);
    EXPECT_FALSE(r.stored);
}

TEST(SpotIntake, SpotTextEndsAtFirstLineEnd) {
    SpotStore store;
    SpotList list;
    IntakeResult r = takeInSpot(store, list, smallTable(), "", "DL1AA", "7010",
                                "de X: one\r\nDX de Y: two", kNow);
    EXPECT_EQ(r.spotText, "de X: one");
    r = takeInSpot(store, list, smallTable(), "", "DL1AA", "7010", "de X: one\nDX two", kNow);
    EXPECT_EQ(r.spotText, "de X: one");
}

TEST(SpotIntake, HugeAndNonNumericFrequenciesStoreNothing) {
    SpotStore store;
    SpotList list;
    for (const char* f : {"1e400", "1e300", "14.0.2", "", "NaN", "14025x"}) {
        EXPECT_FALSE(takeInSpot(store, list, smallTable(), "", "K1A", f, "", kNow).stored) << f;
    }
    EXPECT_EQ(list.size(), 0u);
}

TEST(SpotStoreDuplicates, TwoSpotsOfOneCallBlankTheOlder) {
    SpotStore store;
    store.add("JA1XYZ", 14.025f, kNow);
    store.add("ja1xyz", 14.030f, kNow);
    EXPECT_FLOAT_EQ(store.slot(49).frequency, 14.030f);
    EXPECT_FLOAT_EQ(store.slot(48).frequency, 0.0f);
    EXPECT_EQ(store.slot(48).call, "JA1XYZ");
}

TEST(SpotStoreDuplicates, ThirdSpotBlanksOnlyTheSecond) {
    SpotStore store;
    store.add("JA1XYZ", 14.025f, kNow);
    store.add("K1ABC", 7.010f, kNow);
    store.add("JA1XYZ", 14.026f, kNow);
    store.clearFrequency(47); // put the first back by hand to see it is not touched again
    store.add("JA1XYZ", 14.027f, kNow);
    EXPECT_FLOAT_EQ(store.slot(49).frequency, 14.027f);
    EXPECT_FLOAT_EQ(store.slot(48).frequency, 0.0f); // the second
    EXPECT_EQ(store.slot(47).call, "K1ABC");
    EXPECT_FLOAT_EQ(store.slot(47).frequency, 7.010f);
}

TEST(SpotStoreDuplicates, SlotZeroIsNeverBlanked) {
    SpotStore store;
    store.add("JA1XYZ", 14.025f, kNow);
    for (int i = 0; i < 48; ++i) {
        store.add("K" + std::to_string(i) + "AA", 7.01f, kNow);
    }
    ASSERT_EQ(store.slot(1).call, "JA1XYZ");
    store.add("JA1XYZ", 14.030f, kNow); // the older spot shifts into slot 0
    EXPECT_EQ(store.slot(0).call, "JA1XYZ");
    EXPECT_FLOAT_EQ(store.slot(0).frequency, 14.025f);
    EXPECT_FLOAT_EQ(store.slot(49).frequency, 14.030f);
}

TEST(SpotStore, ThousandsOfSpotsOfOneCallKeepFiftySlots) {
    SpotStore store;
    SpotList list;
    for (int i = 0; i < 5000; ++i) {
        takeInSpot(store, list, smallTable(), "", "K1ABC", "14025", "de X", kNow);
    }
    EXPECT_EQ(list.size(), SpotList::kMaxRows);
    EXPECT_FLOAT_EQ(store.slot(49).frequency, 14.025f);
    int shown = 0;
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        shown += store.slot(i).frequency != 0.0f ? 1 : 0;
    }
    EXPECT_EQ(shown, 1); // each spot was blanked by the next
}

TEST(SpotList, TwoHundredAndFirstRowPushesOutTheBottom) {
    SpotList list;
    for (int i = 1; i <= 201; ++i) {
        list.push(makeSpotListRow("C" + std::to_string(i), 14.0f, "", ""));
    }
    EXPECT_EQ(list.size(), 200u);
    EXPECT_EQ(list.row(0).call, "C201");
    EXPECT_EQ(list.row(199).call, "C2");
}

TEST(SpotList, RowColumnsFromTheSpotText) {
    std::string text = "de W1XX:";
    text.resize(34, ' ');
    text += "comment here";
    text.resize(61, ' ');
    text += "JA1  ";
    text.resize(67, ' ');
    text += "1234Z";
    text += "FN42"; // columns 73-76
    SpotListRow row = makeSpotListRow("JA1XYZ", 14.025f, "Japan", text);
    EXPECT_EQ(row.comments, "de W1XX:  comment here");
    EXPECT_EQ(row.prefix, "JA1");
    EXPECT_EQ(row.time, "1234");
    EXPECT_EQ(row.from, "FN42");
    EXPECT_EQ(makeSpotListRow("A", 1.8f, "", "").comments, "  ");
}

} // namespace
} // namespace wexon::spots
