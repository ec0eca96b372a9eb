// fuzz-sources: rig/rigctld_protocol rig/rigctld_models rig/rig_reading core/number_format
// Drives the rigctld reply reader with arbitrary bytes, fed to a session in
// pieces cut where the input says. Promises checked: only complete lines come
// out, none longer than the line limit, never more than the pending limit; the
// commands go out in order, never more than were queued;
// a refusal is only ever reported in words with its code; a reading taken from
// the lines is a positive finite frequency and one of the log's modes, or left
// as it was. The same bytes read as "rigctl -l" output give at most the
// capped number of models, each numbered from 1 and named.

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "rig/rigctld_models.h"
#include "rig/rigctld_protocol.h"

using namespace wexon::rig;

namespace {

bool knownMode(const std::string& mode) {
    return mode == "CW" || mode == "PH" || mode == "AM" || mode == "FM" || mode == "RY";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    RigctldSession session;
    const auto now = std::chrono::steady_clock::time_point{} + std::chrono::seconds(100);
    FUZZ_CHECK(session.queue("+f\n+m\n+F 14025000\n"));
    FUZZ_CHECK(session.nextCommand(now) == "+f\n");
    FUZZ_CHECK(session.unanswered() == 3);

    RigReading reading;
    reading.frequency = 21.0f;
    reading.mode = "CW";
    std::size_t at = 0;
    unsigned cut = size > 0 ? data[0] : 1;
    while (at < input.size()) {
        // Pieces of 1 to 64 bytes, as the network would deliver them.
        std::size_t piece = 1 + (cut % 64);
        cut = cut * 33u + 7u;
        session.received(input.substr(at, piece));
        at += piece;
        FUZZ_CHECK(session.unanswered() >= 0 && session.unanswered() <= 3);
        if (auto next = session.nextCommand(now)) {
            FUZZ_CHECK(*next == "+m\n" || *next == "+F 14025000\n");
        }

        std::string lines = session.takeLines();
        FUZZ_CHECK(lines.size() <= kRigctldPendingLimit);
        FUZZ_CHECK(lines.empty() || lines.back() == '\n');
        std::size_t start = 0;
        while (start < lines.size()) {
            std::size_t end = lines.find('\n', start);
            FUZZ_CHECK(end != std::string::npos);
            FUZZ_CHECK(end - start <= kRigctldLineLimit);
            start = end + 1;
        }
        parseRigctldReply(lines, reading);
        FUZZ_CHECK(std::isfinite(reading.frequency) && reading.frequency > 0);
        FUZZ_CHECK(knownMode(reading.mode));

        std::string refusal = session.takeCommandError();
        if (!refusal.empty()) {
            FUZZ_CHECK(refusal.rfind("rigctld: ", 0) == 0);
            FUZZ_CHECK(refusal.find("(RPRT -") != std::string::npos);
        }
    }
    // The whole input at once reads the same way.
    RigReading whole;
    parseRigctldReply(input, whole);
    FUZZ_CHECK(whole.frequency >= 0 && std::isfinite(whole.frequency));
    FUZZ_CHECK(whole.mode.empty() || knownMode(whole.mode));
    if (auto code = rigctldReturnCode(input)) {
        FUZZ_CHECK(*code > -1000000 && *code < 1000000);
    }
    for (const HamlibModel& m : parseRigctlModelList(input, 50)) {
        FUZZ_CHECK(m.number >= 1 && m.number < 10000000);
        FUZZ_CHECK(!m.name.empty() && m.name.size() <= 1024);
    }
    FUZZ_CHECK(parseRigctlModelList(input, 3).size() <= 3);
    return 0;
}
