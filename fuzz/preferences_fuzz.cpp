// fuzz-sources: core/preferences core/quoted_form core/number_format
// Drives the "wexonprf.txt" reader with arbitrary bytes. Promises checked:
// bounded texts, numbers that are finite, and a round trip: preferences that
// were read, written and read again are the same (texts lose only the double
// quotes the file form cannot hold), and the written file reads without error.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/preferences.h"
#include "core/quoted_form.h"
#include "fuzz_check.h"

using namespace wexon::core;

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    PreferencesReadResult first = parsePreferences(bytes);
    if (!first.ok()) {
        FUZZ_CHECK(!first.error.empty());
        return 0;
    }
    Preferences p = first.prefs;
    for (const std::string* t :
         {&p.ownCall, &p.contestMode, &p.band, &p.ownCountry, &p.ownContinent, &p.rigName}) {
        FUZZ_CHECK(t->size() <= FieldReader::kMaxFieldLength);
    }
    for (float f : {p.utcOffset, p.timeOnSeconds, p.ownLongitude, p.ownLatitude}) {
        FUZZ_CHECK(std::isfinite(f));
    }

    const std::string written = serializePreferences(p);
    // One value a line; the numbers (every line but the six texts) are plain
    // decimals, never with an exponent.
    std::size_t lineNo = 0;
    for (std::size_t at = 0; at < written.size(); ++lineNo) {
        const std::size_t end = written.find("\r\n", at);
        FUZZ_CHECK(end != std::string::npos);
        const std::string line = written.substr(at, end - at);
        if (line.empty() || line.front() != '"') {
            FUZZ_CHECK(line.find_first_not_of("-0123456789.") == std::string::npos);
        }
        at = end + 2;
    }
    FUZZ_CHECK(lineNo == 15);
    PreferencesReadResult second = parsePreferences(written);
    FUZZ_CHECK(second.ok());
    for (std::string* t :
         {&p.ownCall, &p.contestMode, &p.band, &p.ownCountry, &p.ownContinent, &p.rigName}) {
        *t = withoutQuotes(*t);
    }
    FUZZ_CHECK(second.prefs == p);
    FUZZ_CHECK(serializePreferences(second.prefs) == written);
    return 0;
}
