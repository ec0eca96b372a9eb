#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "spots/spot_store.h"

namespace wexon::spots {

// A frequency range in MHz; spots are shown strictly inside it.
struct FrequencyRange {
    float low = 0.0f;
    float high = 0.0f;
};

// The main band map's default range of a band ("160" ... "440"); nothing for a
// band it does not know.
std::optional<FrequencyRange> bandMapRange(std::string_view band);

// The scale of a map: five captions "#.000", and the range read back from the
// first and last of them (which is what the labels are placed against).
struct MapScale {
    std::array<std::string, 5> captions;
    double low = 0.0;
    double high = 0.0;
};

// The default range, zoomed to the spots of store slots 1-49 inside it with 1 kHz
// margins when at least two distinct frequencies are there.
MapScale zoomedScale(const FrequencyRange& range, const SpotStore& store);

// How old a spot looks: under 10 minutes, under 30, under 60, and older.
enum class SpotAge { Fresh, Recent, Old, Expired };
SpotAge spotAge(long long ageSeconds);
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
// Light yellow, white and gray text.
Rgb ageColour(SpotAge age);

// The tool tip of a slot: call, two spaces, "#.000" MHz, two spaces, and the
// time plus the UTC offset as "hh:mm:ss".
std::string spotToolTip(const SpotSlot& slot, float utcOffsetHours);

// One label to show: its slot, where it sits along the axis (0 at the low end,
// 1 at the high end), and its colour.
struct LabelPlacement {
    int slot = 0;
    int strip = 0; // the spectrum map's band strip; 0 on the band map
    double position = 0.0;
    SpotAge age = SpotAge::Fresh;
};

// The band map's labels, newest slot first: slots outside the scale are passed
// over; the first slot inside it that is an hour old ends the list.
std::vector<LabelPlacement> bandMapLabels(const SpotStore& store, const MapScale& scale,
                                          const core::DateTime& now);

// Where a label's left edge goes: centred on its position between the axis ends.
inline double labelLeft(double position, double x1, double x2, double labelWidth) {
    return position * (x2 - x1) - labelWidth / 2.0 + x1;
}

} // namespace wexon::spots
