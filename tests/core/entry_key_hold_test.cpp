#include <gtest/gtest.h>

#include "core/entry_key_hold.h"

using namespace wexon::core;
using namespace std::chrono_literals;

namespace {
const EntryKeyHold::TimePoint t0{std::chrono::seconds(1000)};
}

TEST(EntryKeyHold, KeysPassWithoutADuplicate) {
    EntryKeyHold hold;
    EXPECT_FALSE(hold.offer('W', t0));
    EXPECT_FALSE(hold.releaseAt().has_value());
}

TEST(EntryKeyHold, KeysWithinThreeSecondsWaitInOrder) {
    EntryKeyHold hold;
    hold.duplicateFound(t0);
    EXPECT_TRUE(hold.offer('W', t0 + 500ms));
    EXPECT_TRUE(hold.offer('1', t0 + 900ms));
    ASSERT_TRUE(hold.releaseAt().has_value());
    EXPECT_EQ(*hold.releaseAt(), t0 + 3s);
    // A key after the time but before the release still queues behind the others.
    EXPECT_TRUE(hold.offer('A', t0 + 3100ms));
    EXPECT_TRUE(hold.release(t0 + 2999ms).empty()); // too early: nothing moves
    EXPECT_EQ(hold.release(t0 + 3s), (std::deque<int>{'W', '1', 'A'}));
    EXPECT_FALSE(hold.duplicatePending());
    EXPECT_FALSE(hold.offer('W', t0 + 3200ms));
}

TEST(EntryKeyHold, FirstKeyAfterTheHoldPassesAndClearsTheDuplicate) {
    EntryKeyHold hold;
    hold.duplicateFound(t0);
    EXPECT_FALSE(hold.offer('K', t0 + 4s));
    EXPECT_FALSE(hold.duplicatePending());
}

TEST(EntryKeyHold, QueueIsBounded) {
    EntryKeyHold hold;
    hold.duplicateFound(t0);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_TRUE(hold.offer('A', t0));
    }
    EXPECT_EQ(hold.release(t0 + 3s).size(), EntryKeyHold::kMaxQueued);
}
