#pragma once

#include <memory>

#include "rig/rig_controller.h"

class QObject;
class QTimer;

namespace wexon::platform {

// The rig window's polling timer on a QTimer.
class QtPollTimer : public rig::PollTimer {
  public:
    explicit QtPollTimer(std::function<void()> onTick);
    ~QtPollTimer() override;
    void start(int intervalMs) override;
    void stop() override;
    bool isActive() const override;

  private:
    std::unique_ptr<QTimer> m_timer;
};

// Work run later on the event loop with precise single-shot timers. Work still
// waiting when the scheduler is destroyed is dropped.
class QtScheduler : public rig::Scheduler {
  public:
    QtScheduler();
    ~QtScheduler() override;
    void after(int ms, std::function<void()> work) override;

  private:
    std::unique_ptr<QObject> m_context;
};

} // namespace wexon::platform
