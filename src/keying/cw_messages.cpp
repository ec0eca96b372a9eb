#include "keying/cw_messages.h"

#include <cmath>

#include "core/number_format.h"
#include "core/text_util.h"

namespace wexon::keying {

namespace {

std::string replaceEvery(std::string_view text, char wildcard, std::string_view value) {
    std::string out;
    out.reserve(text.size() + value.size());
    for (char c : text) {
        if (c == wildcard) {
            out += value;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::optional<int> messageSlotForKey(int keyCode) {
    if (keyCode >= kKeyF1 && keyCode <= kKeyF9) {
        return keyCode - kKeyF1;
    }
    if (keyCode == kKeyF10) {
        return 9;
    }
    if (keyCode == kKeyF11) {
        return 10;
    }
    return std::nullopt;
}

std::string reportForWildcard(std::string_view reportSent) {
    std::string report = core::trim(reportSent);
    if (report.empty() || report == "599") {
        return "5NN";
    }
    return report;
}

std::string serialForWildcard(std::string_view serial) {
    std::string text = core::trim(serial);
    auto number = core::parseNumber(text);
    if (number && std::fabs(*number) < 1e15) {
        return core::formatShortest(*number);
    }
    return text;
}

std::string substituteWildcards(std::string_view message, const WildcardValues& values) {
    std::string text = replaceEvery(message, '$', core::trim(values.call));
    text = replaceEvery(text, '#', serialForWildcard(values.serial));
    return replaceEvery(text, '*', reportForWildcard(values.reportSent));
}

} // namespace wexon::keying
