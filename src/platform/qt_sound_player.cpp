#include "platform/qt_sound_player.h"

#include <algorithm>

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace wexon::platform {

QtSoundPlayer::QtSoundPlayer() {
    makePlayer();
    m_guard.setInterval(kGuardTickMs);
    QObject::connect(&m_guard, &QTimer::timeout, &m_guard, [this] { guardTick(); });
}

QtSoundPlayer::~QtSoundPlayer() {
    m_ended = {};
    m_started = {};
    stop();
    m_player->disconnect();
}

void QtSoundPlayer::makePlayer() {
    if (m_player) {
        // Set aside, not destroyed here: this may run close to one of its own
        // signals.
        m_player->disconnect();
        m_player.release()->deleteLater();
        m_output.release()->deleteLater();
    }
    m_output = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    m_spoilt = false;
    QMediaPlayer* player = m_player.get();
    QObject::connect(player, &QMediaPlayer::mediaStatusChanged, player,
                     [this](QMediaPlayer::MediaStatus status) { statusChanged(status); });
    QObject::connect(player, &QMediaPlayer::errorOccurred, player,
                     [this](QMediaPlayer::Error error, const QString&) {
                         if (error != QMediaPlayer::NoError) {
                             finish(true);
                         }
                     });
    QObject::connect(player, &QMediaPlayer::playbackStateChanged, player,
                     [this](QMediaPlayer::PlaybackState state) {
                         // Stopped after it started, by anything but stop():
                         // the playback is over.
                         if (state == QMediaPlayer::StoppedState && m_accepted) {
                             finish(false);
                         }
                     });
    QObject::connect(player, &QMediaPlayer::positionChanged, player, [this](qint64 position) {
        if (m_playing && position != m_lastPosition) {
            m_lastPosition = position;
            m_moving = true;
            m_sinceProgress.restart();
        }
    });
}

void QtSoundPlayer::setGuardLimits(int startLimitMs, int stallLimitMs) {
    m_startLimitMs = startLimitMs;
    m_stallLimitMs = stallLimitMs;
    m_guard.setInterval(std::max(1, std::min({kGuardTickMs, startLimitMs, stallLimitMs})));
}

bool QtSoundPlayer::play(const std::string& path) {
    stop();
    const QFileInfo file(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
    if (path.empty() || !file.isFile() || !file.isReadable()) {
        return false;
    }
    if (m_spoilt) {
        makePlayer();
    }
    const std::uint64_t generation = ++m_generation;
    m_playing = true;
    m_accepted = false;
    m_moving = false;
    m_lastPosition = 0;
    m_sinceProgress.start();
    m_guard.start();
    // The player's verdict comes through its signals, during setSource() or
    // later from the event loop.
    m_player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    if (!m_playing || generation != m_generation) {
        // Refused on the spot: reported by the result, not by the ended handler.
        ++m_generation;
        m_playing = false;
        m_guard.stop();
        return false;
    }
    return true;
}

void QtSoundPlayer::statusChanged(int status) {
    if (!m_playing) {
        return;
    }
    switch (status) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        if (!m_accepted) {
            accept();
        }
        break;
    case QMediaPlayer::EndOfMedia:
        finish(false);
        break;
    case QMediaPlayer::InvalidMedia:
        finish(true);
        break;
    default:
        break;
    }
}

void QtSoundPlayer::accept() {
    m_accepted = true;
    // The owner hears of it from the event loop, never from inside a call
    // into the player; the sound starts once the owner is ready for it.
    const std::uint64_t generation = m_generation;
    QMetaObject::invokeMethod(
        &m_guard,
        [this, generation] {
            if (generation != m_generation) {
                return;
            }
            if (m_started) {
                // The handler may wait on the operator (a port message box);
                // that time is not the player's.
                m_guard.stop();
                m_started();
            }
            // The handler may have stopped it, or started another file.
            if (generation == m_generation && m_playing) {
                m_sinceProgress.restart();
                m_guard.start();
                m_player->play();
            }
        },
        Qt::QueuedConnection);
}

void QtSoundPlayer::stop() {
    ++m_generation;
    m_playing = false;
    m_accepted = false;
    m_guard.stop();
    if (m_spoilt) {
        // A player that failed is not asked anything more; a fresh one is
        // made for the next file.
        return;
    }
    if (!m_player->source().isEmpty()) {
        m_player->stop();
        // Lets go of the file as well.
        m_player->setSource(QUrl());
    }
}

void QtSoundPlayer::finish(bool failed) {
    if (failed) {
        m_spoilt = true;
    }
    if (!m_playing) {
        return;
    }
    m_playing = false;
    m_accepted = false;
    m_guard.stop();
    // The owner hears of it once control is back in the event loop, never
    // from inside play() or a call into the player.
    const std::uint64_t generation = ++m_generation;
    QMetaObject::invokeMethod(
        &m_guard,
        [this, generation] {
            if (m_spoilt && !m_playing) {
                // Made now rather than at the next play(), which then starts
                // at once.
                makePlayer();
            }
            if (generation == m_generation && m_ended) {
                m_ended();
            }
        },
        Qt::QueuedConnection);
}

void QtSoundPlayer::guardTick() {
    if (!m_playing) {
        m_guard.stop();
        return;
    }
    const int limit = m_moving ? m_stallLimitMs : m_startLimitMs;
    if (m_sinceProgress.elapsed() > limit) {
        // Stuck: the playback ends as a failure.
        m_player->stop();
        finish(true);
    }
}

} // namespace wexon::platform
