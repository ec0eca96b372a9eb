// fuzz-sources: rig/rig_settings core/quoted_form core/number_format
// Drives the rig window's settings reader ("RigCntrl.txt") with arbitrary
// bytes. Promises checked: at most 14 values read; the port number stays
// within 1-10, the two flags 0 or 1 and "Mode by" within 1-3 whatever the file
// holds (numbers of any size included, which must never be converted before
// their range is checked); and a round trip: the settings read, written in the
// file's form and read again, come back the same and complete.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rig/rig_settings.h"

using namespace wexon::rig;

namespace {

std::string withoutQuotes(std::string s) {
    std::erase(s, '"');
    return s;
}

// What a round trip makes of the settings: the baud is written padded, and
// texts lose the double quotes the file form cannot hold.
RigSettings normalised(RigSettings s) {
    s.baud = padBaud(s.baud);
    for (std::string* t : {&s.baud, &s.parity, &s.dataBits, &s.stopBits, &s.modeRead,
                           &s.frequencyRead, &s.portSettings, &s.power, &s.pollRate, &s.rigName}) {
        *t = withoutQuotes(*t);
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RigSettingsLoad first = parseRigSettings(bytes);
    const RigSettings& s = first.settings;
    FUZZ_CHECK(first.valuesRead >= 0 && first.valuesRead <= 14);
    FUZZ_CHECK(s.portNumber >= 1 && s.portNumber <= 10);
    FUZZ_CHECK(s.convertToHex == 0 || s.convertToHex == 1);
    FUZZ_CHECK(s.useFrequency == 0 || s.useFrequency == 1);
    FUZZ_CHECK(s.modeBy >= 1 && s.modeBy <= 3);
    FUZZ_CHECK(!first.modeByValid || first.valuesRead == 14);
    const int interval = pollIntervalMs(s.pollRate);
    FUZZ_CHECK(interval == 50 || interval == 250 || interval == 1000 || interval == 5000);

    const std::string written = serializeRigSettings(s);
    const RigSettingsLoad second = parseRigSettings(written);
    FUZZ_CHECK(second.complete());
    FUZZ_CHECK(second.modeByValid);
    FUZZ_CHECK(second.settings == normalised(s));
    // Written once more, the text does not change.
    FUZZ_CHECK(serializeRigSettings(second.settings) == serializeRigSettings(normalised(s)));
    return 0;
}
