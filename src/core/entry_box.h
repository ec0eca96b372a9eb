#pragma once

#include <array>
#include <string>

namespace wexon::core {

// The seven boxes of the entry row, in their order on the screen, which is also
// the order the Space key walks through them.
enum class EntryBox : int { Call = 0, Rstr, Sec, Rsts, Cntry, Pref, Points };

inline constexpr int kEntryBoxCount = 7;

inline constexpr std::array<EntryBox, kEntryBoxCount> kEntryBoxes = {
    EntryBox::Call,  EntryBox::Rstr, EntryBox::Sec,   EntryBox::Rsts,
    EntryBox::Cntry, EntryBox::Pref, EntryBox::Points};

inline constexpr int entryBoxIndex(EntryBox box) {
    return static_cast<int>(box);
}

// The object name of the box's control ("txtCall").
const char* entryBoxObjectName(EntryBox box);
// The most characters the box holds.
int entryBoxMaxLength(EntryBox box);
// The spoken prompt played when the box gets the focus ("Call", "RstRcvd").
const char* entryBoxPrompt(EntryBox box);

// The text of one box with its caret and selection. `selStart` is the first
// selected character (the caret itself when nothing is selected); the caret
// stands at one end of the selection.
struct EntryBoxState {
    std::string text;
    int cursor = 0;
    int selStart = 0;
    int selLength = 0;

    bool operator==(const EntryBoxState&) const = default;
};

// Whether a byte may stand in an entry box: printable Latin-1 other than the
// double quote, which the log's quoted form cannot carry.
inline bool isEntryChar(unsigned char c) {
    return c >= 32 && c != '"' && c != 127 && !(c >= 128 && c < 160);
}

// The text with every byte removed that may not stand in an entry box, cut to
// `maxLength` bytes when that is not negative.
std::string sanitizeEntryText(const std::string& text, int maxLength = -1);

} // namespace wexon::core
