#include "keying/voice_settings.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"
#include "keying/settings_lines.h"

namespace wexon::keying {

namespace {

// Larger numbers are kept at this one; the serial service refuses them all.
constexpr double kMaxPortNumber = 1'000'000;

PttLine pttLineFromNumber(long long value) {
    switch (value) {
    case 0:
        return PttLine::Rts;
    case 1:
        return PttLine::Dtr;
    case 2:
        return PttLine::Parallel;
    default:
        return PttLine::None;
    }
}

// Text made only of a number's characters, with a digit: what the numeric
// test refuses then is a number too large to read.
bool numberShaped(std::string_view text) {
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-' && c != ' ') {
            return false;
        }
    }
    return digit;
}

} // namespace

int readVoiceSettings(std::string_view bytes, VoiceSettings& settings) {
    SettingsLines lines(bytes);
    int taken = 0;
    auto text = [&](std::size_t line, std::string& out) {
        auto value = lines.text(line);
        if (!value) {
            return false;
        }
        out = *value;
        ++taken;
        return true;
    };
    for (std::size_t i = 0; i < VoiceSettings::kMessageCount; ++i) {
        if (!text(i, settings.files[i])) {
            return taken;
        }
    }
    if (!text(9, settings.portText)) {
        return taken;
    }
    auto line = lines.integer(10);
    if (!line) {
        return taken;
    }
    settings.pttLine = pttLineFromNumber(*line);
    ++taken;
    if (!text(11, settings.repeatText)) {
        return taken;
    }
    text(12, settings.addressText);
    return taken;
}

std::string writeVoiceSettings(const VoiceSettings& settings) {
    std::string out;
    for (const std::string& file : settings.files) {
        out += SettingsLines::quotedLine(file);
    }
    out += SettingsLines::quotedLine(settings.portText);
    const int line = settings.pttLine == PttLine::None ? 0 : static_cast<int>(settings.pttLine);
    out += SettingsLines::numberLine(line);
    out += SettingsLines::quotedLine(settings.repeatText);
    out += SettingsLines::quotedLine(settings.addressText);
    return out;
}

RepeatInterval repeatIntervalFromText(std::string_view text) {
    RepeatInterval r;
    r.text = "0";
    auto seconds = core::parseNumber(text);
    if (!seconds || !std::isfinite(*seconds)) {
        // A number the reader cannot hold (past the range of a double).
        r.beep = seconds.has_value() ||
                 (numberShaped(text) && text.find_first_of("eE") != std::string_view::npos);
        return r;
    }
    if (*seconds >= 0 && *seconds < 60) {
        r.text = std::string(text);
        r.ms = static_cast<int>(std::lround(*seconds * 1000.0));
    }
    return r;
}

int pttPortNumber(std::string_view portText) {
    auto n = core::parseNumber(portText);
    if (!n || std::isnan(*n) || *n < 0.5) {
        return 0;
    }
    return static_cast<int>(std::lround(std::min(*n, kMaxPortNumber)));
}

} // namespace wexon::keying
