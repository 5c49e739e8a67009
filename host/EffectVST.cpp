// SPDX-License-Identifier: GPL-3.0-or-later
// EffectVST: construction, parameters and programs, names, chunks, pins and
// capabilities, each a translation into the core. Speaker arrangement records
// live in SpeakerArrangements.cpp.

#include "host/EffectVST.h"

#include "model/Parameters.h"

#include <cstdio>
#include <cstring>

namespace ovinta {

namespace {
// Output pins: label and whether the pin is the first of a stereo pair.
struct OutputPin {
    const char* label;
    bool stereo;
};
constexpr OutputPin kOutputPins[kOutputChannelCapacity] = {
    {"5.1 Out", true}, {"5.1 Out", false}, {"Center", false},
    {"LFE", false},    {"Stereo Back", true}, {"5.1 Out", false},
};

// Capabilities the plug-in admits; every other question is answered "no".
constexpr const char* kCapabilities[] = {"receiveVstEvents", "plugAsChannelInsert", "4in8out",
                                         "mixDryWet"};

} // namespace

// ---- Construction --------------------------------------------------------------

EffectVST::EffectVST(audioMasterCallback host)
    : AudioEffectX(host, kProgramCount, kHostParameterCount)
{
    setUniqueID(kOvintaUniqueId);
    programsAreChunks();
    setNumInputs(kInputChannelCapacity);
    setNumOutputs(kOutputChannelCapacity);
    outputArrangement.reset(kSpeakerArr51, kOutputChannelCapacity);
    inputArrangement.reset(kSpeakerArrStereo, kInputChannelCapacity);
    canProcessReplacing();
    // The editor window is announced from the start; it registers itself later.
    cEffect.flags |= effFlagsHasEditor;
    AudioEffectX::resume();
}

EffectVST::~EffectVST()
{
    setEditor(nullptr);
    ownedEditor.reset();
}

void EffectVST::attachEditor(std::unique_ptr<EditorLink> editorObject)
{
    ownedEditor = std::move(editorObject);
    setEditor(ownedEditor.get());
    // The editor is always announced, whether or not one is attached.
    cEffect.flags |= effFlagsHasEditor;
}

// ---- Life ---------------------------------------------------------------------------

void EffectVST::suspend()
{
    core.suspend();
}

void EffectVST::resume()
{
    core.resume();
    AudioEffectX::resume();
}

void EffectVST::setSampleRate(float rate)
{
    AudioEffectX::setSampleRate(rate);
    core.setSampleRate(rate);
}

void EffectVST::setBlockSize(VstInt32 frames)
{
    AudioEffectX::setBlockSize(frames);
    core.setBlockSize(frames);
}

void EffectVST::stateChanged()
{
    core.stateChanged();
}

void EffectVST::hostParameterSet()
{
    core.hostParameterSet();
}

// ---- Parameters --------------------------------------------------------------------

void EffectVST::setParameter(VstInt32 index, float value)
{
    core.setParameter(index, value);
}

float EffectVST::getParameter(VstInt32 index)
{
    return core.getParameter(index);
}

bool EffectVST::canParameterBeAutomated(VstInt32)
{
    return true;
}

void EffectVST::getParameterLabel(VstInt32 index, char* label)
{
    std::strcpy(label, parameterLabel(index));
}

void EffectVST::getParameterName(VstInt32 index, char* text)
{
    std::strcpy(text, parameterName(index));
}

void EffectVST::getParameterDisplay(VstInt32 index, char* text)
{
    // Without a formatter the host's text is left as it was and the host
    // shows its own rendering of the raw value.
    if (displayFormatter == nullptr || index < 0 || index >= kHostParameterCount)
        return;
    // Hosts size this buffer by the traditional display length; a longer
    // text is cut rather than written past it.
    displayFormatter(index, core.storedValue(index), text, kVstMaxParamStrLen);
}

// ---- Programs ----------------------------------------------------------------------

void EffectVST::setProgram(VstInt32 program)
{
    core.setProgram(program);
}

VstInt32 EffectVST::getProgram()
{
    return core.program();
}

void EffectVST::setProgramName(char* name)
{
    core.setProgramName(name);
}

void EffectVST::getProgramName(char* name)
{
    core.programName(core.program(), name);
}

bool EffectVST::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    return core.programName(index, text);
}

// ---- Chunks --------------------------------------------------------------------------

VstInt32 EffectVST::getChunk(void** data, bool isPreset)
{
    return core.saveState(data, isPreset);
}

VstInt32 EffectVST::setChunk(void* data, VstIntPtr byteSize, bool isPreset)
{
    return core.loadState(data, static_cast<int64_t>(byteSize), isPreset) ? 1 : 0;
}

// ---- Description -----------------------------------------------------------------------

VstInt32 EffectVST::processEvents(VstEvents*)
{
    return 0;
}

bool EffectVST::getInputProperties(VstInt32 index, VstPinProperties* properties)
{
    if (index < 0 || index >= kInputChannelCapacity)
        return false;
    std::snprintf(properties->label, sizeof(properties->label), "My %1d In", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    properties->arrangementType = kSpeakerArrStereo;
    return true;
}

bool EffectVST::getOutputProperties(VstInt32 index, VstPinProperties* properties)
{
    if (index < 0 || index >= kOutputChannelCapacity)
        return false;
    const OutputPin& pin = kOutputPins[index];
    // The flags are added to whatever the host left in the record.
    properties->flags |= kVstPinIsActive | kVstPinUseSpeaker;
    if (pin.stereo)
        properties->flags |= kVstPinIsStereo;
    properties->arrangementType = kSpeakerArr51;
    std::snprintf(properties->label, sizeof(properties->label), "%s", pin.label);
    return true;
}

bool EffectVST::getVendorString(char* text)
{
    std::strcpy(text, "Fenwardy");
    return true;
}

bool EffectVST::getProductString(char* text)
{
    std::strcpy(text, "Ovinta");
    return true;
}

VstInt32 EffectVST::getVendorVersion()
{
    return kOvintaVendorVersion;
}

VstInt32 EffectVST::canDo(const char* text)
{
    for (const char* capability : kCapabilities)
        if (std::strcmp(text, capability) == 0)
            return 1;
    return -1;
}

VstPlugCategory EffectVST::getPlugCategory()
{
    return kPlugCategRoomFx;
}

// ---- Audio thread ------------------------------------------------------------------------

void EffectVST::processReplacing(float** inputs, float** outputs, VstInt32 frames)
{
    core.process(inputs, outputs, frames);
}

} // namespace ovinta
