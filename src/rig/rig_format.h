#pragma once

#include <string>

namespace wexon::rig {

// Display patterns of the rig windows. Each rounds half away from zero.
// "###.####0": five decimals, no leading zero before the point (14.02500, .50000).
std::string formatReadout(double mhz);
// "####.#####": at most five decimals, trailing zeros and a bare point dropped
// (14.2, 1.8025, .5).
std::string formatScanFrequency(double mhz);
// "#,###.##0": three decimals with thousands separators (1,800.000, .135).
std::string formatBandEdge(double mhz);

} // namespace wexon::rig
