#include "link/xmlrpc_codec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

#include "link/xml_text.h"

// Reading a methodResponse: a small pull reader over the body and a parser
// that walks it into values, with every bound the header promises.

namespace wexon::link {

// ---------------------------------------------------------------- reading

namespace {

struct Token {
    enum class Type { Start, End, Empty, Text, Eof, Error };
    Type type = Type::Eof;
    std::string name; // Start, End, Empty: the element's name
    std::string text; // Text: the characters, escapes undone; Error: what was wrong
};

// A pull reader of the plain XML an XML-RPC server writes: elements,
// attributes (skipped), text, CDATA, comments and processing instructions.
class XmlReader {
  public:
    explicit XmlReader(std::string_view body) : m_body(body) {}

    Token next() {
        if (m_pos >= m_body.size()) {
            return Token{Token::Type::Eof, {}, {}};
        }
        if (m_body[m_pos] != '<') {
            return text();
        }
        if (startsWith("<?")) {
            return skipPast("?>") ? next() : error("unfinished processing instruction");
        }
        if (startsWith("<!--")) {
            return skipPast("-->") ? next() : error("unfinished comment");
        }
        if (startsWith("<![CDATA[")) {
            const std::size_t begin = m_pos + 9;
            const std::size_t end = m_body.find("]]>", begin);
            if (end == std::string_view::npos) {
                return error("unfinished CDATA section");
            }
            m_pos = end + 3;
            return Token{Token::Type::Text, {}, std::string(m_body.substr(begin, end - begin))};
        }
        if (startsWith("<!")) {
            return error("document type declarations are not accepted");
        }
        return tag();
    }

  private:
    bool startsWith(std::string_view s) const { return m_body.substr(m_pos, s.size()) == s; }

    bool skipPast(std::string_view end) {
        const std::size_t at = m_body.find(end, m_pos);
        if (at == std::string_view::npos) {
            return false;
        }
        m_pos = at + end.size();
        return true;
    }

    static Token error(std::string what) { return Token{Token::Type::Error, {}, std::move(what)}; }

    static bool isNameChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '_' || c == '-' || c == ':' ||
               static_cast<unsigned char>(c) >= 0x80;
    }

    Token tag() {
        ++m_pos; // '<'
        const bool closing = m_pos < m_body.size() && m_body[m_pos] == '/';
        if (closing) {
            ++m_pos;
        }
        const std::size_t nameBegin = m_pos;
        while (m_pos < m_body.size() && isNameChar(m_body[m_pos])) {
            ++m_pos;
        }
        if (m_pos == nameBegin) {
            return error("a tag without a name");
        }
        std::string name(m_body.substr(nameBegin, m_pos - nameBegin));
        // Attributes are skipped; a quoted value may hold '>' or '/'.
        char quote = 0;
        while (m_pos < m_body.size()) {
            const char c = m_body[m_pos];
            if (quote != 0) {
                if (c == quote) {
                    quote = 0;
                }
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                ++m_pos;
                return Token{closing ? Token::Type::End : Token::Type::Start, std::move(name), {}};
            } else if (c == '/' && !closing && m_pos + 1 < m_body.size() &&
                       m_body[m_pos + 1] == '>') {
                m_pos += 2;
                return Token{Token::Type::Empty, std::move(name), {}};
            } else if (c == '<') {
                break;
            }
            ++m_pos;
        }
        return error("unfinished tag <" + name);
    }

    Token text() {
        std::string out;
        while (m_pos < m_body.size() && m_body[m_pos] != '<') {
            const char c = m_body[m_pos];
            if (c != '&') {
                // XML reads a line end written as CR LF, or a lone CR, as LF.
                if (c == '\r') {
                    out += '\n';
                    ++m_pos;
                    if (m_pos < m_body.size() && m_body[m_pos] == '\n') {
                        ++m_pos;
                    }
                    continue;
                }
                out += c;
                ++m_pos;
                continue;
            }
            const std::size_t semi = m_body.find(';', m_pos);
            if (semi == std::string_view::npos || semi - m_pos > 12) {
                return error("a bad character reference");
            }
            const std::string_view ref = m_body.substr(m_pos + 1, semi - m_pos - 1);
            m_pos = semi + 1;
            if (ref == "lt") {
                out += '<';
            } else if (ref == "gt") {
                out += '>';
            } else if (ref == "amp") {
                out += '&';
            } else if (ref == "quot") {
                out += '"';
            } else if (ref == "apos") {
                out += '\'';
            } else if (ref.size() >= 2 && ref[0] == '#') {
                std::uint32_t cp = 0;
                const bool hex = ref[1] == 'x';
                const std::string_view digits = ref.substr(hex ? 2 : 1);
                const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), cp,
                                                 hex ? 16 : 10);
                if (digits.empty() || res.ec != std::errc() ||
                    res.ptr != digits.data() + digits.size() || cp == 0 || cp > 0x10FFFF ||
                    (cp >= 0xD800 && cp <= 0xDFFF)) {
                    return error("a bad character reference");
                }
                appendUtf8(out, cp);
            } else {
                return error("an unknown entity");
            }
        }
        return Token{Token::Type::Text, {}, std::move(out)};
    }

    std::string_view m_body;
    std::size_t m_pos = 0;
};

bool allSpace(std::string_view s) {
    for (char c : s) {
        if (!isXmlSpace(c)) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isXmlSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isXmlSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// Reads the methodResponse grammar from the token stream.
class ResponseParser {
  public:
    explicit ResponseParser(std::string_view body) : m_reader(body) {}

    XmlRpcResponse parse() {
        XmlRpcResponse r;
        if (!expectStart("methodResponse")) {
            return malformed();
        }
        Token t = nextElement();
        if (t.type == Token::Type::Start && t.name == "params") {
            Token p = nextElement();
            if (p.type == Token::Type::Start && p.name == "param") {
                if (!readValueElement(r.value) || !expectEnd("param") || !expectEnd("params")) {
                    return malformed();
                }
            } else if (p.type == Token::Type::Empty && p.name == "param") {
                // A param without a value: nothing.
                if (!expectEnd("params")) {
                    return malformed();
                }
            } else if (!(p.type == Token::Type::End && p.name == "params")) {
                return malformed("expected a <param>");
            }
        } else if (t.type == Token::Type::Empty && t.name == "params") {
            // No result at all: a method that returns nothing.
        } else if (t.type == Token::Type::Start && t.name == "fault") {
            XmlRpcValue fault;
            if (!readValueElement(fault) || !expectEnd("fault")) {
                return malformed();
            }
            const XmlRpcValue* code = fault.member("faultCode");
            const XmlRpcValue* text = fault.member("faultString");
            if (code == nullptr || code->kind != XmlRpcValue::Kind::Int || text == nullptr ||
                text->kind != XmlRpcValue::Kind::String) {
                return malformed("a fault without faultCode and faultString");
            }
            r.outcome = XmlRpcResponse::Outcome::Fault;
            r.faultCode = static_cast<int>(code->integer);
            r.faultString = text->text;
            return expectEnd("methodResponse") && expectEof() ? r : malformed();
        } else {
            return malformed("expected <params> or <fault>");
        }
        if (!expectEnd("methodResponse") || !expectEof()) {
            return malformed();
        }
        r.outcome = XmlRpcResponse::Outcome::Value;
        return r;
    }

  private:
    XmlRpcResponse malformed(std::string what = {}) {
        XmlRpcResponse r;
        r.outcome = XmlRpcResponse::Outcome::Malformed;
        r.error = !m_error.empty() ? m_error : (what.empty() ? "not an XML-RPC response" : what);
        return r;
    }

    bool fail(std::string what) {
        if (m_error.empty()) {
            m_error = std::move(what);
        }
        return false;
    }

    Token take() {
        Token t = m_reader.next();
        if (t.type == Token::Type::Error) {
            fail(t.text);
        }
        return t;
    }

    // The next token that is not whitespace between elements.
    Token nextElement() {
        for (;;) {
            Token t = take();
            if (t.type == Token::Type::Text && allSpace(t.text)) {
                continue;
            }
            return t;
        }
    }

    bool expectStart(std::string_view name) {
        const Token t = nextElement();
        return (t.type == Token::Type::Start && t.name == name) ||
               fail("expected <" + std::string(name) + ">");
    }

    bool expectEnd(std::string_view name) {
        const Token t = nextElement();
        return (t.type == Token::Type::End && t.name == name) ||
               fail("expected </" + std::string(name) + ">");
    }

    bool expectEof() {
        const Token t = nextElement();
        return t.type == Token::Type::Eof || fail("text after the response");
    }

    // The text of a scalar element up to its end tag.
    bool readScalarText(const std::string& name, std::string& text) {
        for (;;) {
            Token t = take();
            if (t.type == Token::Type::Text) {
                text += t.text;
                if (text.size() > kMaxXmlRpcResponseBytes) {
                    return fail("a value too long");
                }
            } else if (t.type == Token::Type::End && t.name == name) {
                return true;
            } else {
                return fail("unexpected markup in <" + name + ">");
            }
        }
    }

    bool countValue() { return ++m_values <= kMaxXmlRpcValues || fail("too many values"); }

    static bool parseInteger(std::string_view s, std::int64_t lo, std::int64_t hi,
                             std::int64_t& out) {
        s = trimmed(s);
        if (!s.empty() && s.front() == '+') {
            s.remove_prefix(1);
        }
        std::int64_t v = 0;
        const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
        if (s.empty() || res.ec != std::errc() || res.ptr != s.data() + s.size() || v < lo ||
            v > hi) {
            return false;
        }
        out = v;
        return true;
    }

    bool readTyped(const Token& open, XmlRpcValue& v, int depth) {
        using K = XmlRpcValue::Kind;
        const std::string& name = open.name;
        const bool empty = open.type == Token::Type::Empty;
        if (name == "array" || name == "struct") {
            return empty ? fail("an empty <" + name + "/>")
                         : (name == "array" ? readArray(v, depth) : readStruct(v, depth));
        }
        std::string text;
        if (!empty && !readScalarText(name, text)) {
            return false;
        }
        if (name == "string") {
            v.kind = K::String;
            v.text = std::move(text);
        } else if (name == "i4" || name == "int") {
            v.kind = K::Int;
            if (!parseInteger(text, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max(), v.integer)) {
                return fail("a bad integer");
            }
        } else if (name == "i8") {
            v.kind = K::Int;
            if (!parseInteger(text, std::numeric_limits<std::int64_t>::min(),
                              std::numeric_limits<std::int64_t>::max(), v.integer)) {
                return fail("a bad integer");
            }
        } else if (name == "boolean") {
            v.kind = K::Boolean;
            const std::string_view t = trimmed(text);
            if (t == "1" || t == "true") {
                v.integer = 1;
            } else if (t == "0" || t == "false") {
                v.integer = 0;
            } else {
                return fail("a bad boolean");
            }
        } else if (name == "double") {
            v.kind = K::Double;
            std::string_view t = trimmed(text);
            if (!t.empty() && t.front() == '+') {
                t.remove_prefix(1);
            }
            const auto res = std::from_chars(t.data(), t.data() + t.size(), v.real);
            if (t.empty() || res.ec != std::errc() || res.ptr != t.data() + t.size() ||
                v.real != v.real || v.real - v.real != 0.0) {
                return fail("a bad double");
            }
        } else if (name == "base64") {
            v.kind = K::Base64;
            auto bytes = base64Decode(text);
            if (!bytes) {
                return fail("bad base64");
            }
            v.text = std::move(*bytes);
        } else if (name == "dateTime.iso8601") {
            v.kind = K::DateTime;
            v.text = std::string(trimmed(text));
        } else if (name == "nil") {
            v.kind = K::Nil;
        } else {
            return fail("an unknown type <" + name + ">");
        }
        return true;
    }

    // A whole <value> element (an empty one is an empty string).
    bool readValueElement(XmlRpcValue& v) {
        const Token t = nextElement();
        if (t.type == Token::Type::Empty && t.name == "value") {
            v = XmlRpcValue::string("");
            return countValue();
        }
        return (t.type == Token::Type::Start && t.name == "value" && readValue(v, 1)) ||
               fail("expected <value>");
    }

    // After <value>: a bare text (a string), or one typed element, then </value>.
    bool readValue(XmlRpcValue& v, int depth) {
        if (depth > kMaxXmlRpcDepth) {
            return fail("values nested too deep");
        }
        if (!countValue()) {
            return false;
        }
        std::string text;
        for (;;) {
            Token t = take();
            if (t.type == Token::Type::Text) {
                text += t.text;
                if (text.size() > kMaxXmlRpcResponseBytes) {
                    return fail("a value too long");
                }
                continue;
            }
            if (t.type == Token::Type::End && t.name == "value") {
                v = XmlRpcValue::string(text);
                return true;
            }
            if ((t.type == Token::Type::Start || t.type == Token::Type::Empty) && allSpace(text)) {
                return readTyped(t, v, depth) && expectEnd("value");
            }
            return fail("unexpected markup in <value>");
        }
    }

    bool readArray(XmlRpcValue& v, int depth) {
        v.kind = XmlRpcValue::Kind::Array;
        Token data = nextElement();
        if (data.type == Token::Type::Empty && data.name == "data") {
            return expectEnd("array");
        }
        if (data.type != Token::Type::Start || data.name != "data") {
            return fail("expected <data>");
        }
        for (;;) {
            Token t = nextElement();
            if (t.type == Token::Type::End && t.name == "data") {
                return expectEnd("array");
            }
            if (t.type == Token::Type::Empty && t.name == "value") {
                if (!countValue()) {
                    return false;
                }
                v.items.push_back(XmlRpcValue::string(""));
                continue;
            }
            if (t.type != Token::Type::Start || t.name != "value") {
                return fail("expected <value> in <data>");
            }
            v.items.emplace_back();
            if (!readValue(v.items.back(), depth + 1)) {
                return false;
            }
        }
    }

    bool readStruct(XmlRpcValue& v, int depth) {
        v.kind = XmlRpcValue::Kind::Struct;
        for (;;) {
            Token t = nextElement();
            if (t.type == Token::Type::End && t.name == "struct") {
                return true;
            }
            if (t.type != Token::Type::Start || t.name != "member") {
                return fail("expected <member> in <struct>");
            }
            if (!expectStart("name")) {
                return false;
            }
            std::string name;
            if (!readScalarText("name", name)) {
                return false;
            }
            Token value = nextElement();
            v.memberNames.push_back(std::move(name));
            v.items.emplace_back();
            if (value.type == Token::Type::Empty && value.name == "value") {
                if (!countValue()) {
                    return false;
                }
                v.items.back() = XmlRpcValue::string("");
            } else if (value.type != Token::Type::Start || value.name != "value" ||
                       !readValue(v.items.back(), depth + 1)) {
                return fail("expected <value> in <member>");
            }
            if (!expectEnd("member")) {
                return false;
            }
        }
    }

    XmlReader m_reader;
    std::string m_error;
    std::size_t m_values = 0;
};

} // namespace

XmlRpcResponse decodeMethodResponse(std::string_view body) {
    if (body.size() > kMaxXmlRpcResponseBytes) {
        XmlRpcResponse r;
        r.error = "the response is too long";
        return r;
    }
    return ResponseParser(body).parse();
}

} // namespace wexon::link
