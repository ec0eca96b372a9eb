#include "rig/pegasus.h"

#include <cstdio>

#include "core/number_format.h"
#include "core/quoted_form.h"
#include "core/text_util.h"

namespace wexon::rig {

void parsePegasusOut(std::string_view content, RigReading& reading) {
    core::FieldReader in(content);
    std::string frequency;
    std::string mode;
    if (!in.next(frequency) || !in.next(mode)) {
        return;
    }
    auto mhz = core::parseNumber(frequency);
    // Checked before it becomes a float, and again after: a tiny positive
    // number would otherwise become a reading of 0.
    if (!mhz || !frequencyInBounds(*mhz) || !frequencyInBounds(static_cast<float>(*mhz))) {
        return;
    }
    reading.frequency = static_cast<float>(*mhz);
    reading.mode = (mode.empty() || mode == "CW") ? mode : "PH";
}

std::string sevenDigits(float value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(value));
    return buf;
}

std::string pegasusInContent(float mhz, std::string_view mode) {
    return core::trim(sevenDigits(mhz)) + "\r\n" + core::trim(mode) + "\r\n";
}

} // namespace wexon::rig
