#pragma once

#include <string>
#include <string_view>

namespace wexon::rig {

inline constexpr const char* kRigSettingsFileName = "RigCntrl.txt";

// The rig interface settings, as "RigCntrl.txt" keeps them (14 values).
struct RigSettings {
    std::string baud = "9600 "; // 5 characters, left-justified
    std::string parity = "N";   // "O", "N", "E"
    std::string dataBits = "8"; // "7", "8"
    std::string stopBits = "1"; // "1", "2"
    std::string modeRead;       // "String to read mode:"
    std::string frequencyRead;  // "String to read frequency:"
    std::string portSettings = "9600,N,8,1";
    int portNumber = 1;         // 1-10
    std::string power = "N";    // "N", "R", "D"
    std::string pollRate = "M"; // "F", "M", "S", "R"
    std::string rigName = "None";
    int convertToHex = 0; // 0/1: command texts are hex pairs
    int useFrequency = 0; // 0/1: the rig's frequency picks the log's band
    int modeBy = 1;       // 1 rig, 2 frequency, 3 don't use

    bool operator==(const RigSettings&) const = default;
};

// The outcome of reading "RigCntrl.txt": the settings with every value that
// was read and valid taken in, the rest left as they were.
struct RigSettingsLoad {
    RigSettings settings;
    int valuesRead = 0;       // how many of the 14 lines were there
    bool modeByValid = false; // "Mode by" was 1, 2 or 3
    bool complete() const { return valuesRead == 14; }
};

// Reads the file's values over `initial`. Reading stops at the end of the data;
// a value that is out of range (port number outside 1-10, a flag other than 0
// or 1) leaves that setting as it was and reading goes on.
RigSettingsLoad parseRigSettings(std::string_view content, const RigSettings& initial = {});
// The 14 lines, CR LF ended, texts quoted.
std::string serializeRigSettings(const RigSettings& settings);

// "9600 " from "9600": left-justified in 5 characters (longer text is kept).
std::string padBaud(std::string_view baud);
// The port's line settings: baud right-trimmed, parity, data bits, stop bits.
std::string portSettingsText(const RigSettings& settings);
// Polling timer interval for a rate letter: F 50, M 250, S 1000, R 5000 ms;
// 250 for anything else.
int pollIntervalMs(std::string_view rate);

} // namespace wexon::rig
