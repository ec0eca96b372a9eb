#pragma once

#include <string>

#include "spots/spot_receiver.h"

namespace wexon::spots {

// The AGW Packet Engine as the spotting window uses it: start, send a frame,
// poll for one frame, close.
class AgwLink {
  public:
    virtual ~AgwLink() = default;
    // Connects, registers `call` and turns monitoring on; true when the link is up.
    virtual bool startPoll(const std::string& call, const std::string& applicationName) = 0;
    // Queues one frame of `kind` to `call`.
    virtual void putData(const std::string& call, const std::string& data, char kind) = 0;
    // One received frame; false when none is waiting.
    virtual bool getData(AgwReceived& frame) = 0;
    virtual void close() = 0;
};

} // namespace wexon::spots
