#pragma once

#include <string>

#include "core/qso_record.h"

namespace wexon::core {

// A contact logged by another station of a multi-operator station and received
// over the station network. It counts in dupes, prefixes, score, rates and
// serials here, but never goes into this station's "log.txt".
struct RemoteContact {
    std::string station; // the logging station's name ("RUN1")
    std::string op;      // the operator's call at that station
    QsoRecord record;

    bool operator==(const RemoteContact&) const = default;
};

} // namespace wexon::core
