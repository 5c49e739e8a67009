#pragma once
// The engine's private state for tests that set up scenarios no caller could
// (a slot mid-crossfade, a chosen history, a busy tracer) or check state no
// call reveals. Everything else goes through the engine's own calls.

#include "engine/RoomEngine.h"

namespace ovinta {

struct RoomEngineTestAccess {
    static EngineValues& values(RoomEngine& e) { return e.values; }
    static int& wallCount(RoomEngine& e) { return e.wallCount; }
    static int wallCount(const RoomEngine& e) { return e.wallCount; }
    static Wall* walls(RoomEngine& e) { return e.walls; }
    static const Wall* walls(const RoomEngine& e) { return e.walls; }
    static int& stepCursor(RoomEngine& e) { return e.stepCursor; }
    static int stepCursor(const RoomEngine& e) { return e.stepCursor; }
    static bool& useWallGrid(RoomEngine& e) { return e.useWallGrid; }
    static float rayCos(const RoomEngine& e) { return e.rayCos; }
    static float raySin(const RoomEngine& e) { return e.raySin; }
    static std::atomic<int>& audioEnabled(RoomEngine& e) { return e.audioEnabled; }
    static std::atomic<int>& processing(RoomEngine& e) { return e.processing; }
    static std::atomic<bool>& audioPathHeld(RoomEngine& e) { return e.audioPathHeld; }
    static std::atomic<bool>& immediateRebuild(RoomEngine& e) { return e.immediateRebuild; }
    static std::atomic<bool>& raySetupRequested(RoomEngine& e) { return e.raySetupRequested; }
    static std::atomic<bool>& tracerBusy(RoomEngine& e) { return e.tracerBusy; }
    static uint32_t aheadPreparations(const RoomEngine& e) { return e.aheadPass; }
    static std::atomic<uint32_t>& eqSequence(RoomEngine& e) { return e.eqSequence; }
    static EQfilter* eqB(RoomEngine& e) { return e.eqB; }
    static EQfilter* eqD(RoomEngine& e) { return e.eqD; }
};

} // namespace ovinta
