#include "link/xmlrpc_codec.h"

#include "link/xml_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace wexon::link {

// ---------------------------------------------------------------- values

XmlRpcValue XmlRpcValue::string(std::string_view utf8) {
    XmlRpcValue v;
    v.kind = Kind::String;
    v.text = std::string(utf8);
    return v;
}

XmlRpcValue XmlRpcValue::int32(std::int32_t value) {
    XmlRpcValue v;
    v.kind = Kind::Int;
    v.integer = value;
    return v;
}

XmlRpcValue XmlRpcValue::number(double value) {
    XmlRpcValue v;
    v.kind = Kind::Double;
    v.real = value;
    return v;
}

XmlRpcValue XmlRpcValue::boolean(bool value) {
    XmlRpcValue v;
    v.kind = Kind::Boolean;
    v.integer = value ? 1 : 0;
    return v;
}

XmlRpcValue XmlRpcValue::bytes(std::string_view raw) {
    XmlRpcValue v;
    v.kind = Kind::Base64;
    v.text = std::string(raw);
    return v;
}

const XmlRpcValue* XmlRpcValue::member(std::string_view name) const {
    if (kind != Kind::Struct) {
        return nullptr;
    }
    for (std::size_t i = 0; i < memberNames.size() && i < items.size(); ++i) {
        if (memberNames[i] == name) {
            return &items[i];
        }
    }
    return nullptr;
}

std::string XmlRpcValue::textOrBytes() const {
    return isText() ? text : std::string();
}

// ---------------------------------------------------------------- base64

namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

} // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += kBase64Alphabet[(n >> 6) & 63];
        out += kBase64Alphabet[n & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) {
            n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        out += kBase64Alphabet[(n >> 18) & 63];
        out += kBase64Alphabet[(n >> 12) & 63];
        out += rest == 2 ? kBase64Alphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    unsigned accumulator = 0;
    int bits = 0;
    int padding = 0;
    std::size_t digits = 0;
    for (char c : text) {
        if (isXmlSpace(c)) {
            continue;
        }
        if (c == '=') {
            ++padding;
            if (padding > 2) {
                return std::nullopt;
            }
            continue;
        }
        const int d = base64Digit(c);
        if (d < 0 || padding > 0) {
            return std::nullopt; // a foreign character, or a digit after "="
        }
        ++digits;
        accumulator = (accumulator << 6) | static_cast<unsigned>(d);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((accumulator >> bits) & 0xFF);
        }
    }
    // One digit alone cannot make a byte; padding must complete a quartet.
    if (digits % 4 == 1 || (padding > 0 && (digits + padding) % 4 != 0)) {
        return std::nullopt;
    }
    return out;
}

// ---------------------------------------------------------------- writing

namespace {

// Length of the well-formed UTF-8 sequence at s[i], or 0.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        return 1;
    }
    std::size_t len = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE ||
        cp == 0xFFFF) {
        return 0;
    }
    return len;
}


void appendValue(std::string& out, const XmlRpcValue& v) {
    using K = XmlRpcValue::Kind;
    out += "<value>";
    switch (v.kind) {
    case K::Nil:
        out += "<nil/>";
        break;
    case K::String:
        out += "<string>" + xmlEscape(v.text) + "</string>";
        break;
    case K::Int: {
        // Only 32-bit integers are standard; a wider value is clamped.
        const auto clamped =
            std::clamp<std::int64_t>(v.integer, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
        out += "<i4>" + std::to_string(clamped) + "</i4>";
        break;
    }
    case K::Double: {
        std::array<char, 64> buf{};
        // Not a number and the infinities have no XML-RPC spelling.
        const double real = v.real == v.real && v.real - v.real == 0.0 ? v.real : 0.0;
        const auto res =
            std::to_chars(buf.data(), buf.data() + buf.size(), real, std::chars_format::fixed);
        out += "<double>" + std::string(buf.data(), res.ptr) + "</double>";
        break;
    }
    case K::Boolean:
        out += v.integer != 0 ? "<boolean>1</boolean>" : "<boolean>0</boolean>";
        break;
    case K::Base64:
        out += "<base64>" + base64Encode(v.text) + "</base64>";
        break;
    case K::DateTime:
        out += "<dateTime.iso8601>" + xmlEscape(v.text) + "</dateTime.iso8601>";
        break;
    case K::Array:
        out += "<array><data>";
        for (const XmlRpcValue& item : v.items) {
            appendValue(out, item);
        }
        out += "</data></array>";
        break;
    case K::Struct:
        out += "<struct>";
        for (std::size_t i = 0; i < v.items.size() && i < v.memberNames.size(); ++i) {
            out += "<member><name>" + xmlEscape(v.memberNames[i]) + "</name>";
            appendValue(out, v.items[i]);
            out += "</member>";
        }
        out += "</struct>";
        break;
    }
    out += "</value>";
}

} // namespace

std::string xmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char c = utf8[i];
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            const std::size_t len = utf8SequenceLength(utf8, i);
            if (len == 0) {
                out += '?';
                ++i;
            } else {
                out.append(utf8.substr(i, len));
                i += len;
            }
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\t':
        case '\n':
            out += c;
            break;
        default:
            if (b >= 0x20 && b != 0x7F) {
                out += c;
            }
            break;
        }
        ++i;
    }
    return out;
}

std::string encodeMethodCall(std::string_view method, const std::vector<XmlRpcValue>& params) {
    std::string out = "<?xml version=\"1.0\"?>\n<methodCall><methodName>";
    out += xmlEscape(method);
    out += "</methodName><params>";
    for (const XmlRpcValue& p : params) {
        out += "<param>";
        appendValue(out, p);
        out += "</param>";
    }
    out += "</params></methodCall>\n";
    return out;
}

} // namespace wexon::link
