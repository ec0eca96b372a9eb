// fuzz-sources: core/number_format
// Drives number reading and every number format with arbitrary bytes, as text
// and as raw values. Promises checked: the numeric test agrees with the reader;
// a number read is written in plain decimals (no exponent) that read back to
// the very same double and float; every display pattern gives only digits,
// sign, point and commas, within its width, close to the value it shows (or to
// the largest fifteen-digit value when the value is beyond that); zero padding
// keeps every digit of any 64-bit value.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "core/number_format.h"
#include "fuzz_check.h"

using namespace wexon::core;

namespace {

bool onlyNumberCharacters(const std::string& s) {
    return s.find_first_not_of("-0123456789.,") == std::string::npos;
}

std::string withoutCommas(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ',') {
            out.push_back(c);
        }
    }
    return out;
}

// Commas every three digits from the right, and nowhere else.
bool groupedWell(const std::string& s) {
    std::string body = s.empty() || s.front() != '-' ? s : s.substr(1);
    if (body.empty()) {
        return true;
    }
    const std::size_t n = body.size();
    for (std::size_t i = 0; i < n; ++i) {
        const bool commaPlace = (n - i) % 4 == 0;
        if ((body[i] == ',') != commaPlace) {
            return false;
        }
    }
    return body.front() != ',';
}

void checkDisplay(double v) {
    const double kMax = 999999999999999.0;
    struct Pattern {
        std::string text;
        double unit; // value of the last digit
    } patterns[] = {{formatFreq(v), 0.001},        {formatThreeDecimals(v), 0.001},
                    {formatOneDecimal(v), 0.1},    {formatGrouped(v), 1},
                    {formatGroupedOptional(v), 1}, {formatWholeOptional(v), 1}};
    for (const Pattern& p : patterns) {
        FUZZ_CHECK(onlyNumberCharacters(p.text));
        FUZZ_CHECK(p.text.size() <= 24);
        if (p.text.empty()) {
            // Only the optional patterns, for what rounds to zero.
            FUZZ_CHECK(std::isnan(v) || std::fabs(v) < 1.0);
            continue;
        }
        const std::string plain = withoutCommas(p.text);
        if (plain == "-" || plain == ".") {
            FUZZ_CHECK(false);
        }
        auto shown = parseNumber(plain);
        FUZZ_CHECK(shown.has_value());
        if (std::isnan(v)) {
            FUZZ_CHECK(*shown == 0);
            continue;
        }
        const double limit = kMax * p.unit;
        const double expected = std::fabs(v) >= limit ? std::copysign(limit, v) : v;
        FUZZ_CHECK(std::fabs(*shown - expected) <= p.unit / 2 + std::fabs(expected) * 1e-14 + 1e-9);
    }
    FUZZ_CHECK(groupedWell(formatGrouped(v)));
    FUZZ_CHECK(groupedWell(formatGroupedOptional(v)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto v = parseNumber(text);
    FUZZ_CHECK(isNumeric(text) == v.has_value());
    FUZZ_CHECK(std::isfinite(leadingNumber(text)));
    if (v) {
        FUZZ_CHECK(std::isfinite(*v));
        const std::string written = formatShortest(*v);
        FUZZ_CHECK(written.find_first_of("eE") == std::string::npos);
        auto back = parseNumber(written);
        FUZZ_CHECK(back.has_value() && *back == *v);
        if (std::fabs(*v) <= std::numeric_limits<float>::max()) {
            const float f = static_cast<float>(*v);
            const std::string writtenF = formatShortest(f);
            FUZZ_CHECK(writtenF.find_first_of("eE") == std::string::npos);
            auto backF = parseNumber(writtenF);
            FUZZ_CHECK(backF.has_value() && static_cast<float>(*backF) == f);
        }
        checkDisplay(*v);
    }

    // The same bytes as a raw double (any bit pattern: NaN, infinities,
    // subnormals) and as a 64-bit whole number.
    if (size >= 8) {
        double raw = 0;
        std::memcpy(&raw, data, 8);
        checkDisplay(raw);
        const std::string written = formatShortest(raw);
        FUZZ_CHECK(written.find_first_of("eE") == std::string::npos);
        auto back = parseNumber(written);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(std::isfinite(raw) ? *back == raw : *back == 0);

        long long whole = 0;
        std::memcpy(&whole, data, 8);
        const int width = size > 8 ? static_cast<int>(data[8]) - 100 : 3;
        const std::string padded = zeroPad(whole, width);
        const unsigned long long magnitude = whole < 0
                                                 ? 0ull - static_cast<unsigned long long>(whole)
                                                 : static_cast<unsigned long long>(whole);
        std::string digits = whole < 0 ? padded.substr(1) : padded;
        FUZZ_CHECK((whole < 0) == (!padded.empty() && padded.front() == '-'));
        FUZZ_CHECK(digits.size() >= static_cast<std::size_t>(width < 0    ? 0
                                                             : width > 64 ? 64
                                                                          : width));
        const std::size_t firstNonZero = digits.find_first_not_of('0');
        digits = firstNonZero == std::string::npos ? "0" : digits.substr(firstNonZero);
        FUZZ_CHECK(digits == std::to_string(magnitude));
    }
    return 0;
}
