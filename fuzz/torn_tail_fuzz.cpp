// fuzz-sources: core/log_repair core/file_io core/number_format core/date_time core/log_file core/quoted_form core/bands
// Drives the repair of a torn last line of "log.txt" with arbitrary log
// contents, on real files in a private temporary folder. Promises checked: the
// repair succeeds; afterwards the log is empty or ends with a line end; no
// byte is lost: the repaired log followed by the copied fragment is the old
// log (a missing LF after a CR is the one byte added, a last line of blanks
// the only bytes dropped); and a second repair finds nothing to do.
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/file_io.h"
#include "core/log_repair.h"
#include "fuzz_check.h"

using namespace wexon::core;

namespace {

const std::string& folder() {
    static const std::string path = [] {
        char name[] = "/tmp/wexon-torn-tail-XXXXXX";
        const char* made = ::mkdtemp(name);
        FUZZ_CHECK(made != nullptr);
        return std::string(made);
    }();
    return path;
}

void emptyBackupFolder(const std::string& backup) {
    if (DIR* d = ::opendir(backup.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                ::unlink((backup + "/" + name).c_str());
            }
        }
        ::closedir(d);
    }
}

bool blanksOnly(std::string_view s) {
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string before(reinterpret_cast<const char*>(data), size);
    const std::string log = folder() + "/log.txt";
    const std::string backup = folder() + "/BACKUP";
    emptyBackupFolder(backup);
    FUZZ_CHECK(replaceAtomically(log, before).ok());

    const DateTime local{2026, 5, 30, 12, 0, 0};
    const TornTailRepair repair = repairTornTail(log, backup, local);
    FUZZ_CHECK(repair.ok());
    const auto after = readWholeFile(log);
    FUZZ_CHECK(after.has_value());
    // Lines end at CR LF, CR or LF, as the reader takes them.
    FUZZ_CHECK(after->empty() || after->back() == '\n' || after->back() == '\r');

    if (repair.repaired) {
        const auto fragment = readWholeFile(repair.savedAs);
        FUZZ_CHECK(fragment.has_value());
        FUZZ_CHECK(fragment->size() == repair.fragmentBytes && !fragment->empty());
        FUZZ_CHECK(*after + *fragment == before);
        FUZZ_CHECK(fragment->find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(!tornTailMessage(repair).empty());
    } else if (repair.lineEndAdded) {
        // A whole record that only lacked its line end keeps its place.
        FUZZ_CHECK(*after == before + "\r\n");
    } else if (!before.empty() && before.back() == '\r') {
        FUZZ_CHECK(*after == before + "\n");
    } else {
        FUZZ_CHECK(after->size() <= before.size());
        FUZZ_CHECK(before.compare(0, after->size(), *after) == 0);
        FUZZ_CHECK(blanksOnly(std::string_view(before).substr(after->size())));
    }

    // A second check finds nothing to move; a log cut back to a bare CR gets
    // the LF of its CR LF then, and a third check changes nothing more.
    const TornTailRepair again = repairTornTail(log, backup, local);
    FUZZ_CHECK(again.ok() && !again.repaired);
    const auto third = readWholeFile(log);
    const bool lfAdded = !after->empty() && after->back() == '\r';
    FUZZ_CHECK(third.has_value() && *third == (lfAdded ? *after + "\n" : *after));
    FUZZ_CHECK(repairTornTail(log, backup, local).ok());
    FUZZ_CHECK(readWholeFile(log) == third);
    return 0;
}
