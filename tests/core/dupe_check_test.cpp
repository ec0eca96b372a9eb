#include "core/dupe_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wexon::core {
namespace {

QsoRecord contact(const std::string& call, const std::string& band, const std::string& time) {
    QsoRecord r;
    r.call = call;
    r.band = band;
    r.qsoDate = "2006/05/27";
    r.qsoTime = time;
    r.rstReceived = "599";
    r.serialReceived = "12";
    r.rstSent = "599";
    r.serialSent = "001";
    r.country = "United States";
    r.prefix = "W1";
    r.points = 3;
    return r;
}

class DupeCheckTest : public ::testing::Test {
  protected:
    void log(const QsoRecord& r) {
        records.push_back(r);
        index.add(r);
    }
    DupeCheck check(const std::string& call, const std::string& band, bool list = false) {
        return dupcheck(index, records, call, band, list);
    }
    std::vector<QsoRecord> records;
    DupeIndex index;
};

TEST_F(DupeCheckTest, SameCallOnTheSameBandIsRefusedWithTheRedMessage) {
    log(contact("W1AW", "20", "12:01:02"));
    DupeCheck dupe = check("W1AW", "20");
    EXPECT_TRUE(dupe.found());
    EXPECT_EQ(dupe.duplicate, 1);
    EXPECT_EQ(dupe.message, "Duplicate W1AW 2006/05/27 12:01:02 ON 20  Rec#  1");
    EXPECT_FALSE(check("W1AW", "40").found());
    EXPECT_TRUE(check("w1aw", "20").found());
}

TEST_F(DupeCheckTest, TheWholeCallMustMatch) {
    log(contact("W1AW", "20", "12:01:02"));
    EXPECT_FALSE(check("W1AW/P", "20").found());
    EXPECT_FALSE(check("W1A", "20").found());
    EXPECT_FALSE(check("", "20").found());
}

TEST_F(DupeCheckTest, MessageNamesTheFirstDuplicateInRecordOrder) {
    for (int i = 0; i < 16; ++i) {
        log(contact("K" + std::to_string(i) + "AA", "20", "12:00:00"));
    }
    log(contact("W1AW", "20", "13:14:15"));
    log(contact("W1AW", "20", "14:00:00")); // a second one, entered by an edit
    DupeCheck dupe = check("W1AW", "20");
    EXPECT_EQ(dupe.duplicate, 17);
    EXPECT_EQ(dupe.message, "Duplicate W1AW 2006/05/27 13:14:15 ON 20  Rec#  17");
}

TEST_F(DupeCheckTest, EmptyCallIsNeverADuplicate) {
    log(contact("", "20", "12:00:00")); // a damaged record without a call
    EXPECT_FALSE(check("", "20").found());
}

TEST_F(DupeCheckTest, PreviousContactsListEveryBandInRecordOrder) {
    log(contact("W1AW", "40", "10:00:00"));
    log(contact("K1ABC", "20", "10:05:00"));
    log(contact("W1AW", "20", "10:10:00"));
    log(contact("w1aw", "15", "10:20:00"));
    DupeCheck dupe = check("W1AW", "20", true);
    EXPECT_EQ(dupe.duplicate, 3);
    ASSERT_EQ(dupe.previous.size(), 3u);
    EXPECT_EQ(dupe.previous[0], (LogListRow{"1", "W1AW", "599", "12", "599", "001", "05/27 10:00",
                                            "40", "United States", "W1", "3"}));
    EXPECT_EQ(dupe.previous[1][0], "3");
    EXPECT_EQ(dupe.previous[2][0], "4");
    EXPECT_EQ(dupe.previous[2][1], "w1aw");

    DupeCheck none = check("W1AW", "10", true);
    EXPECT_FALSE(none.found());
    EXPECT_EQ(none.previous.size(), 3u);
    EXPECT_TRUE(check("W1AW", "10", false).previous.empty());
}

TEST_F(DupeCheckTest, IndexLongerThanTheStoreIsPassedOver) {
    log(contact("W1AW", "20", "10:00:00"));
    log(contact("W1AW", "40", "10:00:00"));
    records.pop_back(); // deleted, index not yet rebuilt
    DupeCheck dupe = check("W1AW", "40", true);
    EXPECT_FALSE(dupe.found());
    EXPECT_EQ(dupe.previous.size(), 1u);
}

class PartialDupesTest : public DupeCheckTest {
  protected:
    PartialDupes type(const std::string& box, int key, bool listOn = true, bool loggedOn = true) {
        return showPartialDupes(index, {box, key, "20", listOn, loggedOn});
    }
};

TEST_F(PartialDupesTest, ListsCallsBeginningWithTheTextAfterTheKey) {
    log(contact("W1AW", "20", "10:00:00"));
    log(contact("W1ABC", "40", "10:00:00"));
    log(contact("W1AX", "20", "10:00:00"));
    EXPECT_EQ(type("W1", 'A').list, " W1AW W1AX");
    EXPECT_EQ(type("W1A", 'W').list, " W1AW");
    EXPECT_EQ(type("K", '1').list, "");
}

TEST_F(PartialDupesTest, OnlyKeysFromFullStopToZProduceAList) {
    log(contact("W1AW", "20", "10:00:00"));
    log(contact("W1.B", "20", "10:00:00"));
    log(contact("W1AZ", "20", "10:00:00"));
    log(contact("W1A[", "20", "10:00:00"));
    log(contact("W1A ", "20", "10:00:00"));
    EXPECT_EQ(type("W1", '.').list, " W1.B");
    EXPECT_EQ(type("W1A", 'Z').list, " W1AZ");
    EXPECT_EQ(type("W1A", '[').list, "");
    EXPECT_EQ(type("W1A", ' ').list, "");
    EXPECT_EQ(type("W1A", 8).list, "");
    EXPECT_EQ(type("W1A", 'W', false).list, ""); // switch off
}

TEST_F(PartialDupesTest, PossibleDuplicateOnceTheBoxHeldThreeCharacters) {
    log(contact("W1AW", "20", "10:00:00"));
    PartialDupes four = type("W1A", 'W');
    EXPECT_EQ(four.dialog, std::optional<std::string>(kPossibleDuplicate));
    EXPECT_FALSE(four.beep);
    // Not yet with the third character.
    EXPECT_EQ(type("W1", 'A').dialog, std::optional<std::string>(" "));
    // Nothing listed: the message line is blanked while logged on, else left.
    EXPECT_EQ(type("K1A", 'B').dialog, std::optional<std::string>(" "));
    EXPECT_EQ(type("K1A", 'B', true, false).dialog, std::nullopt);
    EXPECT_EQ(type("W1A", 'W', false).dialog, std::optional<std::string>(" "));
}

TEST_F(PartialDupesTest, ThirdCharacterWarning) {
    struct Case {
        const char* box;
        int key;
        bool warns;
    } cases[] = {
        {"KA", 'A', true},   {"K1", 'A', false}, {"KA", '1', false}, {"K/", 'A', false},
        {"KA", '/', false},  {"KA", '.', true},  {"KA", 8, false},   {"KA", ' ', false},
        {"KAA", 'A', false}, // only the key that makes three characters
    };
    for (const auto& c : cases) {
        PartialDupes out = type(c.box, c.key);
        EXPECT_EQ(out.beep, c.warns) << c.box << char(c.key);
        if (c.warns) {
            EXPECT_EQ(out.dialog, std::optional<std::string>(kNotNumericWarning));
        } else {
            EXPECT_NE(out.dialog, std::optional<std::string>(kNotNumericWarning));
        }
    }
    // The warning comes even before "Time On" and with the list switched off.
    EXPECT_TRUE(type("KA", 'A', false, false).beep);
}

} // namespace
} // namespace wexon::core
