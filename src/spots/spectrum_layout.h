#pragma once

#include <array>
#include <vector>

#include "core/date_time.h"
#include "spots/band_map_layout.h"
#include "spots/spot_store.h"

namespace wexon::spots {

// The spectrum map's eleven strips, top to bottom, with their default ranges.
struct SpectrumBand {
    const char* name;
    FrequencyRange range;
};
inline constexpr std::array<SpectrumBand, 11> kSpectrumBands{{
    {"160 m", {1.8f, 2.0f}},
    {"80 m", {3.5f, 4.0f}},
    {"40 m", {7.0f, 7.3f}},
    {"30 m", {10.1f, 10.15f}},
    {"20 m", {14.0f, 14.35f}},
    {"17 m", {18.068f, 18.168f}},
    {"15 m", {21.0f, 21.45f}},
    {"12 m", {24.89f, 24.99f}},
    {"10 m", {28.0f, 29.7f}},
    {"6 m", {50.0f, 54.0f}},
    {"2 m", {144.0f, 148.0f}},
}};

// Each strip's scale, zoomed to its own spots.
std::array<MapScale, 11> spectrumScales(const SpotStore& store);

// The spot labels, newest slot first. A spot goes on the strip whose default
// range holds it, placed against that strip's zoomed scale; the first slot with a
// time that is an hour old ends the list on every strip.
std::vector<LabelPlacement> spectrumLabels(const SpotStore& store,
                                           const std::array<MapScale, 11>& scales,
                                           const core::DateTime& now);

} // namespace wexon::spots
