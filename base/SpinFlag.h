// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SpinFlag: a lock for state that threads hold only for short work, with its
// scoped holder SpinLock. The audio thread only ever tries it (tryLock) and
// skips or hands on its work when the flag is taken; other threads may spin
// for it (lock). Both are annotated for clang's thread-safety analysis, so
// data marked GUARDED_BY a flag cannot be touched without it.

#include "base/RealtimeThread.h"
#include "base/ThreadSafety.h"

#include <atomic>
#include <thread>

namespace ovinta {

class CAPABILITY("spin flag") SpinFlag {
public:
    SpinFlag() = default;
    SpinFlag(const SpinFlag&) = delete;
    SpinFlag& operator=(const SpinFlag&) = delete;

    // Never waits: false when another thread holds the flag.
    bool tryLock() TRY_ACQUIRE(true)
    {
        if (!busy.exchange(true, std::memory_order_acquire))
            return true;
        realtime::countFailedTry();
        return false;
    }
    // Spins until the flag is free. Not for the audio thread.
    void lock() ACQUIRE()
    {
        realtime::countBlockingAcquire();
        while (busy.exchange(true, std::memory_order_acquire))
            std::this_thread::yield();
    }
    // Rides out holders that keep the flag for a copy or a short step;
    // false after `attempts` yields. Not for the audio thread.
    bool tryLockBriefly(int attempts) TRY_ACQUIRE(true)
    {
        realtime::countBlockingAcquire();
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (!busy.exchange(true, std::memory_order_acquire))
                return true;
            std::this_thread::yield();
        }
        return false;
    }
    void unlock() RELEASE() { busy.store(false, std::memory_order_release); }
    bool isHeld() const { return busy.load(std::memory_order_relaxed); } // tests and hints only

private:
    std::atomic<bool> busy{false};
};

class SCOPED_CAPABILITY SpinLock {
public:
    explicit SpinLock(SpinFlag& f) ACQUIRE(f) : flag(f) { flag.lock(); }
    SpinLock(SpinFlag& f, AdoptLock) REQUIRES(f) : flag(f) {}
    ~SpinLock() RELEASE() { flag.unlock(); }
    SpinLock(const SpinLock&) = delete;
    SpinLock& operator=(const SpinLock&) = delete;

private:
    SpinFlag& flag;
};

} // namespace ovinta
