// fuzz-sources: spots/pack_spot_settings core/quoted_form core/number_format
// Drives the "PackSpot.txt" reader with arbitrary bytes. Promises checked:
// bounded texts, and a round trip: settings that were read, written and read
// again are the same (texts lose only the double quotes the file form cannot
// hold), the written file is seventeen lines (fourteen and the three band-map
// choices) and reads back complete, and
// reading stops without touching the values it did not reach.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/quoted_form.h"
#include "fuzz_check.h"
#include "spots/pack_spot_settings.h"

using namespace wexon;
using spots::PackSpotSettings;

namespace {

std::string withoutQuotes(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != '"') {
            out.push_back(c);
        }
    }
    return out;
}

std::string* texts(PackSpotSettings& s, std::size_t i) {
    std::string* all[] = {&s.baud,       &s.parity,       &s.dataBits,   &s.stopBits,  &s.powerLine,
                          &s.spotSource, &s.hexCharacter, &s.telnetPort, &s.telnetHost};
    return i < 9 ? all[i] : nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool complete = true;
    PackSpotSettings first = spots::readPackSpot(bytes, PackSpotSettings{}, &complete);
    for (std::size_t i = 0; std::string* t = texts(first, i); ++i) {
        FUZZ_CHECK(t->size() <= core::FieldReader::kMaxFieldLength);
    }

    // Defaults nobody would write: what reading did not reach keeps them, so a
    // file read against two sets of defaults differs only where it stopped.
    PackSpotSettings marked;
    marked.baud = "unread";
    marked.telnetHost = "unread.example";
    marked.portNumber = -77;
    marked.optList = true;
    bool completeMarked = false;
    const PackSpotSettings second = spots::readPackSpot(bytes, marked, &completeMarked);
    FUZZ_CHECK(complete == completeMarked);
    if (complete) {
        FUZZ_CHECK(second == first);
    }

    const std::string written = spots::writePackSpot(first);
    std::size_t lines = 0;
    for (std::size_t at = written.find("\r\n"); at != std::string::npos;
         at = written.find("\r\n", at + 2)) {
        ++lines;
    }
    FUZZ_CHECK(lines == 17);
    bool again = false;
    PackSpotSettings back = spots::readPackSpot(written, PackSpotSettings{}, &again);
    FUZZ_CHECK(again);
    for (std::size_t i = 0; std::string* t = texts(first, i); ++i) {
        *t = withoutQuotes(*t);
    }
    FUZZ_CHECK(back == first);
    FUZZ_CHECK(spots::writePackSpot(back) == written);
    return 0;
}
