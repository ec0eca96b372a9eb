#include "core/entry_key_hold.h"

namespace wexon::core {

void EntryKeyHold::duplicateFound(TimePoint when) {
    m_pending = true;
    m_dupeTime = when;
}

bool EntryKeyHold::offer(int key, TimePoint now) {
    if (!m_queue.empty()) {
        // Earlier keys still wait: this one goes behind them.
        if (m_queue.size() < kMaxQueued) {
            m_queue.push_back(key);
        }
        return true;
    }
    if (!m_pending) {
        return false;
    }
    if (now >= m_dupeTime + kHoldTime) {
        m_pending = false;
        return false;
    }
    m_queue.push_back(key);
    return true;
}

std::optional<EntryKeyHold::TimePoint> EntryKeyHold::releaseAt() const {
    if (m_queue.empty()) {
        return std::nullopt;
    }
    return m_dupeTime + kHoldTime;
}

std::deque<int> EntryKeyHold::release(TimePoint now) {
    if (now < m_dupeTime + kHoldTime) {
        return {};
    }
    m_pending = false;
    std::deque<int> keys;
    keys.swap(m_queue);
    return keys;
}

} // namespace wexon::core
