#pragma once

#include <deque>
#include <string>

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include "keying/cwdaemon_sender.h"

namespace wexon::keying {
class CwEngine;
class CwEngineListener;
} // namespace wexon::keying

namespace wexon::platform {

// The network side of the cwdaemon keyer: a UDP socket aimed at cwdaemon, the
// sender's timer, and the sender itself. Nothing here waits: datagrams are
// written without blocking, replies and errors arrive as signals on the
// window thread.
class CwdaemonLink : public QObject, private keying::CwdaemonIo {
  public:
    CwdaemonLink(keying::CwEngine& buffer, keying::CwEngineListener& listener,
                 QObject* parent = nullptr);
    ~CwdaemonLink() override;

    keying::CwdaemonSender& sender() { return m_sender; }

    // Aims the socket at cwdaemon (an address or a host name, and a port
    // from 1 to 65535) and sets cwdaemon to a known state. Returns an empty
    // text, or why the target cannot be used.
    std::string setTarget(const std::string& host, int port);
    // Stops sending and closes the socket.
    void close();
    bool isOpen() const { return m_socket.state() != QAbstractSocket::UnconnectedState; }

  private:
    void sendDatagram(const std::string& bytes) override;
    void armTimer(long long ms) override;
    void disarmTimer() override;
    std::chrono::steady_clock::time_point now() const override;

    void readReplies();
    void socketError(QAbstractSocket::SocketError error);
    void flushPending();

    QUdpSocket m_socket;
    QTimer m_timer;
    keying::CwdaemonSender m_sender;
    // Datagrams written while a host name is being looked up; bounded.
    std::deque<QByteArray> m_pending;
    // A socket error waits here until the event loop hands it on, so the
    // sender never hears of it in the middle of its own call.
    bool m_errorQueued = false;
};

} // namespace wexon::platform
