#include "rig/yaesu.h"

#include <algorithm>
#include <cstdint>

#include "core/number_format.h"
#include "rig/hex_bytes.h"

namespace wexon::rig {

namespace {

bool allDecimal(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

void parseYaesu(std::string_view reply, RigReading& reading) {
    if (reply.size() < 5) {
        return;
    }
    const std::string h = hexOf(reply.substr(0, 5));
    const std::string modeText = h.substr(8, 2);
    if (!allDecimal(modeText)) {
        return;
    }
    const int m = std::stoi(modeText);
    // The frequency text drops the leading zeros of the MHz part.
    std::string text;
    if (h[0] != '0') {
        text += h[0];
    }
    if (h.compare(0, 2, "00") != 0) {
        text += h[1];
    }
    if (h.compare(0, 3, "000") != 0) {
        text += h[2];
        text += '.';
    }
    text += h.substr(3, 5);
    // Frequency digits that are not BCD mean the reply is not a status frame.
    std::string digitsOnly;
    for (char c : text) {
        if (c != '.') {
            digitsOnly += c;
        }
    }
    if (!allDecimal(digitsOnly)) {
        return;
    }
    reading.frequency = static_cast<float>(core::leadingNumber(text));
    if (m == 0 || m == 1 || m == 4 || m == 8 || m == 84 || m == 88) {
        reading.mode = "PH";
    } else if (m == 2 || m == 3 || m == 82 || m == 83) {
        reading.mode = "CW";
    }
}

void parseYaesu757(std::string_view reply, RigReading& reading) {
    if (reply.size() < 5) {
        return;
    }
    const std::string h = hexOf(reply.substr(0, 10));
    if (h.size() >= 18) {
        std::string digits = h.substr(16, 2) + h.substr(14, 2) + h.substr(12, 2) + h.substr(10, 2);
        if (auto count = digitsValue(digits)) {
            reading.frequency = roundToFiveDecimals(static_cast<double>(*count) / 100000.0);
        }
    }
    if (h.size() >= 20 && allDecimal(h.substr(18, 2))) {
        switch (std::stoi(h.substr(18, 2))) {
        case 0:
        case 1:
            reading.mode = "PH";
            break;
        case 2:
        case 3:
            reading.mode = "CW";
            break;
        case 4:
            reading.mode = "AM";
            break;
        case 5:
            reading.mode = "FM";
            break;
        default:
            break;
        }
    }
}

void parseYaesuWindow(std::string_view reply, const HexWindow& window, RigReading& reading) {
    if (reply.size() < static_cast<std::size_t>(window.minBytes)) {
        return;
    }
    // Only the digits up to the mode digit are ever looked at.
    const std::size_t wanted =
        static_cast<std::size_t>(std::max(window.lastDigit, window.modeDigit));
    const std::string h = hexOf(reply.substr(0, (wanted + 1) / 2));
    if (window.lastDigit > 0 && h.size() >= static_cast<std::size_t>(window.lastDigit)) {
        std::uint64_t value = 0;
        for (int i = window.firstDigit; i <= window.lastDigit; ++i) {
            value = value * 16 +
                    static_cast<std::uint64_t>(hexValue(h[static_cast<std::size_t>(i - 1)]));
        }
        reading.frequency = roundToFiveDecimals(static_cast<double>(value) / window.divisor);
    }
    if (window.modeDigit > 0 && h.size() >= static_cast<std::size_t>(window.modeDigit)) {
        const int d = hexValue(h[static_cast<std::size_t>(window.modeDigit - 1)]);
        if (window.cwOnlyOnOne) {
            reading.mode = d == 1 ? "CW" : "PH";
        } else if (d == 2) {
            reading.mode = "CW";
        } else if (d >= 0 && d <= 7) {
            reading.mode = "PH";
        }
    }
}

std::string yaesuFrequencyCommand(float mhz, bool mostSignificantFirst) {
    auto count = frequencyCount(mhz, 100000.0);
    if (!count) {
        return {};
    }
    const std::string d = countDigits(*count, 8);
    if (d.size() > 8) {
        return {};
    }
    if (mostSignificantFirst) {
        return bytesFromHex(d + "01");
    }
    return bytesFromHex(d.substr(6, 2) + d.substr(4, 2) + d.substr(2, 2) + d.substr(0, 2) + "0A");
}

std::string yaesuModeCommand(std::string_view mode, ModeTable table) {
    struct Row {
        const char* mode;
        const char* opcode0C;
        const char* opcode07;
    };
    static constexpr Row kRows[] = {
        {"LSB", "000000000C", "0000000007"},  {"USB", "000000010C", "0100000007"},
        {"CW", "000000020C", "0200000007"},   {"CW-R", "000000030C", nullptr},
        {"AM", "000000040C", "0400000007"},   {"FM", "000000060C", "0800000007"},
        {"RTTY", "000000080C", "0A00000007"}, {"DIG", nullptr, "0A00000007"},
        {"PKT", "0000000A0C", "0C00000007"},
    };
    for (const Row& r : kRows) {
        if (mode == r.mode) {
            const char* hex = table == ModeTable::YaesuOpcode07   ? r.opcode07
                              : table == ModeTable::YaesuOpcode0C ? r.opcode0C
                                                                  : nullptr;
            return hex ? bytesFromHex(hex) : std::string();
        }
    }
    return {};
}

} // namespace wexon::rig
