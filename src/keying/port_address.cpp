#include "keying/port_address.h"

#include "core/text_util.h"

namespace wexon::keying {

std::optional<unsigned> parsePortAddress(std::string_view text) {
    std::string t = core::toUpper(core::trim(text));
    unsigned base = 10;
    std::size_t pos = 0;
    if (t.size() >= 2 && t[0] == '&' && t[1] == 'H') {
        base = 16;
        pos = 2;
    } else if (t.size() >= 2 && t[0] == '&' && t[1] == 'O') {
        base = 8;
        pos = 2;
    }
    if (pos >= t.size()) {
        return std::nullopt;
    }
    unsigned long value = 0;
    for (; pos < t.size(); ++pos) {
        char c = t[pos];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > 0xFFFF) {
            return std::nullopt;
        }
    }
    if (value == 0) {
        return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

} // namespace wexon::keying
