// fuzz-sources: core/country_table core/quoted_form core/number_format
// Drives the country table reader ("arrlpre2.txt") with arbitrary bytes.
// Promises checked: at most kMaxEntries entries, bounded texts, finite
// coordinates, an error text whenever the file was not read whole, and a round
// trip: the entries read, written in the file's form and read again, come back
// the same and without error. Lookups on the table read stay within it.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/country_table.h"
#include "core/quoted_form.h"
#include "fuzz_check.h"

using namespace wexon::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CountryTable::LoadResult first = CountryTable::load(bytes);
    const CountryTable& table = first.table;
    FUZZ_CHECK(table.count() >= 0 &&
               static_cast<std::size_t>(table.count()) <= CountryTable::kMaxEntries);

    FieldWriter w;
    for (int i = 1; i <= table.count(); ++i) {
        const CountryEntry& e = table.entry(i);
        FUZZ_CHECK(e.prefix.size() <= FieldReader::kMaxFieldLength);
        FUZZ_CHECK(e.country.size() <= FieldReader::kMaxFieldLength);
        FUZZ_CHECK(e.continent.size() <= FieldReader::kMaxFieldLength);
        FUZZ_CHECK(std::isfinite(e.longitude) && std::isfinite(e.latitude));
        // Quoted texts in this file cannot hold a double quote.
        FUZZ_CHECK(e.prefix.find('"') == std::string::npos);
        w.text(e.prefix)
            .text(e.country)
            .text(e.continent)
            .number(e.longitude)
            .number(e.latitude)
            .integer(0)
            .integer(0)
            .integer(0)
            .endLine();
    }
    CountryTable::LoadResult second = CountryTable::load(w.str());
    FUZZ_CHECK(second.ok());
    FUZZ_CHECK(second.table.count() == table.count());
    for (int i = 1; i <= table.count(); ++i) {
        const CountryEntry& a = table.entry(i);
        const CountryEntry& b = second.table.entry(i);
        FUZZ_CHECK(a.prefix == b.prefix && a.country == b.country && a.continent == b.continent);
        FUZZ_CHECK(a.longitude == b.longitude && a.latitude == b.latitude);
    }

    // The lookups take the call from the same bytes and must stay in the table.
    const std::string_view call = bytes.substr(0, bytes.size() < 16 ? bytes.size() : 16);
    const int found = table.findLongestPrefix(call);
    FUZZ_CHECK(found >= 0 && found <= table.count());
    if (auto lookup = lookupCountry(table, call)) {
        FUZZ_CHECK(lookup->index >= 0 && lookup->index <= table.count());
        FUZZ_CHECK(lookup->found == (lookup->index > 0));
    }
    const int completed = completeCountry(table, call);
    FUZZ_CHECK(completed >= 0 && completed <= table.count());
    return 0;
}
