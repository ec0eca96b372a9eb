#pragma once

#include <string>
#include <string_view>

namespace wexon::core {

// The WPX prefix of a call sign as typed into the call box: the call up to its
// last digit, a leading designator (DL/W1AW gives DL0, KH6/W1AW gives KH6), a
// trailing designator (W1AW/KH6 gives KH6, W1AW/P gives P0), a trailing number
// replacing the call district (W1AW/4 gives W4), and a prefix ending in a letter
// cut to two characters with "0" added (W1AW/QRP gives QR0). Empty for a call
// of fewer than two characters or one without a digit after its first place.
std::string derivePrefix(std::string_view call);

} // namespace wexon::core
