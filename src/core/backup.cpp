#include "core/backup.h"

#include "core/folders.h"
#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::core {

namespace {
constexpr std::size_t kMaxLogBytes = 256u * 1024u * 1024u;
}

std::string backupFileName(const DateTime& t) {
    return zeroPad(t.year, 4) + zeroPad(t.month, 2) + zeroPad(t.day, 2) + zeroPad(t.hour, 2) +
           zeroPad(t.minute, 2) + ".log";
}

std::string freeBackupPath(const std::string& backupFolder, const DateTime& local) {
    const std::string name = backupFileName(local);
    std::string path = joinPath(backupFolder, name);
    const std::string stem = name.substr(0, name.size() - 4);
    for (int n = 2; fileExists(path) && n < 10000; ++n) {
        path = joinPath(backupFolder, stem + "-" + std::to_string(n) + ".log");
    }
    return path;
}

FileResult backupLogTo(const std::string& logPath, const std::string& backupFolder,
                       const DateTime& local, std::string& savedAs) {
    savedAs.clear();
    std::string made = ensureFolder(backupFolder);
    if (!made.empty()) {
        return {made};
    }
    auto bytes = readWholeFile(logPath, kMaxLogBytes);
    if (!bytes) {
        return {logPath + " could not be read"};
    }
    std::string path = freeBackupPath(backupFolder, local);
    FileResult r = replaceAtomically(path, *bytes);
    if (r.ok()) {
        savedAs = path;
    }
    return r;
}

FileResult backupLog(const std::string& logPath, const std::string& backupFolder,
                     const DateTime& local) {
    std::string savedAs;
    return backupLogTo(logPath, backupFolder, local, savedAs);
}

bool newLogConfirmed(const std::optional<std::string>& answer) {
    // The answer is compared in capitals but otherwise as typed: " yes " is not a YES.
    return answer && toUpper(*answer) == "YES";
}

} // namespace wexon::core
