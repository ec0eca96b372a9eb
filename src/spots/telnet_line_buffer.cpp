#include "spots/telnet_line_buffer.h"

namespace wexon::spots {

namespace {

std::string withoutCarriageReturns(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && line[begin] == '\r') {
        ++begin;
    }
    while (end > begin && line[end - 1] == '\r') {
        --end;
    }
    return std::string(line.substr(begin, end - begin));
}

} // namespace

std::vector<std::string> TelnetLineBuffer::feed(std::string_view chunk) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < chunk.size()) {
        const std::size_t lf = chunk.find('\n', pos);
        if (lf == std::string_view::npos) {
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
            m_partial.append(chunk.substr(pos, lf - pos));
            if (m_partial.size() <= kMaxPartial) {
                lines.push_back(withoutCarriageReturns(m_partial));
            }
        }
        m_partial.clear();
        pos = lf + 1;
    }
    return lines;
}

} // namespace wexon::spots
