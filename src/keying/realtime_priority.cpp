#include "keying/realtime_priority.h"

#include <algorithm>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace wexon::keying {

namespace {

constexpr std::size_t kReasonLimit = 120;

std::string plainReason(const std::string& reason) {
    std::string out;
    for (char c : reason) {
        if (out.size() >= kReasonLimit) {
            break;
        }
        // Printable ASCII without the characters that could start markup.
        if (c >= 0x20 && c < 0x7F && c != '<' && c != '>' && c != '&') {
            out += c;
        } else if (c == '\n' || c == '\t') {
            out += ' ';
        }
    }
    return out;
}

} // namespace

RealTimeSystem linuxRealTimeSystem() {
    RealTimeSystem s;
    s.setFifo = [](int priority) {
        sched_param param{};
        param.sched_priority = priority;
        return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    };
    s.limitRunTime = [](long long us) {
        rlimit limit{};
        if (getrlimit(RLIMIT_RTTIME, &limit) != 0) {
            return false;
        }
        const auto wanted = static_cast<rlim_t>(us);
        // Only ever lowered: a smaller limit someone already set is kept.
        if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > wanted) {
            limit.rlim_max = wanted;
        }
        if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
        }
        return setrlimit(RLIMIT_RTTIME, &limit) == 0;
    };
    s.threadId = [] { return static_cast<std::uint64_t>(gettid()); };
    return s;
}

RealTimeGrant obtainRealTime(const RealTimeRequest& request) {
    RealTimeGrant grant;
    if (!request.wanted) {
        return grant;
    }
    const RealTimeSystem& sys = request.system;
    if (sys.setFifo && sys.setFifo(kKeyingPriority)) {
        grant.way = RealTimeGrant::Way::Direct;
        grant.priority = kKeyingPriority;
        return grant;
    }
    grant.way = RealTimeGrant::Way::Refused;
    if (request.service == nullptr) {
        grant.reason = "the system refused it and no real-time service is available";
        return grant;
    }
    std::string why;
    auto limits = request.service->limits(why);
    if (!limits) {
        grant.reason = why.empty() ? "the real-time service cannot be reached" : why;
        return grant;
    }
    const int priority = std::min(kKeyingPriority, limits->maxPriority);
    if (priority < 1) {
        grant.reason = "the real-time service hands out no real-time priority";
        return grant;
    }
    long long runLimit = kRunLimitUs;
    if (limits->runLimitUs > 0) {
        runLimit = std::min(runLimit, limits->runLimitUs);
    }
    if (!sys.limitRunTime || !sys.limitRunTime(runLimit)) {
        grant.reason = "the real-time run limit could not be set";
        return grant;
    }
    if (!sys.threadId || !request.service->makeThreadRealtime(sys.threadId(), priority, why)) {
        grant.reason = why.empty() ? "the real-time service refused it" : why;
        return grant;
    }
    grant.way = RealTimeGrant::Way::Service;
    grant.priority = priority;
    return grant;
}

std::string realTimeRefusedText(const RealTimeGrant& grant) {
    if (grant.way != RealTimeGrant::Way::Refused) {
        return {};
    }
    std::string text = "CW keying runs without real-time priority";
    const std::string reason = plainReason(grant.reason);
    if (!reason.empty()) {
        text += " (" + reason + ")";
    }
    text += "; elements may be uneven on a busy computer.";
    return text;
}

} // namespace wexon::keying
