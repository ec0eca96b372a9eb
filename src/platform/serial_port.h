#pragma once

// The one serial port service of the program, shared by the rig, CW, voice keyer
// and spotting windows. Each window owns one SerialPort.
//
//   SerialPort port(&settingsStore);            // port map from the settings store
//   rig::PortRequest r;                         // port number, "9600,N,8,1",
//   r.portNumber = 2; r.settings = "4800,N,8,2";//   handshaking, connection power
//   std::string err = port.open(r);             // empty on success
//   port.write(bytes);                          // bytes 0-255, unchanged
//   std::string in = port.readAll();            // everything received so far
//   port.bytesToWrite();                        // bytes not yet on the wire
//   port.drain();                               // wait (events running) up to 2000 ms
//   port.setDtr(true); port.setRts(false);      // keying and push-to-talk lines
//   port.close();
//
// Port numbers are resolved through the port map: the settings key "Ports/COMn"
// names the device of COMn; without it COMn is "/dev/ttyS(n-1)". Reading never
// blocks: received bytes are collected by Qt's event loop. The receive buffer is
// bounded (kReadBufferLimit); a port that disappears (device unplugged, pty
// closed) counts as closed from then on and write() fails.
//
// When opening fails the owner shows its own message with portFailureMessage().

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings_store.h"
#include "rig/cat_port.h"

class QSerialPort;

namespace wexon::platform {

// The windows that own a port, for their failure message.
enum class PortOwner { Rig, Spotting, Cw, Voice };

struct PortFailureMessage {
    const char* title;
    const char* text;
};
PortFailureMessage portFailureMessage(PortOwner owner);

// Line settings parsed from "baud,parity,data,stop".
struct LineSettings {
    int baud = 9600;
    char parity = 'N'; // 'N', 'E', 'O'
    int dataBits = 8;  // 7 or 8 (5 and 6 accepted too)
    int stopBits = 1;  // 1 or 2
};
// Nothing when the text is not four valid fields.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// The device path of port number n: the settings key "Ports/COMn", else
// "/dev/ttyS(n-1)". `map` may be null.
std::string portDevice(const core::SettingsStore* map, int portNumber);

class SerialPort : public rig::CatPort {
  public:
    static constexpr int kReadBufferLimit = 64 * 1024;
    static constexpr int kDrainLimitMs = 2000;

    explicit SerialPort(const core::SettingsStore* portMap = nullptr);
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    std::string open(const rig::PortRequest& request) override;
    void close() override;
    bool isOpen() const override;
    bool write(std::string_view bytes) override;
    // As write(), but hands the bytes to the driver at once when nothing is
    // queued ahead of them, for the keyer's characters.
    bool writeNow(std::string_view bytes);
    std::string readAll() override;
    int bytesToWrite() const override;
    void setDtr(bool on) override;
    void setRts(bool on) override;

    // Waits until no byte is waiting to be sent or `limitMs` have passed, letting
    // window events run meanwhile. True when everything was sent.
    bool drain(int limitMs = kDrainLimitMs);
    // The device the last open() used.
    const std::string& device() const { return m_device; }
    // True after the port failed while open (it then reports itself closed).
    bool failed() const { return m_failed; }

  private:
    const core::SettingsStore* m_portMap;
    std::unique_ptr<QSerialPort> m_port;
    std::string m_device;
    bool m_failed = false;
};

} // namespace wexon::platform
