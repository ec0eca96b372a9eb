#pragma once

#include <cstdint>

namespace wexon::output {

// When the claimed score goes to the online scoreboard: the first post at
// once, then every two minutes while the score changes and every ten minutes
// while it stands still. One post is in flight at a time; a failed post leaves
// the score owed, so it goes again at the next two-minute slot and never
// sooner. Times are milliseconds of a monotonic clock.
class ScoreSchedule {
  public:
    static constexpr std::int64_t kChangedIntervalMs = 2 * 60 * 1000;
    static constexpr std::int64_t kQuietIntervalMs = 10 * 60 * 1000;

    // The score (or what the report carries) changed since the last post began.
    void scoreChanged() { m_changed = true; }
    // Whether a post should start now.
    bool due(std::int64_t nowMs) const;
    // A post started now.
    void started(std::int64_t nowMs);
    // The post in flight ended; `ok` when the scoreboard took it.
    void finished(bool ok);
    // Starts over, as if nothing had been posted (posting switched on again).
    void reset();

    bool inFlight() const { return m_inFlight; }
    bool owed() const { return m_changed; }
    // When the next post is due at the earliest, while none is in flight.
    std::int64_t nextDueMs() const;

  private:
    bool m_started = false;
    bool m_inFlight = false;
    bool m_changed = false;
    std::int64_t m_lastStartMs = 0;
};

} // namespace wexon::output
