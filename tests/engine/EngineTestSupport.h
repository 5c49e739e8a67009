#pragma once
// Helpers shared by the engine tests: a heap-allocated engine (it is far too
// large for a test's stack) and program application in the order the effect
// uses when it selects a program.

#include "engine/RoomEngine.h"

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
    static const int kOrder[] = {8,  9,  10, 11, 12, 13, 37, 38, 39, 40, 41, 42, 43, 16, 17, 18,
                                 19, 23, 36, 0,  1,  2,  3,  6,  7,  15, 14, 44, 21, 22, 45, 20,
                                 5,  4,  24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
    engine.setProgramAndRate(p, rate);
    engine.selectProgram(p);
    for (int index : kOrder)
        engine.setParameter(index, *programField(engine.programBank().programs[p], index));
    engine.setParameter(46, static_cast<float>(p));
    engine.finishProgram();
}

inline int changes(const RoomEngine& engine)
{
    return engine.changeCount();
}

} // namespace enginetest
