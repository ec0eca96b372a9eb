#include "platform/agw_client.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace wexon::platform {

namespace {

constexpr qint64 kSocketBuffer = 64 * 1024;
// A poll reads at most this many frames the window does not see before it
// gives the event loop back.
constexpr int kMaxSkippedPerPoll = 64;

std::string textOf(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

} // namespace

AgwClient::AgwClient(QString host, quint16 port, int timeoutMs)
    : m_host(std::move(host)), m_port(port), m_timeoutMs(timeoutMs) {}

AgwClient::~AgwClient() {
    close();
}

bool AgwClient::isOpen() const {
    return m_state == State::Up && m_socket != nullptr &&
           m_socket->state() == QAbstractSocket::ConnectedState && !m_decoder.broken();
}

bool AgwClient::startPoll(const std::string& call, const std::string& /*applicationName*/) {
    close();
    if (call.empty()) {
        return false;
    }
    m_call = call;
    m_state = State::Connecting;
    m_event = spots::AgwLinkEvent::None;
    m_eventText.clear();
    m_context = std::make_unique<QObject>();
    m_socket = new QTcpSocket(m_context.get());
    m_socket->setReadBufferSize(kSocketBuffer);
    m_limit = new QTimer(m_context.get());
    m_limit->setSingleShot(true);
    QObject::connect(m_limit, &QTimer::timeout, m_context.get(), [this] {
        ended(m_socket->state() == QAbstractSocket::ConnectedState
                  ? "the engine did not answer the registration of " + m_call
                  : "no connection to " + textOf(m_host) + ":" + std::to_string(m_port));
    });
    QObject::connect(m_socket, &QAbstractSocket::connected, m_context.get(),
                     [this] { connected(); });
    QObject::connect(m_socket, &QIODevice::readyRead, m_context.get(), [this] {
        if (m_state == State::Connecting) {
            registrationAnswer();
        }
    });
    // Only the state changes in these handlers, never the socket: they run
    // inside its own signals. The window finds out at its next poll.
    QObject::connect(
        m_socket, &QAbstractSocket::errorOccurred, m_context.get(),
        [this](QAbstractSocket::SocketError) { ended(textOf(m_socket->errorString())); });
    QObject::connect(m_socket, &QAbstractSocket::disconnected, m_context.get(),
                     [this] { ended("the engine closed the connection"); });
    m_limit->start(m_timeoutMs);
    m_socket->connectToHost(m_host, m_port);
    return true;
}

void AgwClient::connected() {
    spots::AgwFrame reg;
    reg.kind = 'X';
    reg.callFrom = m_call;
    send(reg);
}

void AgwClient::registrationAnswer() {
    spots::AgwFrame f;
    while (m_state == State::Connecting && readFrame(f)) {
        if (f.kind != 'X') {
            continue; // nothing else matters before the call is taken
        }
        // The engine answers the registration with one byte: 1 when it took the call.
        if (f.data.empty() || f.data[0] != 1) {
            ended("the engine refused the call " + m_call);
            return;
        }
        // Monitoring on. Some engines (direwolf among them) pass received
        // frames on as monitor frames only while raw frames are asked for as
        // well; the raw ones are consumed here.
        spots::AgwFrame monitor;
        monitor.kind = 'm';
        send(monitor);
        monitor.kind = 'k';
        send(monitor);
        m_limit->stop();
        m_state = State::Up;
        m_event = spots::AgwLinkEvent::Up;
        m_eventText.clear();
    }
    if (m_decoder.broken()) {
        ended("the engine sent a frame no engine would send");
    }
}

void AgwClient::ended(const std::string& why) {
    if (m_state == State::Connecting) {
        m_limit->stop();
        m_event = spots::AgwLinkEvent::Failed;
    } else if (m_state == State::Up) {
        m_event = spots::AgwLinkEvent::Lost;
    } else {
        return; // told once
    }
    m_state = State::Ended;
    m_eventText = why;
}

spots::AgwLinkEvent AgwClient::takeLinkEvent(std::string& why) {
    why = m_eventText;
    return std::exchange(m_event, spots::AgwLinkEvent::None);
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
    if (m_socket == nullptr || m_state != State::Up) {
        return false;
    }
    for (int skipped = 0; skipped < kMaxSkippedPerPoll; ++skipped) {
        spots::AgwFrame f;
        if (!readFrame(f)) {
            if (m_decoder.broken()) {
                ended("the engine sent a frame no engine would send");
            }
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
        // No handler of this socket runs from here on.
        QObject::disconnect(m_socket, nullptr, m_context.get(), nullptr);
        if (m_state == State::Up && m_socket->state() == QAbstractSocket::ConnectedState) {
            // The call is given back. The frame is handed to the system
            // without waiting; it still goes out before the connection ends.
            spots::AgwFrame unreg;
            unreg.kind = 'x';
            unreg.callFrom = m_call;
            m_socket->write(QByteArray::fromStdString(spots::encodeAgwFrame(unreg)));
            m_socket->flush();
        }
        m_socket->abort();
        m_socket = nullptr;
        m_limit = nullptr;
        m_context.reset(); // deletes the socket and the timer
    }
    m_state = State::Closed;
    m_event = spots::AgwLinkEvent::None;
    m_eventText.clear();
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
            // A length no engine would send: the stream cannot be followed any
            // more. The socket is left to close() (this may run inside its signal).
            return false;
        }
    }
}

} // namespace wexon::platform
