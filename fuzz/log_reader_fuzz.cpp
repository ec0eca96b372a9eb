// fuzz-sources: core/log_file core/quoted_form core/number_format core/date_time core/bands
// Drives the "log.txt" reader with arbitrary bytes. Promises checked: every
// value within the reader's length bound,
// points within 0..999 (anything else counted), records found out of place
// listed in order with real lines, and a round trip: the records written out
// and read again come back the same (texts lose only the double quotes the file
// form cannot hold), whole and with nothing torn or short; each written line of
// a record whose values fit is a whole record line, and cut short it is not.

#include <algorithm>
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
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    LogReadResult first = parseLog(bytes);
    FUZZ_CHECK(first.unreadablePoints >= 0 && first.outOfRangePoints >= 0);
    FUZZ_CHECK(first.lastLineUnterminated == endsWithUnterminatedLine(bytes));
    FUZZ_CHECK(!first.lastLineWholeRecord || first.lastLineUnterminated);
    for (const QsoRecord& r : first.records) {
        FUZZ_CHECK(valuesBounded(r));
        FUZZ_CHECK(r.points >= 0.0f && r.points <= kMaxQsoPoints);
    }
    FUZZ_CHECK(first.misplaced.size() <= kMisplacedListed);
    FUZZ_CHECK(static_cast<std::size_t>(first.misplacedCount) >= first.misplaced.size());
    const auto lineCount = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n') +
                                            std::count(bytes.begin(), bytes.end(), '\r')) +
                           1;
    for (std::size_t i = 0; i < first.misplaced.size(); ++i) {
        const MisplacedRecord& m = first.misplaced[i];
        FUZZ_CHECK(m.record >= 1 && static_cast<std::size_t>(m.record) <= first.records.size());
        FUZZ_CHECK(m.line >= 1 && m.line <= lineCount);
        FUZZ_CHECK(i == 0 || (m.record > first.misplaced[i - 1].record &&
                              m.line >= first.misplaced[i - 1].line));
    }

    const std::string written = formatLog(first.records);
    LogReadResult second = parseLog(written);
    FUZZ_CHECK(second.records.size() == first.records.size());
    FUZZ_CHECK(!second.lastLineUnterminated && !second.lastRecordShort);
    FUZZ_CHECK(!second.lastLineWholeRecord);
    FUZZ_CHECK(second.unreadablePoints == 0 && second.outOfRangePoints == 0);
    for (std::size_t i = 0; i < first.records.size(); ++i) {
        FUZZ_CHECK(second.records[i] == normalised(first.records[i]));
    }
    // Written once more, the text does not change: the form is a fixed point.
    FUZZ_CHECK(formatLog(second.records) == written);
    for (const QsoRecord& r : second.records) {
        std::string line = formatQsoLine(r);
        line.resize(line.size() - 2);
        const bool fits = recordValuesFit(r, kQsoFieldCount, true);
        FUZZ_CHECK(isWholeRecordLine(line) == fits);
        if (fits) {
            FUZZ_CHECK(!isWholeRecordLine(line.substr(0, line.size() - 1)));
        }
    }
    return 0;
}
