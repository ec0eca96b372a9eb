#include "keying/voice_navigation.h"

#include <array>

namespace wexon::keying {

namespace {

// The prompts of the entry boxes other than the call box.
constexpr std::array<std::string_view, 6> kDataFieldPrompts = {
    "Country", "Points", "Prefix", "RstRcvd", "RstSnt", "SerNum"};

} // namespace

NavigationMode navigationModeFromByte(int value) {
    switch (value) {
    case 1:
        return NavigationMode::CallOnly;
    case 2:
        return NavigationMode::AllFields;
    default:
        return NavigationMode::Off;
    }
}

bool promptSpoken(std::string_view name, NavigationMode mode) {
    if (name == "Dupe" || name == "NavEn" || name == "NavDis") {
        return true;
    }
    if (name == "Call") {
        return mode != NavigationMode::Off;
    }
    for (std::string_view field : kDataFieldPrompts) {
        if (name == field) {
            return mode == NavigationMode::AllFields;
        }
    }
    return false;
}

std::vector<std::string> modeChoicePrompts(NavigationMode mode) {
    switch (mode) {
    case NavigationMode::CallOnly:
        return {"NavEn", "Call"};
    case NavigationMode::AllFields:
        return {"NavEn"};
    case NavigationMode::Off:
        break;
    }
    return {"NavDis"};
}

std::string promptFile(const std::string& workingFolder, std::string_view name) {
    std::string path = workingFolder;
    path += '/';
    path += name;
    path += ".wav";
    return path;
}

PromptPlayer::PromptPlayer(SoundPlayer& player, VoiceTimer& poll, std::string workingFolder)
    : m_player(player), m_poll(poll), m_workingFolder(std::move(workingFolder)) {
    m_player.setEndedHandler([this] { pollTick(); });
}

PromptPlayer::~PromptPlayer() {
    m_player.setEndedHandler({});
}

void PromptPlayer::play(std::string_view name) {
    start({std::string(name)}, false);
}

void PromptPlayer::playWhole(std::string_view name) {
    start({std::string(name)}, true);
}

void PromptPlayer::playSequence(const std::vector<std::string>& names) {
    start(names, false);
}

void PromptPlayer::start(const std::vector<std::string>& names, bool whole) {
    m_queue.assign(names.begin(), names.end());
    if (!whole && m_wholePlaying && m_player.isPlaying()) {
        // Waits for the end of the prompt that plays whole.
        if (!m_poll.isActive()) {
            m_poll.start(kPollMs);
        }
        return;
    }
    m_player.stop();
    m_poll.stop();
    m_wholePlaying = false;
    if (whole && !m_queue.empty()) {
        std::string name = std::move(m_queue.front());
        m_queue.pop_front();
        m_wholePlaying = m_player.play(promptFile(m_workingFolder, name));
        if (m_wholePlaying) {
            return;
        }
    }
    playNext();
}

void PromptPlayer::playNext() {
    m_wholePlaying = false;
    while (!m_queue.empty()) {
        std::string name = std::move(m_queue.front());
        m_queue.pop_front();
        if (m_player.play(promptFile(m_workingFolder, name))) {
            break;
        }
    }
    if (m_queue.empty()) {
        m_poll.stop();
    } else if (!m_poll.isActive()) {
        m_poll.start(kPollMs);
    }
}

void PromptPlayer::pollTick() {
    if (m_player.isPlaying()) {
        return;
    }
    playNext();
}

void PromptPlayer::stop() {
    m_wholePlaying = false;
    m_queue.clear();
    m_poll.stop();
    m_player.stop();
}

} // namespace wexon::keying
