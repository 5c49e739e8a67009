#pragma once
// RoomPlayer: one engine driven the way the plug-in's host boundary drives
// it (program selection with its re-application order, chunk loading,
// process calls), without a host. Used by the room measurements and the
// chunk fuzzer; single-threaded.

#include "engine/RoomEngine.h"

#include <cstdint>
#include <memory>

class RoomPlayer {
public:
    static constexpr int kInputs = 2;
    static constexpr int kOutputs = 6;

    explicit RoomPlayer(float sampleRate);

    // Makes program p (0..44, others ignored) current and re-applies every
    // stored field through the setter, ending with the program number.
    void selectProgram(int program);
    // The host's parameter call: the engine setter, then program selection
    // for 46 (program number) and 67/68 (previous/next on release).
    void setParameter(int index, float value);
    // Loads a program or bank chunk and re-applies the current program.
    bool loadChunk(const void* data, int64_t byteSize, bool isPreset);

    // Runs one block; every output channel is cleared first, as a host does.
    void process(const float* const* inputs, float* const* outputs, int count);

    int currentProgram() const { return current; }
    RoomEngine& engine() { return *room; }

private:
    std::unique_ptr<RoomEngine> room;
    float rate;
    int current = 0;
};
