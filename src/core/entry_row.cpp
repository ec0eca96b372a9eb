#include "core/entry_row.h"

#include <algorithm>

#include "core/text_util.h"

namespace wexon::core {

using namespace entry_key;

namespace {

bool isDigit(int key) {
    return key >= '0' && key <= '9';
}

// Pending targets, as the main window has always numbered them.
constexpr int kTargetCountry = 2;
constexpr int kTargetSerial = 3;
constexpr int kTargetReport = 4;

// A text put into a box whole (a paste, a rule's result) held to what typing
// in that box could give: the call and the prefix in capitals, the points one
// digit with anything above 6 counting 6.
std::string boxRuleText(EntryBox b, std::string text) {
    switch (b) {
    case EntryBox::Call:
    case EntryBox::Pref:
        return toUpper(text);
    case EntryBox::Points: {
        std::string digit;
        for (char c : text) {
            if (isDigit(c)) {
                digit.push_back(std::min(c, '6'));
                break;
            }
        }
        return digit;
    }
    default:
        return text;
    }
}

} // namespace

int capitalKey(int key) {
    return (key >= 'a' && key <= 'z') ? key - 32 : key;
}

int numberKey(int key) {
    return (isDigit(key) || key == kBackspace) ? key : 0;
}

std::optional<int> entryKeyFromCodePoint(char32_t codePoint) {
    if (codePoint > 255) {
        return std::nullopt;
    }
    return static_cast<int>(codePoint);
}

void EntryRow::setContestMode(std::string_view mode) {
    m_phone = equalsIgnoreCase(trim(mode), "PH");
}

// ---------------------------------------------------------------- editing

bool EntryRow::insertChar(EntryBox b, char c, EntryEffects& fx) {
    EntryBoxState& s = state(b);
    if (!isEntryChar(static_cast<unsigned char>(c))) {
        return false;
    }
    const int size = static_cast<int>(s.text.size());
    if (size - s.selLength + 1 > entryBoxMaxLength(b)) {
        return false;
    }
    s.text.replace(static_cast<std::size_t>(s.selStart), static_cast<std::size_t>(s.selLength), 1,
                   c);
    s.cursor = s.selStart + 1;
    s.selStart = s.cursor;
    s.selLength = 0;
    fx.add(EntryEffectKind::TextChanged, b);
    return true;
}

void EntryRow::backspace(EntryBox b, EntryEffects& fx) {
    EntryBoxState& s = state(b);
    if (s.selLength > 0) {
        s.text.erase(static_cast<std::size_t>(s.selStart), static_cast<std::size_t>(s.selLength));
    } else if (s.cursor > 0) {
        s.text.erase(static_cast<std::size_t>(s.cursor - 1), 1);
        s.selStart = s.cursor - 1;
    } else {
        return;
    }
    s.cursor = s.selStart;
    s.selLength = 0;
    fx.add(EntryEffectKind::TextChanged, b);
}

void EntryRow::replaceWhole(EntryBox b, std::string text, bool selectAll, EntryEffects& fx) {
    EntryBoxState& s = state(b);
    text = sanitizeEntryText(text, entryBoxMaxLength(b));
    const bool changed = text != s.text;
    s.text = std::move(text);
    const int size = static_cast<int>(s.text.size());
    s.cursor = size;
    s.selStart = selectAll ? 0 : size;
    s.selLength = selectAll ? size : 0;
    if (changed) {
        fx.add(EntryEffectKind::TextChanged, b);
    }
}

void EntryRow::empty(EntryBox b, EntryEffects& fx) {
    replaceWhole(b, {}, false, fx);
}

void EntryRow::clearPending() {
    m_pendingKey = 0;
    m_pendingTarget = 0;
}

// ---------------------------------------------------------------- focus

void EntryRow::moveFocus(EntryBox target, EntryEffects& fx) {
    if (m_focus == target) {
        return;
    }
    if (m_focus == EntryBox::Call) {
        callLostFocus(fx);
    }
    m_focus = target;
    fx.add(EntryEffectKind::FocusMoved, target);
    gotFocus(target, fx);
}

void EntryRow::leaveRow(EntryEffects& fx) {
    if (m_focus == EntryBox::Call) {
        callLostFocus(fx);
    }
    m_focus.reset();
    fx.add(EntryEffectKind::FocusNextControl);
}

void EntryRow::callLostFocus(EntryEffects& fx) {
    if (text(EntryBox::Call).empty()) {
        return;
    }
    fx.add(EntryEffectKind::DupCheck);
    for (EntryBox report : {EntryBox::Rstr, EntryBox::Rsts}) {
        if (text(report).empty()) {
            replaceWhole(report, defaultReport(), true, fx);
        }
    }
    EntryBoxState& pref = state(EntryBox::Pref);
    pref.selStart = 0;
    pref.selLength = static_cast<int>(pref.text.size());
    pref.cursor = pref.selLength;
}

void EntryRow::gotFocus(EntryBox b, EntryEffects& fx) {
    if (b == EntryBox::Call) {
        fx.add(EntryEffectKind::CallGotFocus);
        if (text(EntryBox::Call).empty()) {
            empty(EntryBox::Rstr, fx);
            empty(EntryBox::Rsts, fx);
        }
        if (m_voiceLevel >= 1) {
            fx.prompt(entryBoxPrompt(b));
        }
        return;
    }
    if (m_voiceLevel >= 2) {
        fx.prompt(entryBoxPrompt(b));
    }
}

EntryEffects EntryRow::focusBox(EntryBox b) {
    EntryEffects fx;
    moveFocus(b, fx);
    return fx;
}

EntryEffects EntryRow::focusLeftRow() {
    EntryEffects fx;
    if (!m_focus) {
        return fx;
    }
    if (m_focus == EntryBox::Call) {
        callLostFocus(fx);
    }
    m_focus.reset();
    return fx;
}

// ---------------------------------------------------------------- window edits

EntryEffects EntryRow::setBox(EntryBox b, const std::string& text, int cursor, int selStart,
                              int selLength) {
    EntryEffects fx;
    EntryBoxState& s = state(b);
    std::string clean = sanitizeEntryText(boxRuleText(b, text), entryBoxMaxLength(b));
    const bool changed = clean != s.text;
    s.text = std::move(clean);
    const int size = static_cast<int>(s.text.size());
    s.cursor = std::clamp(cursor, 0, size);
    s.selStart = std::clamp(selStart, 0, size);
    s.selLength = std::clamp(selLength, 0, size - s.selStart);
    if (s.selLength == 0) {
        s.selStart = s.cursor;
    } else if (s.cursor != s.selStart && s.cursor != s.selStart + s.selLength) {
        s.cursor = s.selStart + s.selLength;
    }
    if (changed) {
        fx.add(EntryEffectKind::TextChanged, b);
    }
    return fx;
}

EntryEffects EntryRow::setText(EntryBox b, const std::string& text) {
    const int end = static_cast<int>(text.size());
    return setBox(b, text, end, end, 0);
}

EntryEffects EntryRow::setTextSelected(EntryBox b, const std::string& text) {
    const int end = static_cast<int>(text.size());
    return setBox(b, text, end, 0, end);
}

// ---------------------------------------------------------------- clearing

EntryEffects EntryRow::clear() {
    EntryEffects fx;
    clearPending();
    for (EntryBox b : kEntryBoxes) {
        empty(b, fx);
    }
    fx.add(EntryEffectKind::ClearDupeLabel);
    fx.add(EntryEffectKind::ClearCountryLabels);
    fx.message(" ", MessageColour::Teal);
    moveFocus(EntryBox::Call, fx);
    return fx;
}

EntryEffects EntryRow::clearAfterContact() {
    EntryEffects fx;
    clearPending();
    for (EntryBox b : {EntryBox::Rsts, EntryBox::Cntry, EntryBox::Points, EntryBox::Call,
                       EntryBox::Rstr, EntryBox::Sec, EntryBox::Pref}) {
        empty(b, fx);
    }
    fx.add(EntryEffectKind::ClearCountryLabels);
    moveFocus(EntryBox::Call, fx);
    return fx;
}

EntryEffects EntryRow::clearAfterDupe() {
    EntryEffects fx;
    clearPending();
    // The focus goes first, so that leaving another box never sees a half
    // emptied row; the call box's own focus handler then finds it still full.
    if (m_focus != EntryBox::Call) {
        m_focus = EntryBox::Call;
        fx.add(EntryEffectKind::FocusMoved, EntryBox::Call);
        gotFocus(EntryBox::Call, fx);
    }
    for (EntryBox b : {EntryBox::Rsts, EntryBox::Cntry, EntryBox::Call, EntryBox::Rstr,
                       EntryBox::Sec, EntryBox::Pref, EntryBox::Points}) {
        empty(b, fx);
    }
    fx.add(EntryEffectKind::ClearCountryLabels);
    return fx;
}

// ---------------------------------------------------------------- keys

EntryEffects EntryRow::pressKey(int key) {
    EntryEffects fx;
    if (!m_focus || key <= 0 || key > 255) {
        return fx;
    }
    if (key == kEscape) {
        return clear();
    }
    if (key == kTab) {
        const int next = index(*m_focus) + 1;
        if (next < kEntryBoxCount) {
            moveFocus(kEntryBoxes[static_cast<std::size_t>(next)], fx);
        } else {
            leaveRow(fx);
        }
        return fx;
    }
    const bool named = key == kBackspace || key == kEnter;
    if (!named && !isEntryChar(static_cast<unsigned char>(key)) && key != '"') {
        return fx; // control characters never reach a box
    }
    switch (*m_focus) {
    case EntryBox::Call:
        keyCall(key, fx);
        break;
    case EntryBox::Rstr:
        keyRstr(key, fx);
        break;
    case EntryBox::Sec:
        keySec(key, fx);
        break;
    case EntryBox::Rsts:
        keyRsts(key, fx);
        break;
    case EntryBox::Cntry:
        keyCntry(key, fx);
        break;
    case EntryBox::Pref:
        keyPref(key, fx);
        break;
    case EntryBox::Points:
        keyPoints(key, fx);
        break;
    }
    return fx;
}

bool EntryRow::callCarriesDigit(int key) const {
    const EntryBoxState& s = box(EntryBox::Call);
    const std::string& t = s.text;
    if (!isDigit(key) || s.selLength != 0 || s.selStart != static_cast<int>(t.size()) ||
        t.size() <= 2 || t.find('/') != std::string::npos) {
        return false;
    }
    const auto lastDigit = t.find_last_of("0123456789");
    if (lastDigit == std::string::npos || lastDigit < 1) {
        return false; // no digit from the second place on
    }
    return lastDigit != t.size() - 1;
}

void EntryRow::loggedOnMessage(EntryEffects& fx) const {
    if (!m_loggedOn) {
        fx.message(kTimeOnReminder, MessageColour::Unchanged);
        fx.add(EntryEffectKind::Beep);
    } else if (text(EntryBox::Call).size() < 3) {
        fx.message(" ", MessageColour::Unchanged);
    }
}

void EntryRow::partialDupes(int key, EntryEffects& fx) const {
    fx.add(EntryEffect{EntryEffectKind::PartialDupes, EntryBox::Call, key, text(EntryBox::Call),
                       MessageColour::Unchanged});
}

void EntryRow::keyCall(int key, EntryEffects& fx) {
    if (text(EntryBox::Call).size() < 2) {
        empty(EntryBox::Cntry, fx);
        empty(EntryBox::Points, fx);
        fx.add(EntryEffectKind::ClearCountryLabels);
    }
    if (key == '"') {
        loggedOnMessage(fx);
        return;
    }
    if (callCarriesDigit(key)) {
        // The call is complete (its district digit is followed by letters), so
        // a digit starts the received report.
        m_pendingKey = key;
        m_pendingTarget = kTargetReport;
        moveFocus(EntryBox::Rstr, fx);
        keyRstr(key, fx);
        loggedOnMessage(fx);
        return;
    }
    loggedOnMessage(fx);
    if (key == kEnter) {
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (key == kSpace) {
        moveFocus(EntryBox::Rstr, fx);
        return;
    }
    key = capitalKey(key);
    const EntryBoxState& s = box(EntryBox::Call);
    if (key == kBackspace) {
        partialDupes(key, fx);
        backspace(EntryBox::Call, fx);
        return;
    }
    if (static_cast<int>(s.text.size()) - s.selLength >= entryBoxMaxLength(EntryBox::Call)) {
        return; // the box is full: the key is dropped
    }
    partialDupes(key, fx);
    insertChar(EntryBox::Call, static_cast<char>(key), fx);
}

void EntryRow::keyRstr(int key, EntryEffects& fx) {
    if (key == kEnter) {
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (m_pendingTarget == kTargetReport) {
        const int carried = m_pendingKey;
        clearPending();
        replaceWhole(EntryBox::Rstr, std::string(1, static_cast<char>(carried)), false, fx);
        return;
    }
    const EntryBoxState& s = box(EntryBox::Rstr);
    const std::size_t full = m_phone ? 2 : 3;
    if (s.text.size() == full && s.selLength == 0 && key != kBackspace) {
        // The report is complete: the key goes on to the serial box.
        m_pendingKey = key;
        m_pendingTarget = kTargetSerial;
        keySec(key, fx);
        moveFocus(EntryBox::Sec, fx);
        return;
    }
    if (key == kSpace) {
        moveFocus(EntryBox::Sec, fx);
        return;
    }
    key = numberKey(key);
    if (key == kBackspace) {
        backspace(EntryBox::Rstr, fx);
    } else if (key != 0) {
        insertChar(EntryBox::Rstr, static_cast<char>(key), fx);
    }
}

void EntryRow::keySec(int key, EntryEffects& fx) {
    if (key == kEnter) {
        clearPending();
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (m_pendingTarget == kTargetSerial) {
        const int carried = m_pendingKey;
        clearPending();
        if (carried != kSpace && isDigit(numberKey(carried))) {
            replaceWhole(EntryBox::Sec, std::string(1, static_cast<char>(carried)), false, fx);
        }
        return;
    }
    if (key == kSpace) {
        moveFocus(EntryBox::Rsts, fx);
        return;
    }
    key = numberKey(key);
    if (key == kBackspace) {
        backspace(EntryBox::Sec, fx);
    } else if (key != 0) {
        insertChar(EntryBox::Sec, static_cast<char>(key), fx);
    }
}

void EntryRow::keyRsts(int key, EntryEffects& fx) {
    if (key == kEnter) {
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (key > '9') {
        // A letter after the report starts the country.
        m_pendingKey = capitalKey(key);
        m_pendingTarget = kTargetCountry;
        keyCntry(m_pendingKey, fx);
        moveFocus(EntryBox::Cntry, fx);
        return;
    }
    if (key == kSpace) {
        moveFocus(EntryBox::Cntry, fx);
        return;
    }
    key = numberKey(key);
    if (key == kBackspace) {
        backspace(EntryBox::Rsts, fx);
    } else if (key != 0) {
        insertChar(EntryBox::Rsts, static_cast<char>(key), fx);
    }
}

void EntryRow::keyCntry(int key, EntryEffects& fx) {
    if (m_pendingTarget == kTargetCountry) {
        const int carried = m_pendingKey;
        clearPending();
        replaceWhole(EntryBox::Cntry, std::string(1, static_cast<char>(carried)), false, fx);
        return;
    }
    if (key == '"') {
        return;
    }
    if (key == kEnter) {
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (key == kSpace && box(EntryBox::Cntry).selStart == 0) {
        moveFocus(EntryBox::Pref, fx);
        return;
    }
    if (key == kBackspace) {
        backspace(EntryBox::Cntry, fx);
        return;
    }
    fx.add(EntryEffectKind::CompleteCountry, EntryBox::Cntry, key);
}

void EntryRow::keyPref(int key, EntryEffects& fx) {
    if (key == kEnter) {
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (key == kSpace) {
        moveFocus(EntryBox::Points, fx);
        return;
    }
    if (key == kBackspace) {
        backspace(EntryBox::Pref, fx);
        return;
    }
    insertChar(EntryBox::Pref, static_cast<char>(capitalKey(key)), fx);
}

void EntryRow::keyPoints(int key, EntryEffects& fx) {
    if (key == kEnter) {
        fx.add(EntryEffectKind::LogContact);
        return;
    }
    if (key == kSpace) {
        leaveRow(fx);
        return;
    }
    key = numberKey(key);
    if (key == kBackspace) {
        backspace(EntryBox::Points, fx);
    } else if (key != 0) {
        insertChar(EntryBox::Points, static_cast<char>(std::min(key, int{'6'})), fx);
    }
}

} // namespace wexon::core
