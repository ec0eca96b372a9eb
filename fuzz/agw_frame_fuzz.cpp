// fuzz-sources: spots/agw_frame spots/spot_receiver spots/spot_line spots/tnc_line_splitter spots/telnet_line_buffer spots/terminal_text core/country_table core/number_format core/quoted_form core/date_time
// Drives the AGW Packet Engine frame decoder with an arbitrary byte stream,
// read in pieces of uneven sizes as the socket hands them over, and passes
// every frame on to the spotting window's AGW receive path. Promises checked:
// no piece is used past the end of the frame in progress, a frame keeps at most
// 4000 data bytes and calls without their closing NUL, a stream announcing more
// than a megabyte stops, a frame read whole encodes back to the same frame, and
// the terminal never holds more than 10000 characters.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "spots/agw_frame.h"
#include "spots/spot_receiver.h"
#include "spots/terminal_text.h"

using namespace wexon::spots;

namespace {

void checkRoundTrip(const AgwFrame& frame) {
    const std::string bytes = encodeAgwFrame(frame);
    FUZZ_CHECK(bytes.size() == AgwFrame::kHeaderSize + frame.data.size());
    AgwFrameDecoder again;
    FUZZ_CHECK(again.feed(bytes) == bytes.size());
    const auto back = again.take();
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(back->kind == frame.kind && back->port == frame.port && back->pid == frame.pid);
    FUZZ_CHECK(back->data == frame.data);
    // A call fills at most nine bytes of its field, so that a NUL always ends it.
    FUZZ_CHECK(back->callFrom == frame.callFrom.substr(0, AgwFrame::kCallField - 1));
    FUZZ_CHECK(back->callTo == frame.callTo.substr(0, AgwFrame::kCallField - 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = 1 + data[0] % 97; // piece sizes of the socket reads
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    AgwFrameDecoder decoder;
    TerminalText terminal;
    SpotReceiver receiver(terminal);
    std::size_t at = 0;
    std::size_t piece = step;
    while (at < stream.size() && !decoder.broken()) {
        const std::string_view bytes = stream.substr(at, piece);
        const std::size_t used = decoder.feed(bytes);
        FUZZ_CHECK(used <= bytes.size());
        at += used;
        piece = piece * 3 % 1031 + 1;
        auto frame = decoder.take();
        // Bytes are left over only at the end of a frame or of a broken stream.
        FUZZ_CHECK(used == bytes.size() || frame.has_value() || decoder.broken());
        if (frame) {
            FUZZ_CHECK(frame->data.size() <= AgwFrame::kMaxData);
            FUZZ_CHECK(frame->callFrom.size() <= AgwFrame::kCallField);
            FUZZ_CHECK(frame->callFrom.find('\0') == std::string::npos);
            FUZZ_CHECK(frame->callTo.find('\0') == std::string::npos);
            if (frame->data.size() < AgwFrame::kMaxData) {
                checkRoundTrip(*frame);
            }
            const std::string before = receiver.agwConnectedCall();
            const Received r = receiver.receiveAgw({frame->kind, frame->callFrom, frame->data});
            FUZZ_CHECK(terminal.text().size() <= TerminalText::kTrimAbove);
            for (const SpotFields& f : r.spots) {
                FUZZ_CHECK(f.call.size() <= 13 && f.frequencyText.size() <= 9);
            }
            if (receiver.agwConnectedCall() != before) {
                FUZZ_CHECK(r.link != Received::Link::Unchanged);
            }
        } else if (used == 0) {
            FUZZ_CHECK(decoder.broken() || bytes.empty());
        }
    }
    if (decoder.broken()) {
        FUZZ_CHECK(decoder.wanted() == 0);
        FUZZ_CHECK(decoder.feed("more") == 0);
    }
    return 0;
}
