#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/date_time.h"
#include "core/file_io.h"

namespace wexon::core {

// The automatic backup copy's file name for a local time: "yyyymmddhhnn.log".
std::string backupFileName(const DateTime& local);

// A name in `backupFolder` for a backup made at `local` that no file has yet:
// the minute's name, or, when a backup of the same minute exists already, the
// minute's name with "-2", "-3", ... before ".log". Returns the full path.
std::string freeBackupPath(const std::string& backupFolder, const DateTime& local);

// Copies the working log into the backup folder (created when missing) under the
// name of the given local time; a second backup in the same minute gets the
// next free suffixed name instead of replacing the first. Returns the error, if
// any; callers that back up on their way out ignore it.
FileResult backupLog(const std::string& logPath, const std::string& backupFolder,
                     const DateTime& local);

// The same copy, telling where it went (`savedAs`, empty on failure).
FileResult backupLogTo(const std::string& logPath, const std::string& backupFolder,
                       const DateTime& local, std::string& savedAs);

// Whether the log changed since it was first read in this run, which is when a
// backup is made.
inline bool backupNeeded(int qsoCount, int openedCount) {
    return qsoCount > 0 && qsoCount != openedCount;
}

// Whether the typed answer to the new-log question confirms it: "YES" in any
// case, exactly as typed (" yes " does not). A cancelled or empty answer keeps
// the log.
bool newLogConfirmed(const std::optional<std::string>& answer);

inline constexpr const char* kNewLogTitle = "WARNING - Your existing log file will be ERASED!";
inline constexpr const char* kNewLogPrompt =
    "Are you sure that you want to start a new log file?  This function will ERASE the existing "
    "log file!\n\nTo verify that you want to start a new log file, please type: YES";

} // namespace wexon::core
