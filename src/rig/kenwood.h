#pragma once

#include <string>
#include <string_view>

#include "rig/rig_reading.h"

namespace wexon::rig {

// Kenwood and Elecraft text commands ("FA;", "MD;", "IF;").

// "Kenwood", "Elecraft": the frequency from the first occurrence of the read
// command's two letters ("FA") followed by 11 digits of Hz; the mode from the
// first "MD" followed by its digit (3 or 7 is CW, anything else phone). The
// frequency is only looked for when the read command has at least 3 characters.
void parseKenwood(std::string_view reply, std::string_view frequencyRead, RigReading& reading);
// "Kenwood 2": the "IF" reply: 11 digits of Hz after "IF", the mode digit 29
// characters after the "I" and the VFO digit after it.
void parseKenwood2(std::string_view reply, RigReading& reading);

// `letters` + the Hz count in 11 digits + ";" ("FA00028475000;"). Empty when the
// frequency cannot be sent.
std::string kenwoodFrequencyCommand(std::string_view letters, float mhz);
// "MD1;" ... for a mode text; empty for a mode the rig has no command for.
std::string kenwoodModeCommand(std::string_view mode);

} // namespace wexon::rig
