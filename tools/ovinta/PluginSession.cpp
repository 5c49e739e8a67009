// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's plug-in instance: the format-free core, driven as a host would.

#include "tools/ovinta/PluginSession.h"

#include "engine/RoomEngine.h"
#include "model/Parameters.h"

namespace ovinta {

PluginSession::PluginSession(float sampleRate, int blockSize) : core(std::make_unique<PluginCore>())
{
    core->setSampleRate(sampleRate);
    core->setBlockSize(blockSize);
}

void PluginSession::selectProgram(int program)
{
    core->setProgram(program);
}

void PluginSession::setParameter(int index, float value)
{
    core->setParameter(index, value);
}

float PluginSession::getParameter(int index)
{
    return core->getParameter(index);
}

int PluginSession::programOutputs()
{
    const float setting = core->getParameter(param::kSurround);
    if (setting >= 2.0f)
        return 5;
    return setting >= 1.0f ? 4 : 2;
}

void PluginSession::setOutputs(int outputs)
{
    core->setParameter(param::kSurround, outputs >= 5 ? 2.0f : (outputs == 4 ? 1.0f : 0.0f));
    core->engine().requestOutputConfiguration();
    core->applyOutputConfiguration(nullptr);
}

void PluginSession::start()
{
    core->resume();
}

void PluginSession::process(float** in, float** out, int count)
{
    core->process(in, out, count);
}

} // namespace ovinta
