#include "rig/yaesu_text.h"

namespace wexon::rig {

void parseYaesuText(std::string_view reply, std::string_view frequencyRead,
                    std::string_view modeRead, RigReading& reading) {
    if (frequencyRead.size() >= 2) {
        std::size_t p = reply.find(frequencyRead.substr(0, 2));
        // All eight digits must have arrived; a cut reply is not read.
        if (p != std::string_view::npos && p + 10 <= reply.size()) {
            auto hz = digitsValue(reply.substr(p + 2, 8));
            if (auto mhz = hz ? readingMhz(static_cast<double>(*hz) / 1000000.0) : std::nullopt) {
                reading.frequency = *mhz;
            }
        }
    }
    if (modeRead.size() >= 3) {
        std::size_t p = reply.find(modeRead.substr(0, 3));
        if (p != std::string_view::npos && p + 3 < reply.size()) {
            reading.mode = reply[p + 3] == '3' ? "CW" : "PH";
        }
    }
}

std::string yaesuTextFrequencyCommand(std::string_view letters, float mhz) {
    auto hz = frequencyCount(mhz, 1000000.0);
    if (!hz) {
        return {};
    }
    return std::string(letters) + countDigits(*hz, 8) + ";";
}

std::string yaesuTextModeCommand(std::string_view modeRead, std::string_view mode) {
    char digit = 0;
    if (mode == "LSB") {
        digit = '1';
    } else if (mode == "USB") {
        digit = '2';
    } else if (mode == "CW") {
        digit = '3';
    } else if (mode == "CW-R") {
        digit = '7';
    } else if (mode == "AM") {
        digit = '5';
    } else if (mode == "FM") {
        digit = '4';
    } else if (mode == "RTTY") {
        digit = '6';
    }
    if (digit == 0) {
        return {};
    }
    return std::string(modeRead.substr(0, 3)) + digit + ";";
}

} // namespace wexon::rig
