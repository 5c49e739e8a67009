// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EffectVST: the VST 2.4 adapter, one per plug-in instance. It owns the
// PluginCore and translates the host's opcodes into core calls: names,
// pins, speaker arrangement records, capabilities, chunks, parameters,
// programs and audio blocks. What it keeps of its own is VST translation:
// the speaker arrangement records the host reads back and the editor link.
//
// Threads: the dispatcher and parameter calls may come from any host thread;
// processReplacing comes from the audio thread and only calls the core's
// process. The speaker arrangement records are shared between dispatcher
// threads, never with the audio thread, and are guarded by arrangementLock.

#include "core/PluginCore.h"
#include "host/AudioEffectX.h"

#include <memory>
#include <mutex>

namespace ovinta {

constexpr VstInt32 kOvintaUniqueId = fourCharCode('O', 'v', 'n', 't');
constexpr VstInt32 kOvintaVendorVersion = 2300;
// Largest speaker arrangement taken from a host, and the input size above
// which a 5.1 layout replaces it: the core's limits.
constexpr int kMaxArrangementChannels = kMaxLayoutChannels;
constexpr int kMaxInputArrangementChannels = kMaxInputLayoutChannels;
// A speaker arrangement record allocated with room for its speakers.
class SpeakerArrangementBuffer {
public:
    // Room for `channels` speakers (at least the record's declared 8), all zero,
    // with the given type and channel count.
    void reset(VstInt32 type, int channels);
    // Copies type, channel count and every speaker, growing the room when needed.
    void copyFrom(const VstSpeakerArrangement& source);
    VstSpeakerArrangement* get() { return record; }
    const VstSpeakerArrangement* get() const { return record; }
    int capacity() const { return speakerCapacity; }

private:
    std::unique_ptr<unsigned char[]> bytes;
    VstSpeakerArrangement* record = nullptr;
    int speakerCapacity = 0;
};

class EffectVST : public AudioEffectX {
public:
    explicit EffectVST(audioMasterCallback host);
    ~EffectVST() override;

    PluginCore& getCore() { return core; }
    RoomEngine& getEngine() { return core.engine(); }
    // Takes ownership of the editor and registers it; it is destroyed before
    // the core.
    void attachEditor(std::unique_ptr<EditorLink> editorObject);

    // ---- Host dispatcher thread ---------------------------------------------
    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 frames) override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    VstInt32 getProgram() override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstIntPtr byteSize, bool isPreset) override;

    bool canParameterBeAutomated(VstInt32 index) override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool setSpeakerArrangement(VstSpeakerArrangement* input,
                               VstSpeakerArrangement* output) override;
    bool getSpeakerArrangement(VstSpeakerArrangement** input,
                               VstSpeakerArrangement** output) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(const char* text) override;
    VstPlugCategory getPlugCategory() override;

    // After a dispatcher call that changed the state, and after the host's
    // own parameter change: the core applies the output configuration and
    // traces a loaded program (see PluginCore).
    void stateChanged() override;
    void hostParameterSet() override;

    // ---- Audio thread ------------------------------------------------------------
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;

    // Formats a parameter value for the host's display; null (the default)
    // leaves the host's text untouched.
    using DisplayFormatter = void (*)(int index, float value, char* text, std::size_t capacity);
    void setDisplayFormatter(DisplayFormatter formatter) { displayFormatter = formatter; }

private:
    // Our own arrangement records, written from the core's layouts while
    // the host has given none. arrangementLock held.
    void writeOwnArrangements();

    PluginCore core;
    std::unique_ptr<EditorLink> ownedEditor;  // declared after the core: destroyed first
    std::mutex arrangementLock;               // guards the two records below
    SpeakerArrangementBuffer inputArrangement;  // host's input speakers, or our own stereo
    SpeakerArrangementBuffer outputArrangement; // host's output speakers, or our own layout
    DisplayFormatter displayFormatter = nullptr;
};

} // namespace ovinta
