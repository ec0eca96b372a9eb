#include "core/station_log.h"

#include <algorithm>
#include <limits>

namespace wexon::core {

namespace {

constexpr std::int64_t kUnreadableMoment = std::numeric_limits<std::int64_t>::min();

std::int64_t momentOrLowest(const QsoRecord& r) {
    return contactMoment(r).value_or(kUnreadableMoment);
}

bool earlier(const StationLog::Row& a, const StationLog::Row& b) {
    return a.moment < b.moment;
}

} // namespace

StationLog::StationLog(Contest& contest) : m_contest(contest) {
    m_contest.addObserver(this);
    rebuild();
}

StationLog::~StationLog() {
    m_contest.removeObserver(this);
}

void StationLog::rebuild() {
    const auto& own = m_contest.qsos();
    const auto& remotes = m_contest.remotes();
    m_dupes.rebuild(own, remotes);
    m_prefixes.load(own);
    for (const auto& [id, c] : remotes) {
        m_prefixes.addCheck(c.record.prefix);
    }
    ++m_prefixRevision;

    std::vector<std::int64_t> moments;
    moments.reserve(own.size() + remotes.size());
    for (const auto& r : own) {
        if (auto m = contactMoment(r)) {
            moments.push_back(*m);
        }
    }
    for (const auto& [id, c] : remotes) {
        if (auto m = contactMoment(c.record)) {
            moments.push_back(*m);
        }
    }
    m_rates.assign(std::move(moments));

    // The time order costs a sort; it is made again only once someone asks.
    m_timeOrder.clear();
    m_timeOrder.shrink_to_fit();
    m_timeOrderBuilt = false;
}

DupeCheck StationLog::dupcheck(std::string_view call, std::string_view band,
                               bool listPrevious) const {
    return core::dupcheck(m_dupes, m_contest.qsos(), m_contest.remotes(), call, band, listPrevious);
}

void StationLog::addPrefix(std::string_view prefix) {
    if (m_prefixes.addCheck(prefix)) {
        ++m_prefixRevision;
    }
}

void StationLog::contactAppended(int number, const QsoRecord& record) {
    m_dupes.add(record);
    addPrefix(record.prefix);
    m_rates.add(record);
    if (m_timeOrderBuilt) {
        insertInTimeOrder(Row{momentOrLowest(record), number, nullptr, nullptr});
    }
}

void StationLog::remoteContactPut(const std::string& id, const RemoteContact* before,
                                  const RemoteContact& now) {
    if (before != nullptr) {
        // A changed contact may have left its band, call or hour.
        rebuild();
        return;
    }
    m_dupes.addRemote(id, now.record);
    addPrefix(now.record.prefix);
    m_rates.add(now.record);
    if (m_timeOrderBuilt) {
        // The map's key and value stay where they are until the contact goes.
        auto it = m_contest.remotes().find(id);
        if (it != m_contest.remotes().end()) {
            insertInTimeOrder(Row{momentOrLowest(now.record), 0, &it->first, &it->second});
        }
    }
}

void StationLog::insertInTimeOrder(const Row& row) {
    // After every row of the same moment: equal times keep their arrival order.
    auto at = std::upper_bound(m_timeOrder.begin(), m_timeOrder.end(), row, earlier);
    m_timeOrder.insert(at, row);
}

void StationLog::buildTimeOrder() {
    const auto& own = m_contest.qsos();
    const auto& remotes = m_contest.remotes();
    m_timeOrder.clear();
    m_timeOrder.reserve(own.size() + remotes.size() + 1024);
    for (std::size_t i = 0; i < own.size(); ++i) {
        m_timeOrder.push_back(
            Row{momentOrLowest(own[i]), static_cast<int>(i) + 1, nullptr, nullptr});
    }
    for (const auto& [id, c] : remotes) {
        m_timeOrder.push_back(Row{momentOrLowest(c.record), 0, &id, &c});
    }
    std::stable_sort(m_timeOrder.begin(), m_timeOrder.end(), earlier);
    m_timeOrderBuilt = true;
}

const std::vector<StationLog::Row>& StationLog::timeOrder() {
    if (!m_timeOrderBuilt) {
        buildTimeOrder();
    }
    return m_timeOrder;
}

} // namespace wexon::core
