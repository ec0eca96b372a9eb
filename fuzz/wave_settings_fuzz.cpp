// fuzz-sources: keying/voice_settings keying/settings_lines core/number_format
// Drives the voice keyer's settings reader ("wave2.txt") and its typed-value
// rules with arbitrary bytes. Promises checked: at most 13 lines taken, every
// text bounded, a PTT line the program knows, a round trip (what was read,
// written and read again gives the same bytes, all 13 lines), and for any
// line as a repeat interval or port number: an interval from 0 to below 60 s
// whose text is "0" or the line itself, and a port number from 0 to a million.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "keying/voice_settings.h"

using namespace wexon::keying;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    VoiceSettings s;
    const int taken = readVoiceSettings(bytes, s);
    FUZZ_CHECK(taken >= 0 && taken <= 13);
    for (const std::string& file : s.files) {
        FUZZ_CHECK(file.size() <= 4096);
    }
    FUZZ_CHECK(s.portText.size() <= 4096 && s.repeatText.size() <= 4096 &&
               s.addressText.size() <= 4096);
    FUZZ_CHECK(s.pttLine == PttLine::None || s.pttLine == PttLine::Rts ||
               s.pttLine == PttLine::Dtr || s.pttLine == PttLine::Parallel);

    const std::string written = writeVoiceSettings(s);
    VoiceSettings again;
    FUZZ_CHECK(readVoiceSettings(written, again) == 13);
    FUZZ_CHECK(writeVoiceSettings(again) == written);

    for (const std::string& text : {s.repeatText, s.portText, s.files[0]}) {
        const RepeatInterval r = repeatIntervalFromText(text);
        FUZZ_CHECK(r.ms >= 0 && r.ms < 60000);
        FUZZ_CHECK(r.text == "0" || r.text == text);
        FUZZ_CHECK(r.text != "0" || r.ms == 0 || text == "0");
        const int port = pttPortNumber(text);
        FUZZ_CHECK(port >= 0 && port <= 1000000);
    }
    return 0;
}
