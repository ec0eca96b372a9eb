#pragma once

#include <array>
#include <string>
#include <string_view>

namespace wexon::keying {

// The CW window's settings and the eleven function-key messages, as "cw.txt"
// keeps them (one value per line, CR LF): the first 18 lines, then the
// cwdaemon keyer's five. A file without the last five keeps their defaults.
struct CwSettings {
    static constexpr int kMessageCount = 11;
    // F1..F9 at 0..8, F10 at 9, F11 at 10.
    std::array<std::string, kMessageCount> messages{};
    std::string portText = "0";        // serial keying port (Text10)
    std::string speedText = "13";      // WPM (Text11)
    std::string spaceText = "0";       // word-space adjustment (txtSpace)
    int interface = 0;                 // CWInterface: 0, 1, 2, 3, 5 or 6 (cwdaemon)
    std::string addressText = "&H378"; // parallel port base address (Text14)
    bool displayText = false;          // Check1
    std::string repeatText = "0";      // repeat interval in seconds (txtCWLoop)
    // The cwdaemon keyer (interface 6).
    std::string cwdaemonHost = "127.0.0.1";
    std::string cwdaemonPortText = "6789";
    bool cwdaemonPtt = false;               // hold PTT through each message
    std::string cwdaemonPttLeadText = "50"; // ms from PTT to the first character
    std::string cwdaemonToneText = "800";   // side tone in Hz, 0 silent
};

// The keying interface numbers.
inline constexpr int kInterfaceNone = 0;
inline constexpr int kInterfaceWinKey = 5;
inline constexpr int kInterfaceCwdaemon = 6;

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

// Whether a number is one of the keying interfaces (0, 1, 2, 3, 5, 6).
bool isKeyingInterface(int value);

} // namespace wexon::keying
