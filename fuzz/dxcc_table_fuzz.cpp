// fuzz-sources: output/dxcc_table core/quoted_form core/number_format
// Drives the reader of the DXCC number table ("ADIFCnt.txt") with arbitrary
// bytes. Promises checked: at most kMaxPairs pairs; every lookup answers 0 or
// an entity number below 100000; a name of two characters or fewer is never
// found; and a lookup ignores case and surrounding blanks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/quoted_form.h"
#include "fuzz_check.h"
#include "output/dxcc_table.h"

using namespace wexon::output;

namespace {

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DxccTable table = DxccTable::parse(bytes);
    FUZZ_CHECK(table.size() <= DxccTable::kMaxPairs);

    // Every name of the file, looked up as it stands, in capitals and padded.
    wexon::core::FieldReader in(bytes);
    std::string name;
    std::string number;
    std::size_t pairs = 0;
    while (pairs < table.size() && in.next(name) && in.next(number)) {
        ++pairs;
        const int found = table.lookup(name);
        FUZZ_CHECK(found >= 0 && found < 100000);
        FUZZ_CHECK(table.lookup(" " + upper(name) + "\t") == found);
        if (name.size() <= 2) {
            FUZZ_CHECK(found == 0);
        }
    }
    FUZZ_CHECK(table.lookup("") == 0);
    FUZZ_CHECK(table.lookup(std::string_view(bytes.data(), bytes.size() < 2 ? bytes.size() : 2)) ==
               0);
    return 0;
}
