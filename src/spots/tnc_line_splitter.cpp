#include "spots/tnc_line_splitter.h"

namespace wexon::spots {

std::vector<std::string> TncLineSplitter::feed(std::string_view received) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    if (m_afterCr && !received.empty()) {
        m_afterCr = false;
        if (received.front() == '\n') {
            pos = 1;
        }
    }
    while (pos < received.size()) {
        const std::size_t end = received.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            if (!m_dropping) {
                m_held.append(received.substr(pos));
                // The held line has no end in sight: drop it and the rest of it.
                if (m_held.size() > kMaxHeld) {
                    m_held.clear();
                    m_dropping = true;
                }
            }
            break;
        }
        if (m_dropping) {
            m_dropping = false;
        } else {
            m_held.append(received.substr(pos, end - pos));
            if (m_held.size() <= kMaxHeld) {
                m_held.append("\r\n");
                lines.push_back(std::move(m_held));
            }
        }
        m_held.clear();
        pos = end + 1;
        if (received[end] == '\r') {
            if (pos == received.size()) {
                m_afterCr = true;
            } else if (received[pos] == '\n') {
                ++pos;
            }
        }
    }
    return lines;
}

} // namespace wexon::spots
