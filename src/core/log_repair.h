#pragma once

#include <cstddef>
#include <string>

#include "core/date_time.h"

namespace wexon::core {

// What repairTornTail found and did.
struct TornTailRepair {
    enum class Problem {
        None,           // the log ends with a line end, or was set right
        Unreadable,     // the log could not be opened or read for the check
        MissingLineEnd, // the last line is whole but its line end could not be added
        TornLine,       // the last line is a fragment and could not be moved aside
    };
    // The log ended in an incomplete line: that fragment was copied to `savedAs`
    // and the log was cut back to its last line end.
    bool repaired = false;
    // The last line was a whole record without its line end; CR LF was added.
    bool lineEndAdded = false;
    std::string savedAs;           // full path of the copy
    std::size_t fragmentBytes = 0; // length of the fragment moved aside
    // The check or the repair could not be done; the log is as it was (a copy
    // of the fragment may have been made already).
    Problem problem = Problem::None;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Checks, before a contact is appended, that the log ends with a line end, so
// that the new line cannot be glued onto a torn one. Lines end at CR LF, CR or
// LF, as the reader takes them. The log is only read unless something must be
// set right, so a log that ends well needs no write permission here: an append
// that cannot write then reports the real cause.
//
// When the last line has no line end:
// - a whole record (twelve values that fit their places, the last one closed)
//   gets its CR LF (`lineEndAdded`);
// - blanks only are cut off;
// - a line whose CR stands but whose LF is missing gets its LF where the log
//   can be written (the CR alone ends the line already);
// - anything else is a fragment: its bytes are copied into `backupFolder`
//   (created when missing, its parent must exist) as
//   "torn-line-yyyymmddhhnnss.txt" from `local` (with "-2", "-3", ... before
//   ".txt" when that name is taken; nothing is overwritten), made durable, and
//   the log is cut back to its last line end and fsynced (`repaired`).
// A missing or empty log needs nothing.
TornTailRepair repairTornTail(const std::string& logPath, const std::string& backupFolder,
                              const DateTime& local);

// The message-line text for a repair: kTornTailMessage followed by the folder's
// last name and the copy's file name, as in
// "The incomplete last line of log.txt was moved to BACKUP/torn-line-20260530120000.txt".
inline constexpr const char* kTornTailMessage = "The incomplete last line of log.txt was moved to ";
std::string tornTailMessage(const TornTailRepair& repair);

// The title and first words of the message box when the check or the repair
// failed, saying which; the error text follows on a second line.
inline constexpr const char* kTornTailErrorTitle = "Log File Error";
inline constexpr const char* kTornTailErrorText =
    "The last line of log.txt is incomplete and could not be moved aside. The contact was not "
    "logged.";
inline constexpr const char* kLineEndErrorText =
    "The last line of log.txt lacks its line end, which could not be added. The contact was not "
    "logged.";
inline constexpr const char* kLogCheckErrorText =
    "log.txt could not be read to check its last line. The contact was not logged.";
const char* tornTailErrorText(const TornTailRepair& repair);

} // namespace wexon::core
