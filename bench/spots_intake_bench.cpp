// The domain work of every cluster line: find the columns, take the spot into the
// store and the list (own-call check, country lookup, shift, duplicate removal)
// and place the band map's labels. A busy cluster must never make this show.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/country_table.h"
#include "core/file_io.h"
#include "spots/band_map_layout.h"
#include "spots/spot_intake.h"
#include "spots/spot_line.h"
#include "spots/spot_receiver.h"

namespace {

using namespace wexon;

const core::CountryTable& shippedTable() {
    static const core::CountryTable table = [] {
        const std::string path = std::string(WEXON_SOURCE_DIR) + "/data/arrlpre2.txt";
        auto bytes = core::readWholeFile(path);
        if (!bytes) {
            std::cerr << "cannot read " << path << "\n";
            std::exit(1);
        }
        auto loaded = core::CountryTable::load(*bytes);
        return std::move(loaded.table);
    }();
    return table;
}

std::vector<std::string> clusterLines() {
    const char* calls[] = {"JA1XYZ", "DL1ABC", "K1ABC",  "VK2ABC", "G4ABC",   "UA9ABC", "PY2AA",
                           "ZS6ABC", "VE3ABC", "OH2BH",  "LU1ABC", "EA8ABC",  "4X1AA",  "KH6XX",
                           "BY1AA",  "W1AW/4", "KG4ABC", "RA3ABC", "DL/K1AB", "N6TR"};
    std::vector<std::string> lines;
    for (int i = 0; i < 200; ++i) {
        std::string khz = std::to_string(14000 + (i * 7) % 350) + ".0";
        std::string line = "DX de W1XX:";
        line.resize(15, ' ');
        line += std::string(9 - khz.size(), ' ') + khz + "  " + calls[i % 20];
        line.resize(39, ' ');
        line += "CQ WPX up 2";
        line.resize(70, ' ');
        line += "1234Z";
        lines.push_back(line);
    }
    return lines;
}

void BM_ParseStoreAndPlace(benchmark::State& state) {
    const auto lines = clusterLines();
    const core::CountryTable& table = shippedTable();
    spots::SpotStore store;
    spots::SpotList list;
    const core::DateTime now{2026, 5, 30, 12, 0, 0};
    const auto range = *spots::bandMapRange("20");
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& line = lines[i++ % lines.size()];
        const spots::SpotFields f = spots::spotFields(line);
        auto r = spots::takeInSpot(store, list, table, "K9ZZZ", f.call, f.frequencyText, f.spotText,
                                   now);
        const spots::MapScale scale = spots::zoomedScale(range, store);
        auto labels = spots::bandMapLabels(store, scale, now);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(labels);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ParseStoreAndPlace);

// The whole Telnet receive path: terminal, line buffer, columns, store.
void BM_TelnetChunkToStore(benchmark::State& state) {
    const auto lines = clusterLines();
    std::string chunk;
    for (const auto& l : lines) {
        chunk += l + "\r\n";
    }
    const core::CountryTable& table = shippedTable();
    spots::TerminalText terminal;
    spots::SpotReceiver receiver(terminal);
    spots::SpotStore store;
    spots::SpotList list;
    const core::DateTime now{2026, 5, 30, 12, 0, 0};
    const auto range = *spots::bandMapRange("20");
    for (auto _ : state) {
        spots::Received r = receiver.receiveTelnet(chunk);
        for (const auto& f : r.spots) {
            spots::takeInSpot(store, list, table, "K9ZZZ", f.call, f.frequencyText, f.spotText,
                              now);
            benchmark::DoNotOptimize(
                spots::bandMapLabels(store, spots::zoomedScale(range, store), now));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_TelnetChunkToStore);

// The TNC path, with its 800-character repeat search per line.
void BM_TncLines(benchmark::State& state) {
    const auto lines = clusterLines();
    std::string text;
    for (const auto& l : lines) {
        text += l + "\r\n";
    }
    spots::TerminalText terminal;
    spots::SpotReceiver receiver(terminal);
    for (auto _ : state) {
        benchmark::DoNotOptimize(receiver.receiveTnc(text));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_TncLines);

} // namespace
