#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::spots {

// Collects Telnet text into whole lines for the spot search, so that a spot line
// split over two reads is still found, once. A line ends at a carriage return,
// a line feed or the pair CR LF (nodes of packet heritage end lines with a bare
// CR), even when the pair is split between two reads; the line end is not part
// of the line.
class TelnetLineBuffer {
  public:
    // A partial line longer than this is dropped, with the rest of that line.
    static constexpr std::size_t kMaxPartial = 1024;

    std::vector<std::string> feed(std::string_view chunk);
    const std::string& partial() const { return m_partial; }
    // Forgets the partial line (a prompt the next chunk does not continue).
    void breakLine() {
        m_partial.clear();
        m_skipping = false;
        m_afterCr = false;
    }

  private:
    std::string m_partial;
    bool m_skipping = false; // dropping an over-long line up to its end
    bool m_afterCr = false;  // the last line ended at a CR: a line feed next belongs to it
};

} // namespace wexon::spots
