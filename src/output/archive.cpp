#include "output/archive.h"

#include "core/backup.h"
#include "core/folders.h"
#include "core/number_format.h"
#include "core/qso_record.h"
#include "core/quoted_form.h"

namespace wexon::output {

namespace {
// The most a log file may hold: about two million contacts, far more than any
// contest gives, while a file that large is still read in a moment.
constexpr std::size_t kMaxLogBytes = 256u * 1024u * 1024u;
} // namespace

std::string archiveFileName(std::string_view ownCall, const core::DateTime& t) {
    return core::callToFileName(ownCall) + core::zeroPad(t.year, 4) + "-" +
           core::zeroPad(t.month, 2) + "-" + core::zeroPad(t.day, 2) + ".log";
}

core::FileResult copyFileAtomically(const std::string& source, const std::string& target) {
    auto bytes = core::readWholeFile(source, kMaxLogBytes);
    if (!bytes) {
        return {source + " could not be read"};
    }
    return core::replaceAtomically(target, *bytes);
}

std::string logProblem(std::string_view bytes) {
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if (u < 32 && c != '\r' && c != '\n' && c != '\t') {
            return "It holds binary data.";
        }
    }
    core::FieldReader in(bytes);
    std::string value;
    std::size_t values = 0;
    while (in.next(value)) {
        const std::size_t field = values % core::kQsoFieldCount; // 0-based
        if (field == 8) {
            if (in.lastWasQuoted() || !core::isNumeric(value)) {
                return "Record " + std::to_string(values / core::kQsoFieldCount + 1) +
                       " has no number for its points.";
            }
        } else if (!in.lastWasQuoted()) {
            return "Record " + std::to_string(values / core::kQsoFieldCount + 1) +
                   " has a value that is not in quotes.";
        }
        ++values;
    }
    if (values % core::kQsoFieldCount != 0) {
        return "Its last record is incomplete.";
    }
    return {};
}

RestoreResult restoreLog(const std::string& chosen, const std::string& workingLog,
                         const std::string& backupFolder, const core::DateTime& local) {
    RestoreResult out;
    bool tooLarge = false;
    auto bytes = core::readWholeFile(chosen, kMaxLogBytes, &tooLarge);
    if (!bytes) {
        out.refused = tooLarge;
        out.result = {tooLarge ? chosen + " is too large to be a log."
                               : chosen + " could not be read."};
        return out;
    }
    if (std::string problem = logProblem(*bytes); !problem.empty()) {
        out.refused = true;
        out.result = {chosen + " is not a log this program can read.  " + problem +
                      "\n\nThe working log was not changed."};
        return out;
    }
    // Keep what is being replaced, so that a mistaken restore can be undone.
    auto current = core::readWholeFile(workingLog, kMaxLogBytes);
    if (current && !current->empty() && *current != *bytes) {
        core::FileResult saved =
            core::backupLogTo(workingLog, backupFolder, local, out.replacedCopy);
        if (!saved.ok()) {
            out.result = {"The working log could not be copied to the backup folder, so it was "
                          "not replaced: " +
                          saved.error};
            return out;
        }
    }
    out.result = core::replaceAtomically(workingLog, *bytes);
    return out;
}

} // namespace wexon::output
