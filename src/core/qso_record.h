#pragma once

#include <string>

namespace wexon::core {

// One contact, fields in the order they stand in a line of "log.txt".
struct QsoRecord {
    std::string call;
    std::string rstReceived;
    std::string serialReceived;
    std::string rstSent;
    std::string country;
    std::string qsoDate; // UTC "yyyy/mm/dd"
    std::string qsoTime; // UTC "hh:mm:ss"
    std::string band;
    float points = 0.0f;
    std::string prefix;
    std::string serialSent;
    std::string frequency; // MHz as "#####.##0", or empty

    bool operator==(const QsoRecord&) const = default;
};

inline constexpr int kQsoFieldCount = 12;

} // namespace wexon::core
