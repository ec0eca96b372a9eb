#include "spots/spot_line.h"

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::spots {

std::string_view midText(std::string_view text, std::size_t start, std::size_t count) {
    if (start < 1 || start > text.size()) {
        return {};
    }
    return text.substr(start - 1, count);
}

bool beginsWithDx(std::string_view line) {
    return line.size() >= 2 && core::toUpperAscii(line[0]) == 'D' &&
           core::toUpperAscii(line[1]) == 'X';
}

std::size_t findIgnoreCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        return from <= haystack.size() ? from : std::string_view::npos;
    }
    if (needle.size() > haystack.size()) {
        return std::string_view::npos;
    }
    const char first = core::toUpperAscii(needle[0]);
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (core::toUpperAscii(haystack[i]) != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < needle.size() &&
               core::toUpperAscii(haystack[i + k]) == core::toUpperAscii(needle[k])) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

namespace {

// Blanks and, for a line shorter than its columns, the line end.
std::string trimField(std::string_view s) {
    const char* const blanks = " \t\r\n";
    const std::size_t begin = s.find_first_not_of(blanks);
    if (begin == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(begin, s.find_last_not_of(blanks) - begin + 1));
}

} // namespace

SpotFields spotFields(std::string_view line) {
    SpotFields f;
    f.frequencyText = trimField(midText(line, 16, 9));
    f.call = trimField(midText(line, 27, 13));
    f.spotText = core::trim(midText(line, 4));
    return f;
}

std::string spotLabelText(std::string_view call) {
    const std::size_t length = call.size();
    if (length < 3) {
        return {};
    }
    std::size_t lastDigit = 0; // 1-based, 0 when none
    std::size_t slash = 0;     // 1-based position of the last "/", 0 when none
    for (std::size_t i = 0; i < length; ++i) {
        if (call[i] >= '0' && call[i] <= '9') {
            lastDigit = i + 1;
        } else if (call[i] == '/') {
            slash = i + 1;
        }
    }
    const std::size_t end = lastDigit > 0 ? lastDigit : length;
    if (slash == 0) {
        return std::string(call.substr(0, end));
    }
    if (static_cast<double>(slash) < static_cast<double>(length) / 2.0 + 1.0) {
        return std::string(call.substr(0, slash - 1));
    }
    std::string after(midText(call, slash + 1, end));
    if (core::isNumeric(after)) {
        std::size_t firstDigit = 0;
        while (firstDigit < length && !(call[firstDigit] >= '0' && call[firstDigit] <= '9')) {
            ++firstDigit;
        }
        return std::string(call.substr(0, firstDigit)) + after;
    }
    return after;
}

std::string countryForSpot(const core::CountryTable& table, std::string_view call) {
    std::string_view key = call;
    const std::size_t slash = call.find('/');
    if (slash != std::string_view::npos) {
        const std::size_t rest = call.size() - slash - 1;
        if (rest > 1 && static_cast<double>(rest) < static_cast<double>(call.size()) / 2.0) {
            key = call.substr(slash + 1);
        }
    }
    if (key.empty()) {
        return {};
    }
    const int index = table.findLongestPrefix(key);
    if (index == 0) {
        return {};
    }
    if (key.size() > 5 && core::equalsIgnoreCase(key.substr(0, 3), "KG4")) {
        return "USA";
    }
    return table.entry(index).country;
}

} // namespace wexon::spots
