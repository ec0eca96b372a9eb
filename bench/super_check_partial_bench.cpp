// The known-calls search as the operator types: a few hundred calls typed one
// character at a time against the full file of known calls, each keystroke's
// search timed on its own. The piece index runs beside the plain scan (a find
// in every call), and the median and 99th percentile per keystroke are printed
// for both. Reading the file and gathering the log's calls on a band, which
// happen once per file change and once per contact, are timed too.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/qso_record.h"
#include "core/super_check_partial.h"

namespace {

using namespace wexon::core;
using Clock = std::chrono::steady_clock;

// The shipped file when the machine has it, else calls shaped like it.
const std::string& fileText() {
    static const std::string text = [] {
        if (auto bytes = readWholeFile(kCheckPartialSystemFile)) {
            return *bytes;
        }
        std::mt19937 rng(5);
        const char* prefixes[] = {"K", "W", "N", "AA", "VE", "DL", "G", "JA", "EA", "OH"};
        std::string out;
        for (int i = 0; i < 85000; ++i) {
            std::string call = prefixes[rng() % 10];
            call += static_cast<char>('0' + rng() % 10);
            for (unsigned k = 0, n = 1 + rng() % 3; k < n; ++k) {
                call += static_cast<char>('A' + rng() % 26);
            }
            out += call + "\n";
        }
        return out;
    }();
    return text;
}

const SuperCheckPartial& calls() {
    static const SuperCheckPartial scp = SuperCheckPartial::fromText(fileText());
    return scp;
}

// What gets typed: 300 known calls spread over the file, and 100 of them with
// one character copied wrong, as a busted call would be.
const std::vector<std::string>& typedCalls() {
    static const std::vector<std::string> typed = [] {
        const SuperCheckPartial& scp = calls();
        std::vector<std::string> out;
        std::mt19937 rng(17);
        for (std::size_t i = 0; i < 300; ++i) {
            out.emplace_back(scp.call(static_cast<std::uint32_t>(i * scp.size() / 300)));
        }
        const std::string symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (std::size_t i = 0; i < 100; ++i) {
            std::string busted = out[i * 3];
            busted[rng() % busted.size()] = symbols[rng() % symbols.size()];
            out.push_back(busted);
        }
        return out;
    }();
    return typed;
}

constexpr std::size_t kLimit = 200; // what the window asks for

struct Figures {
    double medianUs = 0;
    double p99Us = 0;
    std::size_t keystrokes = 0;
};

template <typename Search> Figures timeTyping(Search search) {
    std::vector<double> us;
    std::size_t sink = 0;
    for (const std::string& call : typedCalls()) {
        for (std::size_t n = SuperCheckPartial::kMinTyped; n <= call.size(); ++n) {
            const std::string text = call.substr(0, n);
            const auto start = Clock::now();
            const SuperCheckPartial::Matches m = search(text);
            const auto end = Clock::now();
            sink += m.total + m.calls.size();
            us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    benchmark::DoNotOptimize(sink);
    std::sort(us.begin(), us.end());
    Figures f;
    f.keystrokes = us.size();
    f.medianUs = us[us.size() / 2];
    f.p99Us = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    return f;
}

void report(benchmark::State& state, const char* name, const Figures& f) {
    state.counters["median_us"] = f.medianUs;
    state.counters["p99_us"] = f.p99Us;
    state.counters["keystrokes"] = static_cast<double>(f.keystrokes);
    std::printf("%-8s %zu calls, %zu keystrokes: median %.1f us, 99th percentile %.1f us\n", name,
                calls().size(), f.keystrokes, f.medianUs, f.p99Us);
}

void BM_KeystrokeIndexed(benchmark::State& state) {
    const SuperCheckPartial& scp = calls();
    for (auto _ : state) {
        report(state, "index", timeTyping([&](const std::string& t) { return scp.search(t, kLimit); }));
    }
}
BENCHMARK(BM_KeystrokeIndexed)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_KeystrokeLinear(benchmark::State& state) {
    const SuperCheckPartial& scp = calls();
    for (auto _ : state) {
        report(state, "linear",
               timeTyping([&](const std::string& t) { return scp.searchLinear(t, kLimit); }));
    }
}
BENCHMARK(BM_KeystrokeLinear)->Iterations(1)->Unit(benchmark::kMillisecond);

// Reading the file's bytes into sorted calls with their index.
void BM_BuildFromFile(benchmark::State& state) {
    const std::string& text = fileText();
    for (auto _ : state) {
        SuperCheckPartial scp = SuperCheckPartial::fromText(text);
        benchmark::DoNotOptimize(scp.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_BuildFromFile)->Unit(benchmark::kMillisecond);

// The log's calls on one band, gathered after each contact: a full log of
// 13000 contacts over six bands.
void BM_WorkedOnBandFullLog(benchmark::State& state) {
    std::vector<QsoRecord> log;
    const char* bands[] = {"160", "80", "40", "20", "15", "10"};
    for (int i = 0; i < 13000; ++i) {
        QsoRecord r;
        r.call = std::string(calls().call(static_cast<std::uint32_t>(i * 7 % calls().size())));
        r.band = bands[i % 6];
        log.push_back(r);
    }
    for (auto _ : state) {
        auto worked = callsWorkedOnBand(log, "20");
        benchmark::DoNotOptimize(worked.data());
    }
}
BENCHMARK(BM_WorkedOnBandFullLog)->Unit(benchmark::kMicrosecond);

} // namespace
