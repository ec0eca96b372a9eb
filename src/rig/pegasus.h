#pragma once

#include <string>
#include <string_view>

#include "rig/rig_reading.h"

namespace wexon::rig {

// The "Ten Tec Pegasus" is run by its own control program; the two programs
// exchange two small files in the Pegasus folder.
inline constexpr const char* kPegasusOutFile = "PEGASUS.OUT";
inline constexpr const char* kPegasusInFile = "PEGASUS.IN";

// "PEGASUS.OUT": the frequency in MHz, then the mode text (anything but "CW"
// counts as phone). A file that does not hold both values changes nothing.
void parsePegasusOut(std::string_view content, RigReading& reading);
// "PEGASUS.IN": the frequency in MHz (at most 7 significant digits) and the mode
// text, one per line.
std::string pegasusInContent(float mhz, std::string_view mode);
// A single-precision value as decimal text of at most 7 significant digits.
std::string sevenDigits(float value);

} // namespace wexon::rig
