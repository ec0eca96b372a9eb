#include <gtest/gtest.h>

#include "net/multi_rules.h"

namespace wexon::net {
namespace {

BandContact at(const char* time, const char* band, int tx = 0) {
    return {"2026/03/28", time, band, tx};
}

TEST(MultiRules, SerialSequencesFollowTheCategory) {
    EXPECT_FALSE(serialsPerBand(Category::SingleOp));
    EXPECT_FALSE(serialsPerBand(Category::MultiSingle));
    EXPECT_TRUE(serialsPerBand(Category::MultiTwo));
    EXPECT_TRUE(serialsPerBand(Category::MultiUnlimited));
    EXPECT_TRUE(serialsPerBand(Category::MultiDistributed));
    for (Category c : kCategories) {
        EXPECT_EQ(categoryFromName(categoryName(c)), c);
    }
    EXPECT_EQ(categoryFromName("nonsense"), Category::SingleOp);
}

TEST(MultiRules, MultiSingleWarnsWithinTenMinutesOfMovingToABand) {
    // On 20 since 10:00, moved to 40 at 10:30 (first contact there).
    std::vector<BandContact> log = {at("10:00:00", "20"), at("10:29:00", "20"),
                                    at("10:30:00", "40"), at("10:35:00", "40")};
    EXPECT_EQ(bandChangeWarning(Category::MultiSingle, log, "2026/03/28", "10:36:00", "40", 0),
              "");
    std::string w =
        bandChangeWarning(Category::MultiSingle, log, "2026/03/28", "10:36:00", "20", 0);
    EXPECT_NE(w.find("10-minute"), std::string::npos) << w;
    EXPECT_NE(w.find("4 min to wait"), std::string::npos) << w;
    EXPECT_EQ(bandChangeWarning(Category::MultiSingle, log, "2026/03/28", "10:40:00", "20", 0),
              "");
    // Other categories have no such rule; an empty log never warns.
    EXPECT_EQ(bandChangeWarning(Category::MultiUnlimited, log, "2026/03/28", "10:36:00", "20", 0),
              "");
    EXPECT_EQ(bandChangeWarning(Category::MultiSingle, {}, "2026/03/28", "10:36:00", "20", 0), "");
}

TEST(MultiRules, MultiTwoCountsBandChangesPerTransmitterAndClockHour) {
    std::vector<BandContact> log;
    const char* bands[] = {"20", "40"};
    // Transmitter 0 changes band eight times between 11:00 and 11:40.
    for (int i = 0; i <= 8; ++i) {
        char time[9];
        std::snprintf(time, sizeof time, "11:%02d:00", i * 5);
        log.push_back(at(time, bands[i % 2], 0));
    }
    // Transmitter 1 hops freely; it must not count for transmitter 0.
    log.push_back(at("11:41:00", "15", 1));
    log.push_back(at("11:42:00", "10", 1));
    // Last contact of tx 0 was on 20 (i = 8): another change is the ninth.
    std::string w = bandChangeWarning(Category::MultiTwo, log, "2026/03/28", "11:45:00", "40", 0);
    EXPECT_NE(w.find("8 band changes"), std::string::npos) << w;
    EXPECT_EQ(bandChangeWarning(Category::MultiTwo, log, "2026/03/28", "11:45:00", "20", 0), "");
    EXPECT_EQ(bandChangeWarning(Category::MultiTwo, log, "2026/03/28", "11:45:00", "40", 1), "");
    // A new clock hour starts the count again.
    EXPECT_EQ(bandChangeWarning(Category::MultiTwo, log, "2026/03/28", "12:00:00", "40", 0), "");
}

TEST(MultiRules, ContactTimesAcrossDaysAndMalformedOnes) {
    EXPECT_EQ(*contactSeconds("2026/03/29", "00:00:00") - *contactSeconds("2026/03/28", "23:59:00"),
              60);
    EXPECT_FALSE(contactSeconds("2026-03-28", "00:00:00"));
    EXPECT_FALSE(contactSeconds("2026/13/28", "00:00:00"));
    EXPECT_FALSE(contactSeconds("2026/03/28", "24:00:00"));
}

} // namespace
} // namespace wexon::net
