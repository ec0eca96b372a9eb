#include <gtest/gtest.h>

#include "spots/band_map_layout.h"
#include "spots/spectrum_layout.h"
#include "spots/spot_store.h"

namespace wexon::spots {
namespace {

const core::DateTime kNow{2026, 5, 30, 7, 0, 0};

MapScale scaleFor(const char* band, const SpotStore& store) {
    return zoomedScale(bandMapRange(band).value_or(FrequencyRange{}), store);
}

TEST(BandMapScale, OneSpotKeepsTheDefaultRange) {
    SpotStore store;
    store.add("JA1XYZ", 14.025f, kNow);
    MapScale s = scaleFor("20", store);
    EXPECT_EQ(s.captions[0], "14.000");
    EXPECT_EQ(s.captions[4], "14.350");
    EXPECT_DOUBLE_EQ(s.high, 14.35);
}

TEST(BandMapScale, TwoSpotsZoomWithOneKilohertzMargins) {
    SpotStore store;
    store.add("K1AA", 14.011f, kNow);
    store.add("K2BB", 14.029f, kNow);
    MapScale s = scaleFor("20", store);
    EXPECT_EQ(s.captions,
              (std::array<std::string, 5>{"14.010", "14.015", "14.020", "14.025", "14.030"}));
}

TEST(BandMapScale, SlotZeroAndOutOfBandSpotsDoNotZoom) {
    SpotStore store;
    store.add("K1AA", 14.011f, kNow);
    for (int i = 0; i < 49; ++i) {
        store.add("K" + std::to_string(i) + "X", 7.05f, kNow);
    }
    ASSERT_EQ(store.slot(0).call, "K1AA");
    store.add("K9ZZ", 14.029f, kNow); // K1AA has just fallen out
    EXPECT_EQ(scaleFor("20", store).captions[0], "14.000");
}

TEST(BandMapScale, UnknownBandReadsPointZeroAndShowsNothing) {
    SpotStore store;
    store.add("K1AA", 10.12f, kNow);
    MapScale s = scaleFor("30", store);
    for (const auto& c : s.captions) {
        EXPECT_EQ(c, ".000");
    }
    EXPECT_TRUE(bandMapLabels(store, s, kNow).empty());
    EXPECT_TRUE(bandMapRange("440").has_value());
    EXPECT_TRUE(bandMapRange("1.25").has_value());
}

TEST(BandMapLabels, LowEdgeIsNotShownAndLabelsSitAtTheirFrequency) {
    SpotStore store;
    store.add("K1AA", 14.0f, kNow);
    store.add("K2BB", 14.175f, kNow);
    auto labels = bandMapLabels(store, scaleFor("20", store), kNow);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].slot, 49);
    EXPECT_NEAR(labels[0].position, 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(labelLeft(0.5, 100, 300, 20), 190.0);
}

TEST(BandMapLabels, AgeColoursAndTheOneHourCutOff) {
    EXPECT_EQ(spotAge(9 * 60), SpotAge::Fresh);
    EXPECT_EQ(spotAge(10 * 60), SpotAge::Recent);
    EXPECT_EQ(spotAge(30 * 60), SpotAge::Old);
    EXPECT_EQ(spotAge(60 * 60), SpotAge::Expired);
    EXPECT_EQ(ageColour(SpotAge::Fresh).blue, 128);
    EXPECT_EQ(ageColour(SpotAge::Recent).blue, 255);
    EXPECT_EQ(ageColour(SpotAge::Old).red, 192);

    SpotStore store;
    core::DateTime t = kNow;
    store.add("K1AA", 14.010f, t);                  // will be 60 minutes old
    store.add("K2BB", 14.020f, t.addSeconds(1800)); // 30
    store.add("K3CC", 14.030f, t.addSeconds(3000)); // 10
    store.add("K4DD", 14.040f, t.addSeconds(3060)); // 9
    const core::DateTime now = t.addSeconds(3600);
    auto labels = bandMapLabels(store, scaleFor("20", store), now);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0].age, SpotAge::Fresh);
    EXPECT_EQ(labels[1].age, SpotAge::Recent);
    EXPECT_EQ(labels[2].age, SpotAge::Old);
}

TEST(BandMapLabels, ExpiredSpotHidesEveryOlderOne) {
    SpotStore store;
    store.add("K1AA", 14.010f, kNow);                   // fresh-looking but older in the store
    store.add("K2BB", 14.020f, kNow.addSeconds(-7200)); // an hour old
    store.add("K3CC", 14.030f, kNow);
    auto labels = bandMapLabels(store, scaleFor("20", store), kNow);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].slot, 49);
}

TEST(SpotToolTip, CallFrequencyAndUtcTime) {
    SpotSlot s{"JA1XYZ", 14.025f, core::DateTime{2026, 5, 30, 7, 0, 5}, "JA1", 0, {}};
    EXPECT_EQ(spotToolTip(s, 5.0f), "JA1XYZ  14.025  12:00:05");
}

TEST(SpectrumMap, ThirtyMetreSpotGoesOnItsStrip) {
    SpotStore store;
    store.add("K1AA", 10.12f, kNow);
    store.add("K2BB", 5.0f, kNow);
    auto scales = spectrumScales(store);
    auto labels = spectrumLabels(store, scales, kNow);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].slot, 48);
    EXPECT_EQ(labels[0].strip, 3);
    EXPECT_NEAR(labels[0].position, 0.4, 1e-3);
}

TEST(SpectrumMap, EachStripZoomsByItself) {
    SpotStore store;
    store.add("K1AA", 7.011f, kNow);
    store.add("K2BB", 7.029f, kNow);
    store.add("K3CC", 14.025f, kNow);
    auto scales = spectrumScales(store);
    EXPECT_EQ(scales[2].captions,
              (std::array<std::string, 5>{"7.010", "7.015", "7.020", "7.025", "7.030"}));
    EXPECT_EQ(scales[4].captions[0], "14.000");
    EXPECT_EQ(scales[4].captions[4], "14.350");
    EXPECT_EQ(scales[0].captions[4], "2.000");
    auto labels = spectrumLabels(store, scales, kNow);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_NEAR(labels[2].position, 0.05, 1e-3); // 7.011 on 7.010-7.030
}

TEST(SpectrumMap, FirstHourOldSlotEndsEveryStrip) {
    SpotStore store;
    store.add("K1AA", 7.011f, kNow);
    store.add("K2BB", 3.6f, kNow.addSeconds(-3600));
    store.clearFrequency(49); // blanked, still ends the scan by its time
    store.add("K3CC", 14.025f, kNow);
    auto labels = spectrumLabels(store, spectrumScales(store), kNow);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].strip, 4);
}

} // namespace
} // namespace wexon::spots
