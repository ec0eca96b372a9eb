// fuzz-sources: keying/realtime_priority
// Drives the message line's text for a refused real-time request with an
// arbitrary reason, as the real-time service's error replies bring it.
// Promises checked: plain printable text only (nothing that could start
// markup, no control characters), bounded length, always the same opening,
// and nothing at all shown when priority was granted or not asked for.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "keying/realtime_priority.h"

using namespace wexon::keying;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RealTimeGrant grant;
    grant.way = RealTimeGrant::Way::Refused;
    grant.reason.assign(reinterpret_cast<const char*>(data), size);
    const std::string text = realTimeRefusedText(grant);
    FUZZ_CHECK(text.rfind("CW keying runs without real-time priority", 0) == 0);
    FUZZ_CHECK(text.size() <= 240);
    for (char c : text) {
        FUZZ_CHECK(c >= 0x20 && c < 0x7F);
        FUZZ_CHECK(c != '<' && c != '>' && c != '&');
    }
    for (RealTimeGrant::Way way :
         {RealTimeGrant::Way::NotAsked, RealTimeGrant::Way::Direct, RealTimeGrant::Way::Service}) {
        grant.way = way;
        FUZZ_CHECK(realTimeRefusedText(grant).empty());
    }
    return 0;
}
