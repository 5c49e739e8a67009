// The tool's plug-in instance and its host callback.

#include "tools/ovinta/PluginSession.h"

#include "engine/RoomEngine.h"
#include "model/Parameters.h"

namespace ovinta {

namespace {

constexpr VstIntPtr kHostVersion = 2400;

// A host that answers its version and nothing else.
VstIntPtr toolHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

} // namespace

PluginSession::PluginSession(float sampleRate, int blockSize)
    : effect(std::make_unique<EffectVST>(toolHost))
{
    effect->setSampleRate(sampleRate);
    effect->setBlockSize(blockSize);
}

void PluginSession::selectProgram(int program)
{
    effect->setProgram(program);
}

void PluginSession::setParameter(int index, float value)
{
    effect->setParameter(index, value);
}

float PluginSession::getParameter(int index)
{
    return effect->getParameter(index);
}

int PluginSession::programOutputs()
{
    const float setting = effect->getParameter(param::kSurround);
    if (setting >= 2.0f)
        return 5;
    return setting >= 1.0f ? 4 : 2;
}

void PluginSession::setOutputs(int outputs)
{
    effect->setParameter(param::kSurround, outputs >= 5 ? 2.0f : (outputs == 4 ? 1.0f : 0.0f));
    effect->getEngine().requestOutputConfiguration();
    effect->applyOutputConfiguration();
}

void PluginSession::start()
{
    effect->resume();
}

void PluginSession::process(float** in, float** out, int count)
{
    effect->processReplacing(in, out, count);
}

} // namespace ovinta
