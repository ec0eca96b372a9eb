#include "platform/rigctld_port.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

namespace wexon::platform {

namespace {

// What Qt keeps of received data before it is collected into the session.
constexpr qint64 kSocketBufferLimit = 64 * 1024;

} // namespace

RigctldPort::RigctldPort(const core::SettingsStore* settings)
    : m_settings(settings), m_context(std::make_unique<QObject>()),
      m_socket(std::make_unique<QTcpSocket>()), m_connectLimit(std::make_unique<QTimer>()) {
    m_socket->setReadBufferSize(kSocketBufferLimit);
    m_connectLimit->setSingleShot(true);
    QObject::connect(m_socket.get(), &QTcpSocket::readyRead, m_context.get(), [this] { collect(); });
    // A refused or dropped connection ends the link; the controller finds it
    // closed at its next tick. Only the flag changes here, never the socket,
    // since this runs inside the socket's own signal.
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, m_context.get(),
                     [this](QAbstractSocket::SocketError) { m_open = false; });
    QObject::connect(m_socket.get(), &QAbstractSocket::disconnected, m_context.get(),
                     [this] { m_open = false; });
    QObject::connect(m_socket.get(), &QAbstractSocket::connected, m_context.get(),
                     [this] { m_connectLimit->stop(); });
    QObject::connect(m_connectLimit.get(), &QTimer::timeout, m_context.get(), [this] {
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
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

void RigctldPort::close() {
    m_open = false;
    m_connectLimit->stop();
    m_socket->abort();
    m_session.reset();
}

bool RigctldPort::isOpen() const {
    return m_open && m_socket->state() != QAbstractSocket::UnconnectedState;
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
    // While connecting, Qt keeps what is written and sends it once connected.
    const qint64 n = m_socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size())) {
        return false;
    }
    m_session.sent(bytes, std::chrono::steady_clock::now());
    return true;
}

void RigctldPort::collect() {
    const QByteArray data = m_socket->readAll();
    m_session.received(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
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
    // Unanswered commands count as one pending byte, so that a poll is not
    // sent over them and a drain waits for their replies (up to the timeout).
    return queued + (m_session.awaitingReplies(std::chrono::steady_clock::now()) ? 1 : 0);
}

std::string RigctldPort::takeCommandError() {
    if (m_socket->bytesAvailable() > 0) {
        collect();
    }
    return m_session.takeCommandError();
}

} // namespace wexon::platform
