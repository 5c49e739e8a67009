#pragma once
// Helpers shared by the engine's tests and benchmarks: a heap-allocated
// engine (it is far too large for a test's stack) and program application in
// the order the effect uses when it selects a program.

#include "engine/RoomEngine.h"
#include "model/ParameterTable.h"
#include "model/Parameters.h"

#include <memory>

namespace enginetest {

inline std::unique_ptr<RoomEngine> makeEngine()
{
    return std::make_unique<RoomEngine>();
}

// Applies program p the way program selection does: rate, walls, every
// stored field as a parameter, index 46, finish.
inline void applyProgram(RoomEngine& engine, int p, float rate = 44100.0f)
{
    engine.setProgramAndRate(p, rate);
    engine.selectProgram(p);
    for (int rank = 0; rank < kStoredParameterCount; ++rank) {
        const int index = param::programApplyIndex(rank);
        engine.setParameter(index, *programField(engine.programBank().programs[p], index));
    }
    engine.setParameter(param::kProgramSelect, static_cast<float>(p));
    engine.finishProgram();
}

inline int changes(const RoomEngine& engine)
{
    return engine.changeCount();
}

} // namespace enginetest
