#pragma once

#include <string>

#include <QString>

#include "spots/agw_frame.h"
#include "spots/spot_links.h"

class QTcpSocket;

namespace wexon::platform {

// A client of the AGW Packet Engine TCP API (direwolf and others serve it).
// startPoll connects, registers the call ("X") and turns monitoring on ("m", with
// raw frames "k", which the engine needs before it passes monitor frames on);
// the spotting window's frame kinds are mapped to the engine's: "c" connects
// ("C"), "D" sends connected data, "d" disconnects, "P" needs nothing more. The
// engine's "C" (connected) reaches the window as "c"; its "R", "X", "G", "g", "y",
// "Y", "H" and "K" answers are consumed here.
class AgwClient : public spots::AgwLink {
  public:
    explicit AgwClient(QString host = "127.0.0.1", quint16 port = 8000, int timeoutMs = 3000);
    ~AgwClient() override;

    bool startPoll(const std::string& call, const std::string& applicationName) override;
    void putData(const std::string& call, const std::string& data, char kind) override;
    bool getData(spots::AgwReceived& frame) override;
    void close() override;

    bool isOpen() const;
    const std::string& ownCall() const { return m_call; }

  private:
    void send(const spots::AgwFrame& frame);
    // Reads what the frame in progress needs; true once a frame is complete.
    bool readFrame(spots::AgwFrame& out);

    QString m_host;
    quint16 m_port;
    int m_timeoutMs;
    QTcpSocket* m_socket = nullptr;
    spots::AgwFrameDecoder m_decoder;
    std::string m_call;
};

} // namespace wexon::platform
