#pragma once

#include <string>

#include "spots/spot_receiver.h"

namespace wexon::spots {

// What became of an AGW link that comes up in the background, told once.
enum class AgwLinkEvent {
    None,
    Up,     // the engine took the call; monitoring is on
    Failed, // the engine could not be reached, or refused the call
    Lost,   // the engine went away after the link was up
};

// The AGW Packet Engine as the spotting window uses it: start, send a frame,
// poll for one frame, close.
class AgwLink {
  public:
    virtual ~AgwLink() = default;
    // Connects, registers `call` and turns monitoring on; true when the link is
    // up, or, for a link that connects in the background, is being brought up
    // (connecting() is then true until takeLinkEvent() tells how it went).
    virtual bool startPoll(const std::string& call, const std::string& applicationName) = 0;
    virtual bool connecting() const { return false; }
    // The last change of the link since the last call, with its reason in `why`.
    virtual AgwLinkEvent takeLinkEvent(std::string& why) {
        (void)why;
        return AgwLinkEvent::None;
    }
    // Queues one frame of `kind` to `call`.
    virtual void putData(const std::string& call, const std::string& data, char kind) = 0;
    // One received frame; false when none is waiting.
    virtual bool getData(AgwReceived& frame) = 0;
    virtual void close() = 0;
};

} // namespace wexon::spots
