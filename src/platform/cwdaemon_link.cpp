#include "platform/cwdaemon_link.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include <QHostAddress>
#include <QMetaObject>

#include "keying/cwdaemon_protocol.h"

namespace wexon::platform {

namespace {

constexpr std::size_t kMaxPending = 64;
// Replies read per readyRead; the rest wait for the next turn of the loop.
constexpr int kMaxRepliesPerRead = 64;

} // namespace

CwdaemonLink::CwdaemonLink(keying::CwEngine& buffer, keying::CwEngineListener& listener,
                           QObject* parent)
    : QObject(parent), m_sender(*this, buffer, listener) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_sender.timerFired(); });
    connect(&m_socket, &QUdpSocket::readyRead, this, [this] { readReplies(); });
    connect(&m_socket, &QUdpSocket::connected, this, [this] { flushPending(); });
    connect(&m_socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) { socketError(error); });
}

CwdaemonLink::~CwdaemonLink() {
    m_timer.stop();
    m_socket.disconnect(this);
}

std::string CwdaemonLink::setTarget(const std::string& host, int port) {
    close();
    QString name = QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())).trimmed();
    m_sender.setTargetName(name.toStdString() + ":" + std::to_string(port));
    if (port < 1 || port > 65535) {
        return "the port is not a number from 1 to 65535";
    }
    if (name.isEmpty()) {
        return "no host is given";
    }
    QHostAddress address;
    if (address.setAddress(name)) {
        m_socket.connectToHost(address, static_cast<quint16>(port));
    } else {
        // A name is looked up in the background; datagrams wait for it.
        m_socket.connectToHost(name, static_cast<quint16>(port));
    }
    m_sender.configure();
    return {};
}

void CwdaemonLink::close() {
    m_sender.abandon();
    m_timer.stop();
    m_pending.clear();
    m_socket.abort();
}

void CwdaemonLink::sendDatagram(const std::string& bytes) {
    QByteArray datagram(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (m_socket.state() == QAbstractSocket::ConnectedState) {
        m_socket.write(datagram);
        return;
    }
    if (m_socket.state() == QAbstractSocket::HostLookupState ||
        m_socket.state() == QAbstractSocket::ConnectingState) {
        if (m_pending.size() < kMaxPending) {
            m_pending.push_back(std::move(datagram));
        }
        return;
    }
    // Not aimed anywhere. A message being sent learns so as from a refused
    // datagram; a setting sent while idle is simply dropped (it goes again
    // with the set-up when the link is aimed).
    if (m_sender.isSending() && !m_errorQueued) {
        m_errorQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_errorQueued = false;
                m_sender.linkFailed("no cwdaemon host is set");
            },
            Qt::QueuedConnection);
    }
}

void CwdaemonLink::flushPending() {
    while (!m_pending.empty()) {
        m_socket.write(m_pending.front());
        m_pending.pop_front();
    }
}

void CwdaemonLink::armTimer(long long ms) {
    m_timer.start(static_cast<int>(std::clamp<long long>(ms, 0, 24LL * 3600 * 1000)));
}

void CwdaemonLink::disarmTimer() {
    m_timer.stop();
}

std::chrono::steady_clock::time_point CwdaemonLink::now() const {
    return std::chrono::steady_clock::now();
}

void CwdaemonLink::readReplies() {
    // A datagram refused by the host (nothing listens on the port) comes
    // back as an error on the socket, which wakes it as if a reply had come.
    // Qt reads past it as "no datagram", so it is taken here first.
    int pendingError = 0;
    socklen_t length = sizeof pendingError;
    if (m_socket.socketDescriptor() >= 0 &&
        ::getsockopt(static_cast<int>(m_socket.socketDescriptor()), SOL_SOCKET, SO_ERROR,
                     &pendingError, &length) == 0 &&
        pendingError == ECONNREFUSED) {
        socketError(QAbstractSocket::ConnectionRefusedError);
    }
    for (int i = 0; i < kMaxRepliesPerRead && m_socket.hasPendingDatagrams(); ++i) {
        char data[keying::cwdaemon::kMaxDatagram];
        qint64 size = m_socket.readDatagram(data, sizeof data);
        if (size < 0) {
            break;
        }
        m_sender.replyReceived(std::string_view(data, static_cast<std::size_t>(size)));
    }
    if (m_socket.hasPendingDatagrams()) {
        QMetaObject::invokeMethod(
            this, [this] { readReplies(); }, Qt::QueuedConnection);
    }
}

void CwdaemonLink::socketError(QAbstractSocket::SocketError error) {
    std::string reason;
    switch (error) {
    case QAbstractSocket::TemporaryError:
        // "No datagram available": a wake-up without a reply, not a failure.
        return;
    case QAbstractSocket::ConnectionRefusedError:
        reason = "nothing answers on that port";
        break;
    case QAbstractSocket::HostNotFoundError:
        reason = "the host is not known";
        m_pending.clear();
        break;
    default:
        reason = m_socket.errorString().toStdString();
        break;
    }
    if (m_errorQueued) {
        return;
    }
    m_errorQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this, reason] {
            m_errorQueued = false;
            m_sender.linkFailed(reason);
        },
        Qt::QueuedConnection);
}

} // namespace wexon::platform
