#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QObject>
#include <QTimer>

#include "keying/cw_host.h"
#include "keying/winkey_protocol.h"
#include "platform/serial_port.h"

namespace wexon::keying {
class CwEngine;
}

namespace wexon::platform {

// A WinKey keyer on a serial port, spoken to in its host-mode protocol. It
// offers the wk_ operations with their result codes, and WKTransmit, which
// feeds CWBuffer to the keyer one character every 10 ms while the keyer has
// room, driven by a timer so the window never waits on the keyer.
// (No Q_OBJECT: it has no signals or slots of its own; the platform library
// is built without moc.)
class WinKeyer : public QObject, public keying::WinKeyControl {
  public:
    // `buffer` holds CWBuffer; `portMap` resolves port numbers.
    WinKeyer(keying::CwEngine& buffer, const core::SettingsStore* portMap,
             QObject* parent = nullptr);
    ~WinKeyer() override;

    // How long the keyer may take to answer the echo and the open.
    void setAnswerTimeoutMs(int ms) { m_answerTimeoutMs = ms; }
    // How long a busy keyer may stay silent before it is asked for its
    // status, and then before it is given up.
    void setStallTimeoutMs(int ms) { m_stallTimeoutMs = ms; }
    // WKTransmit runs this when the keyer is closed (the window's Open);
    // without it the keyer is opened on the last port.
    void setOpenRequest(std::function<void()> request) { m_openRequest = std::move(request); }
    // Told, on the window thread, when the sender gives up on the keyer (it
    // stopped answering, or its port went away); by then the keyer is closed.
    void setProblemHandler(std::function<void(const std::string&)> handler) {
        m_problemHandler = std::move(handler);
    }

    // wk_open: result code (winkey::OpenResult); `version` gets the keyer's
    // version byte, 0 when it did not open.
    int wkOpen(int portNumber, int& version);
    void wkClose();
    void wkChar(char ch);
    void wkClearBuffer();
    void wkBackspace();
    int wkGetStatus();
    void wkWpm(int wpm);
    void wkWeight(int weight);
    void wkPttLeadTail(int leadIn, int tail);
    void wkDitDahRatio(int ratio);
    void wkPinConfig(int value);
    void wkSetMode(int value);

    // WinKeyOpen: the version while open, 0 while closed.
    int version() const { return m_version; }
    int portNumber() const { return m_portNumber; }
    // Whether the sender is feeding the keyer.
    bool transmitting() const { return m_timer.isActive(); }
    // Why the sender last gave up, empty when it did not.
    const std::string& lastProblem() const { return m_problem; }

    // keying::WinKeyControl
    bool isOpen() const override;
    int status() override { return wkGetStatus(); }
    void clearKeyerBuffer() override { wkClearBuffer(); }
    void keyerBackspace() override { wkBackspace(); }
    void setKeyerSpeed(int wpm) override { wkWpm(wpm); }
    // WKTransmit.
    void transmitBuffer() override;

  private:
    void step();
    void stopSending();
    // Gives up on the keyer: the buffer is emptied, the port closed and the
    // problem reported.
    void giveUp(std::string problem);
    void readReplies();
    bool send(std::string_view bytes);
    std::optional<std::uint8_t> waitForPlainByte(int timeoutMs);

    keying::CwEngine& m_buffer;
    SerialPort m_port;
    keying::winkey::ReplyDecoder m_decoder;
    QTimer m_timer;
    int m_version = 0;
    int m_portNumber = 0;
    int m_answerTimeoutMs = 1000;
    int m_stallTimeoutMs = 3000;
    std::function<void()> m_openRequest;
    std::function<void(const std::string&)> m_problemHandler;
    std::chrono::steady_clock::time_point m_lastHeard{};
    std::optional<std::chrono::steady_clock::time_point> m_statusAsked;
    std::string m_problem;
};

} // namespace wexon::platform
