// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One plug-in instance driven by the tool the way a host drives it: the
// plug-in core is given the sample rate and block size, a program and
// parameter changes, its output configuration applied as the open editor's
// idle would, resumed, and fed process calls with the host's buffer layout
// (2 input and 6 output channel buffers).

#include "audio/Exporter.h"
#include "core/PluginCore.h"

#include <memory>

namespace ovinta {

class PluginSession : public ParameterSource {
public:
    PluginSession(float sampleRate, int blockSize);

    void selectProgram(int program);
    void setParameter(int index, float value);
    float getParameter(int index) override;
    // Outputs that the current outputs setting (parameter 45) asks for: 2, 4 or 5.
    int programOutputs();
    // Uses 2, 4 or 5 outputs: the outputs setting, then the output
    // configuration that routes the roles L, R, Ls, Rs, C to host channels 0..4.
    void setOutputs(int outputs);
    // The host's resume: clears the audio state and lets audio run.
    void start();

    // in: kInputChannelCapacity host buffers; out: kOutputChannelCapacity
    // host buffers; count frames each.
    void process(float** in, float** out, int count);

    RoomEngine& engine() { return core->engine(); }

private:
    std::unique_ptr<PluginCore> core;
};

} // namespace ovinta
