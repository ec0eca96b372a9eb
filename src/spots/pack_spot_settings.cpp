#include "spots/pack_spot_settings.h"

#include <cmath>
#include <optional>

#include "core/number_format.h"
#include "core/quoted_form.h"
#include "core/text_util.h"

namespace wexon::spots {

namespace {

std::optional<int> readInteger(core::FieldReader& in) {
    std::string value;
    if (!in.next(value)) {
        return std::nullopt;
    }
    const std::optional<double> n = core::parseNumber(value);
    if (!n || !std::isfinite(*n) || std::fabs(*n) > 1e9) {
        return std::nullopt;
    }
    return static_cast<int>(std::lround(*n));
}

std::optional<bool> readBoolean(core::FieldReader& in) {
    std::string value;
    if (!in.next(value)) {
        return std::nullopt;
    }
    const std::string v = core::toUpper(core::trim(value));
    if (v == "#TRUE#" || v == "TRUE") {
        return true;
    }
    if (v == "#FALSE#" || v == "FALSE") {
        return false;
    }
    if (const std::optional<double> n = core::parseNumber(v)) {
        return *n != 0.0;
    }
    return std::nullopt;
}

bool readText(core::FieldReader& in, std::string& out) {
    std::string value;
    if (!in.next(value)) {
        return false;
    }
    out = value;
    return true;
}

std::string textLine(std::string_view value) {
    core::FieldWriter w;
    w.text(value).endLine();
    return w.str();
}

std::string numberLine(int value) {
    core::FieldWriter w;
    w.integer(value).endLine();
    return w.str();
}

} // namespace

PackSpotSettings readPackSpot(std::string_view bytes, PackSpotSettings s, bool* complete) {
    if (complete != nullptr) {
        *complete = false;
    }
    core::FieldReader in(bytes);
    if (!readText(in, s.baud) || !readText(in, s.parity) || !readText(in, s.dataBits) ||
        !readText(in, s.stopBits)) {
        return s;
    }
    const auto port = readInteger(in);
    if (!port) {
        return s;
    }
    s.portNumber = *port;
    if (!readText(in, s.powerLine) || !readText(in, s.spotSource)) {
        return s;
    }
    const auto hex = readInteger(in);
    if (!hex) {
        return s;
    }
    s.convertToHex = *hex;
    const auto handshake = readInteger(in);
    if (!handshake) {
        return s;
    }
    s.handshake = *handshake;
    const auto dxOnly = readInteger(in);
    if (!dxOnly) {
        return s;
    }
    s.listDxOnly = *dxOnly;
    const auto optList = readBoolean(in);
    if (!optList) {
        return s;
    }
    s.optList = *optList;
    if (!readText(in, s.hexCharacter) || !readText(in, s.telnetPort)) {
        return s;
    }
    if (!readText(in, s.telnetHost)) {
        return s;
    }
    if (complete != nullptr) {
        *complete = true;
    }
    // The band-map lines are optional and each stands alone.
    for (bool* flag : {&s.hideDupes, &s.newPrefixesOnly, &s.jumpSkipsDupes}) {
        const auto value = readBoolean(in);
        if (!value) {
            break;
        }
        *flag = *value;
    }
    return s;
}

std::string writePackSpot(const PackSpotSettings& s) {
    std::string out;
    out += textLine(s.baud);
    out += textLine(s.parity);
    out += textLine(s.dataBits);
    out += textLine(s.stopBits);
    out += numberLine(s.portNumber);
    out += textLine(s.powerLine);
    out += textLine(s.spotSource);
    out += numberLine(s.convertToHex);
    out += numberLine(s.handshake);
    out += numberLine(s.listDxOnly);
    out += s.optList ? "#TRUE#\r\n" : "#FALSE#\r\n";
    out += textLine(s.hexCharacter);
    out += textLine(s.telnetPort);
    out += textLine(s.telnetHost);
    for (bool flag : {s.hideDupes, s.newPrefixesOnly, s.jumpSkipsDupes}) {
        out += flag ? "#TRUE#\r\n" : "#FALSE#\r\n";
    }
    return out;
}

} // namespace wexon::spots
