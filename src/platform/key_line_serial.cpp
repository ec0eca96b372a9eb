#include "platform/key_line_serial.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace wexon::platform {

SerialKeyLine::~SerialKeyLine() {
    close();
}

std::string SerialKeyLine::open(const std::string& device, Line line) {
    close();
    m_device = device;
    m_line.store(line);
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    if (!isatty(fd)) {
        ::close(fd);
        return "not a serial port";
    }
    // Both lines start dropped. A device without modem lines (a
    // pseudo-terminal) refuses this; it still counts as open.
    int bits = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &bits);
    m_fd.store(fd);
    return {};
}

void SerialKeyLine::close() {
    int fd = m_fd.exchange(-1);
    if (fd >= 0) {
        int bits = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd, TIOCMBIC, &bits);
        ::close(fd);
    }
}

void SerialKeyLine::setKey(bool down) {
    int fd = m_fd.load();
    if (fd < 0) {
        return;
    }
    int bits = m_line.load() == Line::Dtr ? TIOCM_DTR : TIOCM_RTS;
    ::ioctl(fd, down ? TIOCMBIS : TIOCMBIC, &bits);
}

} // namespace wexon::platform
