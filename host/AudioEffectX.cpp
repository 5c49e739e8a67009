// SPDX-License-Identifier: GPL-3.0-or-later
// The host frame: the AEffect record, the C entry points the host calls
// through it, and the opcode dispatch that turns them into virtual calls.

#include "host/AudioEffectX.h"

#include <cmath>
#include <cstring>

namespace ovinta {

namespace {
// Text answers are written by the overrides into a scratch buffer of this
// size and then copied to the host's buffer, bounded by the sizes below, so
// no override can write past what the host passed.
constexpr std::size_t kScratchSize = 256;
// Program names are copied whole (27 characters and a NUL): hosts pass buffers
// larger than the traditional 24 bytes, and cutting names would make two
// programs look alike in the host's list.
constexpr std::size_t kProgramNameCapacity = 28;
// Parameter names, labels and displays: the longest name has 18 characters.
constexpr std::size_t kParameterTextCapacity = 19;
// Sample rates outside (0, kMaxSampleRate] are not taken from the host.
constexpr float kMaxSampleRate = 10.0e6f;

// Copies at most capacity - 1 characters of text and a NUL.
void copyToHost(void* destination, const char* text, std::size_t capacity)
{
    auto* out = static_cast<char*>(destination);
    std::size_t length = strnlen(text, capacity - 1);
    std::memcpy(out, text, length);
    out[length] = 0;
}

AudioEffect* effectOf(AEffect* effect)
{
    return effect != nullptr ? static_cast<AudioEffect*>(effect->object) : nullptr;
}

// The entry points stored in the record. They only find the object and
// forward; the host may call them from different threads. Each is a
// barrier: nothing thrown below (a failed allocation in a chunk load or an
// export, anything) unwinds into the host. A failed call gives the format's
// "failed" answer (0, or silence) and the instance goes on.
VstIntPtr dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                        void* ptr, float opt)
{
    try {
        AudioEffect* object = effectOf(effect);
        return object != nullptr ? object->dispatcher(opcode, index, value, ptr, opt) : 0;
    } catch (...) {
        return 0;
    }
}

void setParameterEntry(AEffect* effect, VstInt32 index, float value)
{
    try {
        if (AudioEffect* object = effectOf(effect)) {
            object->setParameter(index, value);
            object->hostParameterSet();
        }
    } catch (...) {
    }
}

float getParameterEntry(AEffect* effect, VstInt32 index)
{
    try {
        AudioEffect* object = effectOf(effect);
        return object != nullptr ? object->getParameter(index) : 0.0f;
    } catch (...) {
        return 0.0f;
    }
}

void processReplacingEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    try {
        if (AudioEffect* object = effectOf(effect))
            object->processReplacing(inputs, outputs, frames);
    } catch (...) {
        // Whatever the block wrote is dropped: the host hears silence.
        if (effect == nullptr || outputs == nullptr || frames <= 0)
            return;
        for (VstInt32 c = 0; c < effect->numOutputs; ++c)
            if (outputs[c] != nullptr)
                std::memset(outputs[c], 0, static_cast<std::size_t>(frames) * sizeof(float));
    }
}

// The accumulating and double-precision calls are present but do nothing:
// the plug-in only announces single-precision replacing processing.
void processEntry(AEffect*, float**, float**, VstInt32) {}
void processDoubleEntry(AEffect*, double**, double**, VstInt32) {}
} // namespace

// ---- AudioEffect -------------------------------------------------------------

AudioEffect::AudioEffect(audioMasterCallback host, int programCount, int parameterCount)
    : audioMaster(host), numPrograms(programCount), numParams(parameterCount)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = programCount;
    cEffect.numParams = parameterCount;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleEntry;
}

AudioEffect::~AudioEffect() = default;

void AudioEffect::setEditor(EditorLink* editorLink)
{
    editor = editorLink;
    if (editor != nullptr)
        cEffect.flags |= effFlagsHasEditor;
    else
        cEffect.flags &= ~effFlagsHasEditor;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt)
{
    return audioMaster != nullptr ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr AudioEffect::getMasterVersion()
{
    return callHost(audioMasterVersion, 0, 0, nullptr, 0.0f);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt)
{
    char scratch[kScratchSize] = {};
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        delete this;
        return 1;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (ptr != nullptr)
            setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr == nullptr)
            return 0;
        getProgramName(scratch);
        copyToHost(ptr, scratch, kProgramNameCapacity);
        return 0;
    case effGetParamLabel:
    case effGetParamName:
        if (ptr == nullptr)
            return 0;
        if (opcode == effGetParamLabel)
            getParameterLabel(index, scratch);
        else
            getParameterName(index, scratch);
        copyToHost(ptr, scratch, kParameterTextCapacity);
        return 0;
    case effGetParamDisplay:
        // A display that writes nothing leaves the host's text as it was.
        if (ptr == nullptr)
            return 0;
        getParameterDisplay(index, scratch);
        if (scratch[0] != 0)
            copyToHost(ptr, scratch, kParameterTextCapacity);
        return 0;
    case effSetSampleRate:
        if (std::isfinite(opt) && opt > 0.0f && opt <= kMaxSampleRate)
            setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<VstInt32>(value));
        return 0;
    case effMainsChanged:
        if (value != 0)
            resume();
        else
            suspend();
        return 0;
    case effIdentify:
        return fourCharCode('N', 'v', 'E', 'f');
    case effGetChunk:
        if (ptr == nullptr)
            return 0;
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        if (ptr == nullptr)
            return 0;
        return setChunk(ptr, value, index != 0);
    default:
        return dispatchEditor(opcode, index, value, ptr, opt);
    }
}

VstIntPtr AudioEffect::dispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt)
{
    if (editor == nullptr)
        return 0;
    int modifiers = std::isfinite(opt) ? static_cast<int>(std::fmod(opt, 65536.0f)) : 0;
    switch (opcode) {
    case effEditGetRect:
        return ptr != nullptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return ptr != nullptr && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        editor->close();
        return 1;
    case effEditIdle:
        editor->idle();
        return 1;
    case effEditKeyDown:
        return editor->onKeyDown(index, static_cast<int>(value), modifiers) ? 1 : 0;
    case effEditKeyUp:
        return editor->onKeyUp(index, static_cast<int>(value), modifiers) ? 1 : 0;
    case effSetEditKnobMode:
        return editor->setKnobMode(static_cast<int>(value)) ? 1 : 0;
    default:
        return 0;
    }
}

// ---- AudioEffectX ------------------------------------------------------------

AudioEffectX::AudioEffectX(audioMasterCallback host, int programCount, int parameterCount)
    : AudioEffect(host, programCount, parameterCount)
{
}

void AudioEffectX::resume()
{
    // Only synths and plug-ins that take MIDI ask the host for it.
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo("receiveVstMidiEvent") == 1)
        callHost(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
    const VstIntPtr result = dispatchOpcode(opcode, index, value, ptr, opt);
    if (opcode == effSetProgram || opcode == effSetChunk || opcode == effMainsChanged ||
        opcode == effSetSpeakerArrangement)
        stateChanged();
    return result;
}

VstIntPtr AudioEffectX::dispatchOpcode(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
    char scratch[kScratchSize] = {};
    switch (opcode) {
    case effProcessEvents:
        return ptr != nullptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effGetProgramNameIndexed:
        if (ptr == nullptr || !getProgramNameIndexed(static_cast<VstInt32>(value), index, scratch))
            return 0;
        copyToHost(ptr, scratch, kProgramNameCapacity);
        return 1;
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString: {
        if (ptr == nullptr)
            return 0;
        bool answered = opcode == effGetEffectName     ? getEffectName(scratch)
                        : opcode == effGetVendorString ? getVendorString(scratch)
                                                       : getProductString(scratch);
        if (!answered)
            return 0;
        copyToHost(ptr, scratch,
                   opcode == effGetEffectName ? kVstMaxEffectNameLen : kVstMaxVendorStrLen);
        return 1;
    }
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo:
        return ptr != nullptr ? canDo(static_cast<const char*>(ptr)) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effGetVstVersion:
        return getVstVersion();
    case effGetInputProperties:
    case effGetOutputProperties:
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
        return dispatchPinsAndSpeakers(opcode, index, value, ptr);
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

VstIntPtr AudioEffectX::dispatchPinsAndSpeakers(VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                void* ptr)
{
    // Every opcode here takes a record (or two) from the host.
    void* second = reinterpret_cast<void*>(value);
    switch (opcode) {
    case effGetInputProperties:
        return ptr != nullptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr));
    case effGetOutputProperties:
        return ptr != nullptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr));
    case effSetSpeakerArrangement:
        if (ptr == nullptr || second == nullptr)
            return 0;
        return setSpeakerArrangement(static_cast<VstSpeakerArrangement*>(second),
                                     static_cast<VstSpeakerArrangement*>(ptr))
                   ? 1
                   : 0;
    case effGetSpeakerArrangement:
        if (ptr == nullptr || second == nullptr)
            return 0;
        return getSpeakerArrangement(static_cast<VstSpeakerArrangement**>(second),
                                     static_cast<VstSpeakerArrangement**>(ptr))
                   ? 1
                   : 0;
    default:
        return 0;
    }
}

// ---- Host callbacks ------------------------------------------------------------

bool AudioEffectX::beginEdit(VstInt32 index)
{
    return callHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index)
{
    return callHost(audioMasterEndEdit, index, 0, nullptr, 0.0f) != 0;
}

VstInt32 AudioEffectX::canHostDo(const char* text)
{
    if (text == nullptr)
        return 0;
    return callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text), 0.0f) != 0 ? 1 : 0;
}

bool AudioEffectX::openFileSelector(VstFileSelect* selection)
{
    if (selection == nullptr)
        return false;
    return callHost(audioMasterOpenFileSelector, 0, 0, selection, 0.0f) != 0;
}

bool AudioEffectX::sizeWindow(int width, int height)
{
    return callHost(audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* selection)
{
    if (selection == nullptr)
        return false;
    return callHost(audioMasterCloseFileSelector, 0, 0, selection, 0.0f) != 0;
}

} // namespace ovinta
