#include "keying/element_clock.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>
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
    volatile double count = 0;
    while (count < passes) {
        count = count + 1;
    }
}

bool requestRealTimeScheduling() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

} // namespace wexon::keying
