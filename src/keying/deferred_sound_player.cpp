#include "keying/deferred_sound_player.h"

namespace wexon::keying {

void DeferredSoundPlayer::prepare() {
    if (m_player || !m_make) {
        return;
    }
    m_player = m_make();
    if (m_player && m_ended) {
        m_player->setEndedHandler(m_ended);
    }
    if (m_player && m_started) {
        m_player->setStartedHandler(m_started);
    }
}

bool DeferredSoundPlayer::play(const std::string& path) {
    prepare();
    return m_player && m_player->play(path);
}

void DeferredSoundPlayer::stop() {
    // Nothing can be playing on a player that was never made.
    if (m_player) {
        m_player->stop();
    }
}

void DeferredSoundPlayer::setEndedHandler(std::function<void()> ended) {
    m_ended = std::move(ended);
    if (m_player) {
        m_player->setEndedHandler(m_ended);
    }
}

void DeferredSoundPlayer::setStartedHandler(std::function<void()> started) {
    m_started = std::move(started);
    if (m_player) {
        m_player->setStartedHandler(m_started);
    }
}

} // namespace wexon::keying
