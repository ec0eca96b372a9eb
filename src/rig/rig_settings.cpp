#include "rig/rig_settings.h"

#include <cmath>

#include "core/number_format.h"
#include "core/quoted_form.h"
#include "core/text_util.h"

namespace wexon::rig {

namespace {

// A whole number small enough for every setting; the range is checked on
// the double, before any cast, since a cast of 9.7e40 is undefined.
std::optional<int> wholeNumber(const std::string& text) {
    auto v = core::parseNumber(text);
    if (!v || !std::isfinite(*v) || *v < -1e6 || *v > 1e6 || *v != std::trunc(*v)) {
        return std::nullopt;
    }
    return static_cast<int>(*v);
}

} // namespace

RigSettingsLoad parseRigSettings(std::string_view content, const RigSettings& initial) {
    RigSettingsLoad load;
    load.settings = initial;
    RigSettings& s = load.settings;
    core::FieldReader in(content);
    std::string v;
    auto next = [&]() {
        if (!in.next(v)) {
            return false;
        }
        ++load.valuesRead;
        return true;
    };
    auto flag = [&](int& target) {
        auto n = wholeNumber(v);
        if (n && (*n == 0 || *n == 1)) {
            target = *n;
        }
    };
    if (!next()) {
        return load;
    }
    s.baud = v;
    if (!next()) {
        return load;
    }
    s.parity = v;
    if (!next()) {
        return load;
    }
    s.dataBits = v;
    if (!next()) {
        return load;
    }
    s.stopBits = v;
    if (!next()) {
        return load;
    }
    s.modeRead = v;
    if (!next()) {
        return load;
    }
    s.frequencyRead = v;
    if (!next()) {
        return load;
    }
    s.portSettings = v;
    if (!next()) {
        return load;
    }
    if (auto n = wholeNumber(v); n && *n >= 1 && *n <= 10) {
        s.portNumber = *n;
    }
    if (!next()) {
        return load;
    }
    s.power = v;
    if (!next()) {
        return load;
    }
    s.pollRate = v;
    if (!next()) {
        return load;
    }
    s.rigName = v;
    if (!next()) {
        return load;
    }
    flag(s.convertToHex);
    if (!next()) {
        return load;
    }
    flag(s.useFrequency);
    if (!next()) {
        return load;
    }
    if (auto n = wholeNumber(v); n && *n >= 1 && *n <= 3) {
        s.modeBy = *n;
        load.modeByValid = true;
    }
    return load;
}

std::string serializeRigSettings(const RigSettings& s) {
    core::FieldWriter w;
    w.text(padBaud(s.baud)).endLine();
    w.text(s.parity).endLine();
    w.text(s.dataBits).endLine();
    w.text(s.stopBits).endLine();
    w.text(s.modeRead).endLine();
    w.text(s.frequencyRead).endLine();
    w.text(s.portSettings).endLine();
    w.integer(s.portNumber).endLine();
    w.text(s.power).endLine();
    w.text(s.pollRate).endLine();
    w.text(s.rigName).endLine();
    w.integer(s.convertToHex).endLine();
    w.integer(s.useFrequency).endLine();
    w.integer(s.modeBy).endLine();
    return w.str();
}

std::string padBaud(std::string_view baud) {
    std::string out(baud);
    if (out.size() < 5) {
        out.append(5 - out.size(), ' ');
    }
    return out;
}

std::string portSettingsText(const RigSettings& s) {
    return core::trimRight(s.baud) + "," + s.parity + "," + s.dataBits + "," + s.stopBits;
}

int pollIntervalMs(std::string_view rate) {
    if (rate == "F") {
        return 50;
    }
    if (rate == "S") {
        return 1000;
    }
    if (rate == "R") {
        return 5000;
    }
    return 250;
}

} // namespace wexon::rig
