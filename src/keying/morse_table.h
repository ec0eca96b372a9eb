#pragma once

#include <string>
#include <string_view>

namespace wexon::keying {

// Morse patterns as strings of element units: '1' is one unit of key down,
// '0' one unit of key up. A dot is "10", a dash "1110", and every character
// ends with "00", so three units of silence follow it. The word space is
// eight silent units.

// Pattern of one character, upper-cased first; empty when the character has
// no Morse form (it is then skipped without delay).
std::string_view morsePattern(char ch);

// The pattern actually keyed for a character: its Morse pattern, with the
// word-space adjustment applied to a space. A positive adjustment adds that
// many silent units (at most kMaxWordSpaceExtra), a negative one cuts units
// from the end (at -8 nothing is left).
std::string keyedPattern(char ch, int wordSpaceAdjust);

// Largest number of silent units a word-space adjustment may add. A larger
// typed value would keep one space going for minutes with no way to stop it.
inline constexpr int kMaxWordSpaceExtra = 100;

} // namespace wexon::keying
