// fuzz-sources: core/log_file core/quoted_form core/number_format
// Drives the "log.txt" reader with arbitrary bytes. Promises checked: at most
// the asked number of records, every value within the reader's length bound,
// points within 0..999 (anything else counted), and a round trip: the records
// written out and read again come back the same (texts lose only the double
// quotes the file form cannot hold), whole and with nothing torn or short.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/log_file.h"
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

QsoRecord normalised(QsoRecord r) {
    for (std::string* t :
         {&r.call, &r.rstReceived, &r.serialReceived, &r.rstSent, &r.country, &r.qsoDate,
          &r.qsoTime, &r.band, &r.prefix, &r.serialSent, &r.frequency}) {
        *t = withoutQuotes(*t);
    }
    return r;
}

bool valuesBounded(const QsoRecord& r) {
    for (const std::string* t :
         {&r.call, &r.rstReceived, &r.serialReceived, &r.rstSent, &r.country, &r.qsoDate,
          &r.qsoTime, &r.band, &r.prefix, &r.serialSent, &r.frequency}) {
        if (t->size() > FieldReader::kMaxFieldLength) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks the store limit, so that the limit's edge is
    // reached with small inputs too.
    const std::size_t limit = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    LogReadResult first = parseLog(bytes, limit);
    FUZZ_CHECK(first.records.size() <= limit);
    FUZZ_CHECK(first.recordsBeyondLimit >= 0);
    FUZZ_CHECK(first.recordsBeyondLimit == 0 || first.records.size() == limit);
    FUZZ_CHECK(first.unreadablePoints >= 0 && first.outOfRangePoints >= 0);
    FUZZ_CHECK(first.lastLineUnterminated == endsWithUnterminatedLine(bytes));
    for (const QsoRecord& r : first.records) {
        FUZZ_CHECK(valuesBounded(r));
        FUZZ_CHECK(r.points >= 0.0f && r.points <= kMaxQsoPoints);
    }

    const std::string written = formatLog(first.records);
    LogReadResult second = parseLog(written, limit);
    FUZZ_CHECK(second.records.size() == first.records.size());
    FUZZ_CHECK(!second.lastLineUnterminated && !second.lastRecordShort);
    FUZZ_CHECK(second.recordsBeyondLimit == 0);
    FUZZ_CHECK(second.unreadablePoints == 0 && second.outOfRangePoints == 0);
    for (std::size_t i = 0; i < first.records.size(); ++i) {
        FUZZ_CHECK(second.records[i] == normalised(first.records[i]));
    }
    // Written once more, the text does not change: the form is a fixed point.
    FUZZ_CHECK(formatLog(second.records) == written);
    return 0;
}
