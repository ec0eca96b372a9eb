#include "rig/icom.h"

#include <cstdint>

#include "core/number_format.h"
#include "rig/hex_bytes.h"

namespace wexon::rig {

namespace {

constexpr unsigned char kPreamble = 0xFE;
constexpr unsigned char kEnd = 0xFD;
// Data digits kept while scanning; the reading uses the first ten, which are
// always the newest bytes, so older ones can be let go.
constexpr std::size_t kMaxDigits = 64;

enum class Scan { Empty, GotFirstFE, GotSecondFE, WaitForFD };

// Walks the reply through the frame states and calls `onData` for every data
// byte of a frame with command `command`; stops early when `onData` says so.
template <typename OnData, typename OnEnd>
void scanFrames(std::string_view reply, unsigned char command, OnData onData, OnEnd onEnd) {
    Scan state = Scan::Empty;
    int skip = 0;
    for (char c : reply) {
        auto b = static_cast<unsigned char>(c);
        if (skip > 0) {
            // The two addresses. FE is never an address: a further FE means the
            // preamble is still going (noise ending in FE before a frame).
            skip = b == kPreamble ? 2 : skip - 1;
            continue;
        }
        switch (state) {
        case Scan::Empty:
            state = b == kPreamble ? Scan::GotFirstFE : Scan::Empty;
            break;
        case Scan::GotFirstFE:
            if (b == kPreamble) {
                state = Scan::GotSecondFE;
                skip = 2;
            } else {
                state = Scan::Empty;
            }
            break;
        case Scan::GotSecondFE:
            state = b == command ? Scan::WaitForFD : Scan::Empty;
            break;
        case Scan::WaitForFD:
            if (b == kEnd) {
                state = Scan::Empty;
                onEnd();
            } else if (!onData(b)) {
                return;
            }
            break;
        }
    }
}

bool isHexPair(std::string_view s) {
    auto hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    return s.size() == 2 && hex(s[0]) && hex(s[1]);
}

// Digits and one point, at least one digit: the only form a BCD reading takes.
bool isPlainDecimal(std::string_view s) {
    bool digit = false;
    bool point = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

std::string at(const std::string& s, std::size_t pos, std::size_t n) {
    return pos < s.size() ? s.substr(pos, n) : std::string();
}

} // namespace

void parseCivFrequency(std::string_view reply, bool fourBytes, RigReading& reading) {
    // Only a frame closed by FD counts, and it must carry all its BCD bytes: a
    // reply cut short would otherwise read as a wrong frequency.
    std::string frame;  // digits of the frame being read, newest byte first
    std::string digits; // digits of the last complete frame
    const std::size_t wanted = fourBytes ? 8 : 10;
    scanFrames(
        reply, 0x03,
        [&](unsigned char b) {
            char pair[2] = {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 0x0F]};
            frame.insert(0, pair, 2);
            if (frame.size() > kMaxDigits) {
                frame.resize(kMaxDigits);
            }
            return true;
        },
        [&] {
            if (frame.size() >= wanted) {
                digits = frame;
            }
            frame.clear();
        });
    if (digits.empty()) {
        return;
    }
    std::string text;
    if (at(digits, 0, 1) != "0") {
        text += at(digits, 0, 1);
    }
    if (at(digits, 0, 2) != "00") {
        text += at(digits, 1, 1);
    }
    if (at(digits, 0, 3) != "000") {
        text += at(digits, 2, 1);
    }
    text += at(digits, 3, 1);
    text += ".";
    text += at(digits, 4, 6);
    if (!isPlainDecimal(text)) {
        return;
    }
    double mhz = core::leadingNumber(text);
    if (fourBytes) {
        mhz /= 100.0;
    }
    if (!frequencyInBounds(mhz)) {
        return;
    }
    reading.frequency = static_cast<float>(mhz);
}

void parseCivMode(std::string_view reply, RigReading& reading) {
    bool found = false;
    unsigned char first = 0;
    scanFrames(
        reply, 0x04,
        [&](unsigned char b) {
            found = true;
            first = b;
            return false;
        },
        [] {});
    if (found) {
        reading.mode = first == 0x03 ? "CW" : "PH";
    }
}

std::string civAddress(std::string_view frequencyRead) {
    if (frequencyRead.size() >= 8 && isHexPair(frequencyRead.substr(6, 2))) {
        return std::string(frequencyRead.substr(6, 2));
    }
    return "64";
}

std::string civFrequencyCommand(std::string_view address, float mhz, bool fourBytes) {
    auto hz = frequencyCount(mhz, 1000000.0);
    if (!hz) {
        return {};
    }
    const std::size_t pairs = fourBytes ? 4 : 5;
    std::string d = countDigits(*hz, static_cast<int>(pairs * 2));
    // Four BCD bytes hold at most 8 digits, five at most 10; a larger count
    // cannot be sent.
    if (d.size() > pairs * 2) {
        return {};
    }
    std::string hex = "FEFE" + std::string(address) + "E005";
    for (std::size_t i = 0; i < pairs; ++i) {
        hex += d.substr(d.size() - 2 * (i + 1), 2);
    }
    hex += "FD";
    return bytesFromHex(hex);
}

std::string civModeCommand(std::string_view address, std::string_view mode) {
    const char* code = nullptr;
    if (mode == "LSB") {
        code = "00";
    } else if (mode == "USB") {
        code = "01";
    } else if (mode == "CW") {
        code = "03";
    } else if (mode == "CW-R") {
        code = "07";
    } else if (mode == "AM") {
        code = "02";
    } else if (mode == "FM") {
        code = "05";
    } else if (mode == "RTTY") {
        code = "04";
    } else if (mode == "RTTY-R") {
        code = "08";
    }
    if (code == nullptr) {
        return {};
    }
    return bytesFromHex("FEFE" + std::string(address) + "E006" + code + "FD");
}

} // namespace wexon::rig
