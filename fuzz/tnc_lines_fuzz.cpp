// fuzz-sources: spots/tnc_line_splitter spots/spot_receiver spots/spot_line spots/telnet_line_buffer spots/terminal_text core/country_table core/number_format core/quoted_form core/date_time
// Drives the TNC line splitter and the TNC receive path with arbitrary text,
// read in pieces of uneven sizes as the serial port hands them over. Promises
// checked: every line ends with one CR LF and holds no other CR or LF, the
// held text stays bounded, lines do not depend on how the text was cut into
// reads (a CR LF cut in two included) while no line outgrows the bound, and
// the terminal never holds more than 10000 characters.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "spots/spot_receiver.h"
#include "spots/terminal_text.h"
#include "spots/tnc_line_splitter.h"

using namespace wexon::spots;

namespace {

// The longest run of text between line ends (the text before the first one
// included).
std::size_t longestRun(std::string_view text) {
    std::size_t longest = 0;
    std::size_t run = 0;
    for (char c : text) {
        run = c == '\n' || c == '\r' ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = 1 + data[0] % 61;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    TncLineSplitter whole;
    const std::vector<std::string> wholeLines = whole.feed(text);

    TncLineSplitter pieces;
    std::vector<std::string> pieceLines;
    TerminalText terminal;
    SpotReceiver receiver(terminal);
    receiver.setListDxOnly(data[0] % 2 == 1);
    std::size_t piece = step;
    for (std::size_t at = 0; at < text.size(); at += piece, piece = piece * 5 % 257 + 1) {
        const std::string_view bytes = text.substr(at, piece);
        for (std::string& line : pieces.feed(bytes)) {
            FUZZ_CHECK(line.size() >= 2 && line.ends_with("\r\n"));
            FUZZ_CHECK(line.find_first_of("\r\n") == line.size() - 2);
            pieceLines.push_back(std::move(line));
        }
        FUZZ_CHECK(pieces.held().size() <= TncLineSplitter::kMaxHeld);
        const Received r = receiver.receiveTnc(bytes);
        FUZZ_CHECK(terminal.text().size() <= TerminalText::kTrimAbove);
        for (const SpotFields& f : r.spots) {
            FUZZ_CHECK(f.call.size() <= 13 && f.frequencyText.size() <= 9);
        }
    }
    // While no line outgrows the bound, nothing is dropped and the lines come
    // out the same however the text was cut.
    if (longestRun(text) < TncLineSplitter::kMaxHeld) {
        FUZZ_CHECK(pieceLines == wholeLines);
        FUZZ_CHECK(pieces.held() == whole.held());
    }
    return 0;
}
