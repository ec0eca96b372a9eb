#pragma once

#include <memory>
#include <string>

#include <QString>

#include "spots/agw_frame.h"
#include "spots/spot_links.h"

class QObject;
class QTcpSocket;
class QTimer;

namespace wexon::platform {

// A client of the AGW Packet Engine TCP API (direwolf and others serve it).
// startPoll starts connecting and returns at once; once connected it registers
// the call ("X") and, when the engine takes it, turns monitoring on ("m", with
// raw frames "k", which the engine needs before it passes monitor frames on).
// Nothing here waits: connecting, the registration and its answer run on the
// event loop, and how they went is told through takeLinkEvent(): Up, Failed
// (not reached, refused, or no answer within the time limit) or, once up,
// Lost when the engine goes away.
//
// The spotting window's frame kinds are mapped to the engine's: "c" connects
// ("C"), "D" sends connected data, "d" disconnects, "P" needs nothing more. The
// engine's "C" (connected) reaches the window as "c"; its "R", "X", "G", "g", "y",
// "Y", "H" and "K" answers are consumed here.
class AgwClient : public spots::AgwLink {
  public:
    explicit AgwClient(QString host = "127.0.0.1", quint16 port = 8000, int timeoutMs = 3000);
    ~AgwClient() override;

    bool startPoll(const std::string& call, const std::string& applicationName) override;
    bool connecting() const override { return m_state == State::Connecting; }
    spots::AgwLinkEvent takeLinkEvent(std::string& why) override;
    void putData(const std::string& call, const std::string& data, char kind) override;
    bool getData(spots::AgwReceived& frame) override;
    void close() override;

    // True while the link is up: connected, and the call taken.
    bool isOpen() const;
    const std::string& ownCall() const { return m_call; }

  private:
    enum class State { Closed, Connecting, Up, Ended };

    void send(const spots::AgwFrame& frame);
    // Reads what the frame in progress needs; true once a frame is complete.
    bool readFrame(spots::AgwFrame& out);
    void connected();
    // While connecting: reads the engine's answer to the registration.
    void registrationAnswer();
    void ended(const std::string& why);

    QString m_host;
    quint16 m_port;
    int m_timeoutMs;
    std::unique_ptr<QObject> m_context; // owns the handlers of the current socket
    QTcpSocket* m_socket = nullptr;
    QTimer* m_limit = nullptr; // the time allowed to connect and register
    spots::AgwFrameDecoder m_decoder;
    std::string m_call;
    State m_state = State::Closed;
    spots::AgwLinkEvent m_event = spots::AgwLinkEvent::None;
    std::string m_eventText;
};

} // namespace wexon::platform
