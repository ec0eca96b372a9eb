#include "keying/cw_settings.h"

#include "keying/settings_lines.h"

namespace wexon::keying {

bool isKeyingInterface(int value) {
    return value == 0 || value == 1 || value == 2 || value == 3 || value == 5 || value == 6;
}

int readCwSettings(std::string_view bytes, CwSettings& settings) {
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
    for (std::size_t i = 0; i < 8; ++i) {
        if (!text(i, settings.messages[i])) {
            return taken;
        }
    }
    if (!text(8, settings.messages[8])) {
        return taken;
    }
    if (settings.messages[8].empty()) {
        settings.messages[8] = kEmptyF9Message;
    }
    if (!text(9, settings.portText) || !text(10, settings.speedText) ||
        !text(11, settings.messages[9]) || !text(12, settings.messages[10]) ||
        !text(13, settings.spaceText)) {
        return taken;
    }
    auto interface = lines.integer(14);
    if (!interface) {
        return taken;
    }
    // An interface number the program does not know keys nothing.
    settings.interface =
        isKeyingInterface(static_cast<int>(*interface)) ? static_cast<int>(*interface) : 0;
    ++taken;
    if (!text(15, settings.addressText)) {
        return taken;
    }
    auto display = lines.integer(16);
    if (!display) {
        return taken;
    }
    settings.displayText = *display != 0;
    ++taken;
    if (!text(17, settings.repeatText) || !text(18, settings.cwdaemonHost) ||
        !text(19, settings.cwdaemonPortText)) {
        return taken;
    }
    auto ptt = lines.integer(20);
    if (!ptt) {
        return taken;
    }
    settings.cwdaemonPtt = *ptt != 0;
    ++taken;
    if (!text(21, settings.cwdaemonPttLeadText)) {
        return taken;
    }
    text(22, settings.cwdaemonToneText);
    return taken;
}

std::string writeCwSettings(const CwSettings& settings) {
    std::string out;
    for (std::size_t i = 0; i < 9; ++i) {
        out += SettingsLines::quotedLine(settings.messages[i]);
    }
    out += SettingsLines::quotedLine(settings.portText);
    out += SettingsLines::quotedLine(settings.speedText);
    out += SettingsLines::quotedLine(settings.messages[9]);
    out += SettingsLines::quotedLine(settings.messages[10]);
    out += SettingsLines::quotedLine(settings.spaceText);
    out += SettingsLines::numberLine(settings.interface);
    out += SettingsLines::quotedLine(settings.addressText);
    out += SettingsLines::numberLine(settings.displayText ? 1 : 0);
    out += SettingsLines::quotedLine(settings.repeatText);
    out += SettingsLines::quotedLine(settings.cwdaemonHost);
    out += SettingsLines::quotedLine(settings.cwdaemonPortText);
    out += SettingsLines::numberLine(settings.cwdaemonPtt ? 1 : 0);
    out += SettingsLines::quotedLine(settings.cwdaemonPttLeadText);
    out += SettingsLines::quotedLine(settings.cwdaemonToneText);
    return out;
}

} // namespace wexon::keying
