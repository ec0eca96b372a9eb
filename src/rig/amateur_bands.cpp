#include "rig/amateur_bands.h"

#include <array>
#include <cmath>

namespace wexon::rig {

namespace {

struct Band {
    double low;  // MHz, inclusive
    double high; // MHz, inclusive
};

// The widest edges any country gives each band; 60 m spans every national
// channel and segment, 4 m and 70 cm their widest allocations.
constexpr std::array<Band, 28> kBands{{
    {0.1357, 0.1378},     // 2200 m
    {0.472, 0.479},       // 630 m
    {1.8, 2.0},           // 160 m
    {3.5, 4.0},           // 80 m
    {5.06, 5.45},         // 60 m
    {7.0, 7.3},           // 40 m
    {10.1, 10.15},        // 30 m
    {14.0, 14.35},        // 20 m
    {18.068, 18.168},     // 17 m
    {21.0, 21.45},        // 15 m
    {24.89, 24.99},       // 12 m
    {28.0, 29.7},         // 10 m
    {40.66, 40.7},        // 8 m
    {50.0, 54.0},         // 6 m
    {69.9, 70.5},         // 4 m
    {144.0, 148.0},       // 2 m
    {219.0, 225.0},       // 1.25 m
    {420.0, 450.0},       // 70 cm
    {902.0, 928.0},       // 33 cm
    {1240.0, 1300.0},     // 23 cm
    {2300.0, 2450.0},     // 13 cm
    {3300.0, 3500.0},     // 9 cm
    {5650.0, 5925.0},     // 6 cm
    {10000.0, 10500.0},   // 3 cm
    {24000.0, 24250.0},   // 1.2 cm
    {47000.0, 47200.0},   // 6 mm
    {76000.0, 81000.0},   // 4 mm
    {122250.0, 250000.0}, // 2.5 mm to 1.2 mm, their gaps included
}};

} // namespace

bool isAmateurFrequency(double mhz) {
    if (!std::isfinite(mhz)) {
        return false;
    }
    for (const Band& b : kBands) {
        if (mhz >= b.low && mhz <= b.high) {
            return true;
        }
    }
    return false;
}

} // namespace wexon::rig
