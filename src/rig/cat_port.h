#pragma once

#include <string>
#include <string_view>

namespace wexon::rig {

// How a serial port is opened. The order of the steps is fixed by the port
// (close if open, number, handshaking and line settings, drop DTR and RTS, open,
// raise the connection-power line); the request only says what to set.
struct PortRequest {
    int portNumber = 1;   // 1 = COM1; resolved to a device through the port map
    std::string settings; // "9600,N,8,1"; empty keeps the line settings (keying ports)
    int handshaking = 0;  // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 RTS/CTS and XON/XOFF
    // The packet TNC sets handshaking after the lines are dropped, the rig before
    // the line settings; on this platform both end in the same state.
    bool handshakingAfterLines = false;
    char powerLine = 'N'; // 'R' raise RTS, 'D' raise DTR after opening, 'N' none
};

// A serial port as the rig code sees it. Every byte 0-255 passes unchanged both
// ways: a std::string here is a string of bytes, one character per byte.
class CatPort {
  public:
    virtual ~CatPort() = default;

    // Opens the port; empty text on success, else the reason it failed (the port
    // stays closed).
    virtual std::string open(const PortRequest& request) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues bytes for sending. False when the port is closed or has failed.
    virtual bool write(std::string_view bytes) = 0;
    // Everything received since the last call; empties the receive buffer.
    virtual std::string readAll() = 0;
    // Bytes still waiting to be sent.
    virtual int bytesToWrite() const = 0;
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    // A refusal of a command by the far end since the last call, in words;
    // empty when none. Only links whose far end answers every command (rigctld)
    // can tell; a serial port never does.
    virtual std::string takeCommandError() { return {}; }
};

} // namespace wexon::rig
