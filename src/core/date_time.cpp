#include "core/date_time.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"

namespace wexon::core {

namespace {

// The instants a DateTime can hold: 0001/01/01 00:00:00 to 9999/12/31 23:59:59,
// the years a four-digit date shows.
constexpr std::int64_t kFirstSecond = -62135596800;
constexpr std::int64_t kLastSecond = 253402300799;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian). Works in
// 64 bits throughout; a day beyond its month's length counts on into the next.
std::int64_t daysFromCivil(std::int64_t y, int m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2 ? 1 : 0));
}

int daysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) {
        return 29;
    }
    return kDays[m - 1];
}

bool readInt(std::string_view text, std::size_t& pos, int maxDigits, int& out) {
    int digits = 0;
    out = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits) {
        out = out * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

std::string two(int v) {
    return zeroPad(v, 2);
}

} // namespace

std::int64_t DateTime::toEpochSeconds() const {
    // Fields far outside their ranges are held to bounds where the sums below
    // stay within 64 bits; a month outside 1..12 is no month and is held to it.
    const std::int64_t y = std::clamp<std::int64_t>(year, -1000000, 1000000);
    const int m = std::clamp(month, 1, 12);
    const std::int64_t d = std::clamp<std::int64_t>(day, -1000000, 1000000);
    const std::int64_t h = std::clamp<std::int64_t>(hour, -1000000, 1000000);
    const std::int64_t n = std::clamp<std::int64_t>(minute, -1000000, 1000000);
    const std::int64_t s = std::clamp<std::int64_t>(second, -1000000, 1000000);
    return std::clamp(daysFromCivil(y, m, d) * 86400 + h * 3600 + n * 60 + s, kFirstSecond,
                      kLastSecond);
}

DateTime DateTime::fromEpochSeconds(std::int64_t seconds) {
    seconds = std::clamp(seconds, kFirstSecond, kLastSecond);
    std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    std::int64_t rest = seconds - days * 86400;
    DateTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>((rest % 3600) / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

DateTime DateTime::addSeconds(std::int64_t seconds) const {
    // Both terms are held within the span of representable instants first, so
    // the sum cannot overflow; the result is then held to that span.
    const std::int64_t span = kLastSecond - kFirstSecond;
    return fromEpochSeconds(toEpochSeconds() + std::clamp(seconds, -span, span));
}

DateTime DateTime::addMinutes(double minutes) const {
    if (std::isnan(minutes)) {
        return *this;
    }
    // Beyond the span of representable instants the result is the first or last
    // instant anyway; holding the seconds there keeps llround within range.
    const double span = static_cast<double>(kLastSecond - kFirstSecond);
    const double seconds = std::clamp(minutes * 60.0, -span, span);
    return addSeconds(static_cast<std::int64_t>(std::llround(seconds)));
}

std::string formatDate(const DateTime& t) {
    return zeroPad(t.year, 4) + "/" + two(t.month) + "/" + two(t.day);
}

std::string formatTime(const DateTime& t) {
    return two(t.hour) + ":" + two(t.minute) + ":" + two(t.second);
}

std::string formatHourMinute(const DateTime& t) {
    return two(t.hour) + ":" + two(t.minute);
}

std::string formatHourMinuteDigits(const DateTime& t) {
    return two(t.hour) + two(t.minute);
}

std::string formatMonthDay(const DateTime& t) {
    return two(t.month) + "/" + two(t.day);
}

std::optional<DateTime> parseDate(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    DateTime t;
    if (!readInt(text, pos, 4, t.year) || pos >= text.size()) {
        return std::nullopt;
    }
    char sep = text[pos];
    if (sep != '/' && sep != '-' && sep != '.') {
        return std::nullopt;
    }
    ++pos;
    if (!readInt(text, pos, 2, t.month) || pos >= text.size() || text[pos] != sep) {
        return std::nullopt;
    }
    ++pos;
    if (!readInt(text, pos, 2, t.day)) {
        return std::nullopt;
    }
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos != text.size() || t.year < 100 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > daysInMonth(t.year, t.month)) {
        return std::nullopt;
    }
    return t;
}

std::optional<DateTime> parseTime(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    DateTime t;
    if (!readInt(text, pos, 2, t.hour) || pos >= text.size() || text[pos] != ':') {
        return std::nullopt;
    }
    ++pos;
    if (!readInt(text, pos, 2, t.minute)) {
        return std::nullopt;
    }
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!readInt(text, pos, 2, t.second)) {
            return std::nullopt;
        }
    }
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos != text.size() || t.hour > 23 || t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    return t;
}

} // namespace wexon::core
