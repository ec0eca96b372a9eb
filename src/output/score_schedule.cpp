#include "output/score_schedule.h"

namespace wexon::output {

bool ScoreSchedule::due(std::int64_t nowMs) const {
    if (m_inFlight) {
        return false;
    }
    return nowMs >= nextDueMs();
}

std::int64_t ScoreSchedule::nextDueMs() const {
    if (!m_started) {
        return 0;
    }
    return m_lastStartMs + (m_changed ? kChangedIntervalMs : kQuietIntervalMs);
}

void ScoreSchedule::started(std::int64_t nowMs) {
    m_started = true;
    m_inFlight = true;
    m_lastStartMs = nowMs;
    m_changed = false;
}

void ScoreSchedule::finished(bool ok) {
    m_inFlight = false;
    if (!ok) {
        // The scoreboard still lacks this score: it goes at the next
        // two-minute slot, counted from when the failed post began.
        m_changed = true;
    }
}

void ScoreSchedule::reset() {
    m_started = false;
    m_inFlight = false;
    m_changed = false;
    m_lastStartMs = 0;
}

} // namespace wexon::output
