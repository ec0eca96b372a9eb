#include "platform/local_link.h"

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

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

long long peerUserId(qintptr socketDescriptor) {
    if (socketDescriptor < 0) {
        return -1;
    }
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                   &size) != 0 ||
        size != sizeof credentials) {
        return -1;
    }
    return static_cast<long long>(credentials.uid);
}

bool LocalLink::open(const QString& serverPath, int timeoutMs, QString& error) {
    close();
    ++m_generation;
    m_socket->connectToServer(serverPath);
    if (m_socket->state() != QLocalSocket::ConnectedState &&
        !m_socket->waitForConnected(timeoutMs)) {
        error = m_socket->errorString();
        close();
        return false;
    }
    // Whoever can make a socket at that path would otherwise get everything
    // sent here: only a partner running as this user is spoken to.
    const long long owner = peerUserId(m_socket->socketDescriptor());
    if (owner != static_cast<long long>(getuid())) {
        error = owner < 0 ? QStringLiteral("%1: the user at the other end cannot be told; not "
                                           "connected.")
                                .arg(serverPath)
                          : QStringLiteral("%1 belongs to another user (uid %2); not connected.")
                                .arg(serverPath)
                                .arg(owner);
        close();
        return false;
    }
    return true;
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
    if (m_socket->bytesToWrite() + bytes.size() > kMaxUnsent) {
        stalled();
        return false;
    }
    return m_socket->write(bytes) == bytes.size();
}

qint64 LocalLink::unsent() const {
    return isOpen() ? m_socket->bytesToWrite() : 0;
}

void LocalLink::stalled() {
    // Dropped here, quietly: the loss is reported from the event loop, not
    // from inside the write a window is making.
    close();
    const unsigned generation = m_generation;
    QTimer::singleShot(0, m_socket, [this, generation] {
        if (generation == m_generation && !isOpen() && onClosed) {
            onClosed(Loss::Stalled);
        }
    });
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
        onClosed(Loss::PeerClosed);
    }
}

} // namespace wexon::platform
