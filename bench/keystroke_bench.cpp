// The domain work of one key typed into the call box, on a full log: the
// partial-dupe list, the WPX prefix and its "New" flag, the country lookup and
// the points. Every contact of the 13000 is on the current band, the worst case
// for the partial list. Besides Google Benchmark's mean, each key is timed on
// its own and the median, 99th percentile and maximum are printed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/country_table.h"
#include "core/dupe_check.h"
#include "core/dupe_index.h"
#include "core/file_io.h"
#include "core/prefix_list.h"
#include "core/qso_points.h"
#include "core/wpx_prefix.h"

namespace {

using namespace wexon::core;

constexpr int kLogSize = 13000;
constexpr const char* kBand = "20";

const CountryTable& shippedTable() {
    static const CountryTable table = [] {
        const std::string path = std::string(WEXON_SOURCE_DIR) + "/data/arrlpre2.txt";
        auto bytes = readWholeFile(path);
        if (!bytes) {
            std::cerr << "cannot read " << path << "\n";
            std::exit(1);
        }
        auto loaded = CountryTable::load(*bytes);
        if (!loaded.ok()) {
            std::cerr << path << ": " << loaded.error << "\n";
            std::exit(1);
        }
        return std::move(loaded.table);
    }();
    return table;
}

// Prefixes in rough proportion to a WPX weekend: North America heavy, then
// Europe and Japan, a tail of everything else.
struct WeightedPrefix {
    const char* prefix;
    int weight;
};
constexpr std::array<WeightedPrefix, 36> kPrefixes{{
    {"K", 12}, {"W", 12}, {"N", 8},  {"AA", 2}, {"AB", 1}, {"KA", 1}, {"VE", 4}, {"VA", 1},
    {"JA", 6}, {"JH", 2}, {"DL", 6}, {"DK", 2}, {"G", 3},  {"M", 2},  {"I", 3},  {"IK", 2},
    {"EA", 3}, {"F", 3},  {"UA", 3}, {"RA", 2}, {"RW", 1}, {"OH", 2}, {"SP", 2}, {"OK", 2},
    {"YU", 1}, {"PY", 2}, {"LU", 1}, {"VK", 1}, {"ZL", 1}, {"ZS", 1}, {"4X", 1}, {"9A", 1},
    {"S5", 1}, {"HA", 1}, {"LY", 1}, {"ES", 1},
}};

class CallMaker {
  public:
    explicit CallMaker(unsigned seed) : m_rng(seed) {
        for (std::size_t i = 0; i < kPrefixes.size(); ++i) {
            for (int w = 0; w < kPrefixes[i].weight; ++w) {
                m_pool.push_back(i);
            }
        }
    }
    std::string make(const char* forcedPrefix = nullptr) {
        std::uniform_int_distribution<std::size_t> pick(0, m_pool.size() - 1);
        std::uniform_int_distribution<int> digit(0, 9);
        std::uniform_int_distribution<int> suffixLength(1, 3);
        std::uniform_int_distribution<int> letter(0, 25);
        std::string call = forcedPrefix ? forcedPrefix : kPrefixes[m_pool[pick(m_rng)]].prefix;
        call += static_cast<char>('0' + digit(m_rng));
        for (int n = suffixLength(m_rng); n > 0; --n) {
            call += static_cast<char>('A' + letter(m_rng));
        }
        return call;
    }

  private:
    std::mt19937 m_rng;
    std::vector<std::size_t> m_pool;
};

struct Station {
    std::vector<QsoRecord> records;
    DupeIndex dupes;
    PrefixList prefixes;
};

Station makeStation(bool bunched) {
    Station s;
    CallMaker maker(1);
    for (int i = 0; i < kLogSize; ++i) {
        QsoRecord r;
        // Bunched: the first half all K calls, the second all W calls, so that
        // typing a W call finds its matches only late in record order.
        r.call = bunched ? maker.make(i < kLogSize / 2 ? "K" : "W") : maker.make();
        r.band = kBand;
        r.prefix = derivePrefix(r.call);
        s.records.push_back(std::move(r));
    }
    s.dupes.rebuild(s.records);
    s.prefixes.load(s.records);
    return s;
}

struct Key {
    std::string box;
    int key;
};

std::vector<Key> typedKeys(bool bunched) {
    CallMaker maker(2);
    std::vector<Key> keys;
    for (int c = 0; c < 400; ++c) {
        std::string call = bunched ? maker.make("W") : maker.make();
        for (std::size_t i = 0; i < call.size(); ++i) {
            keys.push_back({call.substr(0, i), static_cast<unsigned char>(call[i])});
        }
    }
    return keys;
}

// Everything the domain does for one key in the call box.
std::size_t oneKey(const Station& s, const CountryTable& table, const Key& k) {
    PartialDupes partial = showPartialDupes(s.dupes, {k.box, k.key, kBand, true, true});
    std::string typed = k.box;
    typed += static_cast<char>(k.key);
    std::string prefix = derivePrefix(typed);
    bool isNew = isNewPrefix(s.prefixes, prefix);
    std::size_t work = partial.list.size() + prefix.size() + (isNew ? 1 : 0);
    if (auto country = lookupCountry(table, typed)) {
        std::string points = qsoPointsText(
            {country->country, country->continent, "United States", "NA", "CW", kBand});
        work += country->country.size() + points.size();
    }
    return work;
}

void runKeystroke(benchmark::State& state, bool bunched) {
    const CountryTable& table = shippedTable();
    const Station station = makeStation(bunched);
    const std::vector<Key> keys = typedKeys(bunched);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(oneKey(station, table, keys[next]));
        next = next + 1 == keys.size() ? 0 : next + 1;
    }
}

void runPercentiles(benchmark::State& state, bool bunched) {
    const CountryTable& table = shippedTable();
    const Station station = makeStation(bunched);
    const std::vector<Key> keys = typedKeys(bunched);
    std::vector<double> micros;
    micros.reserve(keys.size() * 5);
    for (auto _ : state) {
        for (int round = 0; round < 5; ++round) {
            for (const Key& k : keys) {
                auto start = std::chrono::steady_clock::now();
                benchmark::DoNotOptimize(oneKey(station, table, k));
                auto end = std::chrono::steady_clock::now();
                micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            }
        }
    }
    std::sort(micros.begin(), micros.end());
    auto at = [&micros](double q) {
        return micros[static_cast<std::size_t>(q * static_cast<double>(micros.size() - 1))];
    };
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = micros.back();
    std::printf("%s: %zu keys, median %.2f us, p99 %.2f us, max %.2f us per key\n",
                bunched ? "matches bunched late" : "realistic log", micros.size(), at(0.5),
                at(0.99), micros.back());
}

void BM_Keystroke(benchmark::State& state) {
    runKeystroke(state, false);
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeBunched(benchmark::State& state) {
    runKeystroke(state, true);
}
BENCHMARK(BM_KeystrokeBunched)->Unit(benchmark::kMicrosecond);

void BM_KeystrokePercentiles(benchmark::State& state) {
    runPercentiles(state, false);
}
BENCHMARK(BM_KeystrokePercentiles)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_KeystrokePercentilesBunched(benchmark::State& state) {
    runPercentiles(state, true);
}
BENCHMARK(BM_KeystrokePercentilesBunched)->Iterations(1)->Unit(benchmark::kMillisecond);

// Keeping the index up to date when a contact is logged: the 13000th contact
// added to an index rebuilt from the first 12999.
void BM_DupeIndexAdd(benchmark::State& state) {
    Station station = makeStation(false);
    QsoRecord last = station.records.back();
    station.records.pop_back();
    for (auto _ : state) {
        DupeIndex index;
        index.rebuild(station.records);
        auto start = std::chrono::steady_clock::now();
        index.add(last);
        auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        benchmark::DoNotOptimize(index.count());
    }
}
BENCHMARK(BM_DupeIndexAdd)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);

// Rebuilding the index after a log read, an edit or a deletion.
void BM_DupeIndexRebuild(benchmark::State& state) {
    const Station station = makeStation(false);
    for (auto _ : state) {
        DupeIndex index;
        index.rebuild(station.records);
        benchmark::DoNotOptimize(index.count());
    }
}
BENCHMARK(BM_DupeIndexRebuild)->Unit(benchmark::kMillisecond);

} // namespace
