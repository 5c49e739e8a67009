#pragma once
// EffectVST: the plug-in's effect object, one per instance. It creates and
// owns the RoomEngine, answers the host's opcodes (names, pins, speakers,
// capabilities, chunks), routes parameter changes to the engine and the
// editor, applies programs and hands audio blocks to the engine's process
// driver. It keeps almost no state of its own: the program index, the
// speaker arrangements and the editor link.
//
// Threads: the dispatcher and parameter calls may come from any host thread;
// processReplacing comes from the audio thread and only calls processBlock;
// applyOutputConfiguration comes from the editor's idle and from
// stateChanged, on the host thread that changed the program, a chunk, the
// speakers or a parameter; only the editor's idle touches the editor's menus.
// It calls no host callback; it takes configurationLock and arrangementLock,
// so it is never run on the audio thread. The
// speaker arrangement records are shared between the dispatcher and the
// editor's idle, never with the audio thread, and are guarded by
// arrangementLock.

#include "host/AudioEffectX.h"

#include <memory>
#include <mutex>

namespace ovinta {

class RoomEngine;

constexpr VstInt32 kOvintaUniqueId = fourCharCode('O', 'v', 'n', 't');
constexpr VstInt32 kOvintaVendorVersion = 2300;
// Largest speaker arrangement taken from a host; larger (or empty, or
// negative) channel counts are refused.
constexpr int kMaxArrangementChannels = 64;
// Input arrangements above this many channels are replaced by a 5.1 layout.
constexpr int kMaxInputArrangementChannels = 6;

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

    RoomEngine& getEngine() { return *engine; }
    // Takes ownership of the editor and registers it; it is destroyed before
    // the engine.
    void attachEditor(std::unique_ptr<EditorLink> editorObject);

    // ---- Host dispatcher thread ---------------------------------------------
    void suspend() override;
    void resume() override;

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

    // ---- Editor idle ------------------------------------------------------------
    // Turns the host's speakers and the outputs setting into the number of fed
    // outputs, the routing of the output roles and the editor's pin menus.
    // Does nothing unless the configuration changed since the last run. The
    // menus are filled only when `fillMenus` says the caller is the editor's
    // own thread; a run from another thread leaves them for the editor's
    // next run, which then applies the configuration again with its menus.
    // Runs are serialised: the editor's idle and a host thread may overlap.
    void applyOutputConfiguration(bool fillMenus = true);
    // A project reloaded in a host that never opens the editor still plays
    // its saved outputs: the configuration is applied here while no editor
    // window runs its idle.
    void stateChanged() override;
    // Automation of the outputs setting or a pin from a host that never opens
    // the editor must still reach the routing, and a program chosen by tag is
    // traced ahead: both run here unless the call came on the audio thread,
    // which must never wait for the arrangement lock; a change made there
    // waits for the host's next call on another thread. Nothing here calls
    // back into the host.
    void hostParameterSet() override;

    // ---- Audio thread ------------------------------------------------------------
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;

    // Formats a parameter value for the host's display; null (the default)
    // leaves the host's text untouched.
    using DisplayFormatter = void (*)(int index, float value, char* text, std::size_t capacity);
    void setDisplayFormatter(DisplayFormatter formatter) { displayFormatter = formatter; }

private:
    void reapplyProgramFields(int program);
    void stepProgram(int step);
    void programChosen(); // after a program chosen by tag or step: configure and trace it
    void writeOwnLayout();

    std::unique_ptr<RoomEngine> engine;
    std::unique_ptr<EditorLink> ownedEditor;  // declared after the engine: destroyed first
    std::mutex configurationLock;             // one applyOutputConfiguration at a time
    bool pinMenusStale = true;                // guarded by configurationLock
    std::mutex arrangementLock;               // guards the two records below
    SpeakerArrangementBuffer inputArrangement;  // host's input speakers, or our own stereo
    SpeakerArrangementBuffer outputArrangement; // host's output speakers, or our own layout
    DisplayFormatter displayFormatter = nullptr;
};

} // namespace ovinta
