#include "platform/winkey_keyer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "keying/cw_engine.h"

namespace wexon::platform {

namespace wk = keying::winkey;

WinKeyer::WinKeyer(keying::CwEngine& buffer, const core::SettingsStore* portMap, QObject* parent)
    : QObject(parent), m_buffer(buffer), m_port(portMap) {
    m_timer.setInterval(10);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
}

WinKeyer::~WinKeyer() {
    wkClose();
}

bool WinKeyer::isOpen() const {
    return m_version != 0 && m_port.isOpen();
}

bool WinKeyer::send(std::string_view bytes) {
    return m_port.writeNow(bytes);
}

void WinKeyer::readReplies() {
    std::string in = m_port.readAll();
    if (!in.empty()) {
        m_decoder.feed(in);
        m_lastHeard = std::chrono::steady_clock::now();
        m_statusAsked.reset();
    }
}

std::optional<std::uint8_t> WinKeyer::waitForPlainByte(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (true) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::string in = m_port.readAll();
        for (char c : in) {
            auto b = static_cast<std::uint8_t>(c);
            m_decoder.feed(std::string_view(&c, 1));
            if ((b & 0xC0) != 0x80 && (b & 0xE0) != 0xC0) {
                return b;
            }
        }
        if (timer.elapsed() >= timeoutMs || !m_port.isOpen()) {
            return std::nullopt;
        }
        QThread::msleep(1);
    }
}

int WinKeyer::wkOpen(int portNumber, int& version) {
    version = 0;
    if (isOpen()) {
        version = m_version;
        return wk::kAlreadyOpen;
    }
    m_port.close();
    rig::PortRequest request;
    request.portNumber = portNumber;
    request.settings = "1200,N,8,2";
    if (portNumber <= 0 || !m_port.open(request).empty()) {
        return wk::kComOpenFailed;
    }
    m_portNumber = portNumber;
    m_decoder.reset();
    m_port.readAll();
    send(wk::echoTest(wk::kEchoByte));
    auto echo = waitForPlainByte(m_answerTimeoutMs);
    if (!echo) {
        m_port.close();
        return wk::kNoEchoResponse;
    }
    if (*echo != wk::kEchoByte) {
        m_port.close();
        return wk::kEchoMismatch;
    }
    send(wk::hostOpen());
    auto answer = waitForPlainByte(m_answerTimeoutMs);
    if (!answer) {
        m_port.close();
        return wk::kNoOpenResponse;
    }
    m_version = *answer;
    version = m_version;
    m_lastHeard = std::chrono::steady_clock::now();
    m_problem.clear();
    if (m_version == 0) {
        m_port.close();
    }
    return wk::kOpenSuccess;
}

void WinKeyer::wkClose() {
    stopSending();
    if (m_port.isOpen()) {
        send(wk::hostClose());
        m_port.drain(200);
    }
    m_port.close();
    m_version = 0;
    m_decoder.reset();
}

void WinKeyer::wkChar(char ch) {
    if (auto byte = wk::characterByte(ch); byte && isOpen()) {
        char c = static_cast<char>(*byte);
        send(std::string_view(&c, 1));
    }
}

void WinKeyer::wkClearBuffer() {
    if (isOpen()) {
        send(wk::clearBuffer());
    }
}

void WinKeyer::wkBackspace() {
    if (isOpen()) {
        send(wk::backspace());
    }
}

int WinKeyer::wkGetStatus() {
    if (!m_port.isOpen()) {
        return 0;
    }
    readReplies();
    return m_decoder.status();
}

void WinKeyer::wkWpm(int wpm) {
    if (isOpen()) {
        send(wk::setSpeed(wpm));
    }
}
void WinKeyer::wkWeight(int weight) {
    if (isOpen()) {
        send(wk::setWeight(weight));
    }
}
void WinKeyer::wkPttLeadTail(int leadIn, int tail) {
    if (isOpen()) {
        send(wk::pttLeadTail(leadIn, tail));
    }
}
void WinKeyer::wkDitDahRatio(int ratio) {
    if (isOpen()) {
        send(wk::ditDahRatio(ratio));
    }
}
void WinKeyer::wkPinConfig(int value) {
    if (isOpen()) {
        send(wk::pinConfig(value));
    }
}
void WinKeyer::wkSetMode(int value) {
    if (isOpen()) {
        send(wk::setMode(value));
    }
}

void WinKeyer::transmitBuffer() {
    if (!isOpen()) {
        if (m_openRequest) {
            m_openRequest();
        } else {
            int version = 0;
            wkOpen(m_portNumber, version);
        }
    }
    if (!isOpen()) {
        m_buffer.clearBuffer();
        return;
    }
    if (m_timer.isActive()) {
        return;
    }
    m_lastHeard = std::chrono::steady_clock::now();
    m_statusAsked.reset();
    step();
    if (!m_buffer.bufferEmpty()) {
        m_timer.start();
    }
}

void WinKeyer::stopSending() {
    m_timer.stop();
    m_statusAsked.reset();
}

void WinKeyer::giveUp(std::string problem) {
    m_problem = std::move(problem);
    m_buffer.clearBuffer();
    stopSending();
    // Closed without the host-close handshake: the keyer is not listening,
    // and the window must not wait on it. The next message opens it afresh.
    m_port.close();
    m_version = 0;
    m_decoder.reset();
    if (m_problemHandler) {
        m_problemHandler(m_problem);
    }
}

void WinKeyer::step() {
    if (!isOpen()) {
        // The port went away under us: the keyer counts as closed.
        giveUp("The WinKey port closed while sending.");
        return;
    }
    if (wkGetStatus() >= wk::kStatusHoldOff) {
        // Busy with a full buffer. A keyer that stays silent this long is asked
        // for its status once, then given up, so sending never hangs.
        auto now = std::chrono::steady_clock::now();
        auto stall = std::chrono::milliseconds(m_stallTimeoutMs);
        if (!m_statusAsked && now - m_lastHeard > stall) {
            send(wk::requestStatus());
            m_statusAsked = now;
        } else if (m_statusAsked && now - *m_statusAsked > stall) {
            giveUp("The WinKey stopped answering.");
        }
        return;
    }
    auto ch = m_buffer.takeFirst();
    if (!ch) {
        stopSending();
        return;
    }
    if (*ch != '\0') {
        wkChar(*ch);
    }
    if (m_buffer.bufferEmpty()) {
        stopSending();
    }
}

} // namespace wexon::platform
