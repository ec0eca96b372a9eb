#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::keying {

// The one-value-per-line files of the keyers ("cw.txt", "WK.txt"): each line
// holds a text in double quotes or a bare number.
class SettingsLines {
  public:
    // Longest value kept from one line.
    static constexpr std::size_t kMaxValueLength = 4096;

    explicit SettingsLines(std::string_view bytes);
    std::size_t count() const { return m_lines.size(); }
    // The text of line `index` (0-based): the quoted text with doubled quotes
    // made single, or the trimmed bare value. Nothing past the last line.
    std::optional<std::string> text(std::size_t index) const;
    // The whole-number value of a line, or nothing when it is not a number.
    std::optional<long long> integer(std::size_t index) const;

    // One line of text, quoted, with inner quotes doubled and line breaks
    // made blanks, ended by CR LF.
    static std::string quotedLine(std::string_view value);
    static std::string numberLine(long long value);

  private:
    std::vector<std::string> m_lines;
};

} // namespace wexon::keying
