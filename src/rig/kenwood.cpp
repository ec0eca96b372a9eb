#include "rig/kenwood.h"

namespace wexon::rig {

namespace {

// The frequency carried by `digits` characters of Hz at `at`, when all are there.
bool readHz(std::string_view reply, std::size_t at, std::size_t digits, float& mhz) {
    if (at + digits > reply.size()) {
        return false;
    }
    auto hz = digitsValue(reply.substr(at, digits));
    auto checked = hz ? readingMhz(static_cast<double>(*hz) / 1000000.0) : std::nullopt;
    if (!checked) {
        return false;
    }
    mhz = *checked;
    return true;
}

} // namespace

void parseKenwood(std::string_view reply, std::string_view frequencyRead, RigReading& reading) {
    if (frequencyRead.size() >= 3) {
        std::size_t p = reply.find(frequencyRead.substr(0, 2));
        float mhz = 0;
        if (p != std::string_view::npos && readHz(reply, p + 2, 11, mhz)) {
            reading.frequency = mhz;
        }
    }
    std::size_t m = reply.find("MD");
    if (m != std::string_view::npos && m + 2 < reply.size()) {
        char digit = reply[m + 2];
        reading.mode = (digit == '3' || digit == '7') ? "CW" : "PH";
    }
}

void parseKenwood2(std::string_view reply, RigReading& reading) {
    std::size_t p = reply.find("IF");
    float mhz = 0;
    if (p == std::string_view::npos || !readHz(reply, p + 2, 11, mhz)) {
        return;
    }
    reading.frequency = mhz;
    // The mode and VFO digits only count when the reply reaches them.
    if (p + 29 < reply.size()) {
        reading.mode = reply[p + 29] == '3' ? "CW" : "PH";
    }
    if (p + 30 < reply.size() && reply[p + 30] >= '0' && reply[p + 30] <= '9') {
        reading.vfo = reply[p + 30] - '0';
    }
}

std::string kenwoodFrequencyCommand(std::string_view letters, float mhz) {
    auto hz = frequencyCount(mhz, 1000000.0);
    if (!hz) {
        return {};
    }
    return std::string(letters) + countDigits(*hz, 11) + ";";
}

std::string kenwoodModeCommand(std::string_view mode) {
    if (mode == "LSB") {
        return "MD1;";
    }
    if (mode == "USB") {
        return "MD2;";
    }
    if (mode == "CW") {
        return "MD3;";
    }
    if (mode == "AM") {
        return "MD5;";
    }
    if (mode == "FM") {
        return "MD4;";
    }
    if (mode == "RTTY" || mode == "FSK") {
        return "MD6;";
    }
    return {};
}

} // namespace wexon::rig
