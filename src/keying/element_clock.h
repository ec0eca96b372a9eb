#pragma once

#include <cstdint>

namespace wexon::keying {

// The time source and waits of the keying thread, in nanoseconds of the
// monotonic clock. Tests replace it with a virtual clock so that element
// timing is checked exactly and without sleeping.
class ElementClock {
  public:
    virtual ~ElementClock() = default;
    virtual std::int64_t nowNs() = 0;
    // Returns at the absolute time `deadlineNs`, as close to it as possible.
    virtual void sleepUntilNs(std::int64_t deadlineNs) = 0;
    // A relative sleep of whole milliseconds (the Sleep method).
    virtual void sleepForMs(long ms) = 0;
    // Counts a busy loop of `passes` passes (the Loop method).
    virtual void spinPasses(double passes) = 0;
};

// The real monotonic clock: clock_nanosleep to an absolute time a little
// before the deadline, then a spin on the clock to the deadline itself.
class MonotonicElementClock : public ElementClock {
  public:
    // How long before a deadline the sleep ends and the spin begins.
    explicit MonotonicElementClock(std::int64_t spinNs = 2'000'000) : m_spinNs(spinNs) {}
    std::int64_t nowNs() override;
    void sleepUntilNs(std::int64_t deadlineNs) override;
    void sleepForMs(long ms) override;
    void spinPasses(double passes) override;

  private:
    std::int64_t m_spinNs;
};

} // namespace wexon::keying
