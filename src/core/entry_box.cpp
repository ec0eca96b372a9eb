#include "core/entry_box.h"

namespace wexon::core {

namespace {
struct BoxInfo {
    const char* objectName;
    int maxLength;
    const char* prompt;
};

constexpr BoxInfo kInfo[kEntryBoxCount] = {
    {"txtCall", 20, "Call"},    {"txtRSTR", 3, "RstRcvd"},   {"txtSec", 6, "SerNum"},
    {"txtRSTS", 3, "RstSnt"},   {"txtCntry", 40, "Country"}, {"txtPref", 12, "Prefix"},
    {"txtPoints", 1, "Points"},
};
} // namespace

const char* entryBoxObjectName(EntryBox box) {
    return kInfo[entryBoxIndex(box)].objectName;
}

int entryBoxMaxLength(EntryBox box) {
    return kInfo[entryBoxIndex(box)].maxLength;
}

const char* entryBoxPrompt(EntryBox box) {
    return kInfo[entryBoxIndex(box)].prompt;
}

std::string sanitizeEntryText(const std::string& text, int maxLength) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (maxLength >= 0 && static_cast<int>(out.size()) >= maxLength) {
            break;
        }
        if (isEntryChar(static_cast<unsigned char>(c))) {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace wexon::core
