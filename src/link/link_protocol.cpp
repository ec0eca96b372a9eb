#include "link/link_protocol.h"

#include "core/text_util.h"

namespace wexon::link {

std::optional<std::size_t> itemIndex(std::string_view name) {
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        if (name == kItems[i].name) {
            return i;
        }
    }
    return std::nullopt;
}

std::string socketNameForTopic(std::string_view topic) {
    std::string out;
    out.reserve(topic.size());
    for (char c : topic) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        out.push_back(plain ? c : '_');
    }
    return out;
}

std::string linkSocketPath(std::string_view configured, std::string_view runtimeFolder) {
    const std::string name = core::trim(configured);
    if (name.find('/') != std::string::npos) {
        return name;
    }
    if (runtimeFolder.empty()) {
        return {};
    }
    std::string path(runtimeFolder);
    if (path.back() != '/') {
        path.push_back('/');
    }
    return path + (name.empty() ? socketNameForTopic(kLinkTopic) : name);
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

namespace {

bool continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The length and code point of a well-formed UTF-8 sequence at `i`, or 0 when
// the bytes there do not form one (overlong forms and surrogates included).
std::size_t utf8Sequence(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (!continuation(b)) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

bool isControl(unsigned char b) {
    return b < 0x20 || b == 0x7F;
}

} // namespace

std::string utf8ToLatin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(text[i]);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = utf8Sequence(text, i, cp);
        if (len == 0) {
            out.push_back(text[i]); // an 8-bit character as it stands
            ++i;
            continue;
        }
        out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
        i += len;
    }
    return out;
}

std::string encodeLine(std::string_view itemName, std::string_view latin1Value) {
    std::string value(latin1Value);
    for (char& c : value) {
        if (isControl(static_cast<unsigned char>(c))) {
            c = ' ';
        }
    }
    std::string line(itemName);
    line.push_back('\t');
    line += latin1ToUtf8(value);
    line.push_back('\n');
    return line;
}

std::optional<LinkLine> decodeLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        return std::nullopt;
    }
    LinkLine out;
    out.item = std::string(line.substr(0, tab));
    const std::string value = utf8ToLatin1(line.substr(tab + 1));
    out.value.reserve(value.size());
    for (char c : value) {
        if (!isControl(static_cast<unsigned char>(c))) {
            out.value.push_back(c);
        }
    }
    return out;
}

std::vector<std::string> LineSplitter::feed(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part = bytes.substr(0, end);
        if (m_skipping) {
            // The rest of an over-long line: nothing of it is kept.
        } else if (m_pending.size() + part.size() > kMaxLineBytes) {
            m_pending.clear();
            m_skipping = true;
            ++m_dropped;
        } else {
            m_pending.append(part);
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!m_skipping) {
            lines.push_back(std::move(m_pending));
        }
        m_pending.clear();
        m_skipping = false;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

void LineSplitter::clear() {
    m_pending.clear();
    m_skipping = false;
}

int linkKeyCode(int keyCode) {
    return keyCode == 121 ? 124 : keyCode;
}

int keyCodeForCharacter(char32_t ch) {
    if (ch >= 'a' && ch <= 'z') {
        return static_cast<int>(ch - 'a' + 'A');
    }
    if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ') {
        return static_cast<int>(ch);
    }
    switch (ch) {
    case ')':
        return '0';
    case '!':
        return '1';
    case '@':
        return '2';
    case '#':
        return '3';
    case '$':
        return '4';
    case '%':
        return '5';
    case '^':
        return '6';
    case '&':
        return '7';
    case '*':
        return '8';
    case '(':
        return '9';
    case ';':
    case ':':
        return 186;
    case '=':
    case '+':
        return 187;
    case ',':
    case '<':
        return 188;
    case '-':
    case '_':
        return 189;
    case '.':
    case '>':
        return 190;
    case '/':
    case '?':
        return 191;
    case '`':
    case '~':
        return 192;
    case '[':
    case '{':
        return 219;
    case '\\':
    case '|':
        return 220;
    case ']':
    case '}':
        return 221;
    case '\'':
    case '"':
        return 222;
    default:
        return 0;
    }
}

std::string upperLatin1(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
            c = static_cast<char>(b - 0x20);
        }
    }
    return out;
}

bool maySend(std::string_view contestMode, bool linked) {
    return linked && core::equalsIgnoreCase(core::trim(contestMode), "RY");
}

} // namespace wexon::link
