// Start-up cost of a full log: reading a 13000-contact "log.txt" into the store
// with its totals and serial, and building the log list rows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/contest.h"
#include "core/file_io.h"
#include "core/log_file.h"
#include "core/log_list.h"
#include "core/number_format.h"

namespace {

std::string makeFolderWithLog(int contacts) {
    std::string folder = (std::filesystem::temp_directory_path() / "wexon-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::abort();
    }
    const char* bands[] = {"160", "80", "40", "20", "15", "10"};
    std::vector<wexon::core::QsoRecord> records;
    for (int i = 1; i <= contacts; ++i) {
        wexon::core::QsoRecord r;
        r.call = "K" + std::to_string(i % 10) + "A" +
                 std::string(1, static_cast<char>('A' + i % 26)) +
                 std::string(1, static_cast<char>('A' + (i / 26) % 26));
        r.rstReceived = "599";
        r.serialReceived = std::to_string(i % 1500 + 1);
        r.rstSent = "599";
        r.country = i % 3 ? "USA" : "Germany";
        r.qsoDate = "2026/05/30";
        r.qsoTime = wexon::core::zeroPad(i / 3600 % 24, 2) + ":" +
                    wexon::core::zeroPad(i / 60 % 60, 2) + ":" + wexon::core::zeroPad(i % 60, 2);
        r.band = bands[i % 6];
        r.points = static_cast<float>(i % 3 + 1);
        r.prefix = "K" + std::to_string(i % 10);
        r.serialSent = wexon::core::zeroPad(i, 3);
        r.frequency = i % 2 ? "14.025" : "";
        records.push_back(r);
    }
    wexon::core::replaceAtomically(folder + "/log.txt", wexon::core::formatLog(records));
    return folder;
}

void BM_ReadFullLogAtStartup(benchmark::State& state) {
    std::string folder = makeFolderWithLog(13000);
    for (auto _ : state) {
        wexon::core::Contest contest(folder);
        auto load = contest.readLog();
        auto rows = wexon::core::logListRows(contest.qsos(), false);
        auto serial = contest.nextSerial();
        benchmark::DoNotOptimize(load.opened);
        benchmark::DoNotOptimize(rows.data());
        benchmark::DoNotOptimize(serial.data());
        benchmark::DoNotOptimize(contest.totalPoints());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadFullLogAtStartup)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ListAllRows(benchmark::State& state) {
    std::string folder = makeFolderWithLog(13000);
    wexon::core::Contest contest(folder);
    contest.readLog();
    for (auto _ : state) {
        auto rows = wexon::core::logListRows(contest.qsos(), true);
        benchmark::DoNotOptimize(rows.data());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ListAllRows)->Unit(benchmark::kMillisecond);

} // namespace
