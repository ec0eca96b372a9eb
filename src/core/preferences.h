#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wexon::core {

// The preference record of the installation, saved to "wexonprf.txt" after every
// change; fields in file order.
struct Preferences {
    std::string ownCall;
    float utcOffset = 0.0f;         // hours added to local time to get UTC
    std::string contestMode = "CW"; // "PH", "CW" or "RY"
    std::string band = "20";        // "160", "80", "40", "20", "15" or "10"
    float timeOnSeconds = 0.0f;     // operating time of earlier on-periods
    std::string ownCountry;
    std::string ownContinent;
    float ownLongitude = 0.0f;      // degrees, west positive
    float ownLatitude = 0.0f;       // degrees, north positive
    std::uint8_t serialPerBand = 0; // 1 = serials count per band
    std::uint8_t formSizePercent = 100;
    std::uint8_t voiceNavigation = 0; // 0 off, 1 call box and dupes, 2 every box
    std::string rigName = "None";
    std::uint8_t taskbarMode = 0;
    std::uint8_t listPrevious = 0;

    bool operator==(const Preferences&) const = default;
};

inline constexpr const char* kPreferenceFileName = "wexonprf.txt";

struct PreferencesReadResult {
    Preferences prefs;
    std::string error; // empty when all 15 values were read
    bool ok() const { return error.empty(); }
};

// Reads the 15 values of "wexonprf.txt". Missing values, a text where a number
// belongs or a number out of a byte's range is an error.
PreferencesReadResult parsePreferences(std::string_view bytes);
// The 15 lines of "wexonprf.txt", one value per line, CR LF ended.
std::string serializePreferences(const Preferences& prefs);

} // namespace wexon::core
