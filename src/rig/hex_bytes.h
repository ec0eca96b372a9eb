#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wexon::rig {

// Command texts in hexadecimal ("FE FE 64 E0 03 FD") and received bytes shown in
// hexadecimal. Bytes are held one per character of a std::string.

// The bytes of a spaced hex text: one byte per pair standing at character 0, 3,
// 6, ... (the 1-based positions 1, 4, 7, ...), at most `maxPairs` of them. A pair
// is read like a number: its leading hex digits count, the rest is ignored, so
// "G1" gives 0 and "1G" gives 1. A pair cut off by the end of the text counts
// with what is there.
std::string bytesFromSpacedHex(std::string_view text, std::size_t maxPairs = std::string::npos);
// The bytes of a compact hex text ("FEFE64E005..."), one per two digits.
std::string bytesFromHex(std::string_view compact);
// Two upper-case hex digits per byte, no separator ("FEFE64").
std::string hexOf(std::string_view bytes);
// Two upper-case hex digits per byte, each pair followed by one space.
std::string spacedHexOf(std::string_view bytes);

} // namespace wexon::rig
