#pragma once

#include <string>
#include <string_view>

#include "rig/rig_reading.h"

namespace wexon::rig {

// Ten Tec rigs: the front-panel binary protocol ("Ten Tec Fnt Pnl") and the
// Orion's text protocol. (The Omni VI speaks CI-V, see icom.h.)

// Front panel, reply to "?A": bytes 2-5 are the frequency in Hz, binary, most
// significant first. At least 4 bytes.
void parseTenTecPanelFrequency(std::string_view reply, RigReading& reading);
// Front panel, reply to "?M": the low digit of byte 2 is the mode (3 CW; 0, 1, 2,
// 4 phone). At least 3 bytes.
void parseTenTecPanelMode(std::string_view reply, RigReading& reading);
// 2A 41, the Hz count as four bytes most significant first, 0D.
std::string tenTecPanelFrequencyCommand(float mhz);

// Orion: "@AF" + Hz + CR gives the frequency, "@RMM" + digit the mode (2 or 3
// CW, anything else phone).
void parseOrion(std::string_view reply, RigReading& reading);
// "*AF" + the Hz count + CR, the unit the rig and its own reply use.
std::string orionFrequencyCommand(float mhz);

} // namespace wexon::rig
