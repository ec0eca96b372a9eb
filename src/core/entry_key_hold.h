#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

namespace wexon::core {

// Holds the keys typed into the call box right after a duplicate was found,
// until 3 seconds after the duplicate, without stopping the window: keys that
// arrive during the hold wait in a queue, in order, and are handed back when
// the time is over. Keys that arrive while earlier ones still wait join the
// queue, so none is lost or overtakes another.
class EntryKeyHold {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::seconds kHoldTime{3};
    // Most keys kept waiting; an operator cannot type more in 3 seconds, and a
    // stuck key cannot grow the queue without bound.
    static constexpr std::size_t kMaxQueued = 256;

    // The duplicate check found the call (DupeFound set, DupeTime = now).
    void duplicateFound(TimePoint when);
    // Whether a duplicate is still pending (DupeFound).
    bool duplicatePending() const { return m_pending; }

    // A key for the call box. Returns true when it was queued and must not be
    // fed now; false when it goes to the row at once.
    bool offer(int key, TimePoint now);

    // When the window has to call release(): nothing while no key waits.
    std::optional<TimePoint> releaseAt() const;
    // After the hold time: clears the pending duplicate and returns the keys
    // that waited, oldest first. Before that time it returns nothing.
    std::deque<int> release(TimePoint now);

  private:
    bool m_pending = false;
    TimePoint m_dupeTime{};
    std::deque<int> m_queue;
};

} // namespace wexon::core
