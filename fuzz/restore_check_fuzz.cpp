// fuzz-sources: output/archive core/file_io core/log_file core/quoted_form core/number_format core/date_time core/backup core/folders core/bands
// Drives the check a file must pass before File > Restore makes it the working
// log, with arbitrary bytes. Promises checked: a file the check passes is read
// by the log reader whole, with nothing short, torn or unreadable; and a log
// the program writes from records holding plain text passes the check, so that
// what was archived can always be restored.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/log_file.h"
#include "fuzz_check.h"
#include "output/archive.h"

using namespace wexon;

namespace {


bool plainText(const core::QsoRecord& r) {
    for (const std::string* t :
         {&r.call, &r.rstReceived, &r.serialReceived, &r.rstSent, &r.country, &r.qsoDate,
          &r.qsoTime, &r.band, &r.prefix, &r.serialSent, &r.frequency}) {
        for (char c : *t) {
            if ((static_cast<unsigned char>(c) < 32 && c != '\t') || c == '"') {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string problem = output::logProblem(bytes);
    const core::LogReadResult read = core::parseLog(bytes);
    if (problem.empty()) {
        FUZZ_CHECK(!read.lastRecordShort);
        FUZZ_CHECK(read.unreadablePoints == 0);
    }

    std::vector<core::QsoRecord> plain;
    for (const core::QsoRecord& r : read.records) {
        if (plainText(r)) {
            plain.push_back(r);
        }
    }
    const std::string written = core::formatLog(plain);
    FUZZ_CHECK(output::logProblem(written).empty());
    FUZZ_CHECK(core::parseLog(written).records.size() == plain.size());
    return 0;
}
