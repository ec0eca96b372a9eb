#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wexon::spots {

// The spotting window's terminal: everything received and said, kept short.
class TerminalText {
  public:
    static constexpr std::size_t kTrimAbove = 10000; // longer than this is cut...
    static constexpr std::size_t kKeep = 9000;       // ...to its last 9000 characters
    static constexpr std::size_t kRepeatWindow = 800;

    const std::string& text() const { return m_text; }
    void setText(std::string_view text) {
        m_text.assign(text);
        ++m_replacements;
    }
    void append(std::string_view text) { m_text.append(text); }
    // TrimTerminal: over 10000 characters keeps only the last 9000.
    void trim();
    // Whether `line` occurs (in any case) in the last 800 characters.
    bool isRecent(std::string_view line) const;
    // Counts the times the text was replaced or cut (rather than appended to), so
    // a display can tell whether to redraw it all or add the new tail.
    std::size_t replacements() const { return m_replacements; }

  private:
    std::string m_text;
    std::size_t m_replacements = 0;
};

} // namespace wexon::spots
