// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The host frame of the plug-in: AudioEffect owns the AEffect record handed to
// the host and turns its entry points and dispatcher opcodes into virtual
// calls; AudioEffectX adds the 2.x opcodes (pins, speakers, capabilities,
// chunks) and the host-callback helpers. Every method answers as a plug-in
// that supports nothing (0, false or an empty string) until a subclass
// overrides it.
//
// Threads: the host may call the dispatcher, setParameter/getParameter and
// processReplacing from different threads; the frame adds no locking of its
// own, and its few scalars are relaxed atomics. Host pointers are checked
// here, once, so overrides receive non-null buffers and records. Every entry
// point is an exception barrier: a call that fails below answers as the
// format says a failed call does (0, or silence) and the instance goes on.

#include "base/Shared.h"
#include "host/EditorLink.h"
#include "host/vst2.h"

namespace ovinta {

class AudioEffect {
public:
    AudioEffect(audioMasterCallback host, int programCount, int parameterCount);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &cEffect; }
    // Registers the editor (not owned) and announces it in the record's flags.
    void setEditor(EditorLink* editorLink);
    EditorLink* getEditor() const { return editor; }

    // ---- Dispatcher thread ---------------------------------------------------
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 frames) { blockSize = frames; }

    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { name[0] = 0; }
    virtual void getParameterLabel(VstInt32 /*index*/, char* label) { label[0] = 0; }
    virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { text[0] = 0; }
    virtual void getParameterName(VstInt32 /*index*/, char* text) { text[0] = 0; }
    virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
    virtual VstInt32 setChunk(void* /*data*/, VstIntPtr /*byteSize*/, bool /*isPreset*/)
    {
        return 0;
    }

    // After the host's own setParameter call (not the editor's), on its thread.
    virtual void hostParameterSet() {}

    // ---- Audio thread ----------------------------------------------------------
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*frames*/) {}

    // ---- Host callbacks ----------------------------------------------------------
    // Version of the host's interface; 0 when there is no host or it does not answer.
    VstIntPtr getMasterVersion();
    // Sets the parameter, then records the change in the host (automation).
    virtual void setParameterAutomated(VstInt32 index, float value);

protected:
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
    void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
    void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    void programsAreChunks() { cEffect.flags |= effFlagsProgramChunks; }
    void canProcessReplacing() { cEffect.flags |= effFlagsCanReplacing; }

    audioMasterCallback audioMaster;  // the host, given at construction
    EditorLink* editor = nullptr;     // registered by the editor, not owned
    // The host may set these from one thread and read them from another.
    Shared<float> sampleRate{44100.0f}; // Hz, as the host last set it
    Shared<VstInt32> blockSize{1024};   // frames, as the host last set it
    VstInt32 numPrograms;
    VstInt32 numParams;
    Shared<VstInt32> curProgram{0};
    AEffect cEffect;                  // the record the host holds

private:
    VstIntPtr dispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt);
};

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback host, int programCount, int parameterCount);

    // After a dispatcher call that may have changed the plug-in's state
    // (program, chunk, resume, speakers), on the thread that made it, and
    // and after the host's setParameter off the audio thread.
    virtual void stateChanged() {}
    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;
    void resume() override;

    virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return false; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/)
    {
        return false;
    }
    virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/)
    {
        return false;
    }
    virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/)
    {
        return false;
    }
    virtual VstPlugCategory getPlugCategory() { return kPlugCategUnknown; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*input*/,
                                       VstSpeakerArrangement* /*output*/)
    {
        return false;
    }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** /*input*/,
                                       VstSpeakerArrangement** /*output*/)
    {
        return false;
    }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    // 1 yes, -1 no, 0 don't know.
    virtual VstInt32 canDo(const char* /*text*/) { return 0; }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual VstInt32 getVstVersion() { return 2400; }

    // ---- Host callbacks ----------------------------------------------------------
    bool beginEdit(VstInt32 index);
    bool endEdit(VstInt32 index);
    // 1 when the host answers yes to a capability question.
    VstInt32 canHostDo(const char* text);
    bool openFileSelector(VstFileSelect* selection);
    // Asks the host to resize the editor window to width x height pixels.
    bool sizeWindow(int width, int height);
    bool closeFileSelector(VstFileSelect* selection);

private:
    VstIntPtr dispatchOpcode(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr dispatchPinsAndSpeakers(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);
};

} // namespace ovinta
