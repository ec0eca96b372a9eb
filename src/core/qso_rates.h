#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

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

// The moment of a contact in seconds since 1970 (UTC), or nothing when its date
// or time cannot be read.
std::optional<std::int64_t> contactMoment(const QsoRecord& record);

// The rates over a log whose contacts may come in any time order (the whole
// station's log, other stations' contacts arriving late, contacts typed in
// afterwards): every contact whose moment is less than an hour (twenty minutes)
// before now counts, contacts dated after now included. A contact whose date or
// time cannot be read never counts. Adding a contact is O(sqrt n) amortized
// and taking the rates O(log n), so neither walks the log.
class RateCounter {
  public:
    void clear();
    // Takes every moment at once (sorted here): what a rebuild uses.
    void assign(std::vector<std::int64_t> moments);
    void add(const QsoRecord& record);
    void addMoment(std::int64_t moment);
    std::size_t size() const { return m_settled.size() + m_fresh.size(); }
    QsoRates rates(const DateTime& nowUtc) const;

  private:
    // Contacts with a moment at or after `from`.
    std::size_t countFrom(std::int64_t from) const;
    // Sorted moments: a large run and a small one new moments go into.
    std::vector<std::int64_t> m_settled;
    std::vector<std::int64_t> m_fresh;
};

} // namespace wexon::core
