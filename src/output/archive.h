#pragma once

#include <string>
#include <string_view>

#include "core/date_time.h"
#include "core/file_io.h"

namespace wexon::output {

// The archive copy's default file name: the own call's file-name stem, the date
// "yyyy-mm-dd" and ".log".
std::string archiveFileName(std::string_view ownCall, const core::DateTime& localToday);

// Copies a file whole to `target`, replacing it atomically.
core::FileResult copyFileAtomically(const std::string& source, const std::string& target);

// Why `bytes` is not a log this program can read, or empty when it is one: every
// record has its twelve values, the texts quoted and the points a bare number,
// there is no binary data and no more records than the store holds. An empty
// file is an empty log.
std::string logProblem(std::string_view bytes);

struct RestoreResult {
    core::FileResult result;
    bool refused = false;     // the chosen file is not a readable log; nothing changed
    std::string replacedCopy; // where the replaced working log was saved, if it was
};

// Makes the chosen file the working log. The chosen file is checked first; a
// working log with content is copied into the backup folder before it is
// replaced, and the replacement is atomic. On any failure the working log is
// left as it was.
RestoreResult restoreLog(const std::string& chosen, const std::string& workingLog,
                         const std::string& backupFolder, const core::DateTime& local);

inline constexpr const char* kArchiveInfoTitle = "Archive Information";
inline constexpr const char* kArchiveInfoText =
    "This function is used to create a permanent copy of your currently open log file.  To open "
    "your log file at a later date, click File > Restore from Archive or Backup.";
inline constexpr const char* kArchiveErrorTitle = "Error Archiving Log";
inline constexpr const char* kRestoreInfoTitle = "Opening Archived Data Information";
inline constexpr const char* kRestoreInfoText =
    "This action will open an archived log or backup file and creates a working file called "
    "log.txt.  If you make any changes to your archived data that you would like to permanently "
    "save, before you click File > New to start a new contest, be sure to click File > Archive "
    "to save your changes.";
inline constexpr const char* kRestoreQuestionTitle = "Are your sure?";
inline constexpr const char* kRestoreQuestionText =
    "Are you sure that you want to open an archived log?  This action will clear and replace "
    "existing QSO data.";
inline constexpr const char* kRestoreErrorTitle = "Error Restoring Log";
inline constexpr const char* kLogFilter = "Log Files (*.log)";

} // namespace wexon::output
