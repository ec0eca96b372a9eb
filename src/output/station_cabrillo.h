#pragma once

#include <string>
#include <vector>

#include "core/qso_record.h"
#include "output/cabrillo.h"

namespace wexon::output {

// One contact of a multi-operator station's merged log.
struct StationContact {
    core::QsoRecord record;
    std::string station;  // the logging station's name
    std::string op;       // the operator's call
    int transmitter = 0;  // Multi-Two: 0 or 1
};

// The whole station's Cabrillo file (3.0 layout, CR LF) from the merged log of
// every station: contacts in time order (those of one second in the order
// given), serials as they were sent, the operators of every contact listed
// (after any the sheet names), and for a MULTI-TWO sheet each contact's own
// transmitter in the transmitter column. Score: all contacts' points times the
// prefixes of the whole station.
std::string writeStationCabrillo(const SummarySheet& sheet, const std::string& ownCall,
                                 const std::string& contestMode,
                                 std::vector<StationContact> contacts);

} // namespace wexon::output
