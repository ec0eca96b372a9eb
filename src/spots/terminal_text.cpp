#include "spots/terminal_text.h"

#include "spots/spot_line.h"

namespace wexon::spots {

void TerminalText::trim() {
    if (m_text.size() > kTrimAbove) {
        m_text.erase(0, m_text.size() - kKeep);
        ++m_replacements;
    }
}

bool TerminalText::isRecent(std::string_view line) const {
    const std::size_t start = m_text.size() > kRepeatWindow ? m_text.size() - kRepeatWindow : 0;
    if (start >= m_text.size()) {
        return false; // an empty terminal holds nothing
    }
    return findIgnoreCase(m_text, line, start) != std::string::npos;
}

} // namespace wexon::spots
