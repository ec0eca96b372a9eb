#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::keying {

// Keyer modes and pin configurations offered by the WinKey window.
inline constexpr int kWinKeyModeIambicA = 16;
inline constexpr int kWinKeyModeIambicB = 0;
inline constexpr int kWinKeyModeUltimatic = 32;
inline constexpr int kWinKeyModeBug = 48;
inline constexpr int kWinKeyPinPtt = 5;
inline constexpr int kWinKeyPinTone = 6;
inline constexpr int kWinKeyPinKeyP3 = 4;
inline constexpr int kWinKeyPinKeyP5 = 8;

// The WinKey window's settings as "WK.txt" keeps them (8 lines).
struct WinKeySettings {
    int port = 0;               // WinKeyPort
    std::string wpmText = "13"; // txtWKWPM
    std::string weightText = "50";
    std::string leadInText = "0";
    std::string tailText = "0";
    std::string ratioText = "50";
    int pinConfig = kWinKeyPinTone; // WinKeyPinConfig
    int mode = kWinKeyModeIambicB;  // WinKeyMode
};

// Reads "WK.txt". Lines 1-6 are read in order and reading stops at the first
// missing or unusable one; lines 7 and 8 are taken only when present and one
// of the offered values. Returns the number of lines taken.
int readWinKeySettings(std::string_view bytes, WinKeySettings& settings);
std::string writeWinKeySettings(const WinKeySettings& settings);

// The checks made when a value is applied to the keyer. Each gives the byte to
// send, or nothing when the text is out of range (the text is then kept and
// nothing is sent). A non-numeric text is replaced by its default first; the
// *Reset functions give that replacement.
std::optional<int> winKeySpeedByte(std::string_view text);  // 0..99
std::optional<int> winKeyWeightByte(std::string_view text); // 0..99
std::optional<int> winKeyRatioByte(std::string_view text);  // 32..67
// Lead-in or tail in 10 ms steps; a byte holds 0..255.
std::optional<int> winKeyTimeByte(std::string_view text);

// The text a box takes when left with a non-numeric value, or the text itself.
std::string winKeyPortReset(std::string_view text);   // "0"
std::string winKeySpeedReset(std::string_view text);  // "18"
std::string winKeyWeightReset(std::string_view text); // "50"
std::string winKeyTimeReset(std::string_view text);   // "0"
std::string winKeyRatioReset(std::string_view text);  // "50"

bool isWinKeyMode(int value);
bool isWinKeyPinConfig(int value);

// The text shown for a result code of opening the keyer; empty for a code
// without a text (the label is then left as it is).
std::string winKeyOpenStatusText(int resultCode);

} // namespace wexon::keying
