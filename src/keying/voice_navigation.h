#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "keying/sound_player.h"
#include "keying/voice_keyer.h"

namespace wexon::keying {

// Voice navigation modes (the preference VoiceNavigation).
enum class NavigationMode {
    Off = 0,
    CallOnly = 1,
    AllFields = 2,
};

// A stored mode byte as a mode; anything unknown is Off.
NavigationMode navigationModeFromByte(int value);

// Whether prompt `name` is spoken in `mode`: "Dupe", "NavEn" and "NavDis" in
// every mode, "Call" from "Call Only" on, the other entry boxes' prompts only
// with "All Data Fields". Names the program does not use are never spoken.
bool promptSpoken(std::string_view name, NavigationMode mode);

// What choosing a mode says: "NavDis" for Off, "NavEn" then "Call" for Call
// Only, "NavEn" for All Data Fields.
std::vector<std::string> modeChoicePrompts(NavigationMode mode);

// The file of a prompt: the working folder, "/", the name and ".wav".
std::string promptFile(const std::string& workingFolder, std::string_view name);

// Plays prompts (BlindKeyPhone) without waiting: a new prompt closes the one
// playing. A sequence plays each prompt after the one before has ended,
// moved on by the player's end report or by the poll timer's tick, so the
// window keeps taking keys meanwhile. A prompt whose file is missing plays
// nothing and is passed over silently.
//
// A prompt played whole ("Dupe") is not cut off: what is asked for while it
// plays waits for its end (the latest request only), so the call box's
// prompt that follows a duplicate comes after the word.
class PromptPlayer {
  public:
    static constexpr int kPollMs = 40;

    PromptPlayer(SoundPlayer& player, VoiceTimer& poll, std::string workingFolder);
    ~PromptPlayer();
    PromptPlayer(const PromptPlayer&) = delete;
    PromptPlayer& operator=(const PromptPlayer&) = delete;

    // One prompt; anything queued is dropped.
    void play(std::string_view name);
    // One prompt that later prompts wait for rather than cut off.
    void playWhole(std::string_view name);
    // The first prompt now, the others in turn; after a prompt played whole
    // when one is playing.
    void playSequence(const std::vector<std::string>& names);
    // The poll timer's tick.
    void pollTick();
    // Stops playing and drops what is queued (window unload).
    void stop();
    // Playing, or prompts still to come.
    bool isPlaying() const { return m_player.isPlaying() || !m_queue.empty(); }

  private:
    void start(const std::vector<std::string>& names, bool whole);
    void playNext();

    SoundPlayer& m_player;
    VoiceTimer& m_poll;
    std::string m_workingFolder;
    std::deque<std::string> m_queue;
    // The prompt playing now is to be heard to its end.
    bool m_wholePlaying = false;
};

} // namespace wexon::keying
