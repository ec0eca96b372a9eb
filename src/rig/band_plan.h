#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::rig {

inline constexpr const char* kBandPlanFileName = "BandPlan.txt";

// One record of "BandPlan.txt": a segment of a band open to one licence class.
struct BandPlanRow {
    std::string band; // "160", "80", ...
    char licence = 0; // 'N', 'T', 'P', 'G', 'A', 'E'; 'O' for the band's outline
    std::string mode; // "CW"; anything else is phone ("PH")
    float lower = 0;  // MHz
    float upper = 0;  // MHz
};

struct BandPlan {
    std::string effective; // the file's first value: when the privileges apply
    std::vector<BandPlanRow> rows;
};

inline constexpr std::size_t kMaxBandPlanRows = 200;
inline constexpr std::size_t kMaxChartBands = 20;

// Reads the file's values: the effective date, then records of five values. A
// record whose edges are not numbers, or whose class is not one letter, is
// skipped; at most `maxRows` records are kept.
BandPlan parseBandPlan(std::string_view content, std::size_t maxRows = kMaxBandPlanRows);
// The rows of one class, in file order.
std::vector<BandPlanRow> rowsOfClass(const BandPlan& plan, char licence);

// The mode the band plan gives a frequency, from the Extra-class rows: the first
// row with lower < f < upper. Phone becomes "LSB" on 80 and 40 m and "USB"
// elsewhere (60 m voice is upper sideband only); any other mode text is kept; on
// 160 m, and with no row, it is empty.
std::string bandPlanMode(const std::vector<BandPlanRow>& extraRows, float mhz);

// The privileges chart of one class: a bar per band that has rows of the class,
// and the class's segments on those bars.
struct ChartBar {
    std::string band;
    float lower = 0; // edges of the band's first row
    float upper = 0;
};
struct ChartSegment {
    std::size_t bar = 0; // index into bars
    float lower = 0;
    float upper = 0;
    bool cw = false;
};
struct PrivilegeChart {
    std::vector<ChartBar> bars;
    std::vector<ChartSegment> segments;
};
PrivilegeChart privilegeChart(const BandPlan& plan, char licence,
                              std::size_t maxBands = kMaxChartBands);

} // namespace wexon::rig
