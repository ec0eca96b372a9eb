#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wexon::spots {

// A frame the spotting window hands to the AGW link: kind, the station it goes
// to, and its data.
struct AgwOutgoing {
    char kind = 0;
    std::string call;
    std::string data;
};

// What a line typed in the send box becomes over the AGW link.
struct AgwLinePlan {
    std::vector<AgwOutgoing> frames;
    bool callSignRequired = false; // ":C" without a call: tell the operator
};

// ":C CALL" connects (kind "c" then "P" to the upper-cased call), ":D" disconnects
// the connected station (kind "d"), other ":" commands do nothing; plain text goes
// to the connected station with a CR (kind "D") and is dropped when none is.
AgwLinePlan planAgwLine(std::string_view line, std::string_view connectedCall);

// The send box wraps over a running AGW link: with more than 70 characters and a
// space last, the line without that space is to be sent. Empty when not due.
std::string agwWrapLine(std::string_view boxText);

} // namespace wexon::spots
