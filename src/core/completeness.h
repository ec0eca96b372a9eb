#pragma once

#include <string>

#include "core/entry_box.h"
#include "core/entry_row.h"

namespace wexon::core {

// The texts of the seven entry boxes.
struct EntryTexts {
    std::string call;
    std::string rstReceived;
    std::string serialReceived;
    std::string rstSent;
    std::string country;
    std::string prefix;
    std::string points;

    static EntryTexts from(const EntryRow& row);
};

// What the completeness check found. When the entry is incomplete the window
// beeps, shows `message` in the message line and puts the focus in `focus`.
struct CompletenessResult {
    bool incomplete = false;
    std::string message;
    EntryBox focus = EntryBox::Call;
    bool beep = false;
};

// The completeness check run before a contact is logged (frmcmp). Every test
// runs; when several fail, the message and box of the last one win. A box
// holding nothing but blanks counts as empty.
CompletenessResult checkCompleteness(const EntryTexts& texts);

} // namespace wexon::core
