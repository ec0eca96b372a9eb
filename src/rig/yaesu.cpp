#include "rig/yaesu.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/text_util.h"
#include "rig/amateur_bands.h"
#include "rig/hex_bytes.h"

namespace wexon::rig {

namespace {

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

namespace {

// The reading of a 10 Hz BCD count, when it is one: every digit decimal, and
// the frequency inside an amateur band. A binary reply read out of step still
// gives digits, so the band is the last check that it was read in step.
std::optional<float> bcdTensOfHz(std::string_view digits) {
    auto count = digitsValue(digits);
    if (!count) {
        return std::nullopt;
    }
    auto mhz = readingMhz(static_cast<double>(*count) / 100000.0);
    if (!mhz || !isAmateurFrequency(*mhz)) {
        return std::nullopt;
    }
    return mhz;
}

} // namespace

std::size_t yaesuReplyBytes(ParserKind parser, const HexWindow& window) {
    switch (parser) {
    case ParserKind::Yaesu:
        return kYaesuStatusBytes;
    case ParserKind::Yaesu757:
        return kYaesu757StatusBytes;
    case ParserKind::YaesuWindow: {
        const int digits = std::max(window.lastDigit, window.modeDigit);
        return static_cast<std::size_t>(std::max(window.minBytes, (digits + 1) / 2));
    }
    default:
        return 0;
    }
}

void parseYaesu(std::string_view reply, RigReading& reading) {
    // Exactly one status frame: more or fewer bytes are not this answer.
    if (reply.size() != kYaesuStatusBytes) {
        return;
    }
    const std::string h = hexOf(reply);
    const std::string modeText = h.substr(8, 2);
    if (!core::allDigits(modeText)) {
        return;
    }
    const auto mhz = bcdTensOfHz(std::string_view(h).substr(0, 8));
    if (!mhz) {
        return;
    }
    reading.frequency = *mhz;
    const int m = std::stoi(modeText);
    if (m == 0 || m == 1 || m == 4 || m == 8 || m == 84 || m == 88) {
        reading.mode = "PH";
    } else if (m == 2 || m == 3 || m == 82 || m == 83) {
        reading.mode = "CW";
    }
}

void parseYaesu757(std::string_view reply, RigReading& reading) {
    if (reply.size() < kYaesu757StatusBytes) {
        return;
    }
    const std::string h = hexOf(reply.substr(0, kYaesu757StatusBytes));
    const std::string digits =
        h.substr(16, 2) + h.substr(14, 2) + h.substr(12, 2) + h.substr(10, 2);
    const auto mhz = bcdTensOfHz(digits);
    if (!mhz) {
        return; // the frame's mode byte is no better than its frequency
    }
    reading.frequency = *mhz;
    if (core::allDigits(h.substr(18, 2))) {
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
    // All the digits looked at must have arrived: a reply cut short is not read.
    const std::size_t needed = yaesuReplyBytes(ParserKind::YaesuWindow, window);
    if (reply.size() < needed) {
        return;
    }
    const std::string h = hexOf(reply.substr(0, needed));
    if (window.lastDigit > 0) {
        std::uint64_t value = 0;
        for (int i = window.firstDigit; i <= window.lastDigit; ++i) {
            value = value * 16 +
                    static_cast<std::uint64_t>(hexValue(h[static_cast<std::size_t>(i - 1)]));
        }
        const auto mhz = readingMhz(static_cast<double>(value) / window.divisor);
        if (!mhz || !isAmateurFrequency(*mhz)) {
            return; // out of step or garbled: the mode digit is no better
        }
        reading.frequency = *mhz;
    }
    if (window.modeDigit > 0) {
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
