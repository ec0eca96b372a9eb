// Export speed on a full log: the Cabrillo and ADIF files of 13000 contacts
// (text alone, and written to disk the safe way), and the rate graph.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "core/file_io.h"
#include "core/number_format.h"
#include "output/adif.h"
#include "output/cabrillo.h"
#include "output/rate_graph.h"

using namespace wexon;

namespace {

const char* kBands[] = {"160", "80", "40", "20", "15", "10"};
const char* kCountries[] = {"USA", "Germany", "Japan", "England", "Brazil", "Alaska"};

// 13000 contacts over 48 hours, bursts and pauses, a frequency on every third.
const std::vector<core::QsoRecord>& fullLog() {
    static const std::vector<core::QsoRecord> log = [] {
        std::vector<core::QsoRecord> v;
        v.reserve(13000);
        core::DateTime t{2026, 3, 28, 0, 0, 0};
        for (int i = 0; i < 13000; ++i) {
            t = t.addSeconds(i % 500 == 499 ? 1800 : 13);
            core::QsoRecord q;
            q.call = "K" + std::to_string(i % 10) + "A" + std::to_string(i);
            q.rstReceived = "599";
            q.serialReceived = std::to_string(i % 3000 + 1);
            q.rstSent = "599";
            q.country = kCountries[i % 6];
            q.qsoDate = core::formatDate(t);
            q.qsoTime = core::formatTime(t);
            q.band = kBands[(i / 400) % 6];
            q.points = static_cast<float>(i % 6 + 1);
            q.prefix = "K" + std::to_string(i % 10);
            q.serialSent = core::zeroPad(i + 1, 3);
            q.frequency = i % 3 == 0 ? "14.025" : "";
            v.push_back(q);
        }
        return v;
    }();
    return log;
}

output::DxccTable dxcc() {
    output::DxccTable t;
    const char* names[] = {"USA", "Germany", "Japan", "England", "Brazil", "Alaska"};
    int numbers[] = {291, 230, 339, 223, 108, 6};
    for (int i = 0; i < 6; ++i) {
        t.add(names[i], numbers[i]);
    }
    for (int i = 0; i < 330; ++i) {
        t.add("Country number " + std::to_string(i), 400 + i);
    }
    return t;
}

output::CabrilloLog cabrilloLog() {
    output::CabrilloLog log;
    log.ownCall = "W1AW";
    log.contestMode = "CW";
    log.qsos = &fullLog();
    log.totalPoints = 45000;
    log.prefixCount = 3000;
    return log;
}

output::AdifExport adifOptions() {
    output::AdifExport e;
    e.programTitle = "Wexon - CQ WPX Contest Logger";
    e.exportDate = "03/30/2026";
    e.contestMode = "CW";
    e.power = "100";
    e.comment = "CQ WPX Contest";
    return e;
}

std::string tempFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_CabrilloText(benchmark::State& state) {
    output::SummarySheet sheet;
    auto log = cabrilloLog();
    for (auto _ : state) {
        benchmark::DoNotOptimize(output::writeCabrillo(sheet, log));
    }
}
BENCHMARK(BM_CabrilloText)->Unit(benchmark::kMillisecond);

void BM_CabrilloFile(benchmark::State& state) {
    output::SummarySheet sheet;
    auto log = cabrilloLog();
    const std::string path = tempFile("wexon_bench.cbr");
    for (auto _ : state) {
        auto r = core::replaceAtomically(path, output::writeCabrillo(sheet, log));
        benchmark::DoNotOptimize(r);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_CabrilloFile)->Unit(benchmark::kMillisecond);

void BM_AdifText(benchmark::State& state) {
    auto table = dxcc();
    auto e = adifOptions();
    for (auto _ : state) {
        benchmark::DoNotOptimize(output::writeAdif(fullLog(), e, table));
    }
}
BENCHMARK(BM_AdifText)->Unit(benchmark::kMillisecond);

void BM_AdifFile(benchmark::State& state) {
    auto table = dxcc();
    auto e = adifOptions();
    const std::string path = tempFile("wexon_bench.adi");
    for (auto _ : state) {
        auto r = core::replaceAtomically(path, output::writeAdif(fullLog(), e, table));
        benchmark::DoNotOptimize(r);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_AdifFile)->Unit(benchmark::kMillisecond);

void BM_RateGraph(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(output::computeRateGraph(fullLog(), 0xFFFFFF));
    }
}
BENCHMARK(BM_RateGraph)->Unit(benchmark::kMillisecond);

} // namespace
