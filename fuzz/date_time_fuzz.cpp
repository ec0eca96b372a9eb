// fuzz-sources: core/date_time core/number_format
// Drives date and time reading and the date arithmetic with arbitrary bytes.
// Promises checked: a date or time that reads is a real one and is written and
// read back unchanged; any 64-bit instant and any offset in minutes (NaN and
// infinities included) give a date within the four-digit years, held to the
// first or last instant when beyond them, and conversions agree both ways.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/date_time.h"
#include "fuzz_check.h"

using namespace wexon::core;

namespace {

constexpr std::int64_t kFirst = -62135596800; // 0001/01/01 00:00:00
constexpr std::int64_t kLast = 253402300799;  // 9999/12/31 23:59:59

bool inRange(const DateTime& t) {
    return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= 31 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
           t.second >= 0 && t.second <= 59;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto d = parseDate(text)) {
        FUZZ_CHECK(inRange(*d) && d->year >= 100);
        // A real calendar day: it survives the trip through the day count.
        FUZZ_CHECK(DateTime::fromEpochSeconds(d->toEpochSeconds()) == *d);
        FUZZ_CHECK(parseDate(formatDate(*d)) == d);
    }
    if (auto t = parseTime(text)) {
        FUZZ_CHECK(inRange(*t));
        FUZZ_CHECK(parseTime(formatTime(*t)) == t);
        FUZZ_CHECK(formatHourMinute(*t) == formatTime(*t).substr(0, 5));
        // The submission files' "hhnn" is four digits of the same time.
        const std::string digits = formatHourMinuteDigits(*t);
        FUZZ_CHECK(digits.size() == 4 &&
                   digits == formatTime(*t).substr(0, 2) + formatTime(*t).substr(3, 2));
    }

    if (size >= 8) {
        std::int64_t seconds = 0;
        std::memcpy(&seconds, data, 8);
        const DateTime t = DateTime::fromEpochSeconds(seconds);
        FUZZ_CHECK(inRange(t));
        const std::int64_t held = seconds < kFirst ? kFirst : seconds > kLast ? kLast : seconds;
        FUZZ_CHECK(t.toEpochSeconds() == held);
        FUZZ_CHECK(formatDate(t).size() == 10 && formatTime(t).size() == 8);

        double minutes = 0;
        std::memcpy(&minutes, data, 8);
        const DateTime base{2026, 5, 30, 12, 0, 0};
        const DateTime moved = base.addMinutes(minutes);
        FUZZ_CHECK(inRange(moved));
        if (std::isnan(minutes)) {
            FUZZ_CHECK(moved == base);
        } else if (std::fabs(minutes) < 1e9) {
            FUZZ_CHECK(moved.toEpochSeconds() ==
                       base.toEpochSeconds() + std::llround(minutes * 60.0));
        } else if (std::fabs(minutes) > 1e10) {
            // More than 19000 years away: beyond the four-digit years either way.
            FUZZ_CHECK(moved.toEpochSeconds() == (minutes > 0 ? kLast : kFirst));
        }
        const DateTime later = t.addSeconds(seconds);
        FUZZ_CHECK(inRange(later));
    }
    return 0;
}
