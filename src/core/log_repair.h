#pragma once

#include <cstddef>
#include <string>

#include "core/date_time.h"

namespace wexon::core {

// What repairTornTail found and did.
struct TornTailRepair {
    // The log ended in an incomplete line: that fragment was copied to `savedAs`
    // and the log was cut back to its last line end.
    bool repaired = false;
    std::string savedAs;           // full path of the copy
    std::size_t fragmentBytes = 0; // length of the fragment moved aside
    // The check or the repair could not be done; the log is as it was (a copy
    // of the fragment may have been made already).
    std::string error;
    bool ok() const { return error.empty(); }
};

// Checks, before a contact is appended, that the log ends with a line end, so
// that the new line cannot be glued onto a torn one. When the last line has no
// line end, its bytes are copied into `backupFolder` (created when missing, its
// parent must exist) as "torn-line-yyyymmddhhnnss.txt" from `local` (with "-2",
// "-3", ... before ".txt" when that name is taken; nothing is overwritten), made
// durable, and the log is cut back to its last line end and fsynced.
//
// Two endings are set right without a copy and without `repaired`: a last line
// of blanks only is cut off, and a last line whose CR stands but whose LF is
// missing gets its LF. A missing or empty log needs nothing.
TornTailRepair repairTornTail(const std::string& logPath, const std::string& backupFolder,
                              const DateTime& local);

// The message-line text for a repair: kTornTailMessage followed by the folder's
// last name and the copy's file name, as in
// "The incomplete last line of log.txt was moved to BACKUP/torn-line-20260530120000.txt".
inline constexpr const char* kTornTailMessage = "The incomplete last line of log.txt was moved to ";
std::string tornTailMessage(const TornTailRepair& repair);

// The title and first words of the message box when the repair failed; the
// error text follows on a second line.
inline constexpr const char* kTornTailErrorTitle = "Log File Error";
inline constexpr const char* kTornTailErrorText =
    "The last line of log.txt is incomplete and could not be moved aside. The contact was not "
    "logged.";

} // namespace wexon::core
