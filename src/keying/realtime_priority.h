#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace wexon::keying {

// The real-time priority the keying thread asks for (SCHED_FIFO or SCHED_RR).
inline constexpr int kKeyingPriority = 10;
// The longest a real-time thread of this program runs without blocking, in
// microseconds (RLIMIT_RTTIME). The policy service requires the process to
// set such a limit before it hands out real-time priority; the keying thread
// never spins for more than a few milliseconds between sleeps.
inline constexpr long long kRunLimitUs = 200'000;

// The desktop's real-time policy service (RealtimeKit on the system bus),
// which grants real-time priority to ordinary users' threads within limits.
class RealTimeService {
  public:
    struct Limits {
        int maxPriority = 0;      // the highest priority it hands out
        long long runLimitUs = 0; // the largest RLIMIT_RTTIME it accepts
    };
    virtual ~RealTimeService() = default;
    // Its limits; nothing, with `why` set, when it cannot be reached.
    virtual std::optional<Limits> limits(std::string& why) = 0;
    // Asks for `priority` for the thread `threadId` (a kernel thread id) of
    // this process. False, with `why` set, when refused.
    virtual bool makeThreadRealtime(std::uint64_t threadId, int priority, std::string& why) = 0;
};

// The calls into the kernel, so the decision can be tested without them.
struct RealTimeSystem {
    // SCHED_FIFO at `priority` for the calling thread; false when refused.
    std::function<bool(int priority)> setFifo;
    // Sets RLIMIT_RTTIME for the process; false when it cannot.
    std::function<bool(long long us)> limitRunTime;
    // The calling thread's kernel thread id.
    std::function<std::uint64_t()> threadId;
};

// The Linux calls.
RealTimeSystem linuxRealTimeSystem();

// What the keying thread asks for when it starts. Converts from a bool so a
// test can turn the request off with `false`.
struct RealTimeRequest {
    RealTimeRequest(bool wanted = true) : wanted(wanted) {} // NOLINT: converting on purpose
    bool wanted = true;
    RealTimeService* service = nullptr;
    RealTimeSystem system = linuxRealTimeSystem();
};

// How the keying thread got its priority.
struct RealTimeGrant {
    enum class Way {
        NotAsked, // real time was not wanted
        Direct,   // the kernel granted it (privileges, or a real-time limit)
        Service,  // the policy service granted it
        Refused,  // neither: the thread runs at ordinary priority
    };
    Way way = Way::NotAsked;
    int priority = 0;
    std::string reason; // why it was refused
};

// Runs on the keying thread itself: SCHED_FIFO straight from the kernel; when
// that is refused, the policy service is asked (after the process's run limit
// has been set to what the service accepts), at no more than the priority it
// hands out.
RealTimeGrant obtainRealTime(const RealTimeRequest& request);

// The operator's message line when real time was refused; empty otherwise.
// The reason comes from outside the program and is cut to plain printable
// text.
std::string realTimeRefusedText(const RealTimeGrant& grant);

} // namespace wexon::keying
