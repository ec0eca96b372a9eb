#include "platform/telnet_client.h"

#include <QTcpSocket>
#include <QTimer>

namespace wexon::platform {

int socketErrorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 10053;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;
    case QAbstractSocket::NetworkError:
        return 10050;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10043;
    case QAbstractSocket::UnfinishedSocketOperationError:
        return 10036;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
    case QAbstractSocket::ProxyConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionClosedError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
    case QAbstractSocket::ProxyNotFoundError:
    case QAbstractSocket::ProxyProtocolError:
        return 10051;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return 10054;
    case QAbstractSocket::OperationError:
        return 10057;
    case QAbstractSocket::TemporaryError:
        return 10035;
    case QAbstractSocket::UnknownSocketError:
    default:
        return 10050;
    }
}

TelnetClient::TelnetClient() : m_socket(new QTcpSocket) {
    m_socket->setReadBufferSize(kMaxBuffered);
    QObject::connect(m_socket, &QTcpSocket::readyRead, m_socket, [this] { readChunks(); });
    QObject::connect(m_socket, &QTcpSocket::errorOccurred, m_socket,
                     [this](QAbstractSocket::SocketError e) {
                         if (onError) {
                             onError(socketErrorNumber(e));
                         }
                     });
}

TelnetClient::~TelnetClient() {
    m_socket->abort();
    delete m_socket;
}

void TelnetClient::connectTo(const QString& host, quint16 port) {
    m_socket->abort();
    m_socket->connectToHost(host, port);
}

void TelnetClient::close() {
    m_socket->abort();
}

bool TelnetClient::isConnected() const {
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void TelnetClient::sendLine(const QByteArray& text) {
    if (isConnected()) {
        m_socket->write(text + "\r\n");
    }
}

void TelnetClient::readChunks() {
    const QByteArray chunk = m_socket->read(kMaxChunk);
    if (!chunk.isEmpty() && onChunk) {
        onChunk(chunk);
    }
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

} // namespace wexon::platform
