#pragma once
// One reverb instance driven by the tool the way a host drives the plug-in:
// a program applied as a stream of parameter changes, the output setting,
// and process calls with the host's buffer layout (2 input and 6 output
// channel buffers).

#include "dsp/Exporter.h"
#include "engine/RoomEngine.h"

#include <memory>

class EngineSession : public ParameterSource {
public:
    EngineSession(float sampleRate);

    // Makes program p current and re-applies its stored fields in the
    // order the plug-in uses.
    void selectProgram(int program);
    void setParameter(int index, float value);
    float getParameter(int index) override;
    // 2, 4 or 5 outputs in use, with the panner's matching setting.
    void setOutputs(int outputs);
    // Outputs that the current program's own setting asks for.
    int programOutputs();
    // Clears the audio state and lets audio run (the host's resume).
    void start();

    // in: two host input buffers; out: kOutputChannelCapacity host output
    // buffers; count samples each.
    void process(float** in, float** out, int count);

    RoomEngine& engine() { return *room; }

private:
    std::unique_ptr<RoomEngine> room;
    float rate;
};
