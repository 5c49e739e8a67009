// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's private state for tests that set up scenarios no caller could
// (a slot mid-crossfade, a chosen history, a busy tracer) or check state no
// call reveals. Everything else goes through the engine's own calls.

#include "engine/RoomEngine.h"

namespace ovinta {

// Tests read guarded state without its flag: they run it when no other
// thread touches the engine.
struct RoomEngineTestAccess {
    static EngineValues& values(RoomEngine& e) { return e.values; }
    // The tracer, to read what no call reports (the wall list as the tracer
    // holds it, its cursor and ray spacing) or to switch its wall search.
    static RayTracer& tracer(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { return e.tracer; }
    static const RayTracer& tracer(const RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { return e.tracer; }
    static int wallCount(const RoomEngine& e) { return tracer(e).wallCount(); }
    static Wall* walls(RoomEngine& e) { return tracer(e).editWalls(); }
    static const Wall* walls(const RoomEngine& e) { return tracer(e).walls(); }
    static int stepCursor(const RoomEngine& e) { return tracer(e).stepCursor(); }
    static float rayCos(const RoomEngine& e) { return tracer(e).rayCos(); }
    static float raySin(const RoomEngine& e) { return tracer(e).raySin(); }
    static int audioEnabled(const RoomEngine& e) { return e.pathGate.isEnabled() ? 1 : 0; }
    static int processing(const RoomEngine& e) { return e.pathGate.isProcessing() ? 1 : 0; }
    // A block runs (true) or ends (false) on the gate, as far as other threads see.
    static void setProcessing(RoomEngine& e, bool running) NO_THREAD_SAFETY_ANALYSIS
    {
        if (running)
            (void)e.pathGate.enter();
        else
            e.pathGate.leave();
    }
    static bool audioPathHeld(const RoomEngine& e) { return e.pathGate.isHeld(); }
    // The gate's calls one at a time, where a test checks each step's answer
    // rather than holding the path for a scope.
    static bool tryTakeAudioPath(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { return e.tryTakeAudioPath(); }
    static void releaseAudioPath(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { e.releaseAudioPath(); }
    static std::atomic<bool>& immediateRebuild(RoomEngine& e) { return e.immediateRebuild; }
    static std::atomic<bool>& raySetupRequested(RoomEngine& e) { return e.raySetupRequested; }
    // Another thread holds the tracer's flag (holdTracer) until releaseTracer.
    static void holdTracer(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { e.tracerFlag.lock(); }
    static void releaseTracer(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { e.tracerFlag.unlock(); }
    static bool tracerHeld(const RoomEngine& e) { return e.tracerFlag.isHeld(); }
    // Another thread designs an equaliser band (holdEqDesigns) until releaseEqDesigns.
    static void holdEqDesigns(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { e.eqFlag.lock(); }
    static void releaseEqDesigns(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { e.eqFlag.unlock(); }
    static uint32_t aheadPreparations(const RoomEngine& e) { return tracer(e).preparations(); }
    static std::atomic<uint32_t>& eqSequence(RoomEngine& e) { return e.eqSequence; }
    static EQfilter* eqB(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { return e.eqB; }
    static EQfilter* eqD(RoomEngine& e) NO_THREAD_SAFETY_ANALYSIS { return e.eqD; }
};

} // namespace ovinta
