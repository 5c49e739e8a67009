// RoomPlayer: program selection, parameter routing and chunk loading as the
// host boundary performs them.

#include "tools/measure-rooms/RoomPlayer.h"

#include "plugin/Parameters.h"
#include "plugin/ProgramChunks.h"

#include <cmath>
#include <cstring>

namespace {

// The order in which a selected program's fields are sent to the setter.
constexpr int kReapplyOrder[] = {8,  9,  10, 11, 12, 13, 37, 38, 39, 40, 41, 42, 43, 16, 17, 18,
                                 19, 23, 36, 0,  1,  2,  3,  6,  7,  15, 14, 44, 21, 22, 45, 20,
                                 5,  4,  24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
static_assert(sizeof(kReapplyOrder) / sizeof(kReapplyOrder[0]) == kStoredParameterCount);

} // namespace

RoomPlayer::RoomPlayer(float sampleRate) : room(std::make_unique<RoomEngine>()), rate(sampleRate)
{
    room->setInputChannelCount(kInputs);
    selectProgram(0);
    room->resetAudio();
}

void RoomPlayer::selectProgram(int program)
{
    if (program < 0 || program >= kProgramCount)
        return;
    current = program;
    room->setProgramAndRate(program, rate);
    room->selectProgram(program);
    const OvintaProgram& record = room->bank.programs[program];
    for (int index : kReapplyOrder)
        room->setParameter(index, *programField(record, index));
    room->setParameter(param::kProgramSelect, static_cast<float>(program));
    room->finishProgram();
}

void RoomPlayer::setParameter(int index, float value)
{
    if (!std::isfinite(value))
        return;
    room->setParameter(index, value);
    if (index == param::kProgramSelect) {
        // Compared in double: a float far outside int range must not be converted.
        const double requested = std::trunc(static_cast<double>(value));
        if (requested >= 0.0 && requested < kProgramCount && static_cast<int>(requested) != current)
            selectProgram(static_cast<int>(requested));
    } else if ((index == param::kProgramPrevious || index == param::kProgramNext) && value == 0.0f) {
        int next = index == param::kProgramPrevious ? current - 1 : current + 1;
        if (next < 0)
            next = kProgramCount - 1;
        if (next >= kProgramCount)
            next = 0;
        if (next != current)
            selectProgram(next);
    }
}

bool RoomPlayer::loadChunk(const void* data, int64_t byteSize, bool isPreset)
{
    if (!loadChunkData(room->bank, current, data, byteSize, isPreset))
        return false;
    selectProgram(current);
    room->setProgramAndRate(current, rate);
    room->viewDirty = true;
    return true;
}

void RoomPlayer::process(const float* const* inputs, float* const* outputs, int count)
{
    for (int c = 0; c < kOutputs; ++c)
        std::memset(outputs[c], 0, sizeof(float) * static_cast<std::size_t>(count));
    room->processBlock(const_cast<float**>(inputs), const_cast<float**>(outputs), count);
}
