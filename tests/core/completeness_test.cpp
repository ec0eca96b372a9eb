#include <gtest/gtest.h>

#include "core/completeness.h"

using namespace wexon::core;

namespace {
EntryTexts complete() {
    return EntryTexts{"W1AW", "599", "12", "599", "USA", "W1", "1"};
}
} // namespace

TEST(Completeness, CompleteEntryPasses) {
    CompletenessResult r = checkCompleteness(complete());
    EXPECT_FALSE(r.incomplete);
    EXPECT_FALSE(r.beep);
    EXPECT_EQ(r.message, "");
}

TEST(Completeness, EachMissingBoxHasItsMessageAndFocus) {
    struct Case {
        std::string EntryTexts::*field;
        const char* value;
        const char* message;
        EntryBox focus;
    } cases[] = {
        {&EntryTexts::points, "", "Need Points!", EntryBox::Points},
        {&EntryTexts::prefix, "", "Need Prefix!", EntryBox::Pref},
        {&EntryTexts::country, "", "Need Country!", EntryBox::Cntry},
        {&EntryTexts::rstSent, "", "Need Report Sent!", EntryBox::Rsts},
        {&EntryTexts::serialReceived, "", "Need Serial!", EntryBox::Sec},
        {&EntryTexts::rstReceived, "", "Report Received!", EntryBox::Rstr},
        {&EntryTexts::call, "W1", "Need Call Sign!", EntryBox::Call},
        {&EntryTexts::country, "   ", "Need Country!", EntryBox::Cntry},
    };
    for (const auto& c : cases) {
        EntryTexts t = complete();
        t.*(c.field) = c.value;
        CompletenessResult r = checkCompleteness(t);
        EXPECT_TRUE(r.incomplete) << c.message;
        EXPECT_TRUE(r.beep);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.focus, c.focus) << c.message;
    }
}

TEST(Completeness, TheLastFailingTestWins) {
    EntryTexts t = complete();
    t.points = "";
    EXPECT_EQ(checkCompleteness(t).message, "Need Points!");
    t.country = "";
    EXPECT_EQ(checkCompleteness(t).message, "Need Country!");
    t.serialReceived = "";
    EXPECT_EQ(checkCompleteness(t).focus, EntryBox::Sec);
    t.call = "";
    CompletenessResult r = checkCompleteness(t);
    EXPECT_EQ(r.message, "Need Call Sign!");
    EXPECT_EQ(r.focus, EntryBox::Call);
    // A fresh, empty row.
    EXPECT_EQ(checkCompleteness(EntryTexts{}).message, "Need Call Sign!");
}

TEST(Completeness, ReadsTheEntryRow) {
    EntryRow row;
    row.setText(EntryBox::Call, "W1AW");
    row.setText(EntryBox::Rstr, "599");
    row.setText(EntryBox::Sec, "1");
    row.setText(EntryBox::Rsts, "599");
    row.setText(EntryBox::Cntry, "USA");
    row.setText(EntryBox::Pref, "W1");
    EXPECT_EQ(checkCompleteness(EntryTexts::from(row)).message, "Need Points!");
    row.setText(EntryBox::Points, "2");
    EXPECT_FALSE(checkCompleteness(EntryTexts::from(row)).incomplete);
}
