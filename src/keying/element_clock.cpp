#include "keying/element_clock.h"

#include <algorithm>
#include <cerrno>
#include <time.h>

namespace wexon::keying {

namespace {

std::int64_t toNs(const timespec& ts) {
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

timespec fromNs(std::int64_t ns) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    return ts;
}

} // namespace

std::int64_t MonotonicElementClock::nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return toNs(ts);
}

void MonotonicElementClock::sleepUntilNs(std::int64_t deadlineNs) {
    std::int64_t wake = deadlineNs - m_spinNs;
    if (wake > nowNs()) {
        timespec ts = fromNs(wake);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
    }
    while (nowNs() < deadlineNs) {
    }
}

void MonotonicElementClock::sleepForMs(long ms) {
    if (ms <= 0) {
        return;
    }
    timespec ts = fromNs(static_cast<std::int64_t>(ms) * 1'000'000);
    timespec rest{};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &ts, &rest) == EINTR) {
        ts = rest;
    }
}

void MonotonicElementClock::spinPasses(double passes) {
    // A real-time thread that runs too long without blocking is killed with
    // the process (the run limit the real-time service requires), and a long
    // count would hold a core meanwhile; so the count blocks for a moment
    // every slice. The calibration counts the same way, so the pause is part
    // of what it measures.
    constexpr double kChunk = 65536;
    constexpr std::int64_t kSliceNs = 20'000'000;
    constexpr std::int64_t kPauseNs = 50'000;
    double done = 0;
    std::int64_t sliceStart = nowNs();
    while (done < passes) {
        const double chunk = std::min(passes - done, kChunk);
        volatile double count = 0;
        while (count < chunk) {
            count = count + 1;
        }
        done += chunk;
        if (done < passes && nowNs() - sliceStart > kSliceNs) {
            timespec pause = fromNs(kPauseNs);
            clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
            sliceStart = nowNs();
        }
    }
}

} // namespace wexon::keying
