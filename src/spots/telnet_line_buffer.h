#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wexon::spots {

// Collects Telnet text into whole lines for the spot search, so that a spot line
// split over two reads is still found, once. Lines end at a line feed; a carriage
// return at either side of it is not part of the line.
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
    }

  private:
    std::string m_partial;
    bool m_skipping = false; // dropping an over-long line up to its line feed
};

} // namespace wexon::spots
