#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wexon::core {

// Numbers as the data files carry them: the shortest decimal text that reads back
// to the same value ("5", "-4.5", "14.025"), always in plain positional form,
// never with an exponent ("100000", "0.00015"). Infinities and NaN write as "0".
std::string formatShortest(double value);
std::string formatShortest(float value);

// The numeric test used on typed and read values: optional blanks, an optional
// sign, digits with at most one decimal point (at least one digit), and an
// optional exponent. Empty text is not numeric.
bool isNumeric(std::string_view text);
// The value of numeric text; nothing when the text is not numeric.
std::optional<double> parseNumber(std::string_view text);
// The leading number of a text, 0 when it has none (like reading "12abc" as 12).
double leadingNumber(std::string_view text);

// Display patterns. Each rounds half away from zero. A value whose rounded
// digits would pass fifteen (the widest pattern, and the most a double holds
// exactly) shows as the largest fifteen-digit value of its sign; NaN shows as 0.
// "#####.##0": three decimals, no leading zero before the point (14.025, .500).
std::string formatFreq(double mhz);
// "###,###,###,###,##0": whole number with thousands separators (1,234, 0).
std::string formatGrouped(double value);
// "##,###": whole number with thousands separators, empty for zero.
std::string formatGroupedOptional(double value);
// "###": whole number, empty for zero.
std::string formatWholeOptional(double value);
// "#.000": three decimals, no leading zero.
std::string formatThreeDecimals(double value);
// "###0.0": one decimal, at least one digit before the point.
std::string formatOneDecimal(double value);
// Pads a whole number to at least `width` digits with leading zeros ("001").
// Widths are taken between 0 and kMaxPadWidth.
inline constexpr int kMaxPadWidth = 64;
std::string zeroPad(long long value, int width);

} // namespace wexon::core
