#pragma once

#include <chrono>

#include "core/date_time.h"

namespace wexon::core {

// Every read of the time goes through a Clock, so that tests can set it.
class Clock {
  public:
    virtual ~Clock() = default;
    // The computer's ordinary (local) date and time.
    virtual DateTime localNow() const = 0;
    // The computer's UTC date and time, from the system clock.
    virtual DateTime utcNow() const = 0;
    // A monotonic clock for measuring intervals.
    virtual std::chrono::steady_clock::time_point steadyNow() const = 0;
};

// The real clocks of the computer.
class SystemClock : public Clock {
  public:
    DateTime localNow() const override;
    DateTime utcNow() const override;
    std::chrono::steady_clock::time_point steadyNow() const override;
};

} // namespace wexon::core
