// How the keying thread comes by real-time priority: straight from the
// kernel, else from the desktop's real-time service within its limits, and
// what the operator is told when neither grants it.
#include "keying/realtime_priority.h"

#include <gtest/gtest.h>

namespace wexon::keying {
namespace {

// The kernel and the service, recording what was asked of them in order.
struct FakeSystem {
    bool fifoGranted = false;
    bool limitAccepted = true;
    std::vector<std::string> calls;
    RealTimeSystem system() {
        RealTimeSystem s;
        s.setFifo = [this](int priority) {
            calls.push_back("fifo " + std::to_string(priority));
            return fifoGranted;
        };
        s.limitRunTime = [this](long long us) {
            calls.push_back("limit " + std::to_string(us));
            return limitAccepted;
        };
        s.threadId = [] { return std::uint64_t{4242}; };
        return s;
    }
};

class FakeService : public RealTimeService {
  public:
    explicit FakeService(std::vector<std::string>& calls) : m_calls(calls) {}
    bool reachable = true;
    bool grants = true;
    Limits given{20, 200000};
    std::optional<Limits> limits(std::string& why) override {
        m_calls.push_back("limits?");
        if (!reachable) {
            why = "org.freedesktop.DBus.Error.ServiceUnknown";
            return std::nullopt;
        }
        return given;
    }
    bool makeThreadRealtime(std::uint64_t threadId, int priority, std::string& why) override {
        m_calls.push_back("ask " + std::to_string(threadId) + " " + std::to_string(priority));
        if (!grants) {
            why = "Operation not permitted";
        }
        return grants;
    }

  private:
    std::vector<std::string>& m_calls;
};

using Calls = std::vector<std::string>;

TEST(RealTimeDecision, TheKernelFirstAndTheServiceIsThenNotAsked) {
    FakeSystem sys;
    sys.fifoGranted = true;
    FakeService service(sys.calls);
    RealTimeRequest request;
    request.system = sys.system();
    request.service = &service;
    RealTimeGrant g = obtainRealTime(request);
    EXPECT_EQ(g.way, RealTimeGrant::Way::Direct);
    EXPECT_EQ(g.priority, kKeyingPriority);
    // No run limit either: nothing asked for it.
    EXPECT_EQ(sys.calls, Calls{"fifo 10"});
    EXPECT_EQ(realTimeRefusedText(g), "");
}

TEST(RealTimeDecision, RefusedByTheKernelTheServiceIsAskedAfterTheRunLimitIsSet) {
    FakeSystem sys;
    FakeService service(sys.calls);
    RealTimeRequest request;
    request.system = sys.system();
    request.service = &service;
    RealTimeGrant g = obtainRealTime(request);
    EXPECT_EQ(g.way, RealTimeGrant::Way::Service);
    EXPECT_EQ(sys.calls, (Calls{"fifo 10", "limits?", "limit 200000", "ask 4242 10"}));
    EXPECT_EQ(realTimeRefusedText(g), "");
}

TEST(RealTimeDecision, TheServicesCeilingsAreKept) {
    FakeSystem sys;
    FakeService service(sys.calls);
    service.given = {5, 50000};
    RealTimeRequest request;
    request.system = sys.system();
    request.service = &service;
    RealTimeGrant g = obtainRealTime(request);
    EXPECT_EQ(g.way, RealTimeGrant::Way::Service);
    EXPECT_EQ(g.priority, 5);
    EXPECT_EQ(sys.calls, (Calls{"fifo 10", "limits?", "limit 50000", "ask 4242 5"}));

    // A service that reports no run limit leaves the program's own.
    sys.calls.clear();
    service.given = {20, 0};
    obtainRealTime(request);
    EXPECT_EQ(sys.calls[2], "limit 200000");
}

TEST(RealTimeDecision, RefusalsSayWhy) {
    struct Case {
        const char* name;
        bool reachable, grants, limitAccepted;
        int maxPriority;
        const char* reason;
        Calls calls;
    };
    const Case cases[] = {
        {"no service",
         false,
         true,
         true,
         20,
         "org.freedesktop.DBus.Error.ServiceUnknown",
         {"fifo 10", "limits?"}},
        {"refused",
         true,
         false,
         true,
         20,
         "Operation not permitted",
         {"fifo 10", "limits?", "limit 200000", "ask 4242 10"}},
        {"no priority",
         true,
         true,
         true,
         0,
         "hands out no real-time priority",
         {"fifo 10", "limits?"}},
        {"no limit",
         true,
         true,
         false,
         20,
         "run limit could not be set",
         {"fifo 10", "limits?", "limit 200000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem sys;
        sys.limitAccepted = c.limitAccepted;
        FakeService service(sys.calls);
        service.reachable = c.reachable;
        service.grants = c.grants;
        service.given.maxPriority = c.maxPriority;
        RealTimeRequest request;
        request.system = sys.system();
        request.service = &service;
        RealTimeGrant g = obtainRealTime(request);
        EXPECT_EQ(g.way, RealTimeGrant::Way::Refused);
        EXPECT_NE(g.reason.find(c.reason), std::string::npos) << g.reason;
        EXPECT_EQ(sys.calls, c.calls);
        EXPECT_NE(realTimeRefusedText(g).find(c.reason), std::string::npos);
    }

    // Without a service the kernel's answer is the last word.
    FakeSystem sys;
    RealTimeRequest request;
    request.system = sys.system();
    EXPECT_EQ(obtainRealTime(request).way, RealTimeGrant::Way::Refused);
    EXPECT_EQ(sys.calls, Calls{"fifo 10"});
}

TEST(RealTimeDecision, NotWantedAsksNobody) {
    FakeSystem sys;
    FakeService service(sys.calls);
    RealTimeRequest request(false);
    request.system = sys.system();
    request.service = &service;
    EXPECT_EQ(obtainRealTime(request).way, RealTimeGrant::Way::NotAsked);
    EXPECT_TRUE(sys.calls.empty());
}

TEST(RealTimeDecision, TheReasonShownIsPlainShortText) {
    RealTimeGrant g;
    g.way = RealTimeGrant::Way::Refused;
    g.reason = "<b>bold</b>\n&amp;" + std::string(300, 'x') + "\x01";
    std::string text = realTimeRefusedText(g);
    EXPECT_EQ(text.find('<'), std::string::npos);
    EXPECT_EQ(text.find('&'), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_LT(text.size(), 220u);
    EXPECT_EQ(text.rfind("CW keying runs without real-time priority", 0), 0u);
}

} // namespace
} // namespace wexon::keying
