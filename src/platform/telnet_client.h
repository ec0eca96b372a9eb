#pragma once

#include <functional>

#include <QAbstractSocket>
#include <QByteArray>
#include <QString>

class QTcpSocket;

namespace wexon::platform {

// The error number the spotting window reports for a socket error.
int socketErrorNumber(QAbstractSocket::SocketError error);

// A plain TCP connection to a DX cluster. Each read hands over what has arrived
// as one chunk; the socket's own buffer is bounded, so a peer that sends faster
// than the window reads is slowed by TCP rather than filling memory.
class TelnetClient {
  public:
    // The socket buffers at most kMaxBuffered bytes; one read hands over at most
    // kMaxChunk of them, so that keys and paints get their turn between reads.
    static constexpr qint64 kMaxBuffered = 64 * 1024;
    static constexpr qint64 kMaxChunk = 8 * 1024;

    TelnetClient();
    ~TelnetClient();
    TelnetClient(const TelnetClient&) = delete;
    TelnetClient& operator=(const TelnetClient&) = delete;

    // Called with each chunk read, and with the error number of a socket error.
    std::function<void(const QByteArray&)> onChunk;
    std::function<void(int)> onError;

    void connectTo(const QString& host, quint16 port);
    void close();
    bool isConnected() const;
    // Sends the text followed by CR LF (8-bit characters).
    void sendLine(const QByteArray& text);

  private:
    void readChunks();
    QTcpSocket* m_socket = nullptr;
    bool m_readScheduled = false;
};

} // namespace wexon::platform
