#pragma once

#include <string>
#include <string_view>

#include "rig/rig_reading.h"

namespace wexon::rig {

// The Yaesu text protocol of the "Yaesu FTdx9000" ("FA;", "MD0;").

// Frequency: the read command's first two letters followed by 8 digits of Hz.
// Mode: the mode command's first three characters ("MD0") followed by the mode
// digit, 3 being CW and anything else phone.
void parseYaesuText(std::string_view reply, std::string_view frequencyRead,
                    std::string_view modeRead, RigReading& reading);
// `letters` + the Hz count in (at least) 8 digits + ";". Empty when the frequency
// cannot be sent.
std::string yaesuTextFrequencyCommand(std::string_view letters, float mhz);
// The mode read command's first three characters + the mode digit + ";";
// empty for a mode without one.
std::string yaesuTextModeCommand(std::string_view modeRead, std::string_view mode);

} // namespace wexon::rig
