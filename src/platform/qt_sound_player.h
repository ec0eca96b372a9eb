#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QTimer>

#include "keying/sound_player.h"

class QAudioOutput;
class QMediaPlayer;

namespace wexon::platform {

// Plays WAV files with Qt Multimedia (a QMediaPlayer into the default audio
// output). Only plain readable files are handed to the player, so a path
// naming a device or a pipe cannot stall it.
//
// A player that never gets going, or stops moving while it claims to play (a
// stuck audio device), would hold the transmitter keyed; a guard ends such a
// playback as a failure: no progress within `startLimitMs` of play(), or the
// position standing still for `stallLimitMs`.
class QtSoundPlayer : public keying::SoundPlayer {
  public:
    static constexpr int kStartLimitMs = 5000;
    static constexpr int kStallLimitMs = 5000;
    static constexpr int kGuardTickMs = 250;

    QtSoundPlayer();
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    bool play(const std::string& path) override;
    void stop() override;
    bool isPlaying() const override { return m_playing; }
    void setEndedHandler(std::function<void()> ended) override { m_ended = std::move(ended); }

    void setGuardLimits(int startLimitMs, int stallLimitMs);
    // The underlying player, for measuring it.
    QMediaPlayer& mediaPlayer() { return *m_player; }

  private:
    void finish();
    void guardTick();

    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    QTimer m_guard;
    QElapsedTimer m_sinceProgress;
    std::function<void()> m_ended;
    std::uint64_t m_generation = 0;
    qint64 m_lastPosition = 0;
    int m_startLimitMs = kStartLimitMs;
    int m_stallLimitMs = kStallLimitMs;
    bool m_playing = false;
    bool m_moving = false;
};

} // namespace wexon::platform
