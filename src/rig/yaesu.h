#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "rig/rig_profiles.h"
#include "rig/rig_reading.h"

namespace wexon::rig {

// Yaesu five-byte binary commands and their replies.
//
// The replies are bare binary frames with no start or end mark, so a frame
// is only read when it is whole and in step: the expected number of bytes,
// BCD digits where the rig sends BCD, and a frequency inside an amateur band.

// The status frame of "Yaesu" (frequency and mode) and the bytes of the
// 757 GX II's status the program reads.
inline constexpr std::size_t kYaesuStatusBytes = 5;
inline constexpr std::size_t kYaesu757StatusBytes = 10;
// How many bytes of a reply the family's parser reads (0: not a binary Yaesu).
std::size_t yaesuReplyBytes(ParserKind parser, const HexWindow& window);

// "Yaesu": exactly five bytes, four BCD bytes of frequency (10 Hz, most
// significant first) and a mode byte. A mode byte with a hex letter abandons
// the whole reading.
void parseYaesu(std::string_view reply, RigReading& reading);
// "Yaesu 757 GX II": at least ten bytes; BCD frequency in bytes 9, 8, 7, 6
// (10 Hz), mode in byte 10.
void parseYaesu757(std::string_view reply, RigReading& reading);
// The hex-window rigs (890, 920, 990, 1000 D, 1000): a run of hex digits of the
// reply read as one binary number over a divisor, the mode from one digit;
// read only once every digit up to the mode digit has arrived.
void parseYaesuWindow(std::string_view reply, const HexWindow& window, RigReading& reading);

// The frequency as four BCD bytes of 10 Hz units and the set opcode:
// most significant first then 01 ("Yaesu"), or least significant first then 0A.
// Empty when the count does not fit in four BCD bytes.
std::string yaesuFrequencyCommand(float mhz, bool mostSignificantFirst);
// The five-byte mode command of the opcode-07 ("Yaesu") or opcode-0C family;
// empty for a mode without one.
std::string yaesuModeCommand(std::string_view mode, ModeTable table);

} // namespace wexon::rig
