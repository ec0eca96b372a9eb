#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "keying/element_clock.h"
#include "keying/key_line.h"

namespace wexon::keying {

// A key line that keys nothing and stamps every edge with the element clock;
// tests and the timing benchmark compare the stamps with the ideal times.
class RecordingKeyLine : public KeyLine {
  public:
    struct Edge {
        bool down;
        std::int64_t ns;
    };

    explicit RecordingKeyLine(ElementClock& clock) : m_clock(clock) {}

    void setKey(bool down) override {
        std::int64_t now = m_clock.nowNs();
        std::lock_guard lock(m_mutex);
        m_edges.push_back({down, now});
    }
    std::vector<Edge> edges() const {
        std::lock_guard lock(m_mutex);
        return m_edges;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_edges.clear();
    }

  private:
    ElementClock& m_clock;
    mutable std::mutex m_mutex;
    std::vector<Edge> m_edges;
};

} // namespace wexon::keying
