// A preloadable library for timing runs of the serial key line on a
// pseudo-terminal, which refuses the modem-line ioctls. It answers
// TIOCMBIS, TIOCMBIC, TIOCMSET and TIOCMGET itself, keeping the line state,
// and records every change with its time on the monotonic clock; every other
// ioctl goes to the C library.
//
// Built at run time by the tests and the timing benchmark:
//   c++ -shared -fPIC -O2 -o rts_shim.so rts_shim.cpp
// and read back through wexon_rts_shim_events() found with dlsym.

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <time.h>

extern "C" {

struct WexonShimEvent {
    std::int64_t ns; // monotonic time of the call
    int request;     // 1 set bits, 2 clear bits, 3 set all
    int bits;        // the TIOCM_ bits passed
};

namespace {

constexpr int kMaxEvents = 1 << 16;
WexonShimEvent g_events[kMaxEvents];
std::atomic<int> g_count{0};
std::atomic<int> g_lines{0};

using IoctlFn = int (*)(int, unsigned long, ...);

IoctlFn realIoctl() {
    static IoctlFn fn = reinterpret_cast<IoctlFn>(dlsym(RTLD_NEXT, "ioctl"));
    return fn;
}

void record(int request, int bits) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    int i = g_count.fetch_add(1);
    if (i < kMaxEvents) {
        g_events[i] = {static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec, request,
                       bits};
    }
}

} // namespace

int ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    int* bits = static_cast<int*>(arg);
    switch (request) {
    case TIOCMBIS:
        g_lines.fetch_or(*bits);
        record(1, *bits);
        return 0;
    case TIOCMBIC:
        g_lines.fetch_and(~*bits);
        record(2, *bits);
        return 0;
    case TIOCMSET:
        g_lines.store(*bits);
        record(3, *bits);
        return 0;
    case TIOCMGET:
        *bits = g_lines.load();
        return 0;
    default:
        return realIoctl()(fd, request, arg);
    }
}

// The recorded calls: the count, and the array through `events`.
int wexon_rts_shim_events(const WexonShimEvent** events) {
    *events = g_events;
    int n = g_count.load();
    return n < kMaxEvents ? n : kMaxEvents;
}

void wexon_rts_shim_reset() {
    g_count.store(0);
}
}
