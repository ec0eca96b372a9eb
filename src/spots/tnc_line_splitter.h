#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::spots {

// Splits the text a TNC sends into lines. A line runs from just after one line
// feed up to and including the next, so a carriage return before that line feed
// stays in the line; text after the last line feed is held until more arrives.
class TncLineSplitter {
  public:
    // A held partial line longer than this is dropped with the rest of its line.
    static constexpr std::size_t kMaxHeld = 4096;

    // Adds received text; returns the complete lines it finished, in order.
    std::vector<std::string> feed(std::string_view received);
    // The text not yet split (begins with a line feed once one has arrived).
    const std::string& held() const { return m_buffer; }

  private:
    std::string m_buffer = "\n";
};

} // namespace wexon::spots
