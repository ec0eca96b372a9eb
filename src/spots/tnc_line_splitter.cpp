#include "spots/tnc_line_splitter.h"

namespace wexon::spots {

std::vector<std::string> TncLineSplitter::feed(std::string_view received) {
    std::vector<std::string> lines;
    if (received.empty()) {
        return lines;
    }
    m_buffer.append(received);
    if (m_buffer.size() <= 2) {
        return lines;
    }
    std::size_t p1 = m_buffer.find('\n');
    if (p1 == std::string::npos) {
        // No line has started yet; nothing before a line feed can ever be used.
        if (m_buffer.size() > kMaxHeld) {
            m_buffer.clear();
        }
        return lines;
    }
    while (true) {
        const std::size_t p2 = m_buffer.find('\n', p1 + 1);
        if (p2 == std::string::npos) {
            break;
        }
        lines.emplace_back(m_buffer, p1 + 1, p2 - p1);
        p1 = p2;
    }
    m_buffer.erase(0, p1);
    // The held line has no end in sight: drop it. Emptying the buffer (no leading
    // line feed) makes the rest of that line, up to its line feed, be dropped too.
    if (m_buffer.size() > kMaxHeld) {
        m_buffer.clear();
    }
    return lines;
}

} // namespace wexon::spots
