// fuzz-sources: rig/pegasus rig/rig_reading core/quoted_form core/number_format
// Drives the reader of the Pegasus control program's "PEGASUS.OUT" with
// arbitrary bytes. Promises checked: the reading's frequency is the one it had
// or a finite positive number below the rig readings' bound; its mode is the
// one it had, empty, "CW" or "PH"; and what "PEGASUS.IN" would say for that
// reading is two lines whose first reads back as the frequency.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/number_format.h"
#include "fuzz_check.h"
#include "rig/pegasus.h"
#include "rig/rig_reading.h"

using namespace wexon::rig;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RigReading reading;
    reading.frequency = 7.025f;
    reading.mode = "start";
    parsePegasusOut(bytes, reading);
    FUZZ_CHECK(reading.frequency == 7.025f ||
               (std::isfinite(reading.frequency) && reading.frequency > 0 &&
                reading.frequency < kMaxReadingMhz));
    FUZZ_CHECK(reading.mode == "start" || reading.mode.empty() || reading.mode == "CW" ||
               reading.mode == "PH");
    // Frequency and mode are taken together or not at all.
    FUZZ_CHECK(reading.mode != "start" || reading.frequency == 7.025f);

    const std::string in = pegasusInContent(reading.frequency, reading.mode);
    const std::size_t lineEnd = in.find("\r\n");
    FUZZ_CHECK(lineEnd != std::string::npos && in.size() >= 4 &&
               in.compare(in.size() - 2, 2, "\r\n") == 0);
    const auto back = wexon::core::parseNumber(in.substr(0, lineEnd));
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(std::fabs(*back - reading.frequency) <= 1e-6 * reading.frequency + 1e-3);

    // The same bytes read over the reading just taken change nothing more.
    RigReading twice = reading;
    parsePegasusOut(bytes, twice);
    FUZZ_CHECK(twice.frequency == reading.frequency && twice.mode == reading.mode);
    return 0;
}
