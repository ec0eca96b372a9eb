#include <gtest/gtest.h>

#include <string>

#include "core/entry_row.h"

using namespace wexon::core;
namespace key = wexon::core::entry_key;

namespace {

EntryRow makeRow(const char* mode, bool loggedOn = true) {
    EntryRow row;
    row.setContestMode(mode);
    row.setLoggedOn(loggedOn);
    return row;
}

EntryEffects typeText(EntryRow& row, const std::string& keys) {
    EntryEffects all;
    for (char c : keys) {
        all.append(row.pressKey(static_cast<unsigned char>(c)));
    }
    return all;
}

} // namespace

// ------------------------------------------------------------ carry-over

TEST(EntryCarryOver, DigitsFlowFromCallIntoReportAndSerialInCw) {
    EntryRow row = makeRow("CW");
    typeText(row, "W1AW59912");
    EXPECT_EQ(row.text(EntryBox::Call), "W1AW");
    EXPECT_EQ(row.text(EntryBox::Rstr), "599");
    EXPECT_EQ(row.text(EntryBox::Sec), "12");
    EXPECT_EQ(row.text(EntryBox::Rsts), "599"); // filled when the call box was left
    EXPECT_EQ(row.focus(), EntryBox::Sec);
    EXPECT_EQ(row.pendingTarget(), 0);
    EXPECT_EQ(row.box(EntryBox::Sec).cursor, 2);
}

TEST(EntryCarryOver, PhoneReportIsCompleteAtTwoCharacters) {
    EntryRow row = makeRow("PH");
    typeText(row, "W1AW5912");
    EXPECT_EQ(row.text(EntryBox::Rstr), "59");
    EXPECT_EQ(row.text(EntryBox::Sec), "12");
    EXPECT_EQ(row.text(EntryBox::Rsts), "59");
}

TEST(EntryCarryOver, RttyBehavesLikeCw) {
    EntryRow row = makeRow("RY");
    typeText(row, "DL1ABC5997");
    EXPECT_EQ(row.text(EntryBox::Rstr), "599");
    EXPECT_EQ(row.text(EntryBox::Sec), "7");
}

TEST(EntryCarryOver, LeavingTheCallRunsTheDupeCheckBeforeTheDigitLands) {
    EntryRow row = makeRow("CW");
    typeText(row, "W1AW");
    EntryEffects fx = row.pressKey('5');
    ASSERT_TRUE(fx.has(EntryEffectKind::DupCheck));
    const auto& list = fx.list();
    auto dup = std::find_if(list.begin(), list.end(), [](const EntryEffect& e) {
        return e.kind == EntryEffectKind::DupCheck;
    });
    auto moved = std::find_if(list.begin(), list.end(), [](const EntryEffect& e) {
        return e.kind == EntryEffectKind::FocusMoved && e.box == EntryBox::Rstr;
    });
    EXPECT_LT(dup - list.begin(), moved - list.begin());
    EXPECT_EQ(row.text(EntryBox::Rstr), "5");
    EXPECT_FALSE(fx.has(EntryEffectKind::PartialDupes)); // the digit never reached the call
}

TEST(EntryCarryOver, OnlyADigitAfterACompleteCallMovesOn) {
    struct Case {
        const char* call;
        bool carried;
    } cases[] = {
        {"W1", false},    // two characters only
        {"W1AW/", false}, // a slash keeps digits in the call (W1AW/4)
        {"RAEM", false},  // no digit from the second place on
        {"WA2", false},   // its last digit is its last character
        {"K1AW2", false}, // ... also further on
        {"4X1AA", true},  // the first place does not count, the third does
        {"K1A", true},    // so K1A2B cannot be typed at the end of the box
        {"DL1ABC", true},
    };
    for (const auto& c : cases) {
        EntryRow row = makeRow("CW");
        row.setText(EntryBox::Call, c.call);
        row.pressKey('2');
        if (c.carried) {
            EXPECT_EQ(row.text(EntryBox::Call), c.call);
            EXPECT_EQ(row.text(EntryBox::Rstr), "2") << c.call;
            EXPECT_EQ(row.focus(), EntryBox::Rstr) << c.call;
        } else {
            EXPECT_EQ(row.text(EntryBox::Call), std::string(c.call) + "2");
            EXPECT_EQ(row.focus(), EntryBox::Call) << c.call;
        }
    }
}

TEST(EntryCarryOver, DigitTypedInsideTheCallIsInserted) {
    EntryRow row = makeRow("CW");
    typeText(row, "WAW");
    row.setBox(EntryBox::Call, "WAW", 1, 1, 0);
    typeText(row, "1");
    EXPECT_EQ(row.text(EntryBox::Call), "W1AW");
    EXPECT_EQ(row.focus(), EntryBox::Call);
}

TEST(EntryCarryOver, LetterAfterReportSentStartsTheCountry) {
    EntryRow row = makeRow("CW");
    row.focusBox(EntryBox::Rsts);
    typeText(row, "599");
    EntryEffects fx = row.pressKey('g');
    EXPECT_EQ(row.text(EntryBox::Rsts), "599");
    EXPECT_EQ(row.text(EntryBox::Cntry), "G");
    EXPECT_EQ(row.box(EntryBox::Cntry).cursor, 1);
    EXPECT_EQ(row.focus(), EntryBox::Cntry);
    EXPECT_TRUE(fx.hasTextChanged(EntryBox::Cntry)); // the points rule runs again
    EXPECT_FALSE(fx.has(EntryEffectKind::CompleteCountry));
    // The next letter goes to completion in the window.
    fx = row.pressKey('e');
    ASSERT_TRUE(fx.has(EntryEffectKind::CompleteCountry));
    EXPECT_EQ(fx.list().back().key, 'e');

    // Any character above the digits starts the country, accented ones too.
    row.focusBox(EntryBox::Rsts);
    row.pressKey(0xc9);
    EXPECT_EQ(row.text(EntryBox::Cntry), "\xc9");
    EXPECT_EQ(row.text(EntryBox::Rsts), "599");
}

TEST(EntryCarryOver, FullReportSendsOtherKeysOnWithoutLosingThem) {
    EntryRow row = makeRow("CW");
    row.focusBox(EntryBox::Rstr);
    typeText(row, "579");
    typeText(row, "x"); // a letter cannot be a serial: dropped, the focus moves on
    EXPECT_EQ(row.text(EntryBox::Sec), "");
    EXPECT_EQ(row.focus(), EntryBox::Sec);
    row.focusBox(EntryBox::Rstr);
    row.setBox(EntryBox::Rstr, "579", 3, 3, 0);
    typeText(row, " ");
    EXPECT_EQ(row.text(EntryBox::Sec), ""); // a carried Space never lands
    EXPECT_EQ(row.focus(), EntryBox::Sec);
}

TEST(EntryCarryOver, SelectedReportIsReplacedNotCarried) {
    EntryRow row = makeRow("CW");
    typeText(row, "W1AW ");
    ASSERT_EQ(row.focus(), EntryBox::Rstr);
    EXPECT_EQ(row.box(EntryBox::Rstr).selLength, 3); // default selected whole
    typeText(row, "57");
    EXPECT_EQ(row.text(EntryBox::Rstr), "57");
    EXPECT_EQ(row.focus(), EntryBox::Rstr);
}

// ------------------------------------------------------------ keys of the boxes

TEST(EntryKeys, CapitalInCallAndPrefixBoxes) {
    EntryRow row = makeRow("CW");
    EntryEffects fx = typeText(row, "dl1a");
    EXPECT_EQ(row.text(EntryBox::Call), "DL1A");
    ASSERT_EQ(fx.count(EntryEffectKind::PartialDupes), 4);
    const EntryEffect& last = fx.list()[fx.size() - 2];
    EXPECT_EQ(last.kind, EntryEffectKind::PartialDupes);
    EXPECT_EQ(last.key, 'A');    // partial dupes see the capital ...
    EXPECT_EQ(last.text, "DL1"); // ... and the call before it
    row.focusBox(EntryBox::Pref);
    row.setText(EntryBox::Pref, "");
    fx = typeText(row, "dl1");
    EXPECT_EQ(row.text(EntryBox::Pref), "DL1");
    EXPECT_TRUE(fx.hasTextChanged(EntryBox::Pref));
}

TEST(EntryKeys, NumberBoxesDropEverythingButDigits) {
    for (EntryBox b : {EntryBox::Rstr, EntryBox::Sec, EntryBox::Rsts, EntryBox::Points}) {
        EntryRow row = makeRow("CW");
        row.focusBox(b);
        EntryEffects fx = typeText(row, "!-.+");
        EXPECT_EQ(row.text(b), "") << entryBoxObjectName(b);
        EXPECT_TRUE(fx.empty()) << entryBoxObjectName(b);
    }
    EntryRow row = makeRow("CW");
    row.focusBox(EntryBox::Sec);
    typeText(row, std::string("1a2b3") + char(200));
    EXPECT_EQ(row.text(EntryBox::Sec), "123");
}

TEST(EntryKeys, PointsAboveSixBecomeSix) {
    struct Case {
        const char* typed;
        const char* points;
    } cases[] = {{"9", "6"}, {"7", "6"},  {"3", "3"}, {"0", "0"},
                 {"a", ""},  {"19", "1"}, {"66", "6"}};
    for (const auto& c : cases) {
        EntryRow row = makeRow("CW");
        row.focusBox(EntryBox::Points);
        typeText(row, c.typed);
        EXPECT_EQ(row.text(EntryBox::Points), c.points) << c.typed;
    }
}

TEST(EntryKeys, APastedTextFollowsTheTypingRulesOfItsBox) {
    struct Case {
        EntryBox box;
        const char* pasted;
        const char* held;
    } cases[] = {
        {EntryBox::Call, "dl1abc", "DL1ABC"}, {EntryBox::Pref, "dl1", "DL1"},
        {EntryBox::Points, "66", "6"},        {EntryBox::Points, "9", "6"},
        {EntryBox::Points, "66666", "6"},     {EntryBox::Points, "x", ""},
        {EntryBox::Points, "3", "3"},         {EntryBox::Cntry, "Germany", "Germany"},
    };
    for (const auto& c : cases) {
        EntryRow row = makeRow("CW");
        row.setText(c.box, c.pasted);
        EXPECT_EQ(row.text(c.box), c.held) << c.pasted;
    }
}

TEST(EntryKeys, TypedDigitReplacesSelectedPoints) {
    EntryRow row = makeRow("CW");
    row.setTextSelected(EntryBox::Points, "3");
    row.focusBox(EntryBox::Points);
    typeText(row, "8");
    EXPECT_EQ(row.text(EntryBox::Points), "6");
}

TEST(EntryKeys, BoxesStopAtTheirLength) {
    EntryRow row = makeRow("CW");
    typeText(row, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(row.text(EntryBox::Call), "ABCDEFGHIJKLMNOPQRST");
    row.focusBox(EntryBox::Sec);
    typeText(row, "123456789");
    EXPECT_EQ(row.text(EntryBox::Sec), "123456");
    row.focusBox(EntryBox::Pref);
    typeText(row, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(row.text(EntryBox::Pref), "ABCDEFGHIJKL");
}

TEST(EntryKeys, QuotesAndControlCharactersNeverEnterABox) {
    EntryRow row = makeRow("CW");
    std::string hostile = "W\"1\x01\x7f\x85\nA\rW";
    typeText(row, hostile);
    EXPECT_EQ(row.text(EntryBox::Call), "W1AW");
    row.focusBox(EntryBox::Pref);
    typeText(row, "\"K\x02");
    EXPECT_EQ(row.text(EntryBox::Pref), "K");
    // The window's own edits are cleaned too.
    row.setBox(EntryBox::Cntry, "Ko\"rea,\r\n Rep\x1b.\xa0", 0, 0, 0);
    EXPECT_EQ(row.text(EntryBox::Cntry), "Korea, Rep.\xa0");
    row.setText(EntryBox::Call, std::string(50, 'K'));
    EXPECT_EQ(row.text(EntryBox::Call).size(), 20u);
    EXPECT_FALSE(entryKeyFromCodePoint(U'\u20ac').has_value());
    EXPECT_EQ(entryKeyFromCodePoint(U'\u00e9'), 0xe9);
}

TEST(EntryKeys, BackspaceEditsEveryBox) {
    EntryRow row = makeRow("CW");
    typeText(row, "W1AX");
    EntryEffects fx = row.pressKey(key::kBackspace);
    EXPECT_EQ(row.text(EntryBox::Call), "W1A");
    EXPECT_TRUE(fx.hasTextChanged(EntryBox::Call));
    row.focusBox(EntryBox::Rstr);
    row.setText(EntryBox::Rstr, "599");
    row.pressKey(key::kBackspace); // a full report does not send Backspace on
    EXPECT_EQ(row.text(EntryBox::Rstr), "59");
    EXPECT_EQ(row.focus(), EntryBox::Rstr);
    row.focusBox(EntryBox::Cntry);
    row.setBox(EntryBox::Cntry, "Japan", 0, 0, 5);
    row.pressKey(key::kBackspace);
    EXPECT_EQ(row.text(EntryBox::Cntry), "");
}

TEST(EntryKeys, ShortCallEmptiesCountryAndPoints) {
    EntryRow row = makeRow("CW");
    row.setText(EntryBox::Cntry, "USA");
    row.setText(EntryBox::Points, "1");
    EntryEffects fx = typeText(row, "W");
    EXPECT_EQ(row.text(EntryBox::Cntry), "");
    EXPECT_EQ(row.text(EntryBox::Points), "");
    EXPECT_TRUE(fx.has(EntryEffectKind::ClearCountryLabels));
    EXPECT_TRUE(fx.hasTextChanged(EntryBox::Cntry));
}

TEST(EntryKeys, CountryBoxHandsPrintableKeysToCompletion) {
    EntryRow row = makeRow("CW");
    row.focusBox(EntryBox::Cntry);
    EntryEffects fx = row.pressKey('j');
    ASSERT_EQ(fx.size(), 1u);
    EXPECT_EQ(fx.list()[0].kind, EntryEffectKind::CompleteCountry);
    EXPECT_EQ(fx.list()[0].key, 'j');
    EXPECT_TRUE(row.pressKey('"').empty());
    // A space inside the name is part of it.
    row.setText(EntryBox::Cntry, "New");
    fx = row.pressKey(' ');
    EXPECT_TRUE(fx.has(EntryEffectKind::CompleteCountry));
    EXPECT_EQ(row.focus(), EntryBox::Cntry);
}

// ------------------------------------------------------------ Space, Enter, Esc

TEST(EntrySpaceOrder, SpaceWalksThroughEveryBox) {
    EntryRow row = makeRow("CW");
    row.setVoiceNavigation(2);
    typeText(row, "W1AW");
    EntryBox expected[] = {EntryBox::Rstr,  EntryBox::Sec,  EntryBox::Rsts,
                           EntryBox::Cntry, EntryBox::Pref, EntryBox::Points};
    const char* prompts[] = {"RstRcvd", "SerNum", "RstSnt", "Country", "Prefix", "Points"};
    for (int i = 0; i < 6; ++i) {
        EntryEffects fx = row.pressKey(' ');
        EXPECT_EQ(row.focus(), expected[i]) << i;
        EXPECT_EQ(fx.prompts(), std::vector<std::string>{prompts[i]}) << i;
    }
    EntryEffects fx = row.pressKey(' ');
    EXPECT_FALSE(row.focus().has_value());
    EXPECT_TRUE(fx.has(EntryEffectKind::FocusNextControl));
    // No box took a blank on the way.
    for (EntryBox b : kEntryBoxes) {
        EXPECT_EQ(row.text(b).find(' '), std::string::npos) << entryBoxObjectName(b);
    }
}

TEST(EntrySpaceOrder, CountrySpaceMovesOnlyAtTheStart) {
    EntryRow row = makeRow("CW");
    row.focusBox(EntryBox::Cntry);
    row.setBox(EntryBox::Cntry, "Japan", 5, 0, 5); // as the lookup leaves it: selected
    row.pressKey(' ');
    EXPECT_EQ(row.focus(), EntryBox::Pref);
    EXPECT_EQ(row.text(EntryBox::Cntry), "Japan");
}

TEST(EntryEnter, EnterLogsFromEveryBoxWithoutTyping) {
    for (EntryBox b : kEntryBoxes) {
        EntryRow row = makeRow("CW");
        row.setText(EntryBox::Call, "W1AW");
        row.setText(EntryBox::Rstr, "599");
        row.setText(EntryBox::Sec, "12");
        row.setText(EntryBox::Rsts, "599");
        row.setText(EntryBox::Cntry, "USA");
        row.setText(EntryBox::Pref, "W1");
        row.setText(EntryBox::Points, "1");
        row.focusBox(b);
        EntryEffects fx = row.pressKey(key::kEnter);
        EXPECT_EQ(fx.count(EntryEffectKind::LogContact), 1) << entryBoxObjectName(b);
        EXPECT_FALSE(fx.has(EntryEffectKind::FocusMoved)) << entryBoxObjectName(b);
        EXPECT_EQ(row.focus(), b);
        EXPECT_EQ(row.text(EntryBox::Sec), "12");
        EXPECT_EQ(row.text(EntryBox::Call), "W1AW");
    }
}

TEST(EntryEscape, EscClearsTheRowAndReturnsToTheCall) {
    EntryRow row = makeRow("CW");
    row.setVoiceNavigation(1);
    typeText(row, "W1AW5991");
    row.setText(EntryBox::Cntry, "USA");
    EntryEffects fx = row.pressKey(key::kEscape);
    for (EntryBox b : kEntryBoxes) {
        EXPECT_EQ(row.text(b), "") << entryBoxObjectName(b);
    }
    EXPECT_EQ(row.focus(), EntryBox::Call);
    auto msg = fx.lastMessage();
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, " ");
    EXPECT_EQ(msg->colour, MessageColour::Teal);
    EXPECT_TRUE(fx.has(EntryEffectKind::ClearDupeLabel));
    EXPECT_TRUE(fx.has(EntryEffectKind::ClearCountryLabels));
    EXPECT_EQ(fx.prompts(), std::vector<std::string>{"Call"});
    EXPECT_FALSE(fx.has(EntryEffectKind::DupCheck)); // the call was emptied first
}

// ------------------------------------------------------------ messages

TEST(EntryMessages, NotLoggedOnEveryKeyReminds) {
    EntryRow row = makeRow("CW", false);
    for (char c : std::string("W1AW")) {
        EntryEffects fx = row.pressKey(c);
        auto msg = fx.lastMessage();
        ASSERT_TRUE(msg);
        EXPECT_EQ(msg->text, "Click Log \"Time On\"!");
        EXPECT_EQ(fx.count(EntryEffectKind::Beep), 1);
    }
    row.setLoggedOn(true);
    row.setText(EntryBox::Call, "W");
    EntryEffects fx = row.pressKey('1');
    EXPECT_EQ(fx.lastMessage()->text, " "); // short call: the line is blanked
    EXPECT_FALSE(fx.has(EntryEffectKind::Beep));
    fx = row.pressKey('A');
    EXPECT_EQ(fx.lastMessage()->text, " ");
    fx = row.pressKey('W'); // three characters: the line is left alone
    EXPECT_FALSE(fx.lastMessage().has_value());
}

// ------------------------------------------------------------ focus events

TEST(EntryFocus, LeavingTheCallFillsDefaultReportsSelected) {
    struct Case {
        const char* mode;
        const char* report;
    } cases[] = {{"PH", "59"}, {"CW", "599"}, {"RY", "599"}};
    for (const auto& c : cases) {
        EntryRow row = makeRow(c.mode);
        typeText(row, "W1AW");
        row.setText(EntryBox::Pref, "W1");
        EntryEffects fx = row.focusBox(EntryBox::Sec);
        EXPECT_TRUE(fx.has(EntryEffectKind::DupCheck));
        for (EntryBox b : {EntryBox::Rstr, EntryBox::Rsts}) {
            const EntryBoxState& s = row.box(b);
            EXPECT_EQ(s.text, c.report) << c.mode;
            EXPECT_EQ(s.selStart, 0);
            EXPECT_EQ(s.selLength, static_cast<int>(s.text.size()));
        }
        EXPECT_EQ(row.box(EntryBox::Pref).selLength, 2);
    }
}

TEST(EntryFocus, LeavingAnEmptyCallDoesNothing) {
    EntryRow row = makeRow("CW");
    EntryEffects fx = row.focusBox(EntryBox::Rsts);
    EXPECT_FALSE(fx.has(EntryEffectKind::DupCheck));
    EXPECT_EQ(row.text(EntryBox::Rstr), "");
}

TEST(EntryFocus, ReportsTypedByHandAreKept) {
    EntryRow row = makeRow("CW");
    row.setText(EntryBox::Rstr, "579");
    typeText(row, "W1AW");
    row.focusLeftRow();
    EXPECT_EQ(row.text(EntryBox::Rstr), "579");
    EXPECT_EQ(row.text(EntryBox::Rsts), "599");
}

TEST(EntryFocus, CallGotFocusEmptiesReportsOfAnEmptyCall) {
    EntryRow row = makeRow("CW");
    row.focusBox(EntryBox::Rstr);
    row.setText(EntryBox::Rstr, "599");
    EntryEffects fx = row.focusBox(EntryBox::Call);
    EXPECT_TRUE(fx.has(EntryEffectKind::CallGotFocus));
    EXPECT_EQ(row.text(EntryBox::Rstr), "");
    EXPECT_TRUE(row.focusBox(EntryBox::Call).empty()); // already there: nothing happens
}

TEST(EntryFocus, VoicePromptsFollowTheNavigationLevel) {
    struct Case {
        int level;
        bool call;
        bool other;
    } cases[] = {{0, false, false}, {1, true, false}, {2, true, true}};
    for (const auto& c : cases) {
        EntryRow row = makeRow("CW");
        row.setVoiceNavigation(c.level);
        EXPECT_EQ(!row.focusBox(EntryBox::Cntry).prompts().empty(), c.other) << c.level;
        EXPECT_EQ(!row.focusBox(EntryBox::Call).prompts().empty(), c.call) << c.level;
    }
}

TEST(EntryClearing, AfterAContactOrADupeTheRowIsEmptyWithTheFocusInTheCall) {
    EntryRow row = makeRow("CW");
    typeText(row, "W1AW5991");
    row.setText(EntryBox::Cntry, "USA");
    row.setText(EntryBox::Points, "1");
    EntryEffects fx = row.clearAfterContact();
    for (EntryBox b : kEntryBoxes) {
        EXPECT_EQ(row.text(b), "");
    }
    EXPECT_EQ(row.focus(), EntryBox::Call);
    EXPECT_TRUE(fx.has(EntryEffectKind::CallGotFocus));

    typeText(row, "W1AW");
    row.focusBox(EntryBox::Rstr); // dupcheck ran here and found the call
    fx = row.clearAfterDupe();
    EXPECT_EQ(row.focus(), EntryBox::Call);
    for (EntryBox b : kEntryBoxes) {
        EXPECT_EQ(row.text(b), "");
    }
    EXPECT_FALSE(fx.has(EntryEffectKind::DupCheck));
}

TEST(EntryFocus, KeysWithoutFocusAreIgnored) {
    EntryRow row = makeRow("CW");
    row.focusLeftRow();
    EXPECT_TRUE(row.pressKey('A').empty());
    EXPECT_EQ(row.text(EntryBox::Call), "");
}

TEST(EntryRobustness, RandomKeysKeepEveryBoxClean) {
    // Any sequence of keys and focus changes leaves each box within its length,
    // free of quotes and control characters, with its caret inside the text.
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    for (const char* mode : {"PH", "CW"}) {
        EntryRow row = makeRow(mode, false);
        for (int i = 0; i < 20000; ++i) {
            const unsigned r = next();
            if (r % 40 == 0) {
                row.focusBox(kEntryBoxes[next() % kEntryBoxCount]);
            } else if (r % 97 == 0) {
                row.clearAfterDupe();
            } else {
                row.pressKey(static_cast<int>(next() % 260));
            }
            for (EntryBox b : kEntryBoxes) {
                const EntryBoxState& s = row.box(b);
                ASSERT_LE(static_cast<int>(s.text.size()), entryBoxMaxLength(b));
                ASSERT_EQ(sanitizeEntryText(s.text), s.text);
                ASSERT_GE(s.selStart, 0);
                ASSERT_LE(s.selStart + s.selLength, static_cast<int>(s.text.size()));
                ASSERT_TRUE(s.cursor == s.selStart || s.cursor == s.selStart + s.selLength);
            }
            ASSERT_EQ(row.pendingTarget(), 0);
        }
    }
}
