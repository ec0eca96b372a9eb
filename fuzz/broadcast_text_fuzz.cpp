// fuzz-sources: output/contact_broadcast core/number_format core/quoted_form
// Drives the texts the broadcasts take from the settings store: the list of
// destinations, and the escaping of any log text into the XML messages.
// Promises checked: at most 16 destinations, each a dotted IPv4 address with a
// port 1-65535, no destination twice, the list written back reads back the
// same; escaped text holds no markup character, no control byte XML forbids,
// and is well-formed UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "output/contact_broadcast.h"

using namespace wexon::output;

namespace {

bool dottedQuad(const std::string& host) {
    int dots = 0;
    for (char c : host) {
        if (c == '.') {
            ++dots;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return dots == 3;
}

void checkUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            FUZZ_CHECK(c >= 0x20 || c == '\t' || c == '\n' || c == '\r');
            FUZZ_CHECK(c != '<' && c != '>' && c != '"' && c != '\'');
            continue;
        }
        FUZZ_CHECK(c == 0xC2 || c == 0xC3);
        FUZZ_CHECK(i + 1 < text.size());
        const auto next = static_cast<unsigned char>(text[i + 1]);
        FUZZ_CHECK((next & 0xC0) == 0x80);
        ++i;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const DestinationList list = parseBroadcastDestinations(text);
    FUZZ_CHECK(list.destinations.size() <= 16);
    for (std::size_t i = 0; i < list.destinations.size(); ++i) {
        const BroadcastDestination& d = list.destinations[i];
        FUZZ_CHECK(dottedQuad(d.host));
        FUZZ_CHECK(d.port >= 1 && d.port <= 65535);
        for (std::size_t j = 0; j < i; ++j) {
            FUZZ_CHECK(!(list.destinations[j] == d));
        }
    }
    const DestinationList again =
        parseBroadcastDestinations(formatBroadcastDestinations(list.destinations));
    FUZZ_CHECK(again.error.empty());
    FUZZ_CHECK(again.destinations == list.destinations);

    const std::string escaped = xmlEscape(text);
    checkUtf8(escaped);
    return 0;
}
