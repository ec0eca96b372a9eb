#pragma once

#include <string>
#include <string_view>

namespace wexon::core {

inline char toUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Whether `s` is one or more of the digits 0 to 9 and nothing else.
inline bool allDigits(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

inline std::string toUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = toUpperAscii(c);
    }
    return out;
}

inline bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (toUpperAscii(a[i]) != toUpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

inline std::string trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t')) {
        --n;
    }
    return std::string(s.substr(0, n));
}

inline std::string trim(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    return trimRight(s.substr(i));
}

} // namespace wexon::core
