// Program application and process calls for the tool's engine.

#include "tools/ovinta/EngineSession.h"

#include "plugin/OvintaProgram.h"
#include "plugin/Parameters.h"

namespace {

// The order in which a selected program's fields are re-applied: positions,
// pins, then the remaining settings, the EQ last.
constexpr int kApplyOrder[] = {8,  9,  10, 11, 12, 13, 37, 38, 39, 40, 41, 42, 43, 16, 17, 18,
                               19, 23, 36, 0,  1,  2,  3,  6,  7,  15, 14, 44, 21, 22, 45, 20,
                               5,  4,  24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
static_assert(sizeof(kApplyOrder) / sizeof(kApplyOrder[0]) == kStoredParameterCount);

} // namespace

EngineSession::EngineSession(float sampleRate)
    : room(std::make_unique<RoomEngine>()), rate(sampleRate)
{
    room->setInputChannelCount(kInputChannelCapacity);
    selectProgram(0);
}

void EngineSession::selectProgram(int program)
{
    if (program < 0 || program >= kProgramCount)
        return;
    room->setProgramAndRate(program, rate);
    room->selectProgram(program);
    const OvintaProgram& record = room->bank.programs[program];
    for (int index : kApplyOrder)
        room->setParameter(index, *programField(record, index));
    room->setParameter(param::kProgramSelect, static_cast<float>(program));
    room->finishProgram();
    room->outputCount = programOutputs();
}

void EngineSession::setParameter(int index, float value)
{
    room->setParameter(index, value);
}

float EngineSession::getParameter(int index)
{
    return room->getParameter(index);
}

int EngineSession::programOutputs()
{
    const float setting = room->getParameter(param::kSurround);
    if (setting >= 2.0f)
        return 5;
    return setting >= 1.0f ? 4 : 2;
}

void EngineSession::setOutputs(int outputs)
{
    const float setting = outputs >= 5 ? 2.0f : (outputs == 4 ? 1.0f : 0.0f);
    room->setParameter(param::kSurround, setting);
    room->outputCount = outputs >= 5 ? 5 : (outputs == 4 ? 4 : 2);
}

void EngineSession::start()
{
    room->resetAudio();
}

void EngineSession::process(float** in, float** out, int count)
{
    room->processBlock(in, out, count);
}
