#include "keying/cwdaemon_protocol.h"

#include <algorithm>

#include "core/text_util.h"
#include "keying/morse_table.h"

namespace wexon::keying::cwdaemon {

namespace {

constexpr char kEsc = '\x1b';

std::string command(char code, int value) {
    return std::string{kEsc, code} + std::to_string(value);
}

} // namespace

std::string resetRequest() {
    return {kEsc, '0'};
}

std::string speedRequest(int wpm) {
    return command('2', std::clamp(wpm, kMinWpm, kMaxWpm));
}

std::string toneRequest(int hz) {
    return command('3', std::clamp(hz, 0, 4000));
}

std::string abortRequest() {
    return {kEsc, '4'};
}

std::string weightRequest(int weight) {
    return command('7', std::clamp(weight, -50, 50));
}

std::string pttRequest(bool on) {
    return command('a', on ? 1 : 0);
}

std::string pttDelayRequest(int ms) {
    return command('d', std::clamp(ms, 0, 50));
}

std::string tuneRequest(int seconds) {
    return command('c', std::clamp(seconds, 1, kMaxTuneSeconds));
}

std::string echoRequest(std::string_view tag) {
    std::string out{kEsc, 'h'};
    for (char c : tag) {
        if (c > 0x20 && c < 0x7F && out.size() < 34) {
            out += c;
        }
    }
    return out;
}

std::string translateText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char raw : text) {
        const char c = core::toUpperAscii(raw);
        switch (c) {
        case ' ':
            out += ' ';
            continue;
        case '[':
            out += '*'; // AR
            continue;
        case ']':
            out += '<'; // SK
            continue;
        case ';':
            out += '('; // KN
            continue;
        case '-':
            out += '='; // BT; cwdaemon takes "-" as "slower"
            continue;
        case '\\':
            out += "CL"; // cwdaemon has no single character for CL
            continue;
        default:
            break;
        }
        if (!morsePattern(c).empty()) {
            out += c;
        }
    }
    return out;
}

std::optional<Reply> parseReply(std::string_view datagram) {
    if (datagram.size() > 64) {
        return std::nullopt;
    }
    if (datagram.size() >= 2 && datagram.substr(datagram.size() - 2) == "\r\n") {
        datagram.remove_suffix(2);
    }
    if (datagram == "break") {
        return Reply{Reply::Kind::Break, {}};
    }
    if (datagram.empty() || datagram.front() != 'h') {
        return std::nullopt;
    }
    datagram.remove_prefix(1);
    for (char c : datagram) {
        if (c <= 0x20 || c >= 0x7F) {
            return std::nullopt;
        }
    }
    return Reply{Reply::Kind::Echo, std::string(datagram)};
}

long long keyedUnits(std::string_view text, int wordSpaceAdjust) {
    long long units = 0;
    for (char c : text) {
        units += static_cast<long long>(keyedPattern(c, wordSpaceAdjust).size());
    }
    return units;
}

} // namespace wexon::keying::cwdaemon
