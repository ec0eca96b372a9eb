#pragma once

#include <functional>
#include <string>

namespace wexon::keying {

// What the keyer needs from the main window: the entry boxes it reads for the
// message wildcards, the logging step for "!", and the one-line message label.
// Every call is made on the window thread.
class CwHost {
  public:
    virtual ~CwHost() = default;
    // The call box (txtCall), as typed.
    virtual std::string callText() const = 0;
    // The next serial as the serial label (Label4) shows it, e.g. "012".
    virtual std::string serialText() const = 0;
    // The sent report box (txtRSTS).
    virtual std::string reportSentText() const = 0;
    // Logs the current contact (the main window's Mains).
    virtual void logContact() = 0;
    // Shows a text in the main window's message label (lblDialog).
    virtual void showDialogText(const std::string& text) = 0;
};

// The WinKey keyer as the CW keyer uses it; implemented over the serial port.
class WinKeyControl {
  public:
    virtual ~WinKeyControl() = default;
    virtual bool isOpen() const = 0;
    // The keyer's last status value: 0 idle, above 0 busy.
    virtual int status() = 0;
    virtual void clearKeyerBuffer() = 0;
    virtual void keyerBackspace() = 0;
    virtual void setKeyerSpeed(int wpm) = 0;
    // WKTransmit: feeds CWBuffer to the keyer (opening it first if needed).
    virtual void transmitBuffer() = 0;
};

// Runs a piece of work on the window thread. The keying thread hands its
// reports to it; tests run the work at once.
using WindowThreadPost = std::function<void(std::function<void()>)>;

} // namespace wexon::keying
