#include "core/bands.h"

#include "core/text_util.h"

namespace wexon::core {

bool isBandName(std::string_view band) {
    for (const auto& w : kBandWindows) {
        if (equalsIgnoreCase(band, w.name)) {
            return true;
        }
    }
    return false;
}

bool isLowBand(std::string_view band) {
    return equalsIgnoreCase(band, "160") || equalsIgnoreCase(band, "80") ||
           equalsIgnoreCase(band, "40");
}

std::optional<std::string> bandForFrequency(float mhz) {
    for (const auto& w : kBandWindows) {
        if (mhz > w.above && mhz < w.below) {
            return std::string(w.name);
        }
    }
    return std::nullopt;
}

std::string nextBand(std::string_view band) {
    for (std::size_t i = 0; i < kBandWindows.size(); ++i) {
        if (equalsIgnoreCase(band, kBandWindows[i].name)) {
            return kBandWindows[(i + 1) % kBandWindows.size()].name;
        }
    }
    return kBandWindows[0].name;
}

} // namespace wexon::core
