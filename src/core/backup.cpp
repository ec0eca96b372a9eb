#include "core/backup.h"

#include "core/folders.h"
#include "core/number_format.h"

namespace wexon::core {

std::string backupFileName(const DateTime& t) {
    return zeroPad(t.year, 4) + zeroPad(t.month, 2) + zeroPad(t.day, 2) + zeroPad(t.hour, 2) +
           zeroPad(t.minute, 2) + ".log";
}

FileResult backupLog(const std::string& logPath, const std::string& backupFolder,
                     const DateTime& local) {
    std::string made = ensureFolder(backupFolder);
    if (!made.empty()) {
        return {made};
    }
    auto bytes = readWholeFile(logPath, 256u * 1024u * 1024u);
    if (!bytes) {
        return {logPath + " could not be read"};
    }
    return replaceAtomically(joinPath(backupFolder, backupFileName(local)), *bytes);
}

} // namespace wexon::core
