#include "keying/winkey_settings.h"

#include <cmath>

#include "core/number_format.h"
#include "keying/settings_lines.h"

namespace wexon::keying {

namespace {

std::optional<int> byteInRange(std::string_view text, int low, int high) {
    auto value = core::parseNumber(text);
    if (!value) {
        return std::nullopt;
    }
    double rounded = std::round(*value);
    if (rounded < low || rounded > high) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

std::string resetIfNotNumeric(std::string_view text, const char* fallback) {
    return core::isNumeric(text) ? std::string(text) : std::string(fallback);
}

} // namespace

bool isWinKeyMode(int value) {
    return value == kWinKeyModeIambicA || value == kWinKeyModeIambicB ||
           value == kWinKeyModeUltimatic || value == kWinKeyModeBug;
}

bool isWinKeyPinConfig(int value) {
    return value == kWinKeyPinPtt || value == kWinKeyPinTone || value == kWinKeyPinKeyP3 ||
           value == kWinKeyPinKeyP5;
}

int readWinKeySettings(std::string_view bytes, WinKeySettings& settings) {
    SettingsLines lines(bytes);
    int taken = 0;
    auto port = lines.integer(0);
    if (!port || *port < 0 || *port > 255) {
        return taken;
    }
    settings.port = static_cast<int>(*port);
    ++taken;
    std::string* texts[] = {&settings.wpmText, &settings.weightText, &settings.leadInText,
                            &settings.tailText, &settings.ratioText};
    for (std::size_t i = 0; i < 5; ++i) {
        auto value = lines.text(i + 1);
        if (!value) {
            return taken;
        }
        *texts[i] = *value;
        ++taken;
    }
    auto pin = lines.integer(6);
    if (pin && isWinKeyPinConfig(static_cast<int>(*pin))) {
        settings.pinConfig = static_cast<int>(*pin);
        ++taken;
    }
    auto mode = lines.integer(7);
    if (mode && isWinKeyMode(static_cast<int>(*mode))) {
        settings.mode = static_cast<int>(*mode);
        ++taken;
    }
    return taken;
}

std::string writeWinKeySettings(const WinKeySettings& settings) {
    std::string out = SettingsLines::numberLine(settings.port);
    out += SettingsLines::quotedLine(settings.wpmText);
    out += SettingsLines::quotedLine(settings.weightText);
    out += SettingsLines::quotedLine(settings.leadInText);
    out += SettingsLines::quotedLine(settings.tailText);
    out += SettingsLines::quotedLine(settings.ratioText);
    out += SettingsLines::numberLine(settings.pinConfig);
    out += SettingsLines::numberLine(settings.mode);
    return out;
}

std::optional<int> winKeySpeedByte(std::string_view text) {
    return byteInRange(text, 0, 99);
}
std::optional<int> winKeyWeightByte(std::string_view text) {
    return byteInRange(text, 0, 99);
}
std::optional<int> winKeyRatioByte(std::string_view text) {
    return byteInRange(text, 32, 67);
}
std::optional<int> winKeyTimeByte(std::string_view text) {
    return byteInRange(text, 0, 255);
}

std::string winKeyPortReset(std::string_view text) {
    return resetIfNotNumeric(text, "0");
}
std::string winKeySpeedReset(std::string_view text) {
    return resetIfNotNumeric(text, "18");
}
std::string winKeyWeightReset(std::string_view text) {
    return resetIfNotNumeric(text, "50");
}
std::string winKeyTimeReset(std::string_view text) {
    return resetIfNotNumeric(text, "0");
}
std::string winKeyRatioReset(std::string_view text) {
    return resetIfNotNumeric(text, "50");
}

std::string winKeyOpenStatusText(int resultCode) {
    switch (resultCode) {
    case 0:
        return "WK Success!";
    case 1:
        return "No Echo Response";
    case 2:
        return "Echo Mismatch";
    case 3:
        return "No Open Response";
    case 4:
        return "Com Open Failed";
    case 5:
        return "Get Com ST Failed";
    case 6:
        return "Set Com ST Failed";
    case 8:
        return "WK Already Open";
    case 9:
        return "WK Not Open";
    default:
        return {};
    }
}

} // namespace wexon::keying
