// fuzz-sources: net/network_journal net/net_message core/file_io core/number_format
// Reads arbitrary bytes as the station network's journal ("network-log.txt"),
// as a damaged or hand-edited file would be. Promises checked: nothing crashes;
// only entries of the journal's own contest are taken, each keyed by its own
// id; every line counts as read or skipped; and compacting what was read then
// reading it again gives the same entries.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/file_io.h"
#include "fuzz_check.h"
#include "net/network_journal.h"

using namespace wexon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/wexon-journal-fuzz-" + std::to_string(::getpid());
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!core::replaceThroughNamedTemp(path, bytes)) {
        return 0;
    }
    net::NetworkJournal journal(path);
    net::NetworkJournal::Content content = journal.read("WPX-CW-2026");
    for (const auto& [id, own] : content.own) {
        FUZZ_CHECK(own.message.id == id && own.message.contestId == "WPX-CW-2026");
    }
    for (const auto& [id, other] : content.others) {
        FUZZ_CHECK(other.id == id && other.contestId == "WPX-CW-2026");
    }
    FUZZ_CHECK(content.skippedLines <= content.lines + 1);
    FUZZ_CHECK(journal.compact(content).ok());
    net::NetworkJournal::Content again = journal.read("WPX-CW-2026");
    FUZZ_CHECK(again.own.size() == content.own.size());
    FUZZ_CHECK(again.others.size() == content.others.size());
    for (const auto& [id, own] : content.own) {
        FUZZ_CHECK(again.own.at(id).message == own.message);
        FUZZ_CHECK(again.own.at(id).sentRevision == own.sentRevision);
    }
    ::unlink(path.c_str());
    return 0;
}
