// fuzz-sources: spots/telnet_line_buffer spots/spot_receiver spots/spot_line spots/tnc_line_splitter spots/terminal_text core/country_table core/number_format core/quoted_form core/date_time
// Drives the Telnet line buffer and the Telnet receive path with arbitrary
// cluster text, read in pieces of uneven sizes as the socket hands them over.
// Promises checked: lines hold no CR or LF, the partial line stays bounded,
// the lines found do not depend on how the text was cut into reads (a CR LF
// cut in two included), every line ended by CR, LF or CR LF that fits comes
// out and an over-long line is dropped whole, and the terminal never holds
// more than 10000 characters.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "spots/spot_receiver.h"
#include "spots/telnet_line_buffer.h"
#include "spots/terminal_text.h"

using namespace wexon::spots;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = 1 + data[0] % 61;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    TelnetLineBuffer whole;
    const std::vector<std::string> wholeLines = whole.feed(text);

    TelnetLineBuffer pieces;
    std::vector<std::string> pieceLines;
    TerminalText terminal;
    SpotReceiver receiver(terminal);
    receiver.setListDxOnly(data[0] % 2 == 1);
    std::size_t piece = step;
    for (std::size_t at = 0; at < text.size(); at += piece, piece = piece * 5 % 257 + 1) {
        const std::string_view bytes = text.substr(at, piece);
        for (std::string& line : pieces.feed(bytes)) {
            FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
            FUZZ_CHECK(line.size() <= TelnetLineBuffer::kMaxPartial);
            pieceLines.push_back(std::move(line));
        }
        FUZZ_CHECK(pieces.partial().size() <= TelnetLineBuffer::kMaxPartial);
        const Received r = receiver.receiveTelnet(bytes);
        FUZZ_CHECK(terminal.text().size() <= TerminalText::kTrimAbove);
        for (const SpotFields& f : r.spots) {
            FUZZ_CHECK(f.call.size() <= 13 && f.frequencyText.size() <= 9);
        }
    }
    FUZZ_CHECK(pieceLines == wholeLines);
    // Every ended line that fits comes out, and only those.
    std::size_t ended = 0;
    std::size_t start = 0;
    for (std::size_t end = text.find_first_of("\r\n"); end != std::string_view::npos;
         end = text.find_first_of("\r\n", start)) {
        if (end - start <= TelnetLineBuffer::kMaxPartial) {
            ++ended;
        }
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    FUZZ_CHECK(wholeLines.size() == ended);
    return 0;
}
