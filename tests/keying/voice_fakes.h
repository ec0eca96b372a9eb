#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "keying/sound_player.h"
#include "keying/voice_keyer.h"

namespace wexon::test {

// A player that plays until the test ends the file. By default it plays any
// file that exists and accepts it at once (the started handler runs inside
// play()); `refuse` makes every play fail, `deferAccept` leaves the verdict
// to the test: accept() or failBeforeStart().
class FakeSoundPlayer : public keying::SoundPlayer {
  public:
    std::vector<std::string> played; // every path play() was given
    std::vector<std::string> started; // the paths that did start
    int stops = 0;
    bool refuse = false;
    bool anyPath = false; // plays paths that do not exist too
    bool deferAccept = false;
    int accepted = 0; // how often the started handler ran

    bool play(const std::string& path) override {
        played.push_back(path);
        m_playing = false;
        std::error_code ec;
        if (refuse || (!anyPath && !std::filesystem::is_regular_file(path, ec))) {
            return false;
        }
        m_playing = true;
        started.push_back(path);
        if (!deferAccept) {
            accept();
        }
        return true;
    }
    // The player has loaded the file; its sound starts after the handler.
    void accept() {
        ++accepted;
        if (m_started) {
            m_started();
        }
    }
    // The file turns out to be damaged before any sound: it ends, never
    // accepted.
    void failBeforeStart() { finish(); }
    void stop() override {
        ++stops;
        m_playing = false;
    }
    bool isPlaying() const override { return m_playing; }
    void setEndedHandler(std::function<void()> ended) override { m_ended = std::move(ended); }
    void setStartedHandler(std::function<void()> started) override {
        m_started = std::move(started);
    }

    // The file ends by itself (or fails while playing) and says so.
    void finish() {
        m_playing = false;
        if (m_ended) {
            m_ended();
        }
    }
    // The file ends without the player saying so: only polling sees it.
    void endQuietly() { m_playing = false; }

  private:
    bool m_playing = false;
    std::function<void()> m_ended;
    std::function<void()> m_started;
};

// A timer the test fires by hand.
class FakeVoiceTimer : public keying::VoiceTimer {
  public:
    int starts = 0;
    int lastMs = -1;
    void start(int ms) override {
        ++starts;
        lastMs = ms;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

  private:
    bool m_active = false;
};

// PTT outputs that record every change as text: "open", "RTS+", "DTR-",
// "LPT888=3".
class RecordingPtt : public keying::PttOutputs {
  public:
    std::vector<std::string> events;
    bool open = false;
    bool openFails = false;
    bool parallelFails = false;

    bool serialOpen() const override { return open; }
    void openSerial() override {
        events.push_back("open");
        open = !openFails;
    }
    void setSerialLine(keying::PttLine line, bool on) override {
        std::string name = line == keying::PttLine::Dtr ? "DTR" : "RTS";
        if (line == keying::PttLine::Dtr) {
            dtr = on;
        } else {
            rts = on;
        }
        events.push_back(name + (on ? "+" : "-"));
    }
    bool writeParallelControl(unsigned address, unsigned char value) override {
        if (parallelFails) {
            return false;
        }
        parallel = value;
        events.push_back("LPT" + std::to_string(address) + "=" + std::to_string(value));
        return true;
    }
    // Whether anything keys the transmitter now.
    bool keyed() const { return rts || dtr || parallel == 3; }
    bool rts = false;
    bool dtr = false;
    int parallel = 0;
};

} // namespace wexon::test
