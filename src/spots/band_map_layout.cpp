#include "spots/band_map_layout.h"

#include <cmath>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::spots {

namespace {

struct NamedRange {
    const char* band;
    FrequencyRange range;
};

constexpr std::array<NamedRange, 10> kBandMapRanges{{
    {"160", {1.8f, 2.0f}},
    {"80", {3.5f, 4.0f}},
    {"40", {7.0f, 7.3f}},
    {"20", {14.0f, 14.35f}},
    {"15", {21.0f, 21.45f}},
    {"10", {28.0f, 29.7f}},
    {"6", {50.0f, 54.0f}},
    {"2", {144.0f, 148.0f}},
    {"1.25", {219.0f, 225.0f}},
    {"440", {420.0f, 450.0f}},
}};

double roundTo3(double v) {
    return std::round(v * 1000.0) / 1000.0;
}

} // namespace

std::optional<FrequencyRange> bandMapRange(std::string_view band) {
    for (const NamedRange& r : kBandMapRanges) {
        if (core::equalsIgnoreCase(band, r.band)) {
            return r.range;
        }
    }
    return std::nullopt;
}

MapScale zoomedScale(const FrequencyRange& range, const SpotStore& store) {
    double low = range.low;
    double high = range.high;
    bool any = false;
    float lowest = 0.0f;
    float highest = 0.0f;
    for (int i = 1; i < SpotStore::kSlots; ++i) {
        const float f = store.slot(i).frequency;
        if (f > range.low && f < range.high) {
            if (!any || f < lowest) {
                lowest = f;
            }
            if (!any || f > highest) {
                highest = f;
            }
            any = true;
        }
    }
    if (any && highest > lowest) {
        low = static_cast<double>(lowest) - 0.001;
        high = static_cast<double>(highest) + 0.001;
    }
    MapScale scale;
    for (int i = 0; i < 5; ++i) {
        scale.captions[static_cast<std::size_t>(i)] =
            core::formatThreeDecimals(roundTo3(low + i * 0.25 * (high - low)));
    }
    scale.low = core::parseNumber(scale.captions[0]).value_or(0.0);
    scale.high = core::parseNumber(scale.captions[4]).value_or(0.0);
    return scale;
}

SpotAge spotAge(long long ageSeconds) {
    if (ageSeconds < 600) {
        return SpotAge::Fresh;
    }
    if (ageSeconds < 1800) {
        return SpotAge::Recent;
    }
    if (ageSeconds < 3600) {
        return SpotAge::Old;
    }
    return SpotAge::Expired;
}

Rgb ageColour(SpotAge age) {
    switch (age) {
    case SpotAge::Fresh:
        return {255, 255, 128};
    case SpotAge::Recent:
        return {255, 255, 255};
    default:
        return {192, 192, 192};
    }
}

std::string spotToolTip(const SpotSlot& slot, float utcOffsetHours) {
    std::string tip = slot.call + "  " + core::formatThreeDecimals(slot.frequency) + "  ";
    if (slot.time) {
        tip += core::formatTime(slot.time->addMinutes(static_cast<double>(utcOffsetHours) * 60.0));
    }
    return tip;
}

std::vector<LabelPlacement> bandMapLabels(const SpotStore& store, const MapScale& scale,
                                          const core::DateTime& now) {
    std::vector<LabelPlacement> out;
    const double width = scale.high - scale.low;
    for (int i = SpotStore::kSlots - 1; i >= 0; --i) {
        const SpotSlot& s = store.slot(i);
        const double f = s.frequency;
        if (!(scale.low < f && f < scale.high) || width <= 0.0) {
            continue;
        }
        const long long age = s.time ? now.toEpochSeconds() - s.time->toEpochSeconds() : 0;
        const SpotAge a = spotAge(age);
        if (a == SpotAge::Expired) {
            break;
        }
        out.push_back({i, 0, (f - scale.low) / width, a});
    }
    return out;
}

} // namespace wexon::spots
