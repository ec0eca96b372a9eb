#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "keying/cw_host.h"
#include "keying/element_clock.h"
#include "keying/key_line.h"

namespace wexon::test {

// Element time that passes only when the keyer waits: every wait returns at
// once with the clock moved exactly as far as it asked.
class VirtualElementClock : public keying::ElementClock {
  public:
    std::int64_t nowNs() override { return m_now.load(); }
    void sleepUntilNs(std::int64_t deadline) override {
        std::int64_t now = m_now.load();
        m_now.store(std::max(now, deadline));
    }
    void sleepForMs(long ms) override {
        m_now.fetch_add(static_cast<std::int64_t>(ms) * 1'000'000);
    }
    void spinPasses(double passes) override {
        m_now.fetch_add(static_cast<std::int64_t>(passes * nsPerPass));
    }
    void advance(std::int64_t ns) { m_now.fetch_add(ns); }
    double nsPerPass = 10.0;

  private:
    std::atomic<std::int64_t> m_now{1'000'000'000};
};

// A key line that records each edge and can run an action at a given edge,
// which is how tests press keys in the middle of a message.
class ScriptedKeyLine : public keying::KeyLine {
  public:
    struct Edge {
        bool down;
        std::int64_t ns;
    };
    explicit ScriptedKeyLine(keying::ElementClock& clock) : m_clock(clock) {}
    void setKey(bool down) override {
        std::function<void()> action;
        {
            std::lock_guard lock(m_mutex);
            m_edges.push_back({down, m_clock.nowNs()});
            if (m_edges.size() == atEdge && onEdge) {
                action = onEdge;
            }
        }
        if (action) {
            action();
        }
    }
    std::vector<Edge> edges() const {
        std::lock_guard lock(m_mutex);
        return m_edges;
    }
    // The keyed text as units, '1' down and '0' up, from the edge times.
    std::string units(double unitNs) const {
        auto e = edges();
        std::string out;
        for (std::size_t i = 0; i + 1 < e.size(); ++i) {
            auto n = static_cast<long>((e[i + 1].ns - e[i].ns) / unitNs + 0.5);
            out.append(static_cast<std::size_t>(n), e[i].down ? '1' : '0');
        }
        return out;
    }
    std::size_t atEdge = 0;
    std::function<void()> onEdge;

  private:
    keying::ElementClock& m_clock;
    mutable std::mutex m_mutex;
    std::vector<Edge> m_edges;
};

// The main window as the keyer sees it.
class FakeCwHost : public keying::CwHost {
  public:
    std::string call;
    std::string serial = "001";
    std::string report;
    std::atomic<int> logged{0};
    std::vector<std::string> dialog;

    std::string callText() const override { return call; }
    std::string serialText() const override { return serial; }
    std::string reportSentText() const override { return report; }
    void logContact() override { ++logged; }
    void showDialogText(const std::string& text) override {
        std::lock_guard lock(m_mutex);
        dialog.push_back(text);
    }

  private:
    std::mutex m_mutex;
};

// Collects work posted to the window thread; the test runs it when it likes.
class QueuedPost {
  public:
    keying::WindowThreadPost post() {
        return [this](std::function<void()> work) {
            std::lock_guard lock(m_mutex);
            m_work.push_back(std::move(work));
        };
    }
    int drain() {
        int n = 0;
        while (true) {
            std::function<void()> work;
            {
                std::lock_guard lock(m_mutex);
                if (m_work.empty()) {
                    return n;
                }
                work = std::move(m_work.front());
                m_work.pop_front();
            }
            work();
            ++n;
        }
    }

  private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_work;
};

// The WinKey as the keyer drives it, recording the calls.
class FakeWinKey : public keying::WinKeyControl {
  public:
    bool open = true;
    int statusValue = 0;
    std::vector<std::string> calls;
    bool isOpen() const override { return open; }
    int status() override { return statusValue; }
    void clearKeyerBuffer() override { calls.push_back("clearbuf"); }
    void keyerBackspace() override { calls.push_back("backspace"); }
    void setKeyerSpeed(int wpm) override { calls.push_back("wpm " + std::to_string(wpm)); }
    void transmitBuffer() override { calls.push_back("transmit"); }
};

} // namespace wexon::test
