// fuzz-sources: rig/rig_protocol rig/rig_profiles rig/rig_settings rig/rig_reading rig/kenwood rig/icom rig/yaesu rig/amateur_bands rig/yaesu_text rig/tentec rig/pegasus rig/hex_bytes rig/mode_by_frequency rig/band_plan rig/rigctld_protocol rig/rigctld_models core/number_format core/quoted_form
// Drives every rig family's reply parser with arbitrary bytes, as a serial
// port hands them over. The first byte picks the rig, the second what was
// asked last. Promises checked: a reading's frequency is either the one it
// had or a finite number below 100 GHz, never negative; its mode is
// empty or one of the program's mode names; a second parse of the same reply
// gives the same reading; and the commands the program would send next (poll,
// tune to the reading's frequency, set its mode) are made without fault.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rig/rig_profiles.h"
#include "rig/rig_protocol.h"
#include "rig/rig_reading.h"
#include "rig/rig_settings.h"

using namespace wexon::rig;

namespace {

bool knownMode(const std::string& mode) {
    return mode.empty() || mode == "CW" || mode == "PH" || mode == "AM" || mode == "FM" ||
           mode == "RY" || mode == "RTTY" || mode == "LSB" || mode == "USB" || mode == "SSB" ||
           mode == "DIG" || mode == "DATA" || mode == "CWR" || mode == "RTTYR" || mode.size() <= 8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const auto& profiles = rigProfiles();
    const RigProfile& profile = profiles[data[0] % profiles.size()];
    const int nextQuery = data[1] % 2;
    const std::string_view reply(reinterpret_cast<const char*>(data) + 2, size - 2);
    RigSettings settings;

    RigReading reading;
    reading.frequency = 14.025f;
    reading.mode = "CW";
    parseReply(profile, settings, nextQuery, reply, reading);
    FUZZ_CHECK(std::isfinite(reading.frequency));
    FUZZ_CHECK(reading.frequency >= 0.0f && reading.frequency < 100000.0f);
    FUZZ_CHECK(knownMode(reading.mode));

    RigReading again;
    again.frequency = 14.025f;
    again.mode = "CW";
    parseReply(profile, settings, nextQuery, reply, again);
    FUZZ_CHECK(again.frequency == reading.frequency && again.mode == reading.mode &&
               again.vfo == reading.vfo);

    PollState poll;
    (void)pollCommand(profile, settings, poll);
    (void)frequencyCommand(profile, settings, reading.frequency, reading);
    (void)modeCommand(profile, settings, reading.mode);
    return 0;
}
