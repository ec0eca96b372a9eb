#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::keying {

// Function-key codes as the main window passes them (F10 comes as 124).
inline constexpr int kKeyF1 = 112;
inline constexpr int kKeyF9 = 120;
inline constexpr int kKeyF10 = 124;
inline constexpr int kKeyF11 = 122;

// The message slot (0 = F1 ... 8 = F9, 9 = F10, 10 = F11) of a key code, or
// nothing for a code without a message (121, 123 and anything else).
std::optional<int> messageSlotForKey(int keyCode);

// What the wildcards stand for, read from the main window's boxes.
struct WildcardValues {
    std::string call;       // txtCall
    std::string serial;     // Label4
    std::string reportSent; // txtRSTS
};

// Fills in a message: every "$" with the trimmed call, then every "#" with the
// trimmed serial (a number written without leading zeros), then every "*" with
// the trimmed report, "5NN" when it is "599" or empty. Inserted values are not
// scanned again by the same pass.
std::string substituteWildcards(std::string_view message, const WildcardValues& values);

// The report a "*" sends.
std::string reportForWildcard(std::string_view reportSent);
// The serial a "#" sends.
std::string serialForWildcard(std::string_view serial);

} // namespace wexon::keying
