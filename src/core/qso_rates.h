#pragma once

#include <optional>
#include <span>

#include "core/date_time.h"
#include "core/qso_record.h"

namespace wexon::core {

// The two QSO rates of the main window.
struct QsoRates {
    int lastHour = 0;            // contacts in the last 60 minutes
    int hourlyFromTwentyMin = 0; // 3 x the contacts in the last 20 minutes

    bool operator==(const QsoRates&) const = default;
};

// The moment the rates are taken at: local time plus the UTC offset, in whole
// seconds, as contacts carry it.
DateTime rateMoment(const DateTime& localNow, double utcOffsetHours);

// Counts the contacts from the newest back, stopping at the first one an hour
// old or older (the log is in time order). A contact dated after `nowUtc`
// counts in both rates. A record whose date and time cannot be read makes the
// whole answer empty: the labels are left as they were.
std::optional<QsoRates> qsoRates(std::span<const QsoRecord> records, const DateTime& nowUtc);

} // namespace wexon::core
