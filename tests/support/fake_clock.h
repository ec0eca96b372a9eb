#pragma once

#include "core/clock.h"

namespace wexon::test {

// A clock that stands still until a test moves it. Local time is UTC minus
// `utcMinusLocalMinutes`.
class FakeClock : public core::Clock {
  public:
    core::DateTime utc{2026, 5, 30, 12, 0, 0};
    int utcMinusLocalMinutes = 300; // the computer's zone: five hours behind UTC
    std::chrono::steady_clock::time_point steady{};

    core::DateTime localNow() const override { return utc.addMinutes(-utcMinusLocalMinutes); }
    core::DateTime utcNow() const override { return utc; }
    std::chrono::steady_clock::time_point steadyNow() const override { return steady; }

    void advanceSeconds(int s) {
        utc = utc.addSeconds(s);
        steady += std::chrono::seconds(s);
    }
};

} // namespace wexon::test
