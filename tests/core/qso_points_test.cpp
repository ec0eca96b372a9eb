#include "core/qso_points.h"

#include <gtest/gtest.h>

#include <string>

namespace wexon::core {
namespace {

// One station pairing of the points table.
struct Pairing {
    const char* name;
    const char* ownCountry;
    const char* ownContinent;
    const char* country;
    const char* continent;
};

constexpr Pairing kOtherContinent{"other continent", "United States", "NA", "Germany", "EU"};
constexpr Pairing kSameContinent{"same continent", "Germany", "EU", "France", "EU"};
constexpr Pairing kBothNa{"both in NA", "United States", "NA", "Canada", "NA"};
constexpr Pairing kSameCountry{"same country", "Canada", "NA", "Canada", "NA"};

std::string points(const Pairing& p, const char* mode, const char* band) {
    return qsoPointsText({p.country, p.continent, p.ownCountry, p.ownContinent, mode, band});
}

TEST(QsoPoints, WholeTableForEveryModeAndBand) {
    struct Row {
        Pairing pairing;
        const char* phHigh;
        const char* phLow;
        const char* ryHigh;
        const char* ryLow;
    };
    const Row rows[] = {
        {kOtherContinent, "3", "6", "3", "6"},
        {kSameContinent, "1", "2", "2", "4"},
        {kBothNa, "2", "4", "2", "4"},
        {kSameCountry, "1", "1", "1", "2"},
    };
    for (const auto& row : rows) {
        for (const char* band : {"160", "80", "40"}) {
            EXPECT_EQ(points(row.pairing, "PH", band), row.phLow) << row.pairing.name << band;
            EXPECT_EQ(points(row.pairing, "CW", band), row.phLow) << row.pairing.name << band;
            EXPECT_EQ(points(row.pairing, "RY", band), row.ryLow) << row.pairing.name << band;
        }
        for (const char* band : {"20", "15", "10"}) {
            EXPECT_EQ(points(row.pairing, "PH", band), row.phHigh) << row.pairing.name << band;
            EXPECT_EQ(points(row.pairing, "CW", band), row.phHigh) << row.pairing.name << band;
            EXPECT_EQ(points(row.pairing, "RY", band), row.ryHigh) << row.pairing.name << band;
        }
    }
}

TEST(QsoPoints, NorthAmericaOnFortyAndTwenty) {
    EXPECT_EQ(points(kBothNa, "CW", "40"), "4");
    EXPECT_EQ(points(kBothNa, "CW", "20"), "2");
}

TEST(QsoPoints, OwnCountryOnEightyDependsOnTheMode) {
    EXPECT_EQ(points(kSameCountry, "CW", "80"), "1");
    EXPECT_EQ(points(kSameCountry, "RY", "80"), "2");
}

TEST(QsoPoints, EmptyOrUnknownCountryGivesNoPoints) {
    for (const char* box : {"", "Not Found", "NOT FOUND", "   "}) {
        EXPECT_EQ(qsoPointsText({box, "", "Canada", "NA", "CW", "20"}), "") << '"' << box << '"';
        EXPECT_EQ(qsoPoints({box, "", "Canada", "NA", "CW", "20"}), 0);
    }
}

TEST(QsoPoints, ComparisonsIgnoreCaseAndTrailingBlanks) {
    EXPECT_EQ(qsoPointsText({"canada ", "na", "Canada", "NA", "cw", "40"}), "1");
    EXPECT_EQ(qsoPointsText({"CANADA", "Na", "United States", "nA", "ph", "40"}), "4");
    EXPECT_EQ(qsoPointsText({"Canada", "NA", "Canada", "NA", "ry", "160"}), "2");
}

TEST(QsoPoints, OwnCountryWinsOverAContinentMismatch) {
    // A table entry whose continent differs from the one the station set up.
    EXPECT_EQ(qsoPointsText({"Russia", "AS", "Russia", "EU", "CW", "40"}), "1");
    EXPECT_EQ(qsoPointsText({"Russia", "AS", "Russia", "EU", "RY", "40"}), "2");
}

TEST(QsoPoints, EntryWithoutContinentCountsAsOtherContinent) {
    EXPECT_EQ(qsoPointsText({"Typed Land", "", "Canada", "NA", "CW", "20"}), "3");
}

TEST(PointsKey, DigitsUpToSixPass) {
    struct Case {
        int key;
        int result;
    } cases[] = {{'0', '0'}, {'3', '3'}, {'6', '6'}, {'7', '6'}, {'9', '6'}, {8, 8},   {'A', 0},
                 {'a', 0},   {' ', 0},   {'/', 0},   {':', 0},   {13, 0},    {'-', 0}, {255, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(pointsKey(c.key), c.result) << c.key;
    }
}

} // namespace
} // namespace wexon::core
