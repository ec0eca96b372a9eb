#include "core/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace wexon::core {

namespace {

template <typename T> std::string shortest(T value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    if (value == 0) {
        return "0"; // also folds -0
    }
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

// Splits |value| rounded half away from zero to `decimals` places into its
// whole digits and its decimal digits.
void roundedParts(double value, int decimals, std::string& whole, std::string& frac) {
    double scale = std::pow(10.0, decimals);
    double scaled = std::round(std::fabs(value) * scale + 1e-9);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, scaled, std::chars_format::fixed, 0);
    std::string digits(buf, res.ptr);
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
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (!std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
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
    std::string digits = std::to_string(value < 0 ? -value : value);
    while (static_cast<int>(digits.size()) < width) {
        digits.insert(digits.begin(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

} // namespace wexon::core
