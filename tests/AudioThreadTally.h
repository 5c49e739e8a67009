// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an audio thread did while other threads worked on the same plug-in,
// and the checks every such test makes: it played, never waited, never
// allocated (in binaries with the counting allocator) and wrote only finite
// samples. Shared by the engine-level and the core-and-editor tests.

#include "base/RealtimeThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace ovinta {

struct AudioTally {
    long blocks = 0;
    long waits = 0;       // acquires that may wait
    long allocations = 0; // by the audio thread (counting binaries only)
    long nonFinite = 0;
};

// Runs the three threads for `phase`, then stops and joins them.
template <typename Audio, typename Editor, typename Host>
void runThreadsFor(std::chrono::milliseconds phase, std::atomic<bool>& stop, Audio&& audio, Editor&& editor,
                   Host&& host)
{
    std::thread a(audio), e(editor), h(host);
    std::this_thread::sleep_for(phase);
    stop.store(true, std::memory_order_release);
    a.join();
    e.join();
    h.join();
}

// The checks on one row's tally, and the tries the audio thread lost (shown only).
inline void expectAudioThreadClean(const AudioTally& t, const char* name, long minimumBlocks,
                                   long triesBefore)
{
    EXPECT_GT(t.blocks, minimumBlocks) << name;
    EXPECT_EQ(t.waits, 0) << name;
#ifdef OVINTA_COUNTING_ALLOCATOR
    EXPECT_EQ(t.allocations, 0) << name;
#endif
    EXPECT_EQ(t.nonFinite, 0) << name;
    std::printf("%s: %ld blocks, %ld tries lost\n", name, t.blocks,
                realtime::failedTries.load() - triesBefore);
}

} // namespace ovinta
