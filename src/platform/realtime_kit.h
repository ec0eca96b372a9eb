#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "keying/realtime_priority.h"

namespace wexon::platform {

// RealtimeKit (org.freedesktop.RealtimeKit1 on the system bus): the desktop
// service that hands real-time priority to an ordinary user's threads within
// its limits. Blocking calls, each at most `timeoutMs`; made from the keying
// thread, so the window never waits on them. Needs a QCoreApplication.
class RealtimeKitService : public keying::RealTimeService {
  public:
    explicit RealtimeKitService(int timeoutMs = 2000) : m_timeoutMs(timeoutMs) {}

    std::optional<Limits> limits(std::string& why) override;
    bool makeThreadRealtime(std::uint64_t threadId, int priority, std::string& why) override;

  private:
    int m_timeoutMs;
};

} // namespace wexon::platform
