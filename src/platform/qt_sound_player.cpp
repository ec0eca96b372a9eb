#include "platform/qt_sound_player.h"

#include <algorithm>

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace wexon::platform {

QtSoundPlayer::QtSoundPlayer()
    : m_output(std::make_unique<QAudioOutput>()), m_player(std::make_unique<QMediaPlayer>()) {
    m_player->setAudioOutput(m_output.get());
    QMediaPlayer* player = m_player.get();
    QObject::connect(player, &QMediaPlayer::mediaStatusChanged, player,
                     [this](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::EndOfMedia ||
                             status == QMediaPlayer::InvalidMedia) {
                             finish();
                         }
                     });
    QObject::connect(player, &QMediaPlayer::errorOccurred, player,
                     [this](QMediaPlayer::Error error, const QString&) {
                         if (error != QMediaPlayer::NoError) {
                             finish();
                         }
                     });
    QObject::connect(player, &QMediaPlayer::playbackStateChanged, player,
                     [this](QMediaPlayer::PlaybackState state) {
                         // Stopped by anything but stop(): the playback is over.
                         if (state == QMediaPlayer::StoppedState) {
                             finish();
                         }
                     });
    QObject::connect(player, &QMediaPlayer::positionChanged, player, [this](qint64 position) {
        if (m_playing && position != m_lastPosition) {
            m_lastPosition = position;
            m_moving = true;
            m_sinceProgress.restart();
        }
    });
    m_guard.setInterval(kGuardTickMs);
    QObject::connect(&m_guard, &QTimer::timeout, player, [this] { guardTick(); });
}

QtSoundPlayer::~QtSoundPlayer() {
    m_ended = {};
    stop();
    m_player->disconnect();
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
    ++m_generation;
    m_player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    if (m_player->error() != QMediaPlayer::NoError ||
        m_player->mediaStatus() == QMediaPlayer::InvalidMedia) {
        m_player->setSource(QUrl());
        return false;
    }
    m_playing = true;
    m_moving = false;
    m_lastPosition = 0;
    m_sinceProgress.start();
    m_guard.start();
    m_player->play();
    if (!m_playing) {
        // Refused at once: reported by the result, not by the ended handler.
        ++m_generation;
        return false;
    }
    return true;
}

void QtSoundPlayer::stop() {
    ++m_generation;
    m_playing = false;
    m_guard.stop();
    if (!m_player->source().isEmpty()) {
        m_player->stop();
        // Lets go of the file as well.
        m_player->setSource(QUrl());
    }
}

void QtSoundPlayer::finish() {
    if (!m_playing) {
        return;
    }
    m_playing = false;
    m_guard.stop();
    // The owner hears of it once control is back in the event loop, never
    // from inside play() or a call into the player.
    const std::uint64_t generation = ++m_generation;
    QMetaObject::invokeMethod(
        m_player.get(),
        [this, generation] {
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
        finish();
    }
}

} // namespace wexon::platform
