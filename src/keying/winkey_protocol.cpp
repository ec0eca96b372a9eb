#include "keying/winkey_protocol.h"

#include "core/text_util.h"

namespace wexon::keying::winkey {

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(static_cast<std::uint8_t>(v & 0xFF));
    }
    return out;
}

} // namespace

std::string echoTest(std::uint8_t value) {
    return bytes({0x00, 0x04, value});
}
std::string hostOpen() {
    return bytes({0x00, 0x02});
}
std::string hostClose() {
    return bytes({0x00, 0x03});
}
std::string setSpeed(int wpm) {
    return bytes({0x02, wpm});
}
std::string setWeight(int weight) {
    return bytes({0x03, weight});
}
std::string pttLeadTail(int leadIn, int tail) {
    return bytes({0x04, leadIn, tail});
}
std::string backspace() {
    return bytes({0x08});
}
std::string pinConfig(int value) {
    return bytes({0x09, value});
}
std::string clearBuffer() {
    return bytes({0x0A});
}
std::string setMode(int value) {
    return bytes({0x0E, value});
}
std::string requestStatus() {
    return bytes({0x15});
}
std::string ditDahRatio(int ratio) {
    return bytes({0x17, ratio});
}

std::optional<std::uint8_t> characterByte(char ch) {
    auto byte = static_cast<std::uint8_t>(core::toUpperAscii(ch));
    if (byte < 0x20 || byte > 0x7E) {
        return std::nullopt;
    }
    return byte;
}

void ReplyDecoder::feed(std::string_view data) {
    for (char c : data) {
        auto b = static_cast<std::uint8_t>(c);
        if ((b & 0xE0) == 0xC0) {
            m_status = b & 0x1F;
        } else if ((b & 0xC0) == 0x80) {
            m_pot = b & 0x3F;
        } else {
            m_plain = b;
        }
    }
}

} // namespace wexon::keying::winkey
