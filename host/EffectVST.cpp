// EffectVST: construction, parameters and programs, names, chunks, pins and
// capabilities. Speaker arrangements and the output configuration live in
// OutputConfiguration.cpp.

#include "host/EffectVST.h"

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "model/ParameterTable.h"
#include "model/Parameters.h"
#include "model/ProgramChunks.h"

#include <cmath>
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

// Copies at most kProgramNameSize - 1 characters of a stored name, which a
// loaded chunk may have left without its NUL, and a NUL.
void copyProgramName(char* text, const OvintaProgram& program)
{
    std::size_t length = strnlen(program.name, kProgramNameSize - 1);
    std::memcpy(text, program.name, length);
    text[length] = 0;
}
} // namespace

// ---- Construction --------------------------------------------------------------

EffectVST::EffectVST(audioMasterCallback host)
    : AudioEffectX(host, kProgramCount, kHostParameterCount)
{
    engine = std::make_unique<RoomEngine>();
    setUniqueID(kOvintaUniqueId);
    programsAreChunks();
    setNumInputs(kInputChannelCapacity);
    setNumOutputs(kOutputChannelCapacity);
    outputArrangement.reset(kSpeakerArr51, kOutputChannelCapacity);
    inputArrangement.reset(kSpeakerArrStereo, kInputChannelCapacity);
    engine->setInputChannelCount(kInputChannelCapacity);
    canProcessReplacing();
    // The editor window is announced from the start; it registers itself later.
    cEffect.flags |= effFlagsHasEditor;

    curProgram = 0;
    setProgram(0);
    engine->setProgramAndRate(curProgram, sampleRate);
    engine->resetAudio();
    AudioEffectX::resume();
}

EffectVST::~EffectVST()
{
    setEditor(nullptr);
    ownedEditor.reset();
    engine.reset();
}

void EffectVST::attachEditor(std::unique_ptr<EditorLink> editorObject)
{
    ownedEditor = std::move(editorObject);
    setEditor(ownedEditor.get());
    // The editor is always announced, whether or not one is attached.
    cEffect.flags |= effFlagsHasEditor;
}

// ---- Suspend and resume ------------------------------------------------------------

void EffectVST::suspend()
{
    engine->setProgramAndRate(curProgram, sampleRate);
}

void EffectVST::resume()
{
    engine->setProgramAndRate(curProgram, sampleRate);
    engine->resetAudio();
    // A program chosen before the host resumes plays fully from the first block.
    engine->traceProgramAhead();
    AudioEffectX::resume();
}

// ---- Parameters --------------------------------------------------------------------

void EffectVST::setParameter(VstInt32 index, float value)
{
    // A value that is not a number would poison the derived values and the
    // audio: it changes nothing and is not shown by the editor either.
    if (!std::isfinite(value) || index < 0)
        return;
    // Stored parameters are held to their valid range here, where values
    // from the host, the editor and the tools enter. A pin naming a channel
    // the plug-in does not have is refused by the engine instead.
    if (index < param::kSpeakerIn1 || index > param::kSpeakerOut5)
        value = param::limitToRange(index, value);
    engine->setParameter(index, value);

    if (index == param::kProgramSelect) {
        double number = std::trunc(static_cast<double>(value));
        if (number >= 0.0 && number < kProgramCount &&
            static_cast<int>(number) != engine->currentProgram()) {
            setProgram(static_cast<VstInt32>(number));
            programChosen();
        }
    } else if (index == param::kProgramPrevious && value == 0.0f) {
        // The kick buttons send 1 on press and 0 on release: step on release.
        stepProgram(-1);
    } else if (index == param::kProgramNext && value == 0.0f) {
        stepProgram(+1);
    }

    if (editor != nullptr)
        editor->setParameter(index, value);
}

void EffectVST::stepProgram(int step)
{
    int current = curProgram;
    int next = (current + step + kProgramCount) % kProgramCount;
    if (next == current)
        return;
    setProgram(next);
    programChosen();
    if (editor != nullptr)
        editor->setParameter(param::kProgramSelect, static_cast<float>(next));
}

void EffectVST::hostParameterSet()
{
    if (!engine->onAudioThread())
        stateChanged();
}

void EffectVST::programChosen()
{
    // The output configuration the program asks for comes first, so that the
    // room traced ahead is the one its outputs play.
    if (!engine->onAudioThread())
        stateChanged();
}

float EffectVST::getParameter(VstInt32 index)
{
    return engine->getParameter(index);
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
    const float* field = programField(engine->currentProgramRecord(), index);
    float value = field != nullptr ? *field : static_cast<float>(curProgram);
    // Hosts size this buffer by the traditional display length; a longer
    // text is cut rather than written past it.
    displayFormatter(index, value, text, kVstMaxParamStrLen);
}

// ---- Programs ----------------------------------------------------------------------

void EffectVST::setProgram(VstInt32 program)
{
    if (program < 0 || program >= kProgramCount)
        return;
    curProgram = program;
    engine->setProgramAndRate(program, sampleRate);
    engine->selectProgram(program);
    reapplyProgramFields(program);
    setParameter(param::kProgramSelect, static_cast<float>(program));
    engine->finishProgram();
}

void EffectVST::reapplyProgramFields(int program)
{
    // Every field goes through the ordinary parameter path, so the engine and
    // the editor see a program change as a burst of single changes, in the
    // parameter table's order: positions, pins, head and diffusion, switches,
    // gains and walls, scale and pre-delay, rays, panner, outputs, bend,
    // height, scatter, then the equaliser. The value is read before the call,
    // which may store an adjusted value back.
    OvintaProgram& record = engine->programBank().programs[program];
    for (int rank = 0; rank < kStoredParameterCount; ++rank) {
        const int index = param::programApplyIndex(rank);
        setParameter(index, *programField(record, index));
    }
}

VstInt32 EffectVST::getProgram()
{
    return curProgram;
}

void EffectVST::setProgramName(char* name)
{
    engine->programBank().programs[curProgram].setName(name);
}

void EffectVST::getProgramName(char* name)
{
    copyProgramName(name, engine->programBank().programs[curProgram]);
}

bool EffectVST::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (index < 0 || index >= kProgramCount)
        return false;
    copyProgramName(text, engine->programBank().programs[index]);
    return true;
}

// ---- Chunks --------------------------------------------------------------------------

VstInt32 EffectVST::getChunk(void** data, bool isPreset)
{
    return getChunkData(engine->programBank(), curProgram, isPreset, data);
}

VstInt32 EffectVST::setChunk(void* data, VstIntPtr byteSize, bool isPreset)
{
    if (!loadChunkData(engine->programBank(), curProgram, data, static_cast<int64_t>(byteSize), isPreset))
        return 0;
    // The program number is not part of a chunk: the current one stays and
    // its new contents are applied at once.
    setProgram(curProgram);
    engine->setProgramAndRate(curProgram, sampleRate);
    engine->editorSignals().viewDirty = true;
    return 1;
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
    if (inputs == nullptr || outputs == nullptr || frames < 0)
        return;
    processBlock(*engine, inputs, outputs, frames);
}

} // namespace ovinta
