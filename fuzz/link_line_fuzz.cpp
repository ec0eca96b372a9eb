// fuzz-sources: link/link_protocol link/link_session
// Drives the reader of the RTTY program link with arbitrary bytes, fed in
// chunks whose sizes come from the input. Promises checked: the line reader
// never holds more than one line's bound; a change reaches the main window
// only from the three items it follows, the call and the report in capitals;
// the boxes the partner may not write stay empty; and every value written out
// is one line that reads back as the same item and value.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "link/link_protocol.h"
#include "link/link_session.h"

using namespace wexon::link;

namespace {

bool hasSmallLetters(const std::string& s) {
    for (char c : s) {
        if (c >= 'a' && c <= 'z') {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    LinkSession session;
    session.setLinked(true);
    LineSplitter splitter;
    std::size_t pos = 0;
    std::size_t step = 1;
    while (pos < bytes.size()) {
        // Chunk sizes vary with the data so that lines are cut everywhere.
        step = 1 + (static_cast<unsigned char>(bytes[pos]) * 7 + step) % 97;
        const std::string_view chunk = bytes.substr(pos, step);
        pos += chunk.size();

        for (const std::string& line : splitter.feed(chunk)) {
            FUZZ_CHECK(line.size() <= kMaxLineBytes);
            FUZZ_CHECK(line.find('\n') == std::string::npos);
        }
        FUZZ_CHECK(splitter.pendingBytes() <= kMaxLineBytes);

        for (const auto& change : session.receive(chunk)) {
            FUZZ_CHECK(change.text.size() <= kMaxLineBytes);
            if (change.target != LinkSession::Target::Section) {
                FUZZ_CHECK(!hasSmallLetters(change.text));
            }
        }
    }
    for (const LinkItem& item : kItems) {
        if (item.direction == Direction::Out) {
            FUZZ_CHECK(session.box(item.name).empty());
        }
    }

    // Whatever the input holds, written as a value it stays one line that
    // reads back the same (control characters turned into spaces).
    const std::string value(bytes.substr(0, 200));
    const std::string line = encodeLine(item::kUrCall, value);
    FUZZ_CHECK(!line.empty() && line.back() == '\n');
    FUZZ_CHECK(line.find('\n') == line.size() - 1);
    const auto back = decodeLine(std::string_view(line).substr(0, line.size() - 1));
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(back->item == item::kUrCall);
    FUZZ_CHECK(back->value.size() == value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        FUZZ_CHECK(back->value[i] == ((c < 0x20 || c == 0x7F) ? ' ' : value[i]));
    }
    return 0;
}
