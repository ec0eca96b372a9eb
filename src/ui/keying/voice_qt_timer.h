#pragma once

#include <QTimer>

#include "keying/voice_keyer.h"

namespace wexon::ui {

// A voice timer on a QTimer of its owner: the owner connects the QTimer's
// timeout to the tick it drives. Single-shot timers stay single-shot.
class QtVoiceTimer : public keying::VoiceTimer {
  public:
    explicit QtVoiceTimer(QTimer& timer) : m_timer(timer) {}
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

  private:
    QTimer& m_timer;
};

} // namespace wexon::ui
