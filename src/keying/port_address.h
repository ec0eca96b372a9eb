#pragma once

#include <optional>
#include <string_view>

namespace wexon::keying {

// A port address as typed in the CW window: "&H378" (hexadecimal), "&O1570"
// (octal) or decimal digits ("888"). Nothing for any other text or a value
// outside 1..0xFFFF.
std::optional<unsigned> parsePortAddress(std::string_view text);

} // namespace wexon::keying
