#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

class QLocalSocket;

namespace wexon::platform {

// The client end of the link with the RTTY program: a local socket (a Unix
// domain socket), connected by its full path. It moves bytes only; the lines
// and items are the link session's business.
//
// Two things of the other end are not taken on trust. A socket whose far end
// runs as another user is refused right after connecting: it would be handed
// the own call, the serial and every key. And a partner that stops reading
// cannot make the program hold its output without end: once more than
// kMaxUnsent bytes wait to be sent, the link is dropped.
class LocalLink {
  public:
    // The socket buffers at most kMaxBuffered bytes; one read hands over at
    // most kMaxChunk of them, so that keys and paints get their turn.
    static constexpr qint64 kMaxBuffered = 64 * 1024;
    static constexpr qint64 kMaxChunk = 8 * 1024;
    // The link's own traffic is a few bytes a key; this much unsent means the
    // partner has stopped reading.
    static constexpr qint64 kMaxUnsent = 256 * 1024;

    enum class Loss {
        PeerClosed, // the other end went away
        Stalled,    // the other end stopped reading; the link was dropped here
    };

    LocalLink();
    ~LocalLink();
    LocalLink(const LocalLink&) = delete;
    LocalLink& operator=(const LocalLink&) = delete;

    // Called with each chunk read, and once when the link is lost (not when
    // close() is called here).
    std::function<void(const QByteArray&)> onChunk;
    std::function<void(Loss)> onClosed;

    // Drops any earlier connection and connects, waiting at most `timeoutMs`.
    // On failure `error` holds the socket's description of what went wrong, or
    // why the far end was refused.
    bool open(const QString& serverPath, int timeoutMs, QString& error);
    void close();
    bool isOpen() const;
    // Queues the bytes for sending; false when the link is not open, or when
    // queueing them would pass kMaxUnsent (the link is then dropped, and the
    // loss reported as Stalled once the event loop runs).
    bool write(const QByteArray& bytes);
    // Sends what is queued now rather than at the next turn of the event loop.
    void flush();
    // Bytes queued and not yet taken by the other end's socket.
    qint64 unsent() const;

  private:
    void readChunks();
    void deliver(const QByteArray& chunk);
    void lost();
    void stalled();

    QLocalSocket* m_socket = nullptr;
    bool m_readScheduled = false;
    bool m_closing = false;
    bool m_delivering = false; // inside onChunk
    unsigned m_generation = 0; // counts connections, so a late report of a loss is dropped
};

// The user id of the process at the far end of a connected local socket, from
// the kernel's record of who connected or listened; -1 when it cannot be told.
long long peerUserId(qintptr socketDescriptor);

} // namespace wexon::platform
