#pragma once

#include <string>

namespace wexon::core {
class SettingsStore;
}

namespace wexon::platform {

// The device of a parallel port base address: 0x378 is /dev/parport0, 0x278
// /dev/parport1; any other address is looked up in the settings store under
// "Ports/LPT" and the address in upper-case hexadecimal ("Ports/LPT3BC").
// Empty when the address has no device.
std::string parallelPortDevice(const core::SettingsStore* map, unsigned address);

// A parallel port through the kernel's ppdev driver: the port is claimed
// while open and its control register written with PPWCONTROL.
class ParallelPort {
  public:
    ParallelPort() = default;
    ~ParallelPort();
    ParallelPort(const ParallelPort&) = delete;
    ParallelPort& operator=(const ParallelPort&) = delete;

    // Opens and claims the port; empty text on success, else the reason.
    std::string open(const std::string& device);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Writes the control register (base + 2). False when it failed.
    bool writeControl(unsigned char value);

  private:
    int m_fd = -1;
};

} // namespace wexon::platform
