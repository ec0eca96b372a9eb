#pragma once

#include <string>

namespace wexon::rig {

// The mode a frequency lies in by the usual CW and phone segments of 80 to 2 m
// (strict edges; 160 m and the edges themselves give nothing). Empty when none.
std::string modeByFrequency(float mhz);

} // namespace wexon::rig
