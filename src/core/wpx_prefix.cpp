#include "core/wpx_prefix.h"

namespace wexon::core {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isAllDigits(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string derivePrefix(std::string_view call) {
    const std::size_t n = call.size();
    if (n < 2) {
        return {};
    }

    // Positions are 1-based, as the operator counts them; the first character is
    // never examined, so a call that starts with a digit (4X1AA) or a slash keeps it.
    std::size_t slash = 0;
    std::size_t firstDigit = 0;
    std::size_t lastDigit = 0;
    for (std::size_t pos = 2; pos <= n; ++pos) {
        char c = call[pos - 1];
        if (c == '/') {
            slash = pos;
        } else if (isDigit(c)) {
            if (firstDigit == 0) {
                firstDigit = pos;
            }
            lastDigit = pos;
        }
    }
    if (firstDigit == 0) {
        firstDigit = n;
    }

    std::string prefix;
    if (slash == 0) {
        prefix = call.substr(0, lastDigit);
    } else if (2 * slash < n + 2) {
        // The slash stands in the first half (slash < n/2 + 1): a designator in
        // front of the home call.
        if (firstDigit > slash) {
            firstDigit = slash - 1;
        }
        prefix = call.substr(0, firstDigit);
    } else {
        // A designator after the home call.
        if (lastDigit < slash) {
            lastDigit = n;
        }
        std::string_view after = call.substr(slash, lastDigit - slash);
        prefix = after;
        if (isAllDigits(after)) {
            // A bare number replaces the call district: the letters of the home
            // call before its digit, then that number. The search for the digit
            // starts at the second place, like the scan above, so that a home
            // call beginning with a digit keeps its letters (4X1AA/5 gives 4X5),
            // and stops at the slash (RAEM/3 gives RAEM3).
            std::size_t district = 1;
            while (district < slash - 1 && !isDigit(call[district])) {
                ++district;
            }
            prefix = std::string(call.substr(0, district)) + std::string(after);
        }
    }

    if (!prefix.empty() && static_cast<unsigned char>(prefix.back()) > '9') {
        if (prefix.size() > 2) {
            prefix.resize(2);
        }
        prefix += '0';
    }
    return prefix;
}

} // namespace wexon::core
