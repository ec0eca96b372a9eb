#pragma once

#include <optional>
#include <string>

#include "keying/sound_player.h"
#include "keying/voice_settings.h"

namespace wexon::keying {

// A timer the voice keyer starts and stops; its owner calls the keyer back
// when it fires (a QTimer in the window, a hand-fired fake in tests).
class VoiceTimer {
  public:
    virtual ~VoiceTimer() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The outputs that key the transmitter while a message plays.
class PttOutputs {
  public:
    virtual ~PttOutputs() = default;
    // The PTT serial port.
    virtual bool serialOpen() const = 0;
    // OpenPhonePort: (re)opens the serial port of the settings; a failure is
    // reported by the owner and leaves the port closed.
    virtual void openSerial() = 0;
    virtual void setSerialLine(PttLine line, bool on) = 0;
    // Writes a parallel port's control register (base address + 2). False
    // when the port cannot be written.
    virtual bool writeParallelControl(unsigned address, unsigned char value) = 0;
};

// The voice keyer: F1..F9 play the WAV files of the settings, keying the
// transmitter (PTT) while one plays, and F1 can repeat.
//
// Playing: the file is handed to the player and the end-of-play watch
// (Timer1, 40 ms) runs. Once the player has accepted the file, and before its
// sound starts, the serial PTT line (DTR when chosen, else RTS) rises when a
// PTT port is set and the parallel port's control register gets 3 when
// "Parallel" is chosen; a file the player refuses or cannot play keys
// nothing. When the player is no longer playing, the lines that were raised
// drop (the parallel register gets 2) and an armed repeat starts its timer.
//
// The transmitter is never left keyed: a file the player refuses, or a
// parallel port that cannot be written, drops what was raised at once; a
// failure while playing drops it as soon as the player reports the end; the
// line dropped is the line that was raised, even if the choice changed
// meanwhile.
class VoiceKeyer {
  public:
    static constexpr int kWatchMs = 40;
    static constexpr int kFirstKey = 112; // F1
    static constexpr int kLastKey = 120;  // F9

    VoiceKeyer(SoundPlayer& player, PttOutputs& ptt, VoiceTimer& watch, VoiceTimer& repeat);
    ~VoiceKeyer();
    VoiceKeyer(const VoiceKeyer&) = delete;
    VoiceKeyer& operator=(const VoiceKeyer&) = delete;

    // Relative file names are found in this folder.
    void setWorkingFolder(std::string folder) { m_workingFolder = std::move(folder); }

    // Takes all settings; the repeat text goes through the leaving rule.
    void applySettings(const VoiceSettings& settings);
    const VoiceSettings& settings() const { return m_settings; }
    void setFile(int index, std::string path);
    void setPortText(std::string text) { m_settings.portText = std::move(text); }
    void setPttLine(PttLine line) { m_settings.pttLine = line; }
    void setAddressText(std::string text) { m_settings.addressText = std::move(text); }
    // Leaving txtPHLoop; true when the program should beep.
    bool setRepeatText(std::string_view text);
    int repeatIntervalMs() const { return m_repeatMs; }
    int portNumber() const { return pttPortNumber(m_settings.portText); }

    // FKeyPhone: plays the message of key code 112..120; other codes do nothing.
    void fKeyPhone(int keyCode);
    // Timer1: ends the message once the player has stopped.
    void watchTick();
    // tmrRepeat: plays F1 again.
    void repeatTick();
    // Esc in the main window: stops the message; PTT drops at once.
    void stop();
    // Window unload: stops playing and any repeat, drops PTT.
    void close();
    // The serial port is about to close (another window takes it): a raised
    // line is dropped first.
    void releaseSerial();

    bool isPlaying() const { return m_player.isPlaying(); }
    bool repeatArmed() const { return m_repeatArmed; }
    // "Stop" and any key in the main window: no more repeats.
    void disarmRepeat();
    // Whether a line is raised now.
    bool keyed() const { return m_raisedSerial.has_value() || m_raisedParallel.has_value(); }

  private:
    // The player accepted the file: PTT rises before the sound starts.
    void keyTransmitter();
    void endMessage();
    void dropPtt();
    std::string resolve(const std::string& path) const;

    SoundPlayer& m_player;
    PttOutputs& m_ptt;
    VoiceTimer& m_watch;
    VoiceTimer& m_repeat;
    VoiceSettings m_settings;
    std::string m_workingFolder;
    int m_repeatMs = 0;
    bool m_repeatArmed = false;
    std::optional<PttLine> m_raisedSerial;
    std::optional<unsigned> m_raisedParallel;
};

} // namespace wexon::keying
