#pragma once

#include <array>
#include <string>
#include <string_view>

namespace wexon::keying {

// The CW window's settings and the eleven function-key messages, as "cw.txt"
// keeps them (18 lines, one value per line, CR LF).
struct CwSettings {
    static constexpr int kMessageCount = 11;
    // F1..F9 at 0..8, F10 at 9, F11 at 10.
    std::array<std::string, kMessageCount> messages{};
    std::string portText = "0";        // serial keying port (Text10)
    std::string speedText = "13";      // WPM (Text11)
    std::string spaceText = "0";       // word-space adjustment (txtSpace)
    int interface = 0;                 // CWInterface: 0, 1, 2, 3 or 5
    std::string addressText = "&H378"; // parallel port base address (Text14)
    bool displayText = false;          // Check1
    std::string repeatText = "0";      // repeat interval in seconds (txtCWLoop)
};

// The F9 message used when the file's line 9 is empty.
inline constexpr const char* kEmptyF9Message = "VVV DE ";

// Reads "cw.txt" into `settings`, line by line. Reading stops at the first
// line that is missing or unusable; what was read before it is kept and the
// rest of `settings` is left as it was. Returns the number of lines taken.
//
// A double quote inside a message is stored doubled ("") within its quotes
// and read back as one, so any message loads back unchanged.
int readCwSettings(std::string_view bytes, CwSettings& settings);
std::string writeCwSettings(const CwSettings& settings);

// Whether a number is one of the keying interfaces (0, 1, 2, 3, 5).
bool isKeyingInterface(int value);

} // namespace wexon::keying
