// The domain work of logging one contact (Enter in the entry row) on a full
// log, without the disk write: the completeness check, the exact duplicate
// check through the index, the record, the store, the duplicate index and the
// prefix list, the next serial, the score labels with the prefixes-worked
// text, the rates, and the row cleared. Every contact of the 13000 is on the
// current band. Each contact is timed on its own; the median and the 99th
// percentile are printed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <time.h>
#include <vector>

#include "core/completeness.h"
#include "core/contact_builder.h"
#include "core/date_time.h"
#include "core/dupe_check.h"
#include "core/dupe_index.h"
#include "core/entry_row.h"
#include "core/prefix_list.h"
#include "core/qso_rates.h"
#include "core/score.h"
#include "core/serials.h"
#include "core/wpx_prefix.h"

namespace {

using namespace wexon::core;

constexpr int kLogSize = 13000;
constexpr int kContacts = 2000;
constexpr const char* kBand = "20";

// Calls with many different prefixes: two letters, a district digit, a suffix.
std::string makeCall(std::mt19937& rng) {
    std::uniform_int_distribution<int> letter(0, 25);
    std::uniform_int_distribution<int> digit(0, 9);
    std::string call;
    call += static_cast<char>('A' + letter(rng));
    call += static_cast<char>('A' + letter(rng));
    call += static_cast<char>('0' + digit(rng));
    for (int i = 0; i < 3; ++i) {
        call += static_cast<char>('A' + letter(rng));
    }
    return call;
}

struct Log {
    std::vector<QsoRecord> records;
    DupeIndex dupes;
    PrefixList prefixes;
    std::int32_t totalPoints = 0;
};

const DateTime kNowLocal{2026, 5, 30, 7, 0, 0};
constexpr double kOffset = 5.0;

Log makeLog() {
    Log log;
    std::mt19937 rng(7);
    const DateTime nowUtc = kNowLocal.addMinutes(static_cast<int>(kOffset * 60));
    log.records.reserve(kLogSize + kContacts);
    for (int i = 0; i < kLogSize; ++i) {
        QsoRecord r;
        r.call = makeCall(rng);
        r.rstReceived = "599";
        r.serialReceived = std::to_string(i + 1);
        r.rstSent = "599";
        r.country = "Somewhere";
        // One contact every 10 seconds up to now.
        const DateTime at = nowUtc.addSeconds(-10 * (kLogSize - i));
        r.qsoDate = formatDate(at);
        r.qsoTime = formatTime(at);
        r.band = kBand;
        r.points = 3;
        r.prefix = derivePrefix(r.call);
        r.serialSent = std::to_string(i + 1);
        log.totalPoints += 3;
        log.records.push_back(std::move(r));
    }
    log.dupes.rebuild(log.records);
    log.prefixes.load(log.records);
    return log;
}

// CPU time of this thread: on a loaded machine the wall clock also counts the
// time the thread waited for a processor.
double threadCpuMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

struct Timing {
    double wallMicros = 0;
    double cpuMicros = 0;
};

Timing oneMains(Log& log, EntryRow& row, const std::string& call, int serial) {
    row.setText(EntryBox::Call, call);
    row.setText(EntryBox::Rstr, "599");
    row.setText(EntryBox::Sec, std::to_string(serial));
    row.setText(EntryBox::Rsts, "599");
    row.setText(EntryBox::Cntry, "Somewhere");
    row.setText(EntryBox::Pref, derivePrefix(call));
    row.setText(EntryBox::Points, "3");

    const double cpuStart = threadCpuMicros();
    const auto start = std::chrono::steady_clock::now();
    std::size_t work = 0;
    const EntryTexts texts = EntryTexts::from(row);
    const CompletenessResult complete = checkCompleteness(texts);
    const DupeCheck dupe = dupcheck(log.dupes, log.records, texts.call, kBand, false);
    if (!complete.incomplete && !dupe.found()) {
        row.setText(EntryBox::Points, pointsOrZero(texts.points));
        ContactContext context;
        context.band = kBand;
        context.serialSent = labelIncrement(log.records, false, kBand);
        QsoRecord record =
            buildContact(EntryTexts::from(row), context, kNowLocal.addMinutes(kOffset * 60.0));
        log.totalPoints += static_cast<std::int32_t>(record.points);
        log.records.push_back(record);
        log.dupes.add(record);
        if (log.prefixes.addCheck(record.prefix)) {
            // The window rewrites its list of prefixes worked only when it grew.
            work += log.prefixes.displayText().size();
        }
        work += labelIncrement(log.records, true, kBand).size();
    }
    row.clearAfterContact();
    const ScoreLabels labels =
        labelDisplay(static_cast<int>(log.records.size()), log.prefixes.count(), log.totalPoints);
    work += labels.lblTotScore.size();
    if (auto rates = qsoRates(log.records, rateMoment(kNowLocal, kOffset))) {
        work += static_cast<std::size_t>(rates->lastHour);
    }
    benchmark::DoNotOptimize(work);
    const auto end = std::chrono::steady_clock::now();
    const double cpuEnd = threadCpuMicros();
    return {std::chrono::duration<double, std::micro>(end - start).count(), cpuEnd - cpuStart};
}

void BM_Mains(benchmark::State& state) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : state) {
        state.PauseTiming();
        Log log = makeLog();
        EntryRow row;
        row.setContestMode("CW");
        std::mt19937 rng(99);
        std::vector<std::string> calls;
        for (int i = 0; i < kContacts; ++i) {
            calls.push_back(makeCall(rng));
        }
        state.ResumeTiming();
        for (int i = 0; i < kContacts; ++i) {
            Timing t = oneMains(log, row, calls[static_cast<std::size_t>(i)], i + 1);
            wall.push_back(t.wallMicros);
            cpu.push_back(t.cpuMicros);
        }
    }
    auto at = [](std::vector<double>& v, double q) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
    };
    const double wallMedian = at(wall, 0.5);
    const double wallP99 = at(wall, 0.99);
    const double cpuMedian = at(cpu, 0.5);
    const double cpuP99 = at(cpu, 0.99);
    state.counters["median_us"] = wallMedian;
    state.counters["p99_us"] = wallP99;
    state.counters["cpu_median_us"] = cpuMedian;
    state.counters["cpu_p99_us"] = cpuP99;
    std::printf("Mains without the write, %d contacts logged onto %d (all on one band):\n"
                "  wall clock: median %.2f us, p99 %.2f us\n"
                "  thread CPU: median %.2f us, p99 %.2f us\n",
                kContacts, kLogSize, wallMedian, wallP99, cpuMedian, cpuP99);
}

BENCHMARK(BM_Mains)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
