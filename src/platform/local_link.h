#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

class QLocalSocket;

namespace wexon::platform {

// The client end of the link with the RTTY program: a local socket (a Unix
// domain socket; a name without a slash lies in the temporary folder). It moves
// bytes only; the lines and items are the link session's business.
class LocalLink {
  public:
    // The socket buffers at most kMaxBuffered bytes; one read hands over at
    // most kMaxChunk of them, so that keys and paints get their turn.
    static constexpr qint64 kMaxBuffered = 64 * 1024;
    static constexpr qint64 kMaxChunk = 8 * 1024;

    LocalLink();
    ~LocalLink();
    LocalLink(const LocalLink&) = delete;
    LocalLink& operator=(const LocalLink&) = delete;

    // Called with each chunk read, and once when the other end goes away (not
    // when close() is called here).
    std::function<void(const QByteArray&)> onChunk;
    std::function<void()> onClosed;

    // Drops any earlier connection and connects, waiting at most `timeoutMs`.
    // On failure `error` holds the socket's description of what went wrong.
    bool open(const QString& serverName, int timeoutMs, QString& error);
    void close();
    bool isOpen() const;
    // Queues the bytes for sending; false when the link is not open.
    bool write(const QByteArray& bytes);
    // Sends what is queued now rather than at the next turn of the event loop.
    void flush();

  private:
    void readChunks();
    void deliver(const QByteArray& chunk);
    void lost();

    QLocalSocket* m_socket = nullptr;
    bool m_readScheduled = false;
    bool m_closing = false;
    bool m_delivering = false; // inside onChunk
    unsigned m_generation = 0; // counts connections, so a late report of a loss is dropped
};

} // namespace wexon::platform
