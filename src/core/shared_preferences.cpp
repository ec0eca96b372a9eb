#include "core/shared_preferences.h"

#include "core/text_util.h"

namespace wexon::core {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Line breaks inside a value or key would split the document's "<KEY>value</KEY>"
// line; each one (CR LF, CR or LF) becomes one blank.
std::string withoutLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out.push_back(' ');
        } else if (c == '\n') {
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The document is written with CR LF line breaks; a document another program
// wrote with bare LF ends is brought to that form when it is loaded.
std::string lfToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out.push_back('\r');
        }
        out.push_back(text[i]);
    }
    return out;
}

} // namespace

const std::string& SharedPreferences::declaration() {
    static const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";
    return kDeclaration;
}

void SharedPreferences::load(const std::string& path) {
    m_path = path;
    m_unreadablePath.clear();
    m_loadError.clear();
    if (!fileExists(path)) {
        m_text = declaration();
        return;
    }
    bool tooLarge = false;
    std::optional<std::string> bytes = readWholeFile(path, kMaxBytes, &tooLarge);
    if (!bytes) {
        // The file is there but cannot be read: start from the declaration, and
        // refuse to write over the file so that the other programs' keys survive.
        m_text = declaration();
        m_unreadablePath = path;
        m_loadError = path + ": " +
                      (tooLarge ? std::string("the file is too large")
                                : std::string("the file cannot be read"));
        return;
    }
    std::string content = std::move(*bytes);
    // Only a real final line break is removed; a file without one keeps its
    // last characters.
    if (content.size() >= 2 && content.compare(content.size() - 2, 2, kLineBreak) == 0) {
        content.resize(content.size() - 2);
    } else if (!content.empty() && content.back() == '\n') {
        content.pop_back();
    }
    std::string text = lfToCrLf(content);
    // The limit holds for the document as save() would write it: a file with
    // bare LF ends grows when they become CR LF, and a document that loads must
    // also load again after it has been saved.
    if (text.size() + kLineBreak.size() > kMaxBytes) {
        m_text = declaration();
        m_unreadablePath = path;
        m_loadError = path + ": the file is too large";
        return;
    }
    m_text = std::move(text);
}

FileResult SharedPreferences::save(const std::string& path) {
    m_path = path;
    if (path.empty()) {
        return {"No file name for the shared preferences document"};
    }
    if (!m_unreadablePath.empty() && path == m_unreadablePath) {
        return {m_loadError + "; not overwritten"};
    }
    if (m_text.size() + kLineBreak.size() > kMaxBytes) {
        // What would not load again is not written; the file keeps its last
        // loadable content.
        return {path + ": the document would be larger than " + std::to_string(kMaxBytes) +
                " bytes; not written"};
    }
    std::string bytes = m_text;
    bytes.append(kLineBreak);
    return replaceAtomically(path, bytes);
}

FileResult SharedPreferences::set(std::string_view key, std::string_view value, bool saveNow) {
    const std::string upperKey = toUpper(withoutLineBreaks(key));
    const std::string cleanValue = withoutLineBreaks(value);
    const std::string openTag = "<" + upperKey + ">";
    const std::string closeTag = "</" + upperKey + ">";

    std::size_t open = m_text.find(openTag);
    if (open != std::string::npos) {
        std::size_t start = open + openTag.size();
        std::size_t close = m_text.find(closeTag, start);
        if (close != std::string::npos) {
            m_text.replace(start, close - start, cleanValue);
        } else {
            // A line cut short by another program: the rest of that line is the
            // old value, and the line gets its closing tag back.
            std::size_t end = m_text.find_first_of("\r\n", start);
            if (end == std::string::npos) {
                end = m_text.size();
            }
            m_text.replace(start, end - start, cleanValue + closeTag);
        }
    } else {
        m_text.append(kLineBreak);
        m_text.append(openTag);
        m_text.append(cleanValue);
        m_text.append(closeTag);
    }

    if (saveNow) {
        return save(m_path);
    }
    return {};
}

} // namespace wexon::core
