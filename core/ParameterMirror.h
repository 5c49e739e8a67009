// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ParameterMirror: parameter changes on their way to the editor, by value
// and flag. Any thread that changes a parameter (the host's automation
// thread, a program change, the audio thread) posts the latest value of its
// tag; the editor's idle takes every changed tag and follows it. No lock
// and no wait on either side: a tag changed twice between two idles is
// followed once, with its latest value.

#include "model/Parameters.h"

#include <atomic>

namespace ovinta {

class ParameterMirror {
public:
    ParameterMirror()
    {
        for (int tag = 0; tag < kTagCount; ++tag) {
            values[tag].store(0.0f, std::memory_order_relaxed);
            changed[tag].store(false, std::memory_order_relaxed);
        }
    }

    // Any thread. The value first, then the flags that announce it (release).
    void post(int tag, float value)
    {
        if (tag < 0 || tag >= kTagCount)
            return;
        values[tag].store(value, std::memory_order_relaxed);
        changed[tag].store(true, std::memory_order_release);
        anyChanged.store(true, std::memory_order_release);
    }

    // Editor thread: calls follow(tag, value) for each tag posted since the
    // last call, in tag order. A post racing with this call is either
    // taken now or left flagged for the next call, never lost.
    template <typename Follow>
    void takeChanges(Follow&& follow)
    {
        if (!anyChanged.exchange(false, std::memory_order_acquire))
            return;
        for (int tag = 0; tag < kTagCount; ++tag)
            if (changed[tag].exchange(false, std::memory_order_acquire))
                follow(tag, values[tag].load(std::memory_order_relaxed));
    }

    // Any thread: the latest value posted for `tag` (0 for an unknown tag).
    float latest(int tag) const
    {
        if (tag < 0 || tag >= kTagCount)
            return 0.0f;
        return values[tag].load(std::memory_order_relaxed);
    }

    // Drops every pending change (the window opens afresh).
    void clear()
    {
        takeChanges([](int, float) {});
    }

private:
    static_assert(std::atomic<float>::is_always_lock_free);
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<float> values[kTagCount];
    std::atomic<bool> changed[kTagCount];
    std::atomic<bool> anyChanged{false};
};

} // namespace ovinta
