#include "core/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace wexon::core {

namespace {

// The shortest decimal digits that read back to `value`, written out in plain
// positional form: never with an exponent, so "100000" rather than "1e+05"
// and "0.00015" rather than "1.5e-04".
template <typename T> std::string shortest(T value) {
    if (!std::isfinite(value) || value == 0) {
        return "0"; // also folds -0
    }
    // The shortest round-trip digits in scientific form: "-d.ddde+XX".
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    if (res.ec != std::errc{}) {
        return "0";
    }
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t e = sci.find('e');
    if (e == std::string_view::npos) {
        return "0";
    }
    const bool negative = sci.front() == '-';
    std::string digits;
    for (char c : sci.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
        if (c != '.') {
            digits.push_back(c);
        }
    }
    int exponent = 0;
    std::string_view expText = sci.substr(e + 1);
    if (!expText.empty() && expText.front() == '+') {
        expText.remove_prefix(1);
    }
    auto expRes = std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    if (expRes.ec != std::errc{} || digits.empty()) {
        return "0";
    }
    // The first digit stands `exponent` places left of the point.
    const long long pointAt = static_cast<long long>(exponent) + 1;
    const long long count = static_cast<long long>(digits.size());
    std::string out;
    if (negative) {
        out.push_back('-');
    }
    if (pointAt <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-pointAt), '0');
        out += digits;
    } else if (pointAt >= count) {
        out += digits;
        out.append(static_cast<std::size_t>(pointAt - count), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(pointAt));
        out.push_back('.');
        out.append(digits, static_cast<std::size_t>(pointAt), std::string::npos);
    }
    return out;
}

// Largest magnitude the display patterns show, in units of their last digit:
// fifteen digits, the width of the widest pattern and still exact in a double.
constexpr double kMaxScaledDigits = 999999999999999.0;

// Splits |value| rounded half away from zero to `decimals` places into its
// whole digits and its decimal digits. A value beyond what fifteen digits can
// show is shown as the largest fifteen-digit value, and a value that is not a
// number as zero.
void roundedParts(double value, int decimals, std::string& whole, std::string& frac) {
    double scale = std::pow(10.0, decimals);
    double scaled = std::isnan(value) ? 0.0 : std::round(std::fabs(value) * scale + 1e-9);
    if (!(scaled <= kMaxScaledDigits)) {
        scaled = kMaxScaledDigits; // also infinity
    }
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, scaled, std::chars_format::fixed, 0);
    std::string digits = res.ec == std::errc{} ? std::string(buf, res.ptr) : std::string("0");
    while (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(digits.begin(), '0');
    }
    whole = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    frac = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
}

bool isZeroDigits(const std::string& s) {
    return s.find_first_not_of('0') == std::string::npos;
}

std::string group(const std::string& whole) {
    std::string out;
    int n = static_cast<int>(whole.size());
    for (int i = 0; i < n; ++i) {
        out.push_back(whole[static_cast<std::size_t>(i)]);
        int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) {
            out.push_back(',');
        }
    }
    return out;
}

std::string withSign(double value, const std::string& body, bool isZero) {
    if (value < 0 && !isZero) {
        return "-" + body;
    }
    return body;
}

} // namespace

std::string formatShortest(double value) {
    return shortest(value);
}
std::string formatShortest(float value) {
    return shortest(value);
}

bool isNumeric(std::string_view text) {
    return parseNumber(text).has_value();
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t i = 0;
    std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t')) {
        --n;
    }
    if (i >= n) {
        return std::nullopt;
    }
    std::string s;
    std::size_t p = i;
    if (text[p] == '+' || text[p] == '-') {
        s.push_back(text[p]);
        ++p;
    }
    bool digits = false;
    bool point = false;
    for (; p < n; ++p) {
        char c = text[p];
        if (c >= '0' && c <= '9') {
            digits = true;
            s.push_back(c);
        } else if (c == '.' && !point) {
            point = true;
            s.push_back(c);
        } else {
            break;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (p < n && (text[p] == 'e' || text[p] == 'E')) {
        s.push_back('e');
        ++p;
        if (p < n && (text[p] == '+' || text[p] == '-')) {
            s.push_back(text[p]);
            ++p;
        }
        bool expDigits = false;
        for (; p < n && text[p] >= '0' && text[p] <= '9'; ++p) {
            expDigits = true;
            s.push_back(text[p]);
        }
        if (!expDigits) {
            return std::nullopt;
        }
    }
    if (p != n) {
        return std::nullopt;
    }
    // from_chars reads the same text whatever the process's locale says about
    // the decimal point, which strtod would not.
    bool negative = !s.empty() && s.front() == '-';
    std::size_t start = (!s.empty() && (s.front() == '-' || s.front() == '+')) ? 1 : 0;
    double v = 0;
    auto res = std::from_chars(s.data() + start, s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small to tell from zero reads as zero; too large is no number.
        // Tiny: a negative exponent, or no exponent and no whole digit above 0.
        std::size_t ePos = s.find('e');
        bool tiny = false;
        if (ePos != std::string::npos) {
            tiny = ePos + 1 < s.size() && s[ePos + 1] == '-';
        } else {
            std::string_view whole(s.data() + start, s.size() - start);
            whole = whole.substr(0, whole.find('.'));
            tiny = whole.find_first_not_of('0') == std::string_view::npos;
        }
        if (!tiny) {
            return std::nullopt;
        }
        v = 0;
    } else if (res.ec != std::errc{} || res.ptr != s.data() + s.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(v)) {
        return std::nullopt;
    }
    return negative ? -v : v;
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    std::size_t end = i;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    bool point = false;
    while (end < text.size() &&
           ((text[end] >= '0' && text[end] <= '9') || (text[end] == '.' && !point))) {
        if (text[end] == '.') {
            point = true;
        }
        ++end;
    }
    auto v = parseNumber(text.substr(i, end - i));
    return v ? *v : 0.0;
}

std::string formatFreq(double mhz) {
    std::string whole, frac;
    roundedParts(mhz, 3, whole, frac);
    bool zero = isZeroDigits(whole) && isZeroDigits(frac);
    if (isZeroDigits(whole)) {
        whole.clear();
    }
    return withSign(mhz, whole + "." + frac, zero);
}

std::string formatGrouped(double value) {
    std::string whole, frac;
    roundedParts(value, 0, whole, frac);
    std::string trimmed = whole.substr(std::min(whole.find_first_not_of('0'), whole.size() - 1));
    return withSign(value, group(trimmed), isZeroDigits(trimmed));
}

std::string formatGroupedOptional(double value) {
    std::string whole, frac;
    roundedParts(value, 0, whole, frac);
    if (isZeroDigits(whole)) {
        return "";
    }
    std::string trimmed = whole.substr(whole.find_first_not_of('0'));
    return withSign(value, group(trimmed), false);
}

std::string formatWholeOptional(double value) {
    std::string whole, frac;
    roundedParts(value, 0, whole, frac);
    if (isZeroDigits(whole)) {
        return "";
    }
    return withSign(value, whole.substr(whole.find_first_not_of('0')), false);
}

std::string formatThreeDecimals(double value) {
    std::string whole, frac;
    roundedParts(value, 3, whole, frac);
    bool zero = isZeroDigits(whole) && isZeroDigits(frac);
    if (isZeroDigits(whole)) {
        whole.clear();
    }
    return withSign(value, whole + "." + frac, zero);
}

std::string formatOneDecimal(double value) {
    std::string whole, frac;
    roundedParts(value, 1, whole, frac);
    bool zero = isZeroDigits(whole) && isZeroDigits(frac);
    std::string trimmed = whole.substr(std::min(whole.find_first_not_of('0'), whole.size() - 1));
    return withSign(value, trimmed + "." + frac, zero);
}

std::string zeroPad(long long value, int width) {
    // The magnitude in unsigned arithmetic, where even the most negative value
    // has one.
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    const std::size_t wanted = static_cast<std::size_t>(std::clamp(width, 0, kMaxPadWidth));
    if (digits.size() < wanted) {
        digits.insert(0, wanted - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

} // namespace wexon::core
