#pragma once

#include <atomic>
#include <string>

#include "keying/key_line.h"

namespace wexon::platform {

// Keys a serial port's RTS or DTR line with ioctl(TIOCMBIS / TIOCMBIC) on the
// port's own descriptor. The port is opened here, not through the shared
// serial service: the keying thread switches the line directly, without
// going through an object that lives on the window thread, so each edge
// costs one system call.
class SerialKeyLine : public keying::KeyLine {
  public:
    enum class Line { Rts, Dtr };

    SerialKeyLine() = default;
    ~SerialKeyLine() override;
    SerialKeyLine(const SerialKeyLine&) = delete;
    SerialKeyLine& operator=(const SerialKeyLine&) = delete;

    // Opens the device and drops DTR and RTS. Empty text on success, else
    // the reason (the line then stays closed).
    std::string open(const std::string& device, Line line);
    void close();
    bool isOpen() const { return m_fd.load() >= 0; }
    void setLine(Line line) { m_line.store(line); }
    const std::string& device() const { return m_device; }

    void setKey(bool down) override;

  private:
    std::atomic<int> m_fd{-1};
    std::atomic<Line> m_line{Line::Rts};
    std::string m_device;
};

} // namespace wexon::platform
