#include "platform/key_line_parallel.h"

namespace wexon::platform {

std::string ParallelKeyLine::open(const std::string& device) {
    std::lock_guard lock(m_mutex);
    std::string error = m_port.open(device);
    if (error.empty()) {
        m_port.writeControl(2);
    }
    return error;
}

void ParallelKeyLine::close() {
    std::lock_guard lock(m_mutex);
    if (m_port.isOpen()) {
        m_port.writeControl(2);
    }
    m_port.close();
}

bool ParallelKeyLine::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_port.isOpen();
}

void ParallelKeyLine::setKey(bool down) {
    std::lock_guard lock(m_mutex);
    m_port.writeControl(down ? 3 : 2);
}

} // namespace wexon::platform
