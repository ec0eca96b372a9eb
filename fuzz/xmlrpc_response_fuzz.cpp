// fuzz-sources: link/xmlrpc_codec link/xmlrpc_reader link/fldigi_rules link/link_protocol
// Drives the XML-RPC response reader, and what the fldigi link does with the
// answers it reads, with arbitrary bytes. Promises checked: the reader never
// crashes and always ends in a value, a fault or a malformed report with a
// reason; values stay within the depth and count bounds; base64 read back
// from the body encodes to a body that reads the same; and the receive-pane
// follower hands over no control character but LF and tab and never more
// bytes than the range asked for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "link/fldigi_rules.h"
#include "link/xmlrpc_codec.h"

using namespace wexon::link;

namespace {

std::size_t countValues(const XmlRpcValue& v, int depth, int& maxDepth) {
    maxDepth = depth > maxDepth ? depth : maxDepth;
    std::size_t n = 1;
    for (const XmlRpcValue& item : v.items) {
        n += countValues(item, depth + 1, maxDepth);
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const XmlRpcResponse r = decodeMethodResponse(bytes);
    switch (r.outcome) {
    case XmlRpcResponse::Outcome::Malformed:
        FUZZ_CHECK(!r.error.empty());
        break;
    case XmlRpcResponse::Outcome::Fault:
        break;
    case XmlRpcResponse::Outcome::Value: {
        int depth = 0;
        FUZZ_CHECK(countValues(r.value, 1, depth) <= kMaxXmlRpcValues);
        FUZZ_CHECK(depth <= kMaxXmlRpcDepth + 1);
        FUZZ_CHECK(r.value.kind != XmlRpcValue::Kind::Struct ||
                   r.value.items.size() == r.value.memberNames.size());
        if (r.value.kind == XmlRpcValue::Kind::Base64 || r.value.kind == XmlRpcValue::Kind::Int) {
            // What was read writes out as a value that reads back the same.
            const std::string call = encodeMethodCall("m", {r.value});
            const std::size_t begin = call.find("<value>");
            const std::size_t end = call.rfind("</value>") + 8;
            const XmlRpcResponse back = decodeMethodResponse("<methodResponse><params><param>" +
                                                             call.substr(begin, end - begin) +
                                                             "</param></params></methodResponse>");
            FUZZ_CHECK(back.ok());
            FUZZ_CHECK(back.value.text == r.value.text);
            FUZZ_CHECK(back.value.integer == r.value.integer ||
                       r.value.integer != static_cast<std::int32_t>(r.value.integer));
        }
        // As receive text: nothing but printable bytes, LF and tab reach the window.
        FldigiReceiveText rx;
        rx.lengthSeen(0);
        const auto range = rx.lengthSeen(static_cast<long long>(r.value.text.size()) % 5000);
        if (range) {
            const std::string shown = rx.textRead(*range, r.value.textOrBytes());
            FUZZ_CHECK(shown.size() <= static_cast<std::size_t>(range->length));
            for (char c : shown) {
                const auto b = static_cast<unsigned char>(c);
                FUZZ_CHECK(c == '\n' || c == '\t' || (b >= 0x20 && b != 0x7F));
            }
        }
        break;
    }
    }
    // Text written into a call never escapes its element.
    const std::string escaped = xmlEscape(bytes.substr(0, 300));
    FUZZ_CHECK(escaped.find('<') == std::string::npos);
    FUZZ_CHECK(escaped.find('\r') == std::string::npos);
    return 0;
}
