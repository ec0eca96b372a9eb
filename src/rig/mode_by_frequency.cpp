#include "rig/mode_by_frequency.h"

namespace wexon::rig {

namespace {

struct Segment {
    double above;
    double below;
    const char* mode;
};

constexpr Segment kSegments[] = {
    {3.5, 3.6, "CW"},      {3.6, 4, "PH"},     {7, 7.125, "CW"},     {7.125, 7.3, "PH"},
    {10.1, 10.15, "CW"},   {14, 14.15, "CW"},  {14.15, 14.35, "PH"}, {18.068, 18.11, "CW"},
    {18.11, 18.168, "PH"}, {21, 21.2, "CW"},   {21.2, 21.45, "PH"},  {24.89, 24.93, "CW"},
    {24.93, 24.99, "PH"},  {28, 28.3, "CW"},   {28.3, 29.7, "PH"},   {50, 50.1, "CW"},
    {50.1, 54, "PH"},      {144, 144.1, "CW"}, {144.1, 148, "PH"},
};

} // namespace

std::string modeByFrequency(float mhz) {
    // The reading is single precision; the edges are compared as the same.
    for (const Segment& s : kSegments) {
        if (mhz > static_cast<float>(s.above) && mhz < static_cast<float>(s.below)) {
            return s.mode;
        }
    }
    return {};
}

} // namespace wexon::rig
