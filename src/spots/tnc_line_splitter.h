#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::spots {

// Splits the text a TNC sends into lines. A line ends at a carriage return, a
// line feed or the pair CR LF (packet nodes end lines with a bare CR), even
// when the pair is split between two reads. Each line comes out with CR LF as
// its end, whatever end it was sent with; text after the last line end is held
// until more arrives.
class TncLineSplitter {
  public:
    // A held partial line longer than this is dropped with the rest of its line.
    static constexpr std::size_t kMaxHeld = 4096;

    // Adds received text; returns the complete lines it finished, in order.
    std::vector<std::string> feed(std::string_view received);
    // The start of the line not yet ended.
    const std::string& held() const { return m_held; }

  private:
    std::string m_held;
    bool m_dropping = false; // passing over the rest of an over-long line
    bool m_afterCr = false;  // the last line ended at a CR: a line feed next belongs to it
};

} // namespace wexon::spots
