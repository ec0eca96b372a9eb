#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/qso_record.h"

namespace wexon::core {

inline constexpr const char* kLogFileName = "log.txt";

// One line of "log.txt": eleven quoted texts with the points bare in ninth place,
// CR LF ended.
std::string formatQsoLine(const QsoRecord& r);
// All records as "log.txt" holds them.
std::string formatLog(const std::vector<QsoRecord>& records);

struct LogReadResult {
    std::vector<QsoRecord> records;
    // The last record ran out of values before its twelfth; it was kept with the
    // missing values empty.
    bool lastRecordShort = false;
    // Records found beyond `maxRecords` and not loaded.
    int recordsBeyondLimit = 0;
    // Points values that were not numbers and were read as 0.
    int unreadablePoints = 0;
};

// Reads "log.txt" value by value: a line with fewer values takes the rest from
// the next line. Reads at most `maxRecords` records.
LogReadResult parseLog(std::string_view bytes, std::size_t maxRecords);

} // namespace wexon::core
