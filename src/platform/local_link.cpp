#include "platform/local_link.h"

#include <QLocalSocket>
#include <QTimer>

namespace wexon::platform {

LocalLink::LocalLink() : m_socket(new QLocalSocket) {
    m_socket->setReadBufferSize(kMaxBuffered);
    QObject::connect(m_socket, &QLocalSocket::readyRead, m_socket, [this] { readChunks(); });
    QObject::connect(m_socket, &QLocalSocket::disconnected, m_socket, [this] { lost(); });
}

LocalLink::~LocalLink() {
    m_closing = true;
    m_socket->abort();
    delete m_socket;
}

bool LocalLink::open(const QString& serverName, int timeoutMs, QString& error) {
    close();
    ++m_generation;
    m_socket->connectToServer(serverName);
    if (m_socket->state() == QLocalSocket::ConnectedState || m_socket->waitForConnected(timeoutMs)) {
        return true;
    }
    error = m_socket->errorString();
    close();
    return false;
}

void LocalLink::close() {
    m_closing = true;
    m_socket->abort();
    m_closing = false;
}

bool LocalLink::isOpen() const {
    return m_socket->state() == QLocalSocket::ConnectedState;
}

bool LocalLink::write(const QByteArray& bytes) {
    if (!isOpen()) {
        return false;
    }
    return m_socket->write(bytes) == bytes.size();
}

void LocalLink::flush() {
    if (isOpen()) {
        m_socket->flush();
    }
}

void LocalLink::deliver(const QByteArray& chunk) {
    if (chunk.isEmpty() || !onChunk) {
        return;
    }
    m_delivering = true;
    onChunk(chunk);
    m_delivering = false;
}

void LocalLink::readChunks() {
    deliver(m_socket->read(kMaxChunk));
    if (m_socket->bytesAvailable() > 0 && !m_readScheduled) {
        // More is buffered: read it from a timer rather than at once, so that the
        // window's keys, timers and paints are served between chunks.
        m_readScheduled = true;
        QTimer::singleShot(1, m_socket, [this] {
            m_readScheduled = false;
            readChunks();
        });
    }
}

void LocalLink::lost() {
    if (m_closing) {
        return;
    }
    if (m_delivering) {
        // The loss was found while a chunk is being handled (an answer written
        // from there failed): report it once that is done, unless a new
        // connection has been made by then.
        const unsigned generation = m_generation;
        QTimer::singleShot(0, m_socket, [this, generation] {
            if (generation == m_generation && !isOpen()) {
                lost();
            }
        });
        return;
    }
    // What the other end wrote before it went is still taken, up to the bound.
    while (m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(kMaxChunk);
        if (chunk.isEmpty()) {
            break;
        }
        deliver(chunk);
    }
    if (onClosed) {
        onClosed();
    }
}

} // namespace wexon::platform
