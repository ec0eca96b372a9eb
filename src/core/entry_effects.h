#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/entry_box.h"

namespace wexon::core {

// Background colours of the message line.
enum class MessageColour { Unchanged, Teal, Red, LightYellow };

// One thing the window has to do after the entry row took a key or an event.
// The window carries them out in the order given.
enum class EntryEffectKind {
    // The text of `box` changed. For the call box the window derives the prefix
    // and looks up the country; for the country box it reruns the points rule;
    // for the prefix box it recomputes the "New" flag; for the report-sent box
    // it copies the text to the digital link. Results go back into the row
    // through EntryRow::setBox.
    TextChanged,
    // The focus moved to `box` (the row's own focus() already says so).
    FocusMoved,
    // The focus leaves the row for the next control in tab order.
    FocusNextControl,
    // The message line shows `text`, on `colour` unless that is Unchanged.
    Message,
    // A beep.
    Beep,
    // Log the contact on the screen (Mains).
    LogContact,
    // Refresh the partial-dupe list for `key` (the key after Capital); `text`
    // is the call box as it was before the key (the row already holds the
    // text after it).
    PartialDupes,
    // The call box was left holding a call: run the exact duplicate check.
    DupCheck,
    // Type `key` into the country box with completion from the country table,
    // then write the box back with EntryRow::setBox.
    CompleteCountry,
    // Play the spoken prompt `text` (the voice navigation level is already
    // checked).
    VoicePrompt,
    // The call box got the focus: hide the edit and delete buttons and refill
    // the log list when it shows a previous-contacts view.
    CallGotFocus,
    // Empty the continent, bearing and distance labels.
    ClearCountryLabels,
    // Empty the partial-dupe label and give it the button-face colour.
    ClearDupeLabel,
};

struct EntryEffect {
    EntryEffectKind kind;
    EntryBox box = EntryBox::Call;
    int key = 0;
    std::string text;
    MessageColour colour = MessageColour::Unchanged;

    bool operator==(const EntryEffect&) const = default;
};

// What followed one key or event, in order.
class EntryEffects {
  public:
    void add(EntryEffect effect) { m_list.push_back(std::move(effect)); }
    void add(EntryEffectKind kind, EntryBox box = EntryBox::Call, int key = 0) {
        m_list.push_back(EntryEffect{kind, box, key, {}, MessageColour::Unchanged});
    }
    void message(std::string text, MessageColour colour) {
        m_list.push_back(
            EntryEffect{EntryEffectKind::Message, EntryBox::Call, 0, std::move(text), colour});
    }
    void prompt(const char* name) {
        m_list.push_back(EntryEffect{EntryEffectKind::VoicePrompt, EntryBox::Call, 0, name,
                                     MessageColour::Unchanged});
    }
    void append(const EntryEffects& other) {
        m_list.insert(m_list.end(), other.m_list.begin(), other.m_list.end());
    }

    const std::vector<EntryEffect>& list() const { return m_list; }
    bool empty() const { return m_list.empty(); }
    std::size_t size() const { return m_list.size(); }

    bool has(EntryEffectKind kind) const;
    bool hasTextChanged(EntryBox box) const;
    int count(EntryEffectKind kind) const;
    // The last message of the list, if any.
    std::optional<EntryEffect> lastMessage() const;
    // The spoken prompts requested, in order.
    std::vector<std::string> prompts() const;

  private:
    std::vector<EntryEffect> m_list;
};

} // namespace wexon::core
