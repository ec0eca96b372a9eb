#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace wexon::core {

// A contest band and its frequency window in MHz (both limits exclusive).
struct BandWindow {
    const char* name;
    float above;
    float below;
};

inline constexpr std::array<BandWindow, 6> kBandWindows{{
    {"160", 1.7999f, 2.0001f},
    {"80", 3.4999f, 4.0001f},
    {"40", 6.9999f, 7.3001f},
    {"20", 13.9999f, 14.3501f},
    {"15", 20.9999f, 21.4501f},
    {"10", 27.9999f, 29.7001f},
}};

// True for one of the six band names (ignoring case).
bool isBandName(std::string_view band);
// "160", "80" and "40" score double.
bool isLowBand(std::string_view band);
// The band whose window holds the frequency, checked in table order.
std::optional<std::string> bandForFrequency(float mhz);
// The band after `band` in the cycle 160, 80, 40, 20, 15, 10, 160.
std::string nextBand(std::string_view band);

} // namespace wexon::core
