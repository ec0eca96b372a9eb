#include "core/prefix_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/text_util.h"

namespace wexon::core {
namespace {

std::vector<QsoRecord> recordsWithPrefixes(const std::vector<std::string>& prefixes) {
    std::vector<QsoRecord> records;
    for (const auto& p : prefixes) {
        QsoRecord r;
        r.call = p + "ABC";
        r.prefix = p;
        records.push_back(r);
    }
    return records;
}

// The list as the log window used to build it: a linear search for each
// record's prefix, appending the ones not yet there, then a bubble sort on the
// upper-cased texts, passes repeated until one makes no swap.
std::vector<std::string> quadraticLoad(const std::vector<QsoRecord>& records) {
    std::vector<std::string> list;
    for (const auto& r : records) {
        bool found = false;
        for (const auto& e : list) {
            if (toUpper(e) == toUpper(r.prefix)) {
                found = true;
                break;
            }
        }
        if (!found) {
            list.push_back(r.prefix);
        }
    }
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (std::size_t i = 0; i + 1 < list.size(); ++i) {
            if (toUpper(list[i]) > toUpper(list[i + 1])) {
                std::swap(list[i], list[i + 1]);
                swapped = true;
            }
        }
    }
    return list;
}

std::string displayOf(const std::vector<std::string>& list) {
    std::string text;
    for (const auto& e : list) {
        text += e + " ";
    }
    return text;
}

std::string randomPrefix(std::mt19937& rng) {
    // A small alphabet with both cases and a Latin-1 letter, so that spellings
    // collide and the byte order beyond ASCII is exercised.
    static const std::string alphabet = "AaBbKk0123/\xC4\xE4";
    std::uniform_int_distribution<std::size_t> len(1, 4);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string p;
    for (std::size_t n = len(rng); n > 0; --n) {
        p += alphabet[pick(rng)];
    }
    return p;
}

TEST(PrefixList, KeepsTheFirstSpellingSortedWithoutDuplicates) {
    PrefixList list;
    list.load(recordsWithPrefixes({"dl0", "W1", "DL0", "K1", "w1", "3D2"}));
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"3D2", "dl0", "K1", "W1"}));
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.displayText(), "3D2 dl0 K1 W1 ");
    EXPECT_EQ(list.workedCaption(), "Prefixes Worked - 4");
}

TEST(PrefixList, EmptyLogAndFirstContact) {
    PrefixList list;
    list.load({});
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.displayText(), "");
    EXPECT_EQ(list.workedCaption(), "Prefixes Worked - 0");
    EXPECT_TRUE(isNewPrefix(list, "W1"));
    EXPECT_TRUE(list.addCheck("W1"));
    EXPECT_EQ(list.count(), 1);
    EXPECT_FALSE(isNewPrefix(list, "W1"));
}

TEST(PrefixList, NewFlagIgnoresCaseAndNeverShowsForAnEmptyBox) {
    PrefixList list;
    list.load(recordsWithPrefixes({"W1", "DL0"}));
    EXPECT_FALSE(isNewPrefix(list, ""));
    EXPECT_FALSE(isNewPrefix(list, "w1"));
    EXPECT_FALSE(isNewPrefix(list, "Dl0"));
    EXPECT_TRUE(isNewPrefix(list, "W2"));
    EXPECT_TRUE(isNewPrefix(list, "W"));
    EXPECT_TRUE(isNewPrefix(list, "W10"));
}

TEST(PrefixList, AddCheckInsertsInOrderAndRefusesKnownOrEmptyPrefixes) {
    PrefixList list;
    list.load(recordsWithPrefixes({"K1", "W1"}));
    EXPECT_TRUE(list.addCheck("DL0")); // in front
    EXPECT_TRUE(list.addCheck("N6"));  // between
    EXPECT_TRUE(list.addCheck("ZS6")); // at the end
    EXPECT_FALSE(list.addCheck("n6")); // known, other spelling
    EXPECT_FALSE(list.addCheck(""));
    EXPECT_EQ(list.displayText(), "DL0 K1 N6 W1 ZS6 ");
    EXPECT_EQ(list.count(), 5);
}

TEST(PrefixList, RecordsWithoutAPrefixAddNoMultiplier) {
    PrefixList list;
    list.load(recordsWithPrefixes({"", "W1", ""}));
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"W1"}));
}

TEST(PrefixList, HoldsMoreThanTenThousandPrefixes) {
    std::vector<std::string> prefixes;
    for (int i = 0; i < 12000; ++i) {
        prefixes.push_back("P" + std::to_string(i));
    }
    PrefixList list;
    list.load(recordsWithPrefixes(prefixes));
    EXPECT_EQ(list.count(), 12000);
    EXPECT_TRUE(list.addCheck("Q1"));
    EXPECT_EQ(list.count(), 12001);
    for (const auto& p : prefixes) {
        ASSERT_TRUE(list.contains(p)) << p;
    }
    EXPECT_EQ(list.workedCaption(), "Prefixes Worked - 12001");
}

TEST(PrefixList, FastLoadEqualsTheQuadraticMethodOnRandomLogs) {
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        std::uniform_int_distribution<int> size(0, 200);
        std::vector<std::string> prefixes;
        for (int n = size(rng); n > 0; --n) {
            prefixes.push_back(randomPrefix(rng));
        }
        auto records = recordsWithPrefixes(prefixes);
        auto expected = quadraticLoad(records);
        PrefixList list;
        list.load(records);
        ASSERT_EQ(list.entries(), expected) << "round " << round;
        ASSERT_EQ(list.displayText(), displayOf(expected));
    }
}

TEST(PrefixList, AddingContactsOneByOneEqualsARebuild) {
    std::mt19937 rng(11);
    std::vector<std::string> prefixes;
    PrefixList list;
    list.load({});
    for (int n = 0; n < 400; ++n) {
        std::string p = randomPrefix(rng);
        prefixes.push_back(p);
        // The window adds a prefix only while the "New" flag shows.
        if (isNewPrefix(list, p)) {
            ASSERT_TRUE(list.addCheck(p));
        }
    }
    PrefixList rebuilt;
    rebuilt.load(recordsWithPrefixes(prefixes));
    EXPECT_EQ(list.entries(), rebuilt.entries());
}

} // namespace
} // namespace wexon::core
