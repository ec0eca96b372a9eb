#pragma once

#include <string>
#include <string_view>

#include "rig/rig_reading.h"

namespace wexon::rig {

// Icom CI-V frames (also the "Ten Tec Omni VI"): FE FE to from command data FD.

// The frequency of the last 03 (frequency) frame in the reply. Data bytes are
// BCD, least significant first; five for most rigs, four for the 735 (whose
// reading is then in units of 10 kHz and divided by 100). The program's own
// request echoed by the bus carries no data and passes through.
void parseCivFrequency(std::string_view reply, bool fourBytes, RigReading& reading);
// The mode of the first data byte of a 04 (mode) frame: 03 is CW, anything else
// phone.
void parseCivMode(std::string_view reply, RigReading& reading);

// The rig's CI-V address: characters 7-8 of the frequency read command text
// ("FE FE 64 E0 03 FD" gives "64"); "64" when those are not two hex digits.
std::string civAddress(std::string_view frequencyRead);
// FE FE addr E0 05, the Hz count as BCD bytes least significant first (five, or
// four for the 735), FD. Empty when the frequency cannot be sent.
std::string civFrequencyCommand(std::string_view address, float mhz, bool fourBytes);
// FE FE addr E0 06 mode FD; empty for a mode without a CI-V code.
std::string civModeCommand(std::string_view address, std::string_view mode);

} // namespace wexon::rig
