#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::output {

// Colours are 0xRRGGBB.
using Rgb = std::uint32_t;

// The band legend: band names and the colour each is drawn in.
struct BandColour {
    const char* band;
    Rgb colour;
};
inline constexpr std::array<BandColour, 7> kBandColours{{
    {"160", 0xC00000}, // dark red
    {"80", 0xFF8000},  // orange
    {"40", 0x00A000},  // green
    {"20", 0x0000FF},  // blue
    {"15", 0xC000C0},  // purple
    {"10", 0x00A0A0},  // teal
    {"6", 0x806000},   // brown
}};
// The line of the rate itself.
inline constexpr Rgb kRateLineColour = 0x0000FF;

// The rate over the contest: for each contact, the contacts of the ten minutes
// up to it times six, placed on 1500 columns from the first contact to the last.
struct RateGraph {
    static constexpr int kColumns = 1500;
    static constexpr int kTimeLabels = 15;
    static constexpr int kRateLabels = 17;

    enum class Status {
        Drawn,
        TooFewContacts, // 6 or fewer: the operator is told
        Unusable,       // a time that does not read, or no time between first and last
    };
    Status status = Status::Unusable;

    // Indexed by column 0..kColumns+10 (column 0 is the start of the first segment).
    std::vector<float> rawRate;
    std::vector<float> plotRate;
    std::vector<Rgb> columnColour;
    float minRate = 100000.0f;
    float maxRate = -1.0f;
    // Under the plot: "hh:mm" and "MM/DD" at 15 even steps from the first contact.
    std::array<std::string, kTimeLabels> timeLabels;
    std::array<std::string, kTimeLabels> dateLabels;
    // Beside the plot, from the lowest (0) to the highest (16) rate, "###0.0".
    std::array<std::string, kRateLabels> rateLabels;
};

// Computes the graph. `background` is the colour a column has before a contact
// colours it; contacts on a band outside the legend leave their column's colour.
RateGraph computeRateGraph(const std::vector<core::QsoRecord>& qsos, Rgb background);

// The legend colour of a band, or `fallback` when the band is not in the legend.
Rgb bandColour(std::string_view band, Rgb fallback);

// Where the plot lies in the window, in pixels.
struct PlotArea {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// One step of the drawing, from column c-1 to column c.
struct RateSegment {
    int column = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool strip = false; // fill the band-colour strip under this step
    Rgb stripColour = 0;
};

// The 1500 steps of the rate line; empty when the graph is not drawn or every
// column has the same rate (there is no scale then).
std::vector<RateSegment> rateSegments(const RateGraph& graph, const PlotArea& area);

inline constexpr const char* kRateGraphTitle =
    " Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)";
inline constexpr const char* kTooFewTitle = "Not Enough Contacts to Graph.";
inline constexpr const char* kTooFewText =
    "The graph will not display with less than 7 contacts.  The graph becomes more meaningful "
    "as several hours of contest logging are accumulated.";

} // namespace wexon::output
