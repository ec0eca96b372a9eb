#pragma once

#include <array>
#include <string>
#include <string_view>

namespace wexon::keying {

// The line that keys the transmitter while a voice message plays.
enum class PttLine {
    None = -1, // no option chosen: a serial port keys RTS
    Rts = 0,
    Dtr = 1,
    Parallel = 2,
};

// The voice keyer's settings as "wave2.txt" keeps them: 13 lines, one value
// per line, CR LF. Lines 1-9 the WAV files of F1..F9, 10 the PTT serial port,
// 11 the PTT line as a bare number, 12 the repeat interval in seconds, 13 the
// parallel port address; every line but 11 quoted.
struct VoiceSettings {
    static constexpr int kMessageCount = 9;
    std::array<std::string, kMessageCount> files{}; // F1..F9 (Text1..Text9)
    std::string portText = "0";                     // Text10
    PttLine pttLine = PttLine::None;                // Option1..Option3
    std::string repeatText = "0";                   // txtPHLoop
    std::string addressText = "&H378";              // Text11
};

// Reads "wave2.txt" into `settings`, line by line. Reading stops at the first
// line that is missing or unusable (line 11 not a number); what was read
// before it is kept and the rest is left as it was. A line-11 number that
// names no line leaves no option chosen. Returns the number of lines taken.
int readVoiceSettings(std::string_view bytes, VoiceSettings& settings);
// The file's bytes. With no option chosen line 11 holds 0: on reading back
// "RTS" is chosen, which keys the same line a serial port keys without a
// choice.
std::string writeVoiceSettings(const VoiceSettings& settings);

// The repeat interval typed in txtPHLoop, as the box is left: a number from 0
// to below 60 seconds is kept; anything else becomes "0" (no repeat). A
// number too large to read also beeps.
struct RepeatInterval {
    std::string text; // what the box shows afterwards
    int ms = 0;       // the repeat timer's interval
    bool beep = false;
};
RepeatInterval repeatIntervalFromText(std::string_view text);

// The PTT serial port number of Text10, rounded: 0 (none) for text that is
// not a number or is below 0.5; numbers past a million are kept at a million.
int pttPortNumber(std::string_view portText);

} // namespace wexon::keying
