#include "platform/rigctld_port.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

namespace wexon::platform {

namespace {

// What Qt keeps of received data before it is collected into the session.
constexpr qint64 kSocketBufferLimit = 64 * 1024;
// How soon a queue held up by an unanswered command is looked at again.
constexpr int kRecheckMs = 50;
// How soon a refused connection is tried again while the daemon starts up.
constexpr int kRetryMs = 100;

} // namespace

RigctldPort::RigctldPort(const core::SettingsStore* settings)
    : m_settings(settings), m_context(std::make_unique<QObject>()),
      m_socket(std::make_unique<QTcpSocket>()), m_connectLimit(std::make_unique<QTimer>()),
      m_replyLimit(std::make_unique<QTimer>()) {
    m_socket->setReadBufferSize(kSocketBufferLimit);
    m_connectLimit->setSingleShot(true);
    m_replyLimit->setSingleShot(true);
    // A coarse timer may fire a little early; a precise one does not, and any
    // command still waiting is looked at again shortly.
    m_replyLimit->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_replyLimit.get(), &QTimer::timeout, m_context.get(), [this] {
        if (!isOpen()) {
            return;
        }
        pump();
        if (m_session.unanswered() > 0 && !m_replyLimit->isActive()) {
            m_replyLimit->start(kRecheckMs);
        }
    });
    QObject::connect(m_socket.get(), &QTcpSocket::readyRead, m_context.get(), [this] { collect(); });
    // A refused or dropped connection ends the link; the controller finds it
    // closed at its next tick. Only the flag changes here, never the socket,
    // since this runs inside the socket's own signal.
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, m_context.get(),
                     [this](QAbstractSocket::SocketError error) {
                         if (error == QAbstractSocket::ConnectionRefusedError && m_open &&
                             std::chrono::steady_clock::now() < m_startUpUntil) {
                             // A daemon just started may not listen yet: try again.
                             m_retrying = true;
                             const unsigned attempt = m_attempt;
                             QTimer::singleShot(kRetryMs, m_context.get(), [this, attempt] {
                                 if (attempt == m_attempt) {
                                     retry(); // not when the link was closed or reopened since
                                 }
                             });
                             return;
                         }
                         m_open = false;
                     });
    QObject::connect(m_socket.get(), &QAbstractSocket::disconnected, m_context.get(), [this] {
        if (!m_retrying) {
            m_open = false;
        }
    });
    QObject::connect(m_socket.get(), &QAbstractSocket::connected, m_context.get(), [this] {
        m_connectLimit->stop();
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        pump();
    });
    QObject::connect(m_connectLimit.get(), &QTimer::timeout, m_context.get(), [this] {
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            if (std::chrono::steady_clock::now() < m_startUpUntil) {
                m_connectLimit->start(kConnectLimitMs); // still starting up
                return;
            }
            m_open = false;
            m_socket->abort();
        }
    });
}

RigctldPort::~RigctldPort() {
    m_context.reset(); // no handler runs while the socket goes
    m_socket->abort();
}

std::string RigctldPort::open(const rig::PortRequest& /*request*/) {
    close();
    const std::string defaultPort = std::to_string(rig::kRigctldDefaultPort);
    m_host = rig::kRigctldDefaultHost;
    std::string portText = defaultPort;
    if (m_settings) {
        m_host = m_settings->read(rig::kRigctldHostKey, m_host);
        portText = m_settings->read(rig::kRigctldPortKey, defaultPort);
    }
    auto port = rig::rigctldPortNumber(portText);
    if (!port) {
        m_port = 0;
        return "rigctld port " + portText + " is not a TCP port number (1-65535)";
    }
    m_port = *port;
    if (m_host.find_first_not_of(" \t") == std::string::npos) {
        return "No rigctld host";
    }
    m_session.reset();
    m_open = true;
    m_socket->connectToHost(QString::fromStdString(m_host), static_cast<quint16>(m_port));
    m_connectLimit->start(kConnectLimitMs);
    return {};
}

void RigctldPort::allowStartUp(int ms) {
    m_startUpUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

void RigctldPort::retry() {
    m_retrying = false;
    if (!m_open) {
        return;
    }
    if (std::chrono::steady_clock::now() >= m_startUpUntil) {
        m_open = false;
        return;
    }
    m_socket->abort();
    m_socket->connectToHost(QString::fromStdString(m_host), static_cast<quint16>(m_port));
}

void RigctldPort::close() {
    ++m_attempt;
    m_open = false;
    m_retrying = false;
    m_connectLimit->stop();
    m_replyLimit->stop();
    m_socket->abort();
    m_session.reset();
}

bool RigctldPort::isOpen() const {
    return m_open && (m_retrying || m_socket->state() != QAbstractSocket::UnconnectedState);
}

bool RigctldPort::connected() const {
    return isOpen() && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool RigctldPort::write(std::string_view bytes) {
    if (!isOpen()) {
        return false;
    }
    if (bytes.empty()) {
        return true;
    }
    if (!m_session.queue(bytes)) {
        return false;
    }
    pump();
    return isOpen();
}

void RigctldPort::pump() {
    // Until the connection is made the commands wait in the session; it is
    // pumped again once connected.
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        return;
    }
    while (auto command = m_session.nextCommand(std::chrono::steady_clock::now())) {
        m_socket->write(command->data(), static_cast<qint64>(command->size()));
        // Looked at again when the reply is overdue, to send what is queued.
        m_replyLimit->start(rig::kRigctldReplyTimeoutMs + 1);
    }
}

void RigctldPort::collect() {
    const QByteArray data = m_socket->readAll();
    m_session.received(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    pump();
}

std::string RigctldPort::readAll() {
    if (m_socket->bytesAvailable() > 0) {
        collect();
    }
    return m_session.takeLines();
}

int RigctldPort::bytesToWrite() const {
    if (!isOpen()) {
        return 0;
    }
    const auto queued = static_cast<int>(m_socket->bytesToWrite());
    // Queued and unanswered commands count as one pending byte, so that a poll
    // is not sent over them and a drain waits for their replies (up to the
    // reply timeout for each).
    return queued + (m_session.awaitingReplies(std::chrono::steady_clock::now()) ? 1 : 0);
}

std::string RigctldPort::takeCommandError() {
    if (m_socket->bytesAvailable() > 0) {
        collect();
    }
    return m_session.takeCommandError();
}

} // namespace wexon::platform
