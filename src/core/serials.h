#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::core {

// The next serial number to send, as the next-serial label shows it: one more
// than the serial sent in the newest record (the newest on `band` when serials
// count per band), at least three digits ("001", "013", "1000"). "001" when
// there is no such record or its serial is not a number.
std::string labelIncrement(const std::vector<QsoRecord>& records, bool serialPerBand,
                           std::string_view band);

// The serial that follows `serialSent`, formatted as labelIncrement does; "001"
// when it is not a number.
std::string serialAfter(std::string_view serialSent);

// The copy of the next-serial caption the keyers send: the caption trimmed and,
// when it is a number, written in its shortest form without leading zeros
// ("007" gives "7").
std::string plainSerial(std::string_view caption);

} // namespace wexon::core
