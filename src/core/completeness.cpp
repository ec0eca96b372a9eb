#include "core/completeness.h"

#include "core/text_util.h"

namespace wexon::core {

EntryTexts EntryTexts::from(const EntryRow& row) {
    return EntryTexts{row.text(EntryBox::Call),  row.text(EntryBox::Rstr),
                      row.text(EntryBox::Sec),   row.text(EntryBox::Rsts),
                      row.text(EntryBox::Cntry), row.text(EntryBox::Pref),
                      row.text(EntryBox::Points)};
}

CompletenessResult checkCompleteness(const EntryTexts& t) {
    struct Test {
        bool failed;
        const char* message;
        EntryBox box;
    };
    const Test tests[] = {
        {trim(t.points).empty(), "Need Points!", EntryBox::Points},
        {trim(t.prefix).empty(), "Need Prefix!", EntryBox::Pref},
        {trim(t.country).empty(), "Need Country!", EntryBox::Cntry},
        {trim(t.rstSent).empty(), "Need Report Sent!", EntryBox::Rsts},
        {trim(t.serialReceived).empty(), "Need Serial!", EntryBox::Sec},
        {trim(t.rstReceived).empty(), "Report Received!", EntryBox::Rstr},
        {trim(t.call).size() < 3, "Need Call Sign!", EntryBox::Call},
    };
    CompletenessResult result;
    for (const Test& test : tests) {
        if (test.failed) {
            result.incomplete = true;
            result.beep = true;
            result.message = test.message;
            result.focus = test.box;
        }
    }
    return result;
}

} // namespace wexon::core
