// SPDX-License-Identifier: GPL-3.0-or-later
// How work leaves the audio thread. A program change is traced ahead of its
// commit: on the host thread that made it (traceProgramAhead), by the
// engine's worker thread, or by the owner of an engine without one
// (runTraceWork); the audio thread commits the traced room at a block start.
// A reset on the audio thread swaps in histories the worker refilled, or
// waits for the next block start when another thread holds the audio path.

#include "engine/RoomEngine.h"

#include <algorithm>
#include <utility>

namespace ovinta {

namespace {

// Attempts of a host thread to take the tracer's flag before it leaves a
// program change to the worker: enough to ride out the audio thread's
// per-block trace and the editor's copies, not a long trace.
constexpr int kBriefAttempts = 64;

// The value a reset fills the histories with.
constexpr float kResetFill = 1e-20f;

// Fills `count` samples of a history that end just before `end`, which may
// wrap past the history's start.
void fillBefore(float* history, uint32_t end, uint32_t count)
{
    const uint32_t start = (end - count) & kHistoryMask;
    const uint32_t first = std::min(count, static_cast<uint32_t>(kHistoryLength) - start);
    std::fill_n(history + start, first, kResetFill);
    std::fill_n(history, count - first, kResetFill);
}

} // namespace

// ---- Program changes traced ahead --------------------------------------------------

bool RoomEngine::traceProgramAhead()
{
    // Most calls (every host parameter change off the audio thread) find no
    // program change waiting: they leave without touching the tracer's flag.
    if (onAudioThread() || !immediateRebuild.load(std::memory_order_relaxed))
        return false;
    if (!tracerFlag.tryLockBriefly(kBriefAttempts))
        return false;
    const SpinLock held(tracerFlag, kAdoptLock);
    adoptStagedWalls();
    // The trace below covers every program change finished so far; one
    // finished later raises the flag again. A worker that took the flag
    // first traces the room itself.
    if (!immediateRebuild.exchange(false, std::memory_order_acquire))
        return false;
    traceAhead(kRebuildUnits);
    return true;
}

bool RoomEngine::runTraceWork()
{
    bool worked = refillSpareHistory();
    // Taken even when no change waits: a worker may be tracing one, and the
    // caller learns it is done when the flag comes free.
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    if (immediateRebuild.exchange(false, std::memory_order_acquire)) {
        traceAhead(kRebuildUnits);
        worked = true;
    }
    return worked;
}

bool RoomEngine::programChangePending() const
{
    return immediateRebuild.load(std::memory_order_acquire) || rebuildPrepared.load(std::memory_order_acquire);
}

void RoomEngine::runWorker(uint32_t seen)
{
    // Only handed work: a host thread traces its own program changes ahead.
    // A wake-up during the work changes the signal, so the next wait returns
    // at once and the work runs again.
    for (;;) {
        workSignal.wait(seen, std::memory_order_acquire);
        seen = workSignal.load(std::memory_order_acquire);
        if (stopping.load(std::memory_order_acquire))
            return;
        runTraceWork();
    }
}

void RoomEngine::wakeWorker()
{
    // No lock and no allocation: an atomic increment and a futex wake.
    workSignal.fetch_add(1, std::memory_order_release);
    workSignal.notify_one();
}

// ---- Audio thread: block start ------------------------------------------------------

void RoomEngine::rebuildAfterProgramChange()
{
    if (resetWaiting.load(std::memory_order_relaxed))
        clearAudioPath();
    // A room traced ahead needs only its commit; a busy tracer (another
    // preparation under way) leaves it to the next block.
    if (rebuildPrepared.load(std::memory_order_relaxed) && tryLockTracer()) {
        const SpinLock held(tracerFlag, kAdoptLock);
        if (rebuildPrepared.load(std::memory_order_relaxed))
            commitPrepared();
    }
    // This block plays the old room: the new one, traced by the worker,
    // will fade in.
    if (immediateRebuild.load(std::memory_order_relaxed) || rebuildPrepared.load(std::memory_order_relaxed)) {
        lateChange = programChanges.load(std::memory_order_relaxed);
        if (immediateRebuild.load(std::memory_order_relaxed))
            wakeWorker();
    }
}

// ---- Resets ---------------------------------------------------------------------------

void RoomEngine::resetAudio()
{
    if (onAudioThread()) {
        // Never waits: an export or the editor's tracing holds the path for
        // long, so the next block start clears it instead.
        if (!pathGate.tryTake()) {
            resetWaiting.store(true, std::memory_order_relaxed);
            return;
        }
    } else {
        pathGate.take();
    }
    const AudioPathLease lease(pathGate, kAdoptLock);
    clearAudioPath();
}

void RoomEngine::clearAudioPath()
{
    resetWaiting.store(false, std::memory_order_relaxed);
    const uint32_t count = audio.unclean;
    // On the audio thread the refilled spares change places with the
    // histories, and the worker refills the old ones: filling a whole
    // history here could take a tenth of a block.
    if (onAudioThread() && spareReady.load(std::memory_order_acquire)) {
        for (int k = 0; k < 2; ++k)
            std::swap(audio.sourceHistory[k], spareHistory[k]);
        spareDirtyEnd = audio.writePos;
        spareDirtyCount = count;
        spareReady.store(false, std::memory_order_release);
        wakeWorker();
    } else {
        for (auto& history : audio.sourceHistory)
            fillBefore(history.get(), audio.writePos, count);
    }
    audio.unclean = 0;
    for (int band = 0; band < kEqBands; ++band) {
        audio.eqA[band].resetState();
        audio.eqC[band].resetState();
    }
    for (auto& combBank : audio.combs)
        for (CombFilter& comb : combBank)
            comb.clear();
}

bool RoomEngine::refillSpareHistory()
{
    if (spareReady.load(std::memory_order_acquire))
        return false;
    for (auto& history : spareHistory)
        fillBefore(history.get(), spareDirtyEnd, spareDirtyCount);
    spareReady.store(true, std::memory_order_release);
    return true;
}

} // namespace ovinta
