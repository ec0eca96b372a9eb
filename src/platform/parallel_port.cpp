#include "platform/parallel_port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/settings_store.h"

namespace wexon::platform {

std::string parallelPortDevice(const core::SettingsStore* map, unsigned address) {
    char key[32];
    std::snprintf(key, sizeof key, "Ports/LPT%X", address);
    if (map != nullptr) {
        std::string device = map->read(key, "");
        if (!device.empty()) {
            return device;
        }
    }
    if (address == 0x378) {
        return "/dev/parport0";
    }
    if (address == 0x278) {
        return "/dev/parport1";
    }
    return {};
}

ParallelPort::~ParallelPort() {
    close();
}

std::string ParallelPort::open(const std::string& device) {
    close();
    if (device.empty()) {
        return "no parallel port device is set for this address";
    }
    int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return device + ": " + std::strerror(errno);
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        std::string why = device + ": " + std::strerror(errno);
        ::close(fd);
        return why;
    }
    m_fd = fd;
    return {};
}

void ParallelPort::close() {
    if (m_fd >= 0) {
        ::ioctl(m_fd, PPRELEASE);
        ::close(m_fd);
        m_fd = -1;
    }
}

bool ParallelPort::writeControl(unsigned char value) {
    if (m_fd < 0) {
        return false;
    }
    int v = value;
    return ::ioctl(m_fd, PPWCONTROL, &v) == 0;
}

} // namespace wexon::platform
