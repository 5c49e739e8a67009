// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which thread is the real-time one, and what the guards saw it do. The
// engine marks the thread of its process calls; a guard that a marked thread
// takes with a call that may wait, or fails to take on a try, counts it here.
// Tests read the counts around a run to prove the audio thread never waited;
// a failed try is legitimate (the audio thread skips the work) and only shown.

#include <atomic>

namespace ovinta {

namespace realtime {

// Static TLS where the platform has it: the plug-in is a library that hosts
// load and unload, and a dynamically allocated TLS block would stay behind in
// every host thread that read the mark, pointing into the unloaded library
// (leak checkers that scan threads then fault on it).
#if defined(__ELF__)
#define OVINTA_STATIC_TLS __attribute__((tls_model("initial-exec")))
#else
#define OVINTA_STATIC_TLS
#endif
inline thread_local bool marked OVINTA_STATIC_TLS = false;
inline std::atomic<long> blockingAcquires{0}; // acquires on a marked thread that may wait
inline std::atomic<long> failedTries{0};      // tries that a marked thread lost

inline void markThisThread()
{
    marked = true;
}

inline bool onMarkedThread()
{
    return marked;
}

inline void countBlockingAcquire()
{
    if (marked)
        blockingAcquires.fetch_add(1, std::memory_order_relaxed);
}

inline void countFailedTry()
{
    if (marked)
        failedTries.fetch_add(1, std::memory_order_relaxed);
}

} // namespace realtime

} // namespace ovinta
