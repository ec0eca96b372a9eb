// fuzz-sources: net/net_message core/number_format
// Drives the station network's message readers with arbitrary bytes: the
// contact message, the station status and the topic. Promises checked: a
// refused message says why; an accepted one has names that are valid topic
// levels, a revision above zero and fields within their bounds, and writes
// back into a message that reads as the same contact; a topic that reads
// names only this contest's branches.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "net/net_message.h"

using namespace wexon::net;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    ParsedContact p = parseContact(bytes);
    if (!p.message) {
        FUZZ_CHECK(!p.error.empty());
    } else {
        const ContactMessage& m = *p.message;
        FUZZ_CHECK(p.error.empty());
        FUZZ_CHECK(bytes.size() <= kMaxMessageBytes);
        FUZZ_CHECK(isValidName(m.contestId) && isValidName(m.station) &&
                   isValidName(m.instance) && isValidName(m.id, 48));
        FUZZ_CHECK(m.revision > 0);
        FUZZ_CHECK(m.transmitter == 0 || m.transmitter == 1);
        FUZZ_CHECK(m.record.call.size() <= kMaxFieldBytes && m.op.size() <= kMaxFieldBytes);
        const std::string again = encodeContact(m);
        ParsedContact q = parseContact(again);
        FUZZ_CHECK(q.message.has_value());
        FUZZ_CHECK(*q.message == m);
        const std::string topic = contactTopic(m.contestId, m.station, m.id);
        auto parts = parseTopic(m.contestId, topic);
        FUZZ_CHECK(parts && parts->kind == TopicParts::Kind::Contact &&
                   parts->station == m.station && parts->id == m.id);
    }

    if (auto s = parseStatus(bytes)) {
        FUZZ_CHECK(isValidName(s->station) && isValidName(s->instance));
        FUZZ_CHECK(parseStatus(encodeStatus(*s)) == s);
    }

    if (auto t = parseTopic("WPX-CW-2026", bytes)) {
        FUZZ_CHECK(bytes.substr(0, 18) == "wexon/WPX-CW-2026/");
        FUZZ_CHECK(isValidName(t->station));
        FUZZ_CHECK(bytes.find('#') == std::string_view::npos &&
                   bytes.find('+') == std::string_view::npos);
    }
    return 0;
}
