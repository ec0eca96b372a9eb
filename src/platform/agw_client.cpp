#include "platform/agw_client.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace wexon::platform {

namespace {

constexpr qint64 kSocketBuffer = 64 * 1024;
// A poll reads at most this many frames the window does not see before it
// gives the event loop back.
constexpr int kMaxSkippedPerPoll = 64;

} // namespace

AgwClient::AgwClient(QString host, quint16 port, int timeoutMs)
    : m_host(std::move(host)), m_port(port), m_timeoutMs(timeoutMs) {}

AgwClient::~AgwClient() {
    close();
}

bool AgwClient::isOpen() const {
    return m_socket != nullptr && m_socket->state() == QAbstractSocket::ConnectedState &&
           !m_decoder.broken();
}

bool AgwClient::startPoll(const std::string& call, const std::string& /*applicationName*/) {
    close();
    if (call.empty()) {
        return false;
    }
    m_call = call;
    m_socket = new QTcpSocket;
    m_socket->setReadBufferSize(kSocketBuffer);
    m_socket->connectToHost(m_host, m_port);
    if (!m_socket->waitForConnected(m_timeoutMs)) {
        close();
        return false;
    }
    spots::AgwFrame reg;
    reg.kind = 'X';
    reg.callFrom = call;
    send(reg);
    // The engine answers the registration with one byte: 1 when it took the call.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < m_timeoutMs) {
        spots::AgwFrame f;
        if (readFrame(f)) {
            if (f.kind == 'X') {
                if (f.data.empty() || f.data[0] != 1) {
                    close();
                    return false;
                }
                // Monitoring on. Some engines (direwolf among them) pass received
                // frames on as monitor frames only while raw frames are asked for
                // as well; the raw ones are consumed here.
                spots::AgwFrame monitor;
                monitor.kind = 'm';
                send(monitor);
                monitor.kind = 'k';
                send(monitor);
                return true;
            }
            continue;
        }
        if (!isOpen() || !m_socket->waitForReadyRead(100)) {
            if (!isOpen()) {
                break;
            }
        }
    }
    close();
    return false;
}

void AgwClient::putData(const std::string& call, const std::string& data, char kind) {
    if (!isOpen()) {
        return;
    }
    spots::AgwFrame f;
    f.callFrom = m_call;
    f.callTo = call;
    switch (kind) {
    case 'c':
        f.kind = 'C';
        break;
    case 'D':
        f.kind = 'D';
        f.pid = 0xF0;
        f.data = data;
        break;
    case 'd':
        f.kind = 'd';
        break;
    default:
        return; // "P" and anything else need no frame of their own
    }
    send(f);
}

bool AgwClient::getData(spots::AgwReceived& out) {
    if (m_socket == nullptr) {
        return false;
    }
    for (int skipped = 0; skipped < kMaxSkippedPerPoll; ++skipped) {
        spots::AgwFrame f;
        if (!readFrame(f)) {
            return false;
        }
        switch (f.kind) {
        case 'C':
            out = {'c', f.callFrom, f.data};
            return true;
        case 'D':
        case 'd':
        case 'U':
        case 'I':
        case 'S':
        case 'T':
            // Monitor text comes as a C string: its closing NUL is not text.
            while (!f.data.empty() && f.data.back() == '\0') {
                f.data.pop_back();
            }
            out = {f.kind, f.callFrom, f.data};
            return true;
        default:
            break; // answers to our own requests
        }
    }
    return false;
}

void AgwClient::close() {
    if (m_socket != nullptr) {
        if (m_socket->state() == QAbstractSocket::ConnectedState && !m_call.empty()) {
            spots::AgwFrame unreg;
            unreg.kind = 'x';
            unreg.callFrom = m_call;
            m_socket->write(QByteArray::fromStdString(spots::encodeAgwFrame(unreg)));
            m_socket->waitForBytesWritten(200);
        }
        m_socket->abort();
        delete m_socket;
        m_socket = nullptr;
    }
    m_decoder.reset();
}

void AgwClient::send(const spots::AgwFrame& frame) {
    if (m_socket != nullptr) {
        m_socket->write(QByteArray::fromStdString(spots::encodeAgwFrame(frame)));
        m_socket->flush();
    }
}

bool AgwClient::readFrame(spots::AgwFrame& out) {
    if (m_socket == nullptr || m_decoder.broken()) {
        return false;
    }
    while (true) {
        if (auto f = m_decoder.take()) {
            out = std::move(*f);
            return true;
        }
        const std::size_t want = std::min<std::size_t>(m_decoder.wanted(), 8192);
        if (want == 0) {
            return false;
        }
        const QByteArray bytes = m_socket->read(static_cast<qint64>(want));
        if (bytes.isEmpty()) {
            return false;
        }
        m_decoder.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        if (m_decoder.broken()) {
            // A length no engine would send: the stream cannot be followed any more.
            m_socket->abort();
            return false;
        }
    }
}

} // namespace wexon::platform
