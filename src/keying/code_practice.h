#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace wexon::keying {

// The 41 practice characters, numbered from 1: "A"-"Z" (1-26), "0"-"9"
// (27-36), then ".", ",", "?", "/", "-" (37-41).
inline constexpr std::string_view kPracticeCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,?/-";
inline constexpr int kLettersOnlyRange = 26;
inline constexpr int kAllCharactersRange = 41;

// The most groups and characters per group one generation makes, so a typed
// huge count cannot exhaust memory.
inline constexpr int kMaxPracticeGroups = 10000;
inline constexpr int kMaxPracticeGroupLength = 100;

// Random groups for code practice: `groups` groups of `groupLength`
// characters, each group followed by a space. `random` gives numbers in
// [0, 1). Counts are cut to the limits above; non-positive counts give "".
std::string generatePracticeGroups(int groups, int groupLength, bool lettersOnly,
                                   const std::function<double()>& random);

// The group count and length as typed: a non-numeric count is 10, a
// non-numeric length 5. Gives the text the box then shows.
std::string practiceGroupCountText(std::string_view text);
std::string practiceGroupLengthText(std::string_view text);

} // namespace wexon::keying
