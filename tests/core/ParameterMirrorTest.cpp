// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter mirror on two threads: a host thread posts generated values
// while the editor's thread takes them, as its idle does. Every value the
// editor sees must be one that was posted for that tag, no older than the
// one it saw before, and the last post of each tag must arrive.

#include "core/ParameterMirror.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace ovinta {

TEST(ParameterMirror, EveryTagArrivesInOrderWithItsLatestValue)
{
    constexpr int kRounds = 20000;
    ParameterMirror mirror;
    std::atomic<bool> done{false};
    // Round r posts tag t with the value r * kTagCount + t: from a value the
    // tag and the round it was posted in can be told apart.
    std::thread host([&] {
        for (int round = 1; round <= kRounds; ++round)
            for (int tag = (round % 3); tag < kTagCount; tag += 3)
                mirror.post(tag, static_cast<float>(round * kTagCount + tag));
        done.store(true, std::memory_order_release);
    });

    std::vector<int> lastRound(kTagCount, 0);
    bool wrongTag = false, wentBack = false;
    auto follow = [&](int tag, float value) {
        const int whole = static_cast<int>(value);
        if (whole % kTagCount != tag)
            wrongTag = true;
        const int round = whole / kTagCount;
        if (round < lastRound[tag])
            wentBack = true;
        lastRound[tag] = round;
    };
    while (!done.load(std::memory_order_acquire))
        mirror.takeChanges(follow);
    host.join();
    mirror.takeChanges(follow);

    EXPECT_FALSE(wrongTag);
    EXPECT_FALSE(wentBack);
    // The last round that posted each tag (rounds of its residue mod 3).
    for (int tag = 0; tag < kTagCount; ++tag) {
        int last = kRounds;
        while (last % 3 != tag % 3)
            --last;
        EXPECT_EQ(lastRound[tag], last) << "tag " << tag;
    }
    // Nothing is left once taken.
    int extra = 0;
    mirror.takeChanges([&](int, float) { ++extra; });
    EXPECT_EQ(extra, 0);
}

} // namespace ovinta
