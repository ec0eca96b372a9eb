#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "link/link_protocol.h"

namespace wexon::link {

// The link window's twenty boxes and the linked flag, without a display or a
// socket. Writing an out box answers the bytes to send (empty when nothing is
// to go out); received bytes answer what the main window has to take over.
//
// Nothing is written, and no out box changes, unless the contest mode is "RY"
// and the link is up. A box pokes only when its text changes, as a linked box
// does; that is why a key code is sent as "" first and then the code, so the
// same key twice still reaches the other program twice.
class LinkSession {
  public:
    // Where a received value goes in the main window.
    enum class Target { Call, ReportReceived, Section };
    struct Incoming {
        Target target;
        std::string text; // 8-bit text, already upper-cased where the target wants it
    };

    bool linked() const { return m_linked; }
    void setLinked(bool linked) { m_linked = linked; }

    // Every box emptied, as the conversation is set up again. Nothing is sent.
    void clearBoxes();
    const std::string& box(std::size_t index) const { return m_boxes[index]; }
    // The text of the named box; empty for a name that is not a box.
    std::string box(std::string_view name) const;

    // Writes an out box (a name that is not an out item is refused). The next
    // QSO number is trimmed.
    std::string write(std::string_view contestMode, std::string_view itemName,
                      std::string_view latin1Value);
    // The own call and the next QSO number (the label's text, trimmed).
    std::string sendOwnCallAndSerial(std::string_view contestMode, std::string_view ownCall,
                                     std::string_view nextSerial);
    // A key went down in the main window: its code (F10 as 124) into txtBField8.
    std::string keyDown(std::string_view contestMode, int keyCode);

    // Bytes from the other program. Lines without a tab, naming no box or an
    // out box, or too long, are dropped; in boxes take their values, and the
    // changes the main window follows are answered in order.
    std::vector<Incoming> receive(std::string_view bytes);
    // A fresh start for the line reader (a new connection).
    void resetReader() { m_splitter.clear(); }

    // Received lines that were dropped: no tab, unknown or out item, too long.
    std::size_t rejectedLines() const { return m_rejected + m_splitter.droppedLines(); }

  private:
    std::array<std::string, kItemCount> m_boxes{};
    bool m_linked = false;
    LineSplitter m_splitter;
    std::size_t m_rejected = 0;
};

} // namespace wexon::link
