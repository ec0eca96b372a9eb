#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/contest.h"
#include "core/date_time.h"
#include "core/dupe_check.h"
#include "core/dupe_index.h"
#include "core/prefix_list.h"
#include "core/qso_rates.h"

namespace wexon::core {

// What the whole station's log (this station's records and the contacts other
// stations logged) is asked on every key and every contact: the duplicate
// index, the prefixes worked, the rates and the log in time order. It follows
// its contest as an observer: a contact logged here or arriving from another
// station is added in O(log n) amortized (the time order in O(distance from the
// newest end)), while an edit, a deletion, a log read again or another
// station's contact changed or withdrawn rebuilds it, O(n log n).
class StationLog final : public ContactObserver {
  public:
    // Observes `contest` for its own life and builds itself from it.
    explicit StationLog(Contest& contest);
    ~StationLog() override;
    StationLog(const StationLog&) = delete;
    StationLog& operator=(const StationLog&) = delete;

    // Builds everything again from the contest.
    void rebuild();

    const Contest& contest() const { return m_contest; }
    const DupeIndex& dupes() const { return m_dupes; }
    const PrefixList& prefixes() const { return m_prefixes; }
    // Grows whenever the prefix list changes, so a display knows when to redraw.
    std::uint64_t prefixRevision() const { return m_prefixRevision; }
    QsoRates rates(const DateTime& nowUtc) const { return m_rates.rates(nowUtc); }
    // Contacts of the whole station.
    int contactCount() const { return m_contest.qsoCount() + m_contest.remoteCount(); }
    // The exact duplicate check against the whole station's log.
    DupeCheck dupcheck(std::string_view call, std::string_view band, bool listPrevious) const;

    // One contact of the log in time order: this station's record `record`, or
    // (record 0) another station's contact.
    struct Row {
        std::int64_t moment = 0; // seconds since 1970, lowest when unreadable
        int record = 0;
        const std::string* id = nullptr;
        const RemoteContact* remote = nullptr;
    };
    // The whole station's log ordered by date and time, built the first time
    // it is asked for and kept up from then on. Row 0 is the oldest.
    const std::vector<Row>& timeOrder();

    // --- ContactObserver ---
    void contactAppended(int number, const QsoRecord& record) override;
    void contactReplaced(int, const QsoRecord&, const QsoRecord&) override { rebuild(); }
    void contactRemoved(int, const QsoRecord&) override { rebuild(); }
    void logReplaced() override { rebuild(); }
    void remoteContactPut(const std::string& id, const RemoteContact* before,
                          const RemoteContact& now) override;
    void remoteContactRemoved(const std::string&, const RemoteContact&) override { rebuild(); }
    void remoteContactsCleared() override { rebuild(); }

  private:
    void addPrefix(std::string_view prefix);
    void insertInTimeOrder(const Row& row);
    void buildTimeOrder();

    Contest& m_contest;
    DupeIndex m_dupes;
    PrefixList m_prefixes;
    std::uint64_t m_prefixRevision = 0;
    RateCounter m_rates;
    std::vector<Row> m_timeOrder;
    bool m_timeOrderBuilt = false;
};

} // namespace wexon::core
