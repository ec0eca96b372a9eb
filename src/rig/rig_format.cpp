#include "rig/rig_format.h"

#include <cmath>
#include <cstdio>

namespace wexon::rig {

namespace {

// Fixed decimals, half away from zero, without a leading "0" before the point.
std::string fixed(double value, int decimals) {
    double scale = std::pow(10.0, decimals);
    double rounded = std::round(std::fabs(value) * scale) / scale;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
    std::string s = buf;
    if (s.size() > 1 && s[0] == '0' && s[1] == '.') {
        s.erase(0, 1);
    }
    if (value < 0 && rounded != 0) {
        s.insert(0, "-");
    }
    return s;
}

} // namespace

std::string formatReadout(double mhz) {
    return fixed(mhz, 5);
}

std::string formatScanFrequency(double mhz) {
    std::string s = fixed(mhz, 5);
    while (!s.empty() && s.back() == '0') {
        s.pop_back();
    }
    if (!s.empty() && s.back() == '.') {
        s.pop_back();
    }
    return s.empty() ? "0" : s;
}

std::string formatBandEdge(double mhz) {
    std::string s = fixed(mhz, 3);
    std::size_t point = s.find('.');
    std::size_t start = (!s.empty() && s[0] == '-') ? 1 : 0;
    for (std::size_t i = point; i > start + 3; i -= 3) {
        s.insert(i - 3, ",");
    }
    return s;
}

} // namespace wexon::rig
