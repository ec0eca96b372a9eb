#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wexon::core {

// A calendar date and time of day, without a time zone: the zone is whatever
// the value was read as (computer local time, or UTC).
struct DateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Seconds since 1970-01-01 00:00:00 of the same zone. Instants run from
    // 0001/01/01 00:00:00 to 9999/12/31 23:59:59, the years a four-digit date
    // shows: every conversion and every sum is held to that span, so a wild
    // offset gives the first or last instant, never an overflowed date.
    std::int64_t toEpochSeconds() const;
    static DateTime fromEpochSeconds(std::int64_t seconds);
    DateTime addSeconds(std::int64_t seconds) const;
    // A NaN number of minutes leaves the time as it is.
    DateTime addMinutes(double minutes) const;

    bool operator==(const DateTime&) const = default;
};

// "yyyy/mm/dd"
std::string formatDate(const DateTime& t);
// "hh:nn:ss"
std::string formatTime(const DateTime& t);
// "hh:nn"
std::string formatHourMinute(const DateTime& t);
// "hhnn", the time as the submission files write it
std::string formatHourMinuteDigits(const DateTime& t);
// "mm/dd"
std::string formatMonthDay(const DateTime& t);

// Reads a date written "yyyy/mm/dd" (also with "-" or "." between the parts);
// nothing when the text is not a valid date.
std::optional<DateTime> parseDate(std::string_view text);
// Reads a time "h:mm" or "h:mm:ss" (each part one or two digits); nothing when
// it is not a valid time.
std::optional<DateTime> parseTime(std::string_view text);

} // namespace wexon::core
