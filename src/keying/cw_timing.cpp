#include "keying/cw_timing.h"

#include <cmath>

namespace wexon::keying {

std::optional<TimingMethod> parseTimingMethod(std::string_view name) {
    if (name == "Timer") {
        return TimingMethod::Timer;
    }
    if (name == "Sleep") {
        return TimingMethod::Sleep;
    }
    if (name == "Loop") {
        return TimingMethod::Loop;
    }
    return std::nullopt;
}

std::string timingMethodName(TimingMethod method) {
    switch (method) {
    case TimingMethod::Sleep:
        return "Sleep";
    case TimingMethod::Loop:
        return "Loop";
    case TimingMethod::Timer:
        break;
    }
    return "Timer";
}

bool isKeyableSpeed(double wpm) {
    return std::isfinite(wpm) && wpm >= kMinWpm && wpm <= kMaxWpm;
}

double unitMilliseconds(double wpm) {
    return 1200.0 / wpm;
}

long sleepMilliseconds(double wpm) {
    return std::lround(unitMilliseconds(wpm));
}

double loopPasses(double loopsPer60ms, double wpm) {
    return loopsPer60ms / wpm * 20.0;
}

double loopsPer60msFromRun(double passes, double elapsedMs) {
    if (!(elapsedMs > 0.0)) {
        elapsedMs = 1.0;
    }
    return std::round(passes / elapsedMs * 60.0);
}

} // namespace wexon::keying
