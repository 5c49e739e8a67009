// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// AudioPathGate: who owns the audio path (its buffers and filter states) at
// a time. The audio thread owns it for the length of a process call (enter ..
// leave); another thread (reset, export, idle tracing) takes it away (take or
// tryTake .. give), which stops audio and waits for a running call to end.
// Only one such thread holds it at a time; the holder flag orders them.
//
// enter and take form a two-flag handshake: each side stores its own flag
// and then reads the other's. With only acquire/release both loads could run
// before the other side's store is seen and both would go ahead together, so
// the two flags use sequential consistency, the weakest correct order.

#include "base/RealtimeThread.h"
#include "base/ThreadSafety.h"

#include <atomic>
#include <thread>

namespace ovinta {

class CAPABILITY("audio path") AudioPathGate {
public:
    AudioPathGate() = default;
    AudioPathGate(const AudioPathGate&) = delete;
    AudioPathGate& operator=(const AudioPathGate&) = delete;

    // ---- Audio thread: the first and last lines of a process call ----------
    // False when audio is stopped: the call must return at once, without leave.
    bool enter() TRY_ACQUIRE(true)
    {
        processing.store(1);         // seq_cst: own flag first...
        if (enabled.load() == 0) {   // ...then the other side's
            processing.store(0);
            return false;
        }
        return true;
    }
    void leave() RELEASE() { processing.store(0); }

    // ---- Other threads -------------------------------------------------------
    // Stops audio and waits for a running call to end.
    void take() ACQUIRE()
    {
        realtime::countBlockingAcquire();
        while (held.exchange(true, std::memory_order_acquire))
            std::this_thread::yield();
        enabled.store(0);
        while (processing.load() != 0)
            std::this_thread::yield();
    }
    // The same without waiting: false (and audio left as it was) when another
    // holder has the path or a call runs.
    bool tryTake() TRY_ACQUIRE(true)
    {
        if (held.exchange(true, std::memory_order_acquire)) {
            realtime::countFailedTry();
            return false;
        }
        const int wasEnabled = enabled.exchange(0);
        if (processing.load() != 0) {
            enabled.store(wasEnabled);
            held.store(false, std::memory_order_release);
            realtime::countFailedTry();
            return false;
        }
        return true;
    }
    // Audio runs again.
    void give() RELEASE()
    {
        enabled.store(1);
        held.store(false, std::memory_order_release);
    }
    // Lets audio run unless a holder has the path (its give turns audio on).
    // Taking the holder flag for the moment of the store keeps this from
    // re-enabling audio under a reset or an export. Never waits.
    void enableUnlessHeld()
    {
        if (!held.exchange(true, std::memory_order_acquire)) {
            enabled.store(1);
            held.store(false, std::memory_order_release);
        }
    }

    // Tests and checks.
    bool isHeld() const { return held.load(std::memory_order_relaxed); }
    bool isEnabled() const { return enabled.load() != 0; }
    bool isProcessing() const { return processing.load() != 0; }

private:
    std::atomic<int> enabled{0};    // seq_cst: 0 while audio is stopped
    std::atomic<int> processing{0}; // seq_cst: 1 while a process call runs
    std::atomic<bool> held{false};  // a non-audio thread holds the path
};

// Holds the audio path for a scope (another thread than the audio one), or
// gives back a path that a successful tryTake took.
class SCOPED_CAPABILITY AudioPathLease {
public:
    explicit AudioPathLease(AudioPathGate& g) ACQUIRE(g) : gate(g) { gate.take(); }
    AudioPathLease(AudioPathGate& g, AdoptLock) REQUIRES(g) : gate(g) {}
    ~AudioPathLease() RELEASE() { gate.give(); }
    AudioPathLease(const AudioPathLease&) = delete;
    AudioPathLease& operator=(const AudioPathLease&) = delete;

private:
    AudioPathGate& gate;
};

} // namespace ovinta
