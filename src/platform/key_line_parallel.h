#pragma once

#include <mutex>
#include <string>

#include "keying/key_line.h"
#include "platform/parallel_port.h"

namespace wexon::platform {

// Keys through a parallel port's control register: 3 for key down, 2 for key
// up (the bits of the printer port's strobe and auto-feed lines).
class ParallelKeyLine : public keying::KeyLine {
  public:
    std::string open(const std::string& device);
    void close();
    bool isOpen() const;
    void setKey(bool down) override;

  private:
    mutable std::mutex m_mutex;
    ParallelPort m_port;
};

} // namespace wexon::platform
