#include "platform/rig_timers.h"

#include <QObject>
#include <QTimer>

namespace wexon::platform {

QtPollTimer::QtPollTimer(std::function<void()> onTick) : m_timer(std::make_unique<QTimer>()) {
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer.get(), &QTimer::timeout, [onTick = std::move(onTick)] { onTick(); });
}

QtPollTimer::~QtPollTimer() = default;

void QtPollTimer::start(int intervalMs) {
    m_timer->setInterval(intervalMs);
    m_timer->start();
}

void QtPollTimer::stop() {
    m_timer->stop();
}

bool QtPollTimer::isActive() const {
    return m_timer->isActive();
}

QtScheduler::QtScheduler() : m_context(std::make_unique<QObject>()) {}

QtScheduler::~QtScheduler() = default;

void QtScheduler::after(int ms, std::function<void()> work) {
    QTimer::singleShot(ms, Qt::PreciseTimer, m_context.get(), std::move(work));
}

} // namespace wexon::platform
