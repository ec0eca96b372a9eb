// Country lookup on the shipped table: one lookup runs on every key typed into
// the call box, so it has to stay far below what a typist can notice.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <string>

#include "core/country_table.h"
#include "core/file_io.h"

namespace {

const wexon::core::CountryTable& shippedTable() {
    static const wexon::core::CountryTable table = [] {
        const std::string path = std::string(WEXON_SOURCE_DIR) + "/data/arrlpre2.txt";
        auto bytes = wexon::core::readWholeFile(path);
        if (!bytes) {
            std::cerr << "cannot read " << path << "\n";
            std::exit(1);
        }
        auto loaded = wexon::core::CountryTable::load(*bytes);
        if (!loaded.ok()) {
            std::cerr << path << ": " << loaded.error << "\n";
            std::exit(1);
        }
        return std::move(loaded.table);
    }();
    return table;
}

// Calls as they show up in a WPX weekend, long-block prefixes (R, U, 3) included.
constexpr std::array<const char*, 20> kCalls = {
    "K1ABC", "W9XYZ",  "N6TR",   "DL1ABC",   "JA1XYZ", "VK2ABC", "KH6XX",
    "4X1AA", "G4ABC",  "UA9ABC", "RA3ABC",   "PY2AA",  "ZS6ABC", "VE3ABC",
    "OH2BH", "LU1ABC", "BY1AA",  "W1AW/KH6", "KG4ABC", "EA8ABC",
};

void BM_LookupCountry(benchmark::State& state) {
    const auto& table = shippedTable();
    std::size_t next = 0;
    for (auto _ : state) {
        auto result = wexon::core::lookupCountry(table, kCalls[next]);
        benchmark::DoNotOptimize(result);
        next = next + 1 == kCalls.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_LookupCountry);

// The prefix search alone, without building the result texts.
void BM_FindLongestPrefix(benchmark::State& state) {
    const auto& table = shippedTable();
    std::size_t next = 0;
    for (auto _ : state) {
        int index = table.findLongestPrefix(kCalls[next]);
        benchmark::DoNotOptimize(index);
        next = next + 1 == kCalls.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_FindLongestPrefix);

} // namespace
