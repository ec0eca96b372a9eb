#include "spots/telnet_line_buffer.h"

namespace wexon::spots {

std::vector<std::string> TelnetLineBuffer::feed(std::string_view chunk) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    if (m_afterCr && !chunk.empty()) {
        m_afterCr = false;
        if (chunk.front() == '\n') {
            pos = 1;
        }
    }
    while (pos < chunk.size()) {
        const std::size_t end = chunk.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            if (!m_skipping) {
                m_partial.append(chunk.substr(pos));
                if (m_partial.size() > kMaxPartial) {
                    m_partial.clear();
                    m_skipping = true;
                }
            }
            break;
        }
        if (m_skipping) {
            m_skipping = false;
        } else {
            m_partial.append(chunk.substr(pos, end - pos));
            if (m_partial.size() <= kMaxPartial) {
                lines.push_back(m_partial);
            }
        }
        m_partial.clear();
        pos = end + 1;
        if (chunk[end] == '\r') {
            if (pos == chunk.size()) {
                m_afterCr = true;
            } else if (chunk[pos] == '\n') {
                ++pos;
            }
        }
    }
    return lines;
}

} // namespace wexon::spots
