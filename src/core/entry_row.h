#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/entry_box.h"
#include "core/entry_effects.h"

namespace wexon::core {

// Key codes the entry row takes: a character code 0-255 (Latin-1), or one of
// the named keys below, which share the codes of their characters.
namespace entry_key {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
} // namespace entry_key

// A letter from "a" to "z" becomes its capital; every other key passes as it is.
int capitalKey(int key);
// Only the digits and Backspace pass; any other key becomes 0 (dropped).
int numberKey(int key);
// The key code of a typed character, nothing when it lies outside Latin-1.
std::optional<int> entryKeyFromCodePoint(char32_t codePoint);

// The row of entry boxes of the main window, without a display: the text,
// caret and selection of each box, which box has the focus, and the key that is
// being carried over from one box to the next. It takes one key or focus event
// at a time and answers with the effects the window has to carry out; the
// boxes' new contents are read back from the row itself.
class EntryRow {
  public:
    EntryRow() = default;

    // --- what the rules depend on ---
    // "PH", "CW" or "RY".
    void setContestMode(std::string_view mode);
    bool phoneContest() const { return m_phone; }
    void setLoggedOn(bool loggedOn) { m_loggedOn = loggedOn; }
    bool loggedOn() const { return m_loggedOn; }
    // 0 off, 1 prompts for the call box, 2 prompts for every box.
    void setVoiceNavigation(int level) { m_voiceLevel = level; }

    // --- state ---
    const EntryBoxState& box(EntryBox b) const { return m_boxes[index(b)]; }
    const std::string& text(EntryBox b) const { return box(b).text; }
    // The focused box; nothing while the focus is outside the row.
    std::optional<EntryBox> focus() const { return m_focus; }
    // The key being carried over (0 when none) and its target: 0 none,
    // 2 country box, 3 serial box, 4 report-received box.
    int pendingKey() const { return m_pendingKey; }
    int pendingTarget() const { return m_pendingTarget; }

    // --- input ---
    // One key typed into the focused box. Keys are dropped while no box has the
    // focus, and so are control characters other than the named keys.
    EntryEffects pressKey(int key);
    // The window changed a box itself: an editing key it handles (Delete,
    // arrows, Home, End), a paste, or the result of a rule (prefix, country
    // lookup or completion, points). The text is cleaned of what a box may not
    // hold and cut to the box's length; positions are kept inside the text.
    EntryEffects setBox(EntryBox b, const std::string& text, int cursor, int selStart,
                        int selLength);
    // Same, with the caret at the end and nothing selected.
    EntryEffects setText(EntryBox b, const std::string& text);
    // Same, with the whole text selected.
    EntryEffects setTextSelected(EntryBox b, const std::string& text);
    // The user moved the focus into a box (a click, or a Tab the window handled).
    EntryEffects focusBox(EntryBox b);
    // The focus went to a control outside the row.
    EntryEffects focusLeftRow();

    // "&Clear" and Esc: every box emptied, a blank teal message, the focus in
    // the call box.
    EntryEffects clear();
    // After a contact was stored or refused as a duplicate: the boxes are emptied
    // and the focus goes to the call box.
    EntryEffects clearAfterContact();
    // The duplicate check found the call: the focus goes to the call box, then
    // every box is emptied.
    EntryEffects clearAfterDupe();

    // The report that is filled in when the call box is left: "59" or "599".
    std::string defaultReport() const { return m_phone ? "59" : "599"; }

  private:
    static int index(EntryBox b) { return entryBoxIndex(b); }
    EntryBoxState& state(EntryBox b) { return m_boxes[index(b)]; }

    void keyCall(int key, EntryEffects& fx);
    void keyRstr(int key, EntryEffects& fx);
    void keySec(int key, EntryEffects& fx);
    void keyRsts(int key, EntryEffects& fx);
    void keyCntry(int key, EntryEffects& fx);
    void keyPref(int key, EntryEffects& fx);
    void keyPoints(int key, EntryEffects& fx);

    bool callCarriesDigit(int key) const;
    void loggedOnMessage(EntryEffects& fx) const;
    void partialDupes(int key, EntryEffects& fx) const;

    void moveFocus(EntryBox target, EntryEffects& fx);
    void leaveRow(EntryEffects& fx);
    void callLostFocus(EntryEffects& fx);
    void gotFocus(EntryBox b, EntryEffects& fx);

    // Editing primitives; each reports TextChanged when the text changed.
    bool insertChar(EntryBox b, char c, EntryEffects& fx);
    void backspace(EntryBox b, EntryEffects& fx);
    void replaceWhole(EntryBox b, std::string text, bool selectAll, EntryEffects& fx);
    void empty(EntryBox b, EntryEffects& fx);
    void clearPending();

    std::array<EntryBoxState, kEntryBoxCount> m_boxes{};
    std::optional<EntryBox> m_focus = EntryBox::Call;
    int m_pendingKey = 0;
    int m_pendingTarget = 0;
    bool m_phone = false;
    bool m_loggedOn = false;
    int m_voiceLevel = 0;
};

inline constexpr const char* kTimeOnReminder = "Click Log \"Time On\"!";

} // namespace wexon::core
