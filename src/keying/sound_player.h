#pragma once

#include <functional>
#include <string>

namespace wexon::keying {

// Plays one sound file at a time: the voice keyer's messages and the spoken
// prompts of voice navigation each have their own player.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;

    // Stops whatever plays and starts playing `path`. False when the file
    // cannot be played at all (missing, unreadable, not a plain file, or
    // refused by the player on the spot); nothing plays then and neither
    // handler is called. True hands the file over: the started handler
    // follows once the player has accepted it, or the ended handler when it
    // turns out not to be playable.
    virtual bool play(const std::string& path) = 0;
    // Stops playing and lets go of the file. The ended handler is not called:
    // the one who stops knows it stopped.
    virtual void stop() = 0;
    // True from a successful play() until the file has ended, failed or been
    // stopped.
    virtual bool isPlaying() const = 0;
    // Called when playing ends by itself: the end of the file, or a failure
    // after play() returned (a damaged file, a lost audio device). By then
    // isPlaying() is false.
    virtual void setEndedHandler(std::function<void()> ended) = 0;
    // Called once per play() when the player has accepted the file, just
    // before sound starts: what must be ready when the sound begins (the
    // transmitter keyed) is done here. It may be called from inside play().
    // Stopping the player from the handler keeps the sound from starting.
    virtual void setStartedHandler(std::function<void()> started) = 0;
};

} // namespace wexon::keying
