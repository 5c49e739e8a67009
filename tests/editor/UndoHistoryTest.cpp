// SPDX-License-Identifier: GPL-3.0-or-later
// The undo ring: what it keeps when it overflows, and in which order it
// hands records back.

#include "editor/screens/UndoHistory.h"

#include <gtest/gtest.h>

namespace ovinta {

namespace {

UndoRecord numbered(int n)
{
    UndoRecord r;
    r.x1 = static_cast<int8_t>(n & 127);
    r.y1 = static_cast<int8_t>(n >> 7);
    r.type = kUndoWallAdded;
    return r;
}

int number(const UndoRecord& r)
{
    return r.x1 + (r.y1 << 7);
}

TEST(UndoHistory, OverflowKeepsTheNewestAndAGapOfFour)
{
    UndoHistory history;
    constexpr int kPushes = 2100;
    for (int n = 0; n < kPushes; ++n)
        history.push(numbered(n));
    // 2048 places, less the floor entry that is never handed out, less the
    // five free places left after a drop (the gap of four, counted before
    // the oldest record goes, plus the place it frees).
    constexpr int kKept = 2048 - 1 - 5;
    EXPECT_EQ(history.size(), kKept);
    UndoRecord r;
    for (int n = kPushes - 1; n >= kPushes - kKept; --n) {
        ASSERT_TRUE(history.pop(r));
        ASSERT_EQ(number(r), n);
    }
    EXPECT_FALSE(history.pop(r));
    EXPECT_EQ(history.size(), 0);
}

TEST(UndoHistory, ResetForgetsEverything)
{
    UndoHistory history;
    history.push(numbered(1));
    history.reset();
    UndoRecord r;
    EXPECT_FALSE(history.pop(r));
    history.push(numbered(2));
    ASSERT_TRUE(history.pop(r));
    EXPECT_EQ(number(r), 2);
}

} // namespace

} // namespace ovinta
