#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "rig/rig_profiles.h"
#include "rig/rig_reading.h"
#include "rig/rig_settings.h"

namespace wexon::rig {

// Polling state: whether the next tick reads, and for rigs asked for frequency
// and mode in turn, which is asked next (0 frequency, 1 mode).
struct PollState {
    bool awaitingReply = false;
    int nextQuery = 0;
};

// The bytes a send tick writes for this rig (empty: nothing to send); moves
// `nextQuery` on for the rigs that alternate.
std::string pollCommand(const RigProfile& profile, const RigSettings& settings, PollState& state);
// How many bytes a complete reply of this rig has at least, for the families
// whose replies are bare fixed-length binary frames (the binary Yaesu rigs); 0
// for the others, whose replies are found by their own marks.
std::size_t expectedReplyBytes(const RigProfile& profile);
// Takes the reply of a read tick apart into `reading`, by the rig's parser.
// `nextQuery` says what was asked last (1: a frequency reply is expected). The
// Pegasus exchange file is not read here.
void parseReply(const RigProfile& profile, const RigSettings& settings, int nextQuery,
                std::string_view reply, RigReading& reading);
// The bytes that tune the rig to `mhz` (empty: nothing to send). Not for the
// Pegasus, which is tuned through its exchange file.
std::string frequencyCommand(const RigProfile& profile, const RigSettings& settings, float mhz,
                             const RigReading& reading);
// The bytes that put the rig in `mode` (empty: nothing to send).
std::string modeCommand(const RigProfile& profile, const RigSettings& settings,
                        std::string_view mode);

} // namespace wexon::rig
