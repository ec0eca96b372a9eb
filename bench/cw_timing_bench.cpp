// Key-edge accuracy of the "Timer" method: PARIS sent ten times at 13, 30 and
// 60 WPM into a recording key line, each edge compared with its ideal time.
// Runs with the cores idle and with every core kept busy by spinning threads,
// and with and without real-time scheduling for the keying thread.
// WEXON_CW_BENCH_REPS sets the number of PARIS words (default 10).

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "keying/cw_engine.h"
#include "keying/edge_timing.h"
#include "keying/element_clock.h"
#include "keying/recording_key_line.h"

namespace {

using namespace wexon::keying;

// Other work: one spinning thread per core, at ordinary priority.
class BusyCores {
  public:
    explicit BusyCores(bool on) {
        if (!on) {
            return;
        }
        unsigned n = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < n; ++i) {
            m_threads.emplace_back([this] {
                volatile double x = 1.0;
                while (!m_stop.load(std::memory_order_relaxed)) {
                    x = x * 1.0000001 + 0.5;
                }
            });
        }
    }
    ~BusyCores() {
        m_stop = true;
        for (auto& t : m_threads) {
            t.join();
        }
    }

  private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

int repetitions() {
    const char* env = std::getenv("WEXON_CW_BENCH_REPS");
    int n = env != nullptr ? std::atoi(env) : 10;
    return n > 0 ? n : 10;
}

void BM_TimerEdges(benchmark::State& state) {
    const double wpm = static_cast<double>(state.range(0));
    const bool load = state.range(1) != 0;
    const bool realTime = state.range(2) != 0;
    std::string text;
    for (int i = 0; i < repetitions(); ++i) {
        text += "PARIS ";
    }
    for (auto _ : state) {
        MonotonicElementClock clock;
        RecordingKeyLine line(clock);
        CwEngine engine(clock, nullptr, realTime);
        engine.setInterface(1);
        engine.setSpeed(wpm);
        engine.setTimingMethod(TimingMethod::Timer);
        engine.setKeyLine(&line);
        BusyCores busy(load);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        engine.appendAndPump(text);
        engine.waitUntilIdle(std::chrono::minutes(10));
        std::vector<KeyEdge> edges;
        for (auto e : line.edges()) {
            edges.push_back({e.down, e.ns});
        }
        auto s = summarizeEdgeErrors(edges, unitsOfText(text), wpm);
        std::printf("Timer %2.0f WPM  %-9s  real-time %-3s  %s\n", wpm, load ? "loaded" : "idle",
                    engine.realTimeGranted() ? "yes" : "no", formatEdgeSummary(s).c_str());
        state.counters["p50_us"] = s.p50Us;
        state.counters["p99_us"] = s.p99Us;
        state.counters["max_us"] = s.maxUs;
    }
}

BENCHMARK(BM_TimerEdges)
    ->ArgNames({"wpm", "load", "rt"})
    ->ArgsProduct({{13, 30, 60}, {0, 1}, {1, 0}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

} // namespace
