// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WallStage: a wall list handed from a thread that may not wait (the audio
// thread applying a program) to whichever thread next holds the tracer's
// flag. Three lists rotate (a triple buffer): the poster fills its own and
// swaps it into the middle, the taker swaps the middle out when it is fresh,
// so neither side ever waits and the taker always gets the latest list.
// One poster thread at a time; the taker holds the tracer's flag.

#include "base/Limits.h"
#include "engine/WallGrid.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace ovinta {

class WallStage {
public:
    // Poster: the list of `count` walls (0..kMaxWalls) replaces any not yet taken.
    void post(const Wall* walls, int count)
    {
        List& list = lists[back];
        list.count = std::clamp(count, 0, kMaxWalls);
        if (list.count > 0)
            std::memcpy(list.walls, walls, sizeof(Wall) * static_cast<std::size_t>(list.count));
        // acq_rel: publishes this list and takes over the one swapped out.
        back = middle.exchange(back | kFresh, std::memory_order_acq_rel) & kIndexMask;
    }
    // Taker: copies the latest posted list into `walls` and returns its
    // count, or -1 when nothing was posted since the last take.
    int take(Wall* walls)
    {
        if ((middle.load(std::memory_order_relaxed) & kFresh) == 0)
            return -1;
        front = middle.exchange(front, std::memory_order_acq_rel) & kIndexMask;
        const List& list = lists[front];
        if (list.count > 0)
            std::memcpy(walls, list.walls, sizeof(Wall) * static_cast<std::size_t>(list.count));
        return list.count;
    }
    bool waiting() const { return (middle.load(std::memory_order_relaxed) & kFresh) != 0; }

private:
    static constexpr int kFresh = 4;
    static constexpr int kIndexMask = 3;
    struct List {
        int count = 0;
        Wall walls[kMaxWalls] = {};
    };
    List lists[3];
    int back = 0;                 // the poster's list
    int front = 2;                // the taker's list
    std::atomic<int> middle{1};   // the list between them, | kFresh once posted
};

} // namespace ovinta
