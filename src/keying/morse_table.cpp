#include "keying/morse_table.h"

#include <array>

#include "core/text_util.h"

namespace wexon::keying {

namespace {

struct Entry {
    char ch;
    const char* morse;
};

// Dots and dashes of every character the keyer knows, prosigns included.
constexpr Entry kEntries[] = {
    {'A', ".-"},        {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},    {'E', "."},
    {'F', "..-."},      {'G', "--."},    {'H', "...."},   {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},       {'L', ".-.."},   {'M', "--"},     {'N', "-."},     {'O', "---"},
    {'P', ".--."},      {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},
    {'U', "..-"},       {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},      {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
    {'4', "....-"},     {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
    {'9', "----."},     {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
    {'-', "-...-"},     {'=', "-...-"},  {'[', ".-.-."},  {']', "...-.-"}, {';', "-.--."},
    {'\\', "-.-..-.."},
};

std::array<std::string, 256> buildTable() {
    std::array<std::string, 256> table;
    for (const Entry& e : kEntries) {
        std::string units;
        for (const char* p = e.morse; *p != '\0'; ++p) {
            units += (*p == '.') ? "10" : "1110";
        }
        units += "00";
        table[static_cast<unsigned char>(e.ch)] = units;
    }
    table[static_cast<unsigned char>(' ')] = "00000000";
    return table;
}

const std::array<std::string, 256>& table() {
    static const std::array<std::string, 256> t = buildTable();
    return t;
}

} // namespace

std::string_view morsePattern(char ch) {
    return table()[static_cast<unsigned char>(core::toUpperAscii(ch))];
}

std::string keyedPattern(char ch, int wordSpaceAdjust) {
    std::string pattern(morsePattern(ch));
    if (ch != ' ') {
        return pattern;
    }
    if (wordSpaceAdjust > 0) {
        int extra = wordSpaceAdjust > kMaxWordSpaceExtra ? kMaxWordSpaceExtra : wordSpaceAdjust;
        pattern.append(static_cast<std::size_t>(extra), '0');
    } else if (wordSpaceAdjust < 0) {
        std::size_t cut = static_cast<std::size_t>(-static_cast<long long>(wordSpaceAdjust));
        pattern.resize(cut >= pattern.size() ? 0 : pattern.size() - cut);
    }
    return pattern;
}

} // namespace wexon::keying
