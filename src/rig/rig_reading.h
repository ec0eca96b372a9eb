#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::rig {

// What the program knows of the rig: the last frequency and mode decoded.
// Parsers change a field only when its part of the reply is complete and well
// formed, so a bad reply leaves the last good reading in place.
struct RigReading {
    float frequency = 0.0f; // MHz; 0 until the first reading
    std::string mode;       // "CW", "PH", "AM", "FM"; empty until decoded
    int vfo = 10;           // "Kenwood 2": the VFO digit of the last reply
};

// The frequency as a whole count of `perMhz` units (1,000,000 for Hz, 100,000
// for 10 Hz), rounded to nearest with halves to even. Nothing for a frequency
// that is not a positive finite number.
std::optional<long long> frequencyCount(float mhz, double perMhz);
// The count in decimal, left-padded with zeros to `width` (never cut).
std::string countDigits(long long count, int width);
// The value of a text made only of decimal digits (1 to 18 of them).
std::optional<long long> digitsValue(std::string_view text);
// A value rounded to five decimals, as the read-outs keep it.
float roundToFiveDecimals(double value);

// No rig this program drives tunes to 100 GHz; every family's parser refuses a
// frequency from there up, so a garbled reply never becomes a reading.
inline constexpr double kMaxReadingMhz = 100000.0;
// True for a finite, positive value below kMaxReadingMhz.
bool frequencyInBounds(double mhz);
// The frequency a parser may take from a decoded value in MHz: rounded to
// five decimals when it is in bounds and does not round to zero; nothing
// otherwise. Every family goes through this one bound.
std::optional<float> readingMhz(double mhz);

} // namespace wexon::rig
