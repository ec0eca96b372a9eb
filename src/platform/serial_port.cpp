#include "platform/serial_port.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::platform {

PortFailureMessage portFailureMessage(PortOwner owner) {
    switch (owner) {
    case PortOwner::Rig:
        return {"Invalid Comm Settings.",
                "The comm port that you selected for rig interface is either in use, invalid or "
                "the settings that you have selected are invalid.  Please select another "
                "combination or choose None for your rig selection."};
    case PortOwner::Spotting:
        return {"Invalid Comm Settings.",
                "The comm port that you selected for DX Spotting is either in use, invalid or "
                "the settings that you have selected are invalid.  Please select another "
                "combination or choose None for your DX Spot selection."};
    case PortOwner::Cw:
        return {"Invalid port.", "The port you have selected for CW keying is invalid.  Please "
                                 "select another or enter 0 for none."};
    case PortOwner::Voice:
        return {"Invalid port.", "The port you have selected for Phone keying is invalid.  "
                                 "Please select another or enter 0 for none."};
    }
    return {"", ""};
}

namespace {

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return std::string(s);
}

} // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    std::string fields[4];
    int n = 0;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        if (n >= 4) {
            return std::nullopt;
        }
        fields[n++] = trimmed(text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (n != 4 || !core::allDigits(fields[0]) || fields[0].size() > 7 || fields[1].size() != 1 ||
        fields[2].size() != 1 || fields[3].size() != 1) {
        return std::nullopt;
    }
    LineSettings s;
    s.baud = std::stoi(fields[0]);
    s.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    s.dataBits = fields[2][0] - '0';
    s.stopBits = fields[3][0] - '0';
    if (s.baud <= 0 || (s.parity != 'N' && s.parity != 'E' && s.parity != 'O') || s.dataBits < 5 ||
        s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2)) {
        return std::nullopt;
    }
    return s;
}

std::string portDevice(const core::SettingsStore* map, int portNumber) {
    std::string fallback = "/dev/ttyS" + std::to_string(portNumber - 1);
    if (map == nullptr) {
        return fallback;
    }
    std::string device = map->read("Ports/COM" + std::to_string(portNumber), "");
    return device.empty() ? fallback : device;
}

SerialPort::SerialPort(const core::SettingsStore* portMap)
    : m_portMap(portMap), m_port(std::make_unique<QSerialPort>()) {
    m_port->setReadBufferSize(kReadBufferLimit);
    QObject::connect(m_port.get(), &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) {
                         // A vanished device shows up as a resource error; from then
                         // on the port counts as closed.
                         if (error == QSerialPort::ResourceError && m_port->isOpen() && !m_failed) {
                             m_failed = true;
                             // Closed once control is back in the event loop, so the
                             // dead device stops raising errors.
                             QMetaObject::invokeMethod(
                                 m_port.get(),
                                 [port = m_port.get()] {
                                     if (port->isOpen()) {
                                         port->close();
                                     }
                                 },
                                 Qt::QueuedConnection);
                         }
                     });
}

SerialPort::~SerialPort() {
    close();
}

std::string SerialPort::open(const rig::PortRequest& request) {
    // 1. A port that is open is closed first.
    close();
    // 2. The port number, resolved through the port map.
    if (request.portNumber < 1 || request.portNumber > 255) {
        return "Invalid port number";
    }
    m_device = portDevice(m_portMap, request.portNumber);
    m_port->setPortName(QString::fromLocal8Bit(m_device.c_str()));

    // 3. Handshaking (for the rig just before the settings) and the line settings.
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    switch (request.handshaking) {
    case 0:
        break;
    case 1:
        flow = QSerialPort::SoftwareControl;
        break;
    case 2:
    case 3: // one kind only on this platform: RTS/CTS covers both
        flow = QSerialPort::HardwareControl;
        break;
    default:
        return "Invalid handshaking";
    }
    if (!request.handshakingAfterLines) {
        m_port->setFlowControl(flow);
    }
    std::optional<LineSettings> line;
    if (!request.settings.empty()) {
        line = parseLineSettings(request.settings);
        if (!line) {
            return "Invalid port settings";
        }
    }
    // 4 and 5. Qt applies the settings when the device opens; the lines can
    // only be set once it is open, so they are dropped right after.
    m_failed = false;
    if (!m_port->open(QIODevice::ReadWrite)) {
        std::string why = m_port->errorString().toLocal8Bit().toStdString();
        m_port->clearError();
        return why.empty() ? "Cannot open the port" : why;
    }
    if (line) {
        bool ok = m_port->setBaudRate(line->baud);
        ok = ok && m_port->setDataBits(static_cast<QSerialPort::DataBits>(line->dataBits));
        ok = ok && m_port->setParity(line->parity == 'E'   ? QSerialPort::EvenParity
                                     : line->parity == 'O' ? QSerialPort::OddParity
                                                           : QSerialPort::NoParity);
        ok = ok &&
             m_port->setStopBits(line->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
        if (!ok) {
            std::string why = m_port->errorString().toLocal8Bit().toStdString();
            m_port->close();
            m_port->clearError();
            return why.empty() ? "Settings refused" : why;
        }
    }
    // Line control is not offered by every device (a pseudo-terminal has no
    // modem lines); that is not a failure to open.
    setDtr(false);
    setRts(false);
    if (request.handshakingAfterLines) {
        m_port->setFlowControl(flow);
    }
    // 6. The connection-power line.
    if (request.powerLine == 'R') {
        setRts(true);
    } else if (request.powerLine == 'D') {
        setDtr(true);
    }
    m_port->clearError();
    return {};
}

void SerialPort::close() {
    if (m_port->isOpen()) {
        m_port->close();
    }
    m_port->clearError();
    m_failed = false;
}

bool SerialPort::isOpen() const {
    return m_port->isOpen() && !m_failed;
}

bool SerialPort::write(std::string_view bytes) {
    if (!isOpen()) {
        return false;
    }
    if (bytes.empty()) {
        return true;
    }
    if (m_port->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        return false;
    }
    // The queued bytes go out when the event loop sees the device writable.
    // (Forcing them out with flush() makes Qt close the port when the driver's
    // queue is full, so it is not used.)
    return !m_failed;
}

bool SerialPort::writeNow(std::string_view bytes) {
    if (!isOpen()) {
        return false;
    }
    // With nothing queued ahead of them, the bytes are handed to the driver at
    // once, so a key press reaches a keyer or rig without waiting for the event
    // loop (which may be a scheduler slice away on a busy machine). What the
    // driver does not take now is queued behind, in order.
    std::size_t done = 0;
    const int fd = static_cast<int>(m_port->handle());
    if (fd >= 0 && m_port->bytesToWrite() == 0) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            done = static_cast<std::size_t>(n);
        }
    }
    if (done < bytes.size()) {
        const auto rest = static_cast<qint64>(bytes.size() - done);
        if (m_port->write(bytes.data() + done, rest) != rest) {
            return false;
        }
    }
    return !m_failed;
}

std::string SerialPort::readAll() {
    if (!m_port->isOpen()) {
        return {};
    }
    QByteArray data = m_port->readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

int SerialPort::bytesToWrite() const {
    if (!isOpen()) {
        return 0;
    }
    qint64 queued = m_port->bytesToWrite();
    int inDriver = 0;
    if (m_port->handle() >= 0 && ::ioctl(m_port->handle(), TIOCOUTQ, &inDriver) != 0) {
        inDriver = 0;
    }
    return static_cast<int>(queued) + (inDriver > 0 ? inDriver : 0);
}

void SerialPort::setDtr(bool on) {
    if (m_port->isOpen()) {
        m_port->setDataTerminalReady(on);
        if (m_port->error() == QSerialPort::UnsupportedOperationError) {
            m_port->clearError();
        }
    }
}

void SerialPort::setRts(bool on) {
    // With RTS/CTS handshaking the driver owns RTS.
    if (m_port->isOpen() && m_port->flowControl() != QSerialPort::HardwareControl) {
        m_port->setRequestToSend(on);
        if (m_port->error() == QSerialPort::UnsupportedOperationError) {
            m_port->clearError();
        }
    }
}

bool SerialPort::drain(int limitMs) {
    QElapsedTimer timer;
    timer.start();
    QCoreApplication::processEvents();
    while (isOpen() && bytesToWrite() > 0) {
        if (timer.elapsed() >= limitMs) {
            return false;
        }
        if (m_port->bytesToWrite() > 0) {
            m_port->waitForBytesWritten(1);
        } else {
            QThread::usleep(500);
        }
        QCoreApplication::processEvents();
    }
    return true;
}

} // namespace wexon::platform
