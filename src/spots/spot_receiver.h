#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "spots/spot_line.h"
#include "spots/telnet_line_buffer.h"
#include "spots/terminal_text.h"
#include "spots/tnc_line_splitter.h"

namespace wexon::spots {

// A frame as the AGW link hands it over: its kind, the sender's call and its data.
struct AgwReceived {
    char kind = 0;
    std::string call;
    std::string data;
};

// What the spotting window must do after a received piece of text.
struct Received {
    std::vector<SpotFields> spots; // to post, in order
    bool terminalChanged = false;
    enum class Link { Unchanged, Connected, Disconnected } link = Link::Unchanged;
    std::string linkCall; // the station connected or disconnected
};

// The three receive paths of the spotting window: each shows the text in the
// terminal by its own rules and finds the spot lines in it.
class SpotReceiver {
  public:
    explicit SpotReceiver(TerminalText& terminal) : m_terminal(terminal) {}

    void setListDxOnly(bool on) { m_listDxOnly = on; }
    bool listDxOnly() const { return m_listDxOnly; }
    const std::string& agwConnectedCall() const { return m_agwConnectedCall; }
    void setAgwConnectedCall(std::string call) { m_agwConnectedCall = std::move(call); }

    // Text read from the TNC: whole lines only, a line seen in the last 800
    // terminal characters is a repeat and ignored.
    Received receiveTnc(std::string_view text);
    // One Telnet read. The terminal shows the chunk whole; spots come from whole
    // lines, so a line split over two reads is found once.
    Received receiveTelnet(std::string_view chunk);
    // One AGW frame, then the connection changes it reports ("d", then "c").
    Received receiveAgw(const AgwReceived& frame);

    const TncLineSplitter& tncSplitter() const { return m_tnc; }

  private:
    void show(std::string_view text, Received& r);

    TerminalText& m_terminal;
    TncLineSplitter m_tnc;
    TelnetLineBuffer m_telnet;
    bool m_listDxOnly = false;
    std::string m_agwConnectedCall;
};

// Every CR and every LF becomes CR LF.
std::string expandLineEnds(std::string_view text);

} // namespace wexon::spots
