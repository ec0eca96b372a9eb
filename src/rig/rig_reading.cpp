#include "rig/rig_reading.h"

#include <cfenv>
#include <cmath>

#include "core/number_format.h"

namespace wexon::rig {

std::optional<long long> frequencyCount(float mhz, double perMhz) {
    double value = static_cast<double>(mhz) * perMhz;
    if (!std::isfinite(value) || value <= 0 || value > 1e15) {
        return std::nullopt;
    }
    // nearbyint rounds in the current mode, which is to nearest, halves to even.
    return static_cast<long long>(std::nearbyint(value));
}

std::string countDigits(long long count, int width) {
    return core::zeroPad(count, width);
}

std::optional<long long> digitsValue(std::string_view text) {
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

float roundToFiveDecimals(double value) {
    return static_cast<float>(std::round(value * 100000.0) / 100000.0);
}

bool frequencyInBounds(double mhz) {
    return std::isfinite(mhz) && mhz > 0 && mhz < kMaxReadingMhz;
}

std::optional<float> readingMhz(double mhz) {
    if (!frequencyInBounds(mhz)) {
        return std::nullopt;
    }
    const float rounded = roundToFiveDecimals(mhz);
    if (rounded <= 0 || rounded >= kMaxReadingMhz) {
        return std::nullopt; // rounded onto the bound or below the last decimal kept
    }
    return rounded;
}

} // namespace wexon::rig
