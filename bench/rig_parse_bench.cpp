// Parsing one reply of each rig family.
#include <benchmark/benchmark.h>

#include "rig/hex_bytes.h"
#include "rig/rig_protocol.h"

using namespace wexon::rig;

namespace {

struct Case {
    const char* rig;
    std::string reply;
    int nextQuery;
};

void parseOne(benchmark::State& state, const Case& c) {
    const RigProfile& p = profileFor(c.rig);
    RigSettings s;
    s.rigName = c.rig;
    s.frequencyRead = p.frequencyRead ? p.frequencyRead : "";
    s.modeRead = p.modeRead ? p.modeRead : "";
    RigReading r;
    for (auto _ : state) {
        parseReply(p, s, c.nextQuery, c.reply, r);
        benchmark::DoNotOptimize(r.frequency);
        benchmark::ClobberMemory();
    }
}

const Case kCases[] = {
    {"Kenwood", "FA00014025000;MD3;", 0},
    {"Kenwood 2", "IF00014025000     +000000000030000000;", 0},
    {"Icom", bytesFromSpacedHex("FE FE 64 E0 03 FD FE FE E0 64 03 00 50 02 14 00 FD"), 1},
    {"Icom 735", bytesFromSpacedHex("FE FE E0 64 03 00 50 02 14 FD"), 1},
    {"Yaesu", bytesFromSpacedHex("01 40 25 00 02"), 0},
    {"Yaesu 757 GX II", bytesFromSpacedHex("00 00 00 00 00 00 25 40 01 02"), 0},
    {"Yaesu 890", bytesFromSpacedHex("00 00 15 66 84 00 00 02 00 00 00 00 00 00 00 00 00 00"), 0},
    {"Yaesu FTdx9000", "FA14025000;MD03;", 0},
    {"Ten Tec Orion", "@AF14025000\r@RMM3\r", 0},
    {"Ten Tec Fnt Pnl", bytesFromSpacedHex("41 00 D6 01 28 0D"), 1},
};

const int kRegistered = [] {
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("Parse/") + c.rig).c_str(), parseOne, c);
    }
    return 0;
}();

} // namespace
