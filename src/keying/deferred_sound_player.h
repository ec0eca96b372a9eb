#pragma once

#include <functional>
#include <memory>
#include <string>

#include "keying/sound_player.h"

namespace wexon::keying {

// A sound player made on first use. The audio stack behind a real player (the
// media framework, its plugins, the sound server's client) takes several
// megabytes and some start-up time; an operator who never uses the voice keyer
// or spoken prompts should pay for neither.
class DeferredSoundPlayer : public SoundPlayer {
  public:
    using Factory = std::function<std::unique_ptr<SoundPlayer>()>;

    explicit DeferredSoundPlayer(Factory make) : m_make(std::move(make)) {}

    // Makes the real player now, if it is not made yet: for a caller that knows
    // sound is wanted soon and would rather not wait at the first play.
    void prepare();
    bool prepared() const { return m_player != nullptr; }

    bool play(const std::string& path) override;
    void stop() override;
    bool isPlaying() const override { return m_player && m_player->isPlaying(); }
    void setEndedHandler(std::function<void()> ended) override;
    void setStartedHandler(std::function<void()> started) override;

  private:
    Factory m_make;
    std::unique_ptr<SoundPlayer> m_player;
    std::function<void()> m_ended;
    std::function<void()> m_started;
};

} // namespace wexon::keying
