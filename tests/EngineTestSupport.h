// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the engine's tests and benchmarks: a heap-allocated
// engine (it is far too large for a test's stack) and program application in
// the order the effect uses when it selects a program.

#include "engine/RoomEngine.h"
#include "model/ParameterTable.h"
#include "model/Parameters.h"

#include <cmath>
#include <memory>
#include <vector>

namespace ovinta {

namespace enginetest {

inline std::unique_ptr<RoomEngine> makeEngine(TraceWorker worker = TraceWorker::Own)
{
    return std::make_unique<RoomEngine>(worker);
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

// A sine on both inputs and six output buffers, as a host passes a block.
struct SineBlock {
    explicit SineBlock(int frames) : in(static_cast<size_t>(frames))
    {
        for (int i = 0; i < frames; ++i)
            in[static_cast<size_t>(i)] = std::sin(0.05f * static_cast<float>(i));
        for (int c = 0; c < 6; ++c)
            outputs[c] = (out[c].assign(in.size(), 0.0f), out[c].data());
    }
    SineBlock(const SineBlock&) = delete;
    SineBlock& operator=(const SineBlock&) = delete;
    // Samples of the two main outputs that are not finite.
    int nonFinite() const
    {
        int count = 0;
        for (int c = 0; c < 2; ++c)
            for (float v : out[c])
                count += std::isfinite(v) ? 0 : 1;
        return count;
    }
    std::vector<float> in, out[6];
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[6] = {};
};

inline int changes(const RoomEngine& engine)
{
    return engine.changeCount();
}

} // namespace enginetest

} // namespace ovinta
