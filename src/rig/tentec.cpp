#include "rig/tentec.h"

#include <cstdint>

#include "rig/hex_bytes.h"

namespace wexon::rig {

void parseTenTecPanelFrequency(std::string_view reply, RigReading& reading) {
    // Digits 3-10 of the reply's hex are bytes 2-5; all four must be there.
    if (reply.size() < 5) {
        return;
    }
    std::uint32_t hz = 0;
    for (std::size_t i = 1; i <= 4; ++i) {
        hz = (hz << 8) | static_cast<unsigned char>(reply[i]);
    }
    if (auto mhz = readingMhz(static_cast<double>(hz) / 1000000.0)) {
        reading.frequency = *mhz;
    }
}

void parseTenTecPanelMode(std::string_view reply, RigReading& reading) {
    if (reply.size() < 3) {
        return;
    }
    const int d = static_cast<unsigned char>(reply[1]) & 0x0F;
    if (d == 3) {
        reading.mode = "CW";
    } else if (d == 0 || d == 1 || d == 2 || d == 4) {
        reading.mode = "PH";
    }
}

std::string tenTecPanelFrequencyCommand(float mhz) {
    auto hz = frequencyCount(mhz, 1000000.0);
    if (!hz || *hz > 0xFFFFFFFFLL) {
        return {};
    }
    std::string out = "\x2A\x41";
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((*hz >> shift) & 0xFF));
    }
    out.push_back('\x0D');
    return out;
}

void parseOrion(std::string_view reply, RigReading& reading) {
    std::size_t p = reply.find("@AF");
    if (p != std::string_view::npos) {
        std::size_t cr = reply.find('\r', p + 3);
        if (cr != std::string_view::npos) {
            auto hz = digitsValue(reply.substr(p + 3, cr - p - 3));
            if (auto mhz = hz ? readingMhz(static_cast<double>(*hz) / 1000000.0) : std::nullopt) {
                reading.frequency = *mhz;
            }
        }
    }
    std::size_t m = reply.find("@RMM");
    if (m != std::string_view::npos && m + 4 < reply.size()) {
        char d = reply[m + 4];
        reading.mode = (d == '2' || d == '3') ? "CW" : "PH";
    }
}

std::string orionFrequencyCommand(float mhz) {
    auto hz = frequencyCount(mhz, 1000000.0);
    if (!hz) {
        return {};
    }
    return "*AF" + std::to_string(*hz) + "\r";
}

} // namespace wexon::rig
