// The real RealtimeKit service on the system bus: a thread of this process
// that the kernel refuses real time is made real-time by the service. Skipped,
// with the reason, where there is no system bus or no service to ask.
#include "platform/realtime_kit.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <thread>

namespace wexon::platform {
namespace {

// Errors that say the call itself was wrong, not that the policy said no.
bool callWasMalformed(const std::string& why) {
    for (const char* name : {"InvalidArgs", "UnknownMethod", "UnknownProperty", "UnknownInterface",
                             "InvalidSignature"}) {
        if (why.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(RealtimeKit, AThreadRefusedByTheKernelIsMadeRealTimeByTheService) {
    RealtimeKitService service(3000);
    std::string why;
    auto limits = service.limits(why);
    if (!limits) {
        ASSERT_FALSE(callWasMalformed(why)) << why;
        GTEST_SKIP() << "RealtimeKit cannot be asked here: " << why;
    }
    EXPECT_GT(limits->maxPriority, 0);

    keying::RealTimeGrant grant;
    int policy = -1;
    std::thread keying([&] {
        keying::RealTimeRequest request;
        request.service = &service;
        // As for an ordinary user: the kernel says no.
        request.system.setFifo = [](int) { return false; };
        grant = keying::obtainRealTime(request);
        policy = sched_getscheduler(0);
        // Back to ordinary priority before the thread ends.
        sched_param ordinary{};
        sched_setscheduler(0, SCHED_OTHER, &ordinary);
    });
    keying.join();
    if (grant.way == keying::RealTimeGrant::Way::Refused) {
        ASSERT_FALSE(callWasMalformed(grant.reason)) << grant.reason;
        GTEST_SKIP() << "RealtimeKit's policy refused this process: " << grant.reason;
    }
    EXPECT_EQ(grant.way, keying::RealTimeGrant::Way::Service);
    EXPECT_GT(grant.priority, 0);
    EXPECT_LE(grant.priority, limits->maxPriority);
    EXPECT_EQ(policy & ~SCHED_RESET_ON_FORK, SCHED_RR) << "policy " << policy;
}

TEST(RealtimeKit, WithoutAnApplicationOrBusItSaysWhyAndGrantsNothing) {
    // A thread id no process has: the service, when there, refuses it.
    RealtimeKitService service(1000);
    std::string why;
    if (!service.limits(why)) {
        EXPECT_FALSE(why.empty());
        GTEST_SKIP() << "RealtimeKit cannot be asked here: " << why;
    }
    EXPECT_FALSE(service.makeThreadRealtime(0x7FFFFFFF, 1, why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(callWasMalformed(why)) << why;
}

} // namespace
} // namespace wexon::platform
