#pragma once

#include <string>
#include <string_view>

namespace wexon::spots {

inline constexpr const char* kPackSpotFileName = "PackSpot.txt";

// The spotting window's settings, as "PackSpot.txt" keeps them (seventeen lines,
// one value each, in this order).
struct PackSpotSettings {
    std::string baud = "9600";
    std::string parity = "N";
    std::string dataBits = "8";
    std::string stopBits = "1";
    int portNumber = 1;          // 1 = COM1
    std::string powerLine = "N"; // "N", "R" (raise RTS) or "D" (raise DTR)
    std::string spotSource = "None";
    int convertToHex = 0; // check box, 0 or 1
    int handshake = 1;    // 1 None, 2 Xon Xoff, 3 RTS, 4 RTS OnOff
    int listDxOnly = 0;   // written, never applied on loading
    bool optList = false; // the list chosen rather than the band map
    std::string hexCharacter = "03";
    std::string telnetPort = "23";
    std::string telnetHost;
    // Band-map choices, on three lines after the fourteen above; a file
    // without them (an older one) leaves them off.
    bool hideDupes = false;
    bool newPrefixesOnly = false;
    bool jumpSkipsDupes = false;

    bool operator==(const PackSpotSettings&) const = default;
};

// Reads the file's bytes. Values are taken in order; reading stops silently at the
// first missing or unreadable value, and the values not reached keep what
// `defaults` holds. `complete` tells whether all fourteen were read.
PackSpotSettings readPackSpot(std::string_view bytes, PackSpotSettings defaults = {},
                              bool* complete = nullptr);
// The whole file.
std::string writePackSpot(const PackSpotSettings& settings);

// The spot sources of the source list, in order.
inline constexpr const char* kSpotSources[] = {"None", "TNC", "Telnet", "AGW Packet Engine"};

} // namespace wexon::spots
