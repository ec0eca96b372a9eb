// Element-length accuracy of the software keyer as an ordinary user gets it:
// the keying thread takes the priority it can (the kernel, the desktop's
// real-time service, or none), then PARIS is keyed into a recording line at
// 20 and 40 WPM. Each element (key down or key up stretch) is compared with
// its ideal length; "shortest" is the most an element came out shorter than
// it should, which the keyer never allows by design (it slips instead).
//
// Load is not made here: run it beside the load to be measured (two spinning
// shell processes for the figures in docs/keying.md), as the user to be
// measured (`prlimit --rtprio=0` for an ordinary desktop user).
// WEXON_CW_BENCH_REPS sets the number of PARIS words (default 20);
// WEXON_CW_RT=none keeps the thread at ordinary priority, =kernel asks the
// kernel only, anything else asks the kernel and then the service.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "keying/cw_engine.h"
#include "keying/edge_timing.h"
#include "keying/element_clock.h"
#include "keying/recording_key_line.h"
#include "platform/realtime_kit.h"

namespace {

using namespace wexon;

int repetitions() {
    const char* env = std::getenv("WEXON_CW_BENCH_REPS");
    int n = env != nullptr ? std::atoi(env) : 20;
    return n > 0 ? n : 20;
}

const char* wayName(keying::RealTimeGrant::Way way) {
    switch (way) {
    case keying::RealTimeGrant::Way::NotAsked:
        return "not asked";
    case keying::RealTimeGrant::Way::Direct:
        return "kernel";
    case keying::RealTimeGrant::Way::Service:
        return "service";
    case keying::RealTimeGrant::Way::Refused:
        return "refused";
    }
    return "?";
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    auto i = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size()))) - 1;
    return v[std::min(i, v.size() - 1)];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* rt = std::getenv("WEXON_CW_RT");
    const std::string mode = rt != nullptr ? rt : "service";
    platform::RealtimeKitService service;
    std::string text;
    for (int i = 0; i < repetitions(); ++i) {
        text += "PARIS ";
    }
    const std::string units = keying::unitsOfText(text);
    for (double wpm : {20.0, 40.0}) {
        keying::MonotonicElementClock clock;
        keying::RecordingKeyLine line(clock);
        keying::RealTimeRequest request(mode != "none");
        request.service = mode == "kernel" ? nullptr : &service;
        keying::CwEngine engine(clock, nullptr, request);
        engine.setInterface(1);
        engine.setSpeed(wpm);
        engine.setTimingMethod(keying::TimingMethod::Timer);
        engine.setKeyLine(&line);
        engine.appendAndPump(text);
        engine.waitUntilIdle(std::chrono::minutes(10));
        engine.setKeyLine(nullptr);

        const auto edges = line.edges();
        const double unitNs = keying::unitMilliseconds(wpm) * 1e6;
        const auto ideal = keying::idealEdgeOffsets(units, unitNs);
        std::vector<double> errorsUs;
        double shortestUs = 0;
        const std::size_t n = std::min(edges.size(), ideal.size());
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const double actual = static_cast<double>(edges[i + 1].ns - edges[i].ns);
            const double want = static_cast<double>(ideal[i + 1] - ideal[i]);
            const double errorUs = (actual - want) / 1000.0;
            errorsUs.push_back(std::abs(errorUs));
            shortestUs = std::min(shortestUs, errorUs);
        }
        const double slipMs =
            n > 1 ? static_cast<double>((edges[n - 1].ns - edges[0].ns) - ideal[n - 1]) / 1e6 : 0;
        const keying::RealTimeGrant grant = engine.realTimeGrant();
        std::printf("%2.0f WPM  priority: %-9s %-40s elements %zu/%zu  element error p50 %.0f us  "
                    "p99 %.0f us  max %.0f us  shortest %.0f us  message slipped %.1f ms\n",
                    wpm, wayName(grant.way), grant.reason.substr(0, 40).c_str(), errorsUs.size(),
                    ideal.size() > 0 ? ideal.size() - 1 : 0, percentile(errorsUs, 0.5),
                    percentile(errorsUs, 0.99), percentile(errorsUs, 1.0), shortestUs, slipMs);
        std::fflush(stdout);
    }
    return 0;
}
