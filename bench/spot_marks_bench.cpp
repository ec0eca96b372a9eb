// The cost of the spot marks on a full log (13000 contacts): marking 5000
// spots again after a new contact (what the band map and the list do when the
// log changes, with room to spare: they hold 250), marking one arriving spot,
// reading and tallying a skimmer line, and the check a check-partial list
// makes per shown call while a key is typed (is it spotted on this band?).
// Besides Google Benchmark's mean, the per-key check is timed key by key and
// its median and 99th percentile printed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/contact_status.h"
#include "core/dupe_index.h"
#include "core/prefix_list.h"
#include "core/wpx_prefix.h"
#include "spots/skimmer_line.h"
#include "spots/spot_marks.h"

namespace {

using namespace wexon;

constexpr int kLogSize = 13000;
constexpr int kSpots = 5000;

std::string benchCall(int i) {
    static const char* kStarts[] = {"K", "W", "JA", "DL", "G", "OH", "VE", "PY", "ZS", "VK"};
    return std::string(kStarts[i % 10]) + std::to_string(i % 9 + 1) +
           static_cast<char>('A' + i % 26) + static_cast<char>('A' + (i / 26) % 26) +
           static_cast<char>('A' + (i / 676) % 26);
}

struct BenchLog {
    std::vector<core::QsoRecord> records;
    core::DupeIndex dupes;
    core::PrefixList prefixes;
    BenchLog() {
        for (int i = 0; i < kLogSize; ++i) {
            core::QsoRecord r;
            r.call = benchCall(i * 3);
            r.band = i % 2 == 0 ? "20" : "40";
            r.prefix = core::derivePrefix(r.call);
            records.push_back(r);
        }
        dupes.rebuild(records);
        prefixes.load(records);
    }
};

BenchLog& benchLog() {
    static BenchLog log;
    return log;
}

struct MarkedSpot {
    std::string call;
    spots::SpotMark mark;
};

spots::StatusRule ruleOf(const BenchLog& log) {
    return [&log](std::string_view call) {
        return core::contactStatus(log.dupes, log.prefixes, call, "20");
    };
}

void BM_RemarkFiveThousandSpotsAfterAContact(benchmark::State& state) {
    BenchLog& log = benchLog();
    std::vector<MarkedSpot> spotsHeld;
    for (int i = 0; i < kSpots; ++i) {
        spotsHeld.push_back({benchCall(i * 7 + 1), {}});
    }
    const spots::StatusRule rule = ruleOf(log);
    spots::remarkAll(spotsHeld, rule);
    for (auto _ : state) {
        benchmark::DoNotOptimize(spots::remarkAll(spotsHeld, rule));
    }
    state.SetItemsProcessed(state.iterations() * kSpots);
}
BENCHMARK(BM_RemarkFiveThousandSpotsAfterAContact)->Unit(benchmark::kMicrosecond);

void BM_MarkOneArrivingSpot(benchmark::State& state) {
    BenchLog& log = benchLog();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            core::contactStatus(log.dupes, log.prefixes, benchCall(++i % 20000), "20"));
    }
}
BENCHMARK(BM_MarkOneArrivingSpot);

void BM_ReadAndTallySkimmerLine(benchmark::State& state) {
    spots::SkimmerTally tally;
    std::vector<std::string> lines;
    for (int i = 0; i < 1000; ++i) {
        lines.push_back("DX de DK" + std::to_string(i % 7) + "IP-#:    " +
                        std::to_string(14000 + i % 300) + ".1  " + benchCall(i % 400) +
                        "       CW    18 dB  26 WPM  CQ      1234Z");
    }
    std::size_t n = 0;
    for (auto _ : state) {
        const auto r = spots::parseSkimmerLine(lines[n++ % lines.size()]);
        benchmark::DoNotOptimize(tally.hear(r->call, r->spotter, r->khz));
    }
}
BENCHMARK(BM_ReadAndTallySkimmerLine);

// A key in the call box: the check-partial list asks, for each of up to 200
// calls it shows, whether that call is spotted on the band (50 spots held).
void BM_SpottedCheckPerKey(benchmark::State& state) {
    spots::SpotStore store;
    std::vector<spots::LabelPlacement> shown;
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        store.add(benchCall(i * 11), 14.0f + i * 0.005f, core::DateTime{});
        shown.push_back({i, 0, 0.0, spots::SpotAge::Fresh});
    }
    spots::SpottedCalls spotted;
    spotted.update(store, shown);
    std::vector<std::string> candidates;
    for (int i = 0; i < 200; ++i) {
        candidates.push_back(benchCall(i * 11));
    }
    std::vector<double> perKeyUs;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        int marked = 0;
        for (const auto& c : candidates) {
            marked += spotted.contains(c) ? 1 : 0;
        }
        benchmark::DoNotOptimize(marked);
        perKeyUs.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(perKeyUs.begin(), perKeyUs.end());
    if (!perKeyUs.empty()) {
        state.counters["median_us"] = perKeyUs[perKeyUs.size() / 2];
        state.counters["p99_us"] = perKeyUs[perKeyUs.size() * 99 / 100];
    }
}
BENCHMARK(BM_SpottedCheckPerKey);

} // namespace

BENCHMARK_MAIN();
