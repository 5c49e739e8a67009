// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PluginCore: the plug-in as one C++ object that knows no plug-in format.
// It owns the RoomEngine and offers what every format needs: parameters
// (described in ParameterInfo.h), programs, state as bytes (the program and
// bank chunks), speaker layouts and the output configuration, process,
// sample rate and block size, tail length, reset, suspend and resume. A
// format's adapter translates its host's calls into these and nothing more.
//
// Threads: parameter, program, state and layout calls come from any host
// thread (also the editor's, when it sends parameters); process from the
// audio thread; applyOutputConfiguration from the editor's idle (with the
// menus) and from stateChanged on the host thread that changed the state.
// Parameter changes reach the editor through the mirror, never by a call
// into it. The speaker layouts are shared between the host threads, the
// editor's idle and a state change the host makes on its audio thread, and
// are guarded by layoutLock. The audio thread only ever tries the core's
// flags: a configuration it cannot apply at once waits for its next block,
// the next call from another thread or the editor's idle.

#include "core/ParameterMirror.h"
#include "base/Shared.h"
#include "base/SpinFlag.h"
#include "core/FailurePoints.h"
#include "core/SpeakerLayout.h"
#include "model/OvintaProgram.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace ovinta {

class EditorFollower;
class RoomEngine;

class PluginCore {
public:
    PluginCore();
    ~PluginCore();
    PluginCore(const PluginCore&) = delete;
    PluginCore& operator=(const PluginCore&) = delete;

    // ---- Host threads: set-up and life ------------------------------------------
    void setSampleRate(float rate) { rateHz = rate; }
    float sampleRate() const { return rateHz; }
    void setBlockSize(int frames) { blockFrames = frames; }
    int blockSize() const { return blockFrames; }
    // Suspend keeps the audio state; resume clears it and lets audio run.
    void suspend();
    void resume();
    // Clears the audio state (histories, filters, combs): silence in, silence out.
    void reset();
    // Samples the wet sound goes on for after the input stops: the latest
    // tap of the traced room.
    int tailSamples() const;

    // ---- Host threads: parameters (ids and texts in ParameterInfo.h) ---------------
    // The ordinary path for every change (host, editor, tools): a
    // non-finite value is ignored, stored values are held to their range,
    // the program buttons step, and the editor's mirror gets the value.
    void setParameter(int index, float value);
    float getParameter(int index);
    // What the editor shows for parameter `index`, from its own thread: a
    // stored parameter's latest value from the mirror (lock-free, never a
    // read of a program record that another thread is writing); any other
    // as getParameter gives it.
    float editorValue(int index);
    // The value parameter `index` (0..46) stores in the current program (the
    // program number for 46), as its text shows it; 0 for other indexes.
    float storedValue(int index);
    // The value text of parameter `index` (0..46) for the current program,
    // at most capacity - 1 characters; empty for other indexes.
    void parameterText(int index, char* text, std::size_t capacity);

    // ---- Host threads: programs and state ---------------------------------------------
    static constexpr int programCount() { return kProgramCount; }
    void setProgram(int program); // applies the program; out-of-range numbers change nothing
    int program() const { return currentProgram; }
    void setProgramName(const char* name);
    // At most kProgramNameSize - 1 characters and a NUL; false for an unknown program.
    bool programName(int program, char* text) const;
    // Points *data at the state (the current program when `oneProgram`, else
    // the whole bank; no copy) and returns its size in bytes.
    int32_t saveState(void** data, bool oneProgram);
    // Loads state saved by saveState (or its earlier layout) over the current
    // program or the whole bank, then applies the current program. False,
    // changing nothing, for a size that is neither.
    bool loadState(const void* data, int64_t byteSize, bool oneProgram);

    // ---- Host threads: speakers and output configuration -------------------------------
    // The host's layouts. Counts outside 1..kMaxLayoutChannels refuse both
    // (nothing changes); an input above kMaxInputLayoutChannels channels is
    // replaced by an unnamed six-channel one.
    enum class LayoutAnswer { Refused, Taken, InputReplaced };
    LayoutAnswer setSpeakerLayouts(const SpeakerLayout& input, const SpeakerLayout& output);
    bool hostLayoutGiven() const;
    // Copies of the layouts in use: the host's, or the plug-in's own layout
    // for the outputs setting as last applied.
    void copyLayouts(SpeakerLayout& input, SpeakerLayout& output);
    // After a call that may have changed the state (program, state, resume,
    // speakers) on the thread that made it: applies the output configuration
    // while no editor window does so, and traces a loaded program ahead. On
    // the audio thread it never waits: the worker traces, and a configuration
    // held up by another thread is applied at the start of the next block.
    void stateChanged();
    // After a host's own parameter change: as stateChanged, unless on the
    // audio thread, which must never wait for the layout lock.
    void hostParameterSet();
    // Turns the layouts and the outputs setting into the number of fed
    // outputs and the routing of the output roles; fills the editor's pin
    // menus when `menus` (the editor, on its own thread) is given. Does
    // nothing unless the configuration changed since the last run. On the
    // audio thread it only tries the flags and leaves a configuration it
    // cannot take now to the next block.
    void applyOutputConfiguration(EditorFollower* menus);

    // ---- Audio thread ---------------------------------------------------------------------
    // inputs: two channel buffers; outputs: six, as the outputs route them.
    void process(float** inputs, float** outputs, int frames);

    // ---- Editor -----------------------------------------------------------------------------
    // Registers the editor (not owned; null detaches it).
    void attachEditor(EditorFollower* follower) { editor = follower; }
    ParameterMirror& parameterMirror() { return mirror; }
    RoomEngine& engine() { return *roomEngine; }

private:
    void reapplyProgramFields(int program);
    void stepProgram(int step);
    void programChosen(); // after a program chosen by tag or step: configure and trace it
    // False, changing nothing, when the audio thread finds a flag taken.
    bool configure(EditorFollower* menus) REQUIRES(configurationLock);
    void writeOwnLayout() REQUIRES(layoutLock);
    void fillPinMenus(EditorFollower& menus, const SpeakerLayout& in, const SpeakerLayout& out, int count);

    std::unique_ptr<RoomEngine> roomEngine;
    ParameterMirror mirror;
    FailurePoints failures;                  // test builds: injected failures
    EditorFollower* editor = nullptr;        // the attached editor, not owned
    Shared<float> rateHz{44100.0f};          // as the host last set it
    Shared<int> blockFrames{1024};           // as the host last set it
    Shared<int> currentProgram{0};
    SpinFlag configurationLock;              // one applyOutputConfiguration at a time
    bool pinMenusStale GUARDED_BY(configurationLock) = true;
    std::atomic<bool> configurationDeferred{false}; // the audio thread found a flag taken
    SpinFlag layoutLock;
    SpeakerLayout inputLayout GUARDED_BY(layoutLock);  // host's input speakers, or our own stereo
    SpeakerLayout outputLayout GUARDED_BY(layoutLock); // host's output speakers, or our own layout
    std::unique_ptr<unsigned char[]> stateAside; // a chunk that overlaps the bank, copied before loading
};

} // namespace ovinta
