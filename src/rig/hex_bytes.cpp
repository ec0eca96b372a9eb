#include "rig/hex_bytes.h"

namespace wexon::rig {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

char pairValue(std::string_view pair) {
    int value = 0;
    for (char c : pair) {
        int d = hexDigit(c);
        if (d < 0) {
            break;
        }
        value = value * 16 + d;
    }
    return static_cast<char>(value);
}

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

std::string bytesFromSpacedHex(std::string_view text, std::size_t maxPairs) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size() && out.size() < maxPairs; pos += 3) {
        out.push_back(pairValue(text.substr(pos, 2)));
    }
    return out;
}

std::string bytesFromHex(std::string_view compact) {
    std::string out;
    for (std::size_t pos = 0; pos < compact.size(); pos += 2) {
        out.push_back(pairValue(compact.substr(pos, 2)));
    }
    return out;
}

std::string hexOf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

std::string spacedHexOf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
        out.push_back(' ');
    }
    return out;
}

} // namespace wexon::rig
