#pragma once

#include <string>

#include "core/date_time.h"
#include "core/file_io.h"

namespace wexon::core {

// The automatic backup copy's file name for a local time: "yyyymmddhhnn.log".
std::string backupFileName(const DateTime& local);

// Copies the working log into the backup folder (created when missing) under the
// name of the given local time. Returns the error, if any; callers that back up
// on their way out ignore it.
FileResult backupLog(const std::string& logPath, const std::string& backupFolder,
                     const DateTime& local);

// Whether the log changed since it was first read in this run, which is when a
// backup is made.
inline bool backupNeeded(int qsoCount, int openedCount) {
    return qsoCount > 0 && qsoCount != openedCount;
}

inline constexpr const char* kNewLogTitle = "WARNING - Your existing log file will be ERASED!";
inline constexpr const char* kNewLogPrompt =
    "Are you sure that you want to start a new log file?  This function will ERASE the existing "
    "log file!\n\nTo verify that you want to start a new log file, please type: YES";

} // namespace wexon::core
