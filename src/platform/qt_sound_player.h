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
// What happens to a file is decided from the player's own signals, never from
// its error() after a new source: the player keeps an old error until it plays
// again, which would make every file after a damaged one look damaged too. A
// file is accepted when the player has loaded it; then the started handler
// runs and only then does the player start. A player that reported an error is
// set aside and a fresh one is made for the next file, so one damaged file
// cannot spoil the rest of the session.
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
    void setStartedHandler(std::function<void()> started) override {
        m_started = std::move(started);
    }

    void setGuardLimits(int startLimitMs, int stallLimitMs);
    // The underlying player, for measuring it. It is replaced after a failure,
    // so a connection made to it holds until the first damaged file.
    QMediaPlayer& mediaPlayer() { return *m_player; }

  private:
    void makePlayer();
    void statusChanged(int status);
    void accept();
    void finish(bool failed);
    void guardTick();

    // The player and its output are made together, in makePlayer() only.
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    QTimer m_guard;
    QElapsedTimer m_sinceProgress;
    std::function<void()> m_ended;
    std::function<void()> m_started;
    std::uint64_t m_generation = 0;
    qint64 m_lastPosition = 0;
    int m_startLimitMs = kStartLimitMs;
    int m_stallLimitMs = kStallLimitMs;
    bool m_playing = false;
    bool m_accepted = false;
    bool m_moving = false;
    // The player reported an error; a fresh one is made before the next file.
    bool m_spoilt = false;
};

} // namespace wexon::platform
