#include <gtest/gtest.h>

#include "core/contact_builder.h"
#include "core/log_file.h"

using namespace wexon::core;

namespace {
EntryTexts boxes() {
    return EntryTexts{"W1AW", "599", "12", "579", "USA   ", "W1", "2"};
}
ContactContext context() {
    ContactContext c;
    c.band = "20";
    c.serialSent = "007";
    c.lastFrequency = "14.025";
    return c;
}
} // namespace

TEST(ContactBuilder, TakesEveryFieldFromTheBoxesAndTheWindow) {
    QsoRecord r = buildContact(boxes(), context(), DateTime{2026, 5, 31, 2, 30, 15});
    EXPECT_EQ(r.call, "W1AW");
    EXPECT_EQ(r.rstReceived, "599");
    EXPECT_EQ(r.serialReceived, "12");
    EXPECT_EQ(r.rstSent, "579");
    EXPECT_EQ(r.country, "USA");
    EXPECT_EQ(r.qsoDate, "2026/05/31");
    EXPECT_EQ(r.qsoTime, "02:30:15");
    EXPECT_EQ(r.band, "20");
    EXPECT_EQ(r.points, 2.0f);
    EXPECT_EQ(r.prefix, "W1");
    EXPECT_EQ(r.serialSent, "007");
    EXPECT_EQ(r.frequency, "14.025");
    EXPECT_EQ(formatQsoLine(r), "\"W1AW\",\"599\",\"12\",\"579\",\"USA\",\"2026/05/31\","
                                "\"02:30:15\",\"20\",2,\"W1\",\"007\",\"14.025\"\r\n");
}

TEST(ContactBuilder, StampsTheUtcClockAsItStands) {
    // The EU summer-time change falls on the WPX SSB weekend at 01:00 UTC: a
    // contact a minute later is 01:01 UTC, whatever the local clock did.
    QsoRecord r = buildContact(boxes(), context(), DateTime{2026, 3, 29, 1, 1, 0});
    EXPECT_EQ(r.qsoDate, "2026/03/29");
    EXPECT_EQ(r.qsoTime, "01:01:00");
}

TEST(ContactBuilder, CallAndPrefixAreHeldInCapitals) {
    EntryTexts t = boxes();
    t.call = "dl1abc";
    t.prefix = "dl1";
    QsoRecord r = buildContact(t, context(), DateTime{2026, 5, 30, 12, 0, 0});
    EXPECT_EQ(r.call, "DL1ABC");
    EXPECT_EQ(r.prefix, "DL1");
}

TEST(ContactBuilder, PostContestStampsReplaceTheClock) {
    ContactContext c = context();
    c.postContestDate = "2006/05/27";
    c.postContestTime = "09:30";
    QsoRecord r = buildContact(boxes(), c, DateTime{2026, 5, 31, 2, 30, 15});
    EXPECT_EQ(r.qsoDate, "2006/05/27");
    EXPECT_EQ(r.qsoTime, "09:30");
}

TEST(ContactBuilder, PointsThatAreNotANumberCountZero) {
    struct Case {
        const char* box;
        const char* shown;
        float points;
    } cases[] = {{"", "0", 0.0f},    {"x", "0", 0.0f},     {"6", "6", 6.0f},   {" 3", " 3", 3.0f},
                 {"-4", "-4", 0.0f}, {"1e9", "1e9", 0.0f}, {"12", "12", 12.0f}};
    for (const auto& c : cases) {
        EXPECT_EQ(pointsOrZero(c.box), c.shown) << c.box;
        EntryTexts t = boxes();
        t.points = c.box;
        EXPECT_EQ(buildContact(t, context(), DateTime{}).points, c.points) << c.box;
    }
}

TEST(ContactBuilder, PastedTextNeverBreaksTheLogLine) {
    EntryTexts t = boxes();
    t.call = "W1\"AW\r\n";
    t.country = "Korea, \"South\"\x01\t ";
    t.prefix = "W\x85"
               "1\x7f";
    ContactContext c = context();
    c.lastFrequency = "14.0\n25";
    c.band = "2\"0";
    QsoRecord r = buildContact(t, c, DateTime{2026, 5, 30, 12, 0, 0});
    EXPECT_EQ(r.call, "W1AW");
    EXPECT_EQ(r.country, "Korea, South");
    EXPECT_EQ(r.prefix, "W1");
    EXPECT_EQ(r.frequency, "14.025");
    EXPECT_EQ(r.band, "20");

    // The line reads back as the same record, on one line.
    const std::string line = formatQsoLine(r);
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    LogReadResult back = parseLog(line);
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.records[0], r);
    EXPECT_FALSE(back.lastRecordShort);
}

TEST(ContactBuilder, LogSafeTextKeepsLatin1Letters) {
    EXPECT_EQ(logSafeText("Espa\xf1"
                          "a, \xc5land"),
              "Espa\xf1"
              "a, \xc5land");
    EXPECT_EQ(logSafeText(std::string("A\0B", 3)), "AB");
}

TEST(ContactBuilder, TypedRowBecomesTheExactLogLine) {
    // The row as an operator fills it in a CW contest; the window's rules
    // (prefix, country, points) are stood in for by fixed answers.
    EntryRow row;
    row.setContestMode("CW");
    row.setLoggedOn(true);
    for (char c : std::string("w1aw59912")) {
        EntryEffects fx = row.pressKey(c);
        if (fx.hasTextChanged(EntryBox::Call)) {
            row.setText(EntryBox::Pref, "W1");
            row.setBox(EntryBox::Cntry, "USA", 3, 0, 3);
            row.setTextSelected(EntryBox::Points, "2");
        }
    }
    EntryEffects fx = row.pressKey(entry_key::kEnter);
    ASSERT_TRUE(fx.has(EntryEffectKind::LogContact));
    const EntryTexts texts = EntryTexts::from(row);
    ASSERT_FALSE(checkCompleteness(texts).incomplete);
    ContactContext c = context();
    c.lastFrequency = "";
    QsoRecord r = buildContact(texts, c, DateTime{2026, 5, 30, 12, 0, 0});
    EXPECT_EQ(formatQsoLine(r), "\"W1AW\",\"599\",\"12\",\"599\",\"USA\",\"2026/05/30\","
                                "\"12:00:00\",\"20\",2,\"W1\",\"007\",\"\"\r\n");
    row.clearAfterContact();
    EXPECT_EQ(row.focus(), EntryBox::Call);
    EXPECT_TRUE(EntryTexts::from(row).call.empty());
}
