// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RoomEngine: the one object per plug-in instance that turns a drawn room into
// sound. It holds the active walls, the positions, the 45 programs, two input
// histories, the ray slots with their taps, the diffusion combs, the equaliser
// and every value derived from the parameters. About 10 MB, all allocated in
// the constructor; nothing is allocated afterwards.
//
// Its calls are grouped by the thread that makes them:
// - host thread (parameters, programs, chunks, output configuration), also
//   the editor when it sends parameters;
// - audio thread (the process driver and the exporter, which takes the audio
//   path away first): the audio path's buffers, the ray slots, commit and
//   tracing;
// - editor thread: a snapshot of walls and markers, wall edits, idle tracing
//   and the signals the engine raises for the screens.
//
// Ownership rules:
// - Derived values (EngineValues) are relaxed shared scalars: written by the
//   setter (some by the tracer), read by the tracer, the kernels and the
//   editor at their next step.
// - The audio path (AudioPath, and the committed taps of the ray slots)
//   belongs to the audio thread. Another thread that must touch it (reset,
//   export, idle tracing) first takes the path away through the gate
//   (takeAudioPath / tryTakeAudioPath, base/AudioPathGate.h).
// - The tracer's state (active walls, the slots' path and pending-tap fields
//   while pending is 0, the step cursor) is guarded by a spin flag. The audio
//   thread only ever tries it and skips tracing when it is busy; other
//   threads spin for it (wall copies and edits, tracing). A wall list the
//   audio thread applies waits in a stage for the flag's next holder.
// - The audio thread never waits and never traces a whole room. A program
//   change that needs a trace is traced ahead: on the host thread that made
//   it (traceProgramAhead), or by the engine's worker thread, or, for an
//   engine made without one, by its owner calling runTraceWork. The audio
//   thread commits the traced room at a block start: at once when it is
//   ready for the first block after the change, else crossfaded like any
//   retrace.
// - A ray slot's pending tap is handed from the tracer to the kernels with the
//   slot's `pending` flag (release on post, acquire on take).
// - Ray set-ups requested by the setter (stereo switch, ray count) bump the
//   change count at once; the slot and comb rewrite is done by the next
//   thread that traces, so it never tears a slot the kernels are reading.
// - Equaliser designs are published to the audio thread through a sequence
//   counter (seqlock); the kernels pick up a consistent set at block start.
//   A band the audio thread changes while another thread designs is marked
//   and designed by the next holder of the designs' flag.

#include "base/AudioPathGate.h"
#include "base/EngineRandom.h"
#include "base/Limits.h"
#include "base/SpinFlag.h"
#include "base/ThreadSafety.h"
#include "engine/EngineParts.h"
#include "engine/RaySlot.h"
#include "engine/RayTracer.h"
#include "engine/WallGrid.h"
#include "engine/WallStage.h"
#include "model/OvintaProgram.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <thread>

namespace ovinta {

constexpr int kInitialChangeCount = 23;

// Who traces the program changes the audio thread cannot wait for: the
// engine's own worker thread, or the engine's owner through runTraceWork
// (a plug-in format's host worker, a deterministic offline render).
enum class TraceWorker { Own, Caller };

class RoomEngine {
public:
    explicit RoomEngine(TraceWorker worker = TraceWorker::Own);
    ~RoomEngine(); // stops and joins the worker thread
    RoomEngine(const RoomEngine&) = delete;
    RoomEngine& operator=(const RoomEngine&) = delete;

    // ---- Host thread (and the editor's parameter changes) -----------------
    // Stores the raw value in the current program and updates the derived
    // value (see the setter). A non-finite value changes nothing.
    void setParameter(int index, float value);
    float getParameter(int index);

    void setProgramAndRate(int program, float rate);
    void selectProgram(int program); // make current, copy its walls, set loadingProgram
    void finishProgram();            // set viewDirty, outputsChanged, roomDirty, audio, immediateRebuild
    OvintaProgram& currentProgramRecord() { return bank.programs[values.currentProgram.load()]; }
    ProgramBank& programBank() { return bank; } // names and chunks
    int currentProgram() const { return values.currentProgram; }
    // After a program change (finishProgram), on the thread that made it:
    // traces the new room fully (and sets up the rays it asks for) into taps
    // that the audio thread only has to commit at its next block start, so
    // the block plays the whole new room while the audio thread does almost
    // nothing. False, leaving the trace to the worker, when no program change
    // awaits its room, on the audio thread, or when the tracer stays busy.
    bool traceProgramAhead();
    // The work handed on by the audio thread: the room of a program change
    // traced ahead (waiting for the tracer's flag), a history refilled for
    // the next reset. Run by the worker thread, or by the owner of an engine
    // made with TraceWorker::Caller, or by an offline render on the thread
    // that plays, between process calls (never inside one). On return every
    // program change finished before the call has its room traced, so the
    // next block plays it whole. True when it did something.
    bool runTraceWork();
    // A program change whose room the audio thread does not play yet.
    bool programChangePending() const;

    // Number of channels of the host's input arrangement (1 forces mono sources).
    void setInputChannelCount(int channels) { values.inputChannelCount = channels; }
    // Output configuration: the host described its speakers (outputs > 0),
    // the editor or a parameter asked for the configuration to be recomputed,
    // and the host boundary applied it (output count and panner gains).
    void setSpeakerOutputs(int outputs);
    bool speakerArrangementGiven() const { return arrangementGiven; }
    void requestOutputConfiguration() { outputsChanged.store(true, std::memory_order_release); }
    bool takeOutputConfigurationRequest();
    void applyOutputCount(int outputs);

    // Holds the audio path for a scope (export, tests): takeAudioPath on
    // construction, releaseAudioPath on destruction.
    class SCOPED_CAPABILITY AudioPathHold {
    public:
        explicit AudioPathHold(RoomEngine& e) ACQUIRE(e.pathGate) : engine(e) { engine.takeAudioPath(); }
        ~AudioPathHold() RELEASE() { engine.releaseAudioPath(); }
        AudioPathHold(const AudioPathHold&) = delete;
        AudioPathHold& operator=(const AudioPathHold&) = delete;

    private:
        RoomEngine& engine;
    };
    // Takes the audio path away: audio stops, waits for a running block to end.
    void takeAudioPath() ACQUIRE(pathGate);
    // The same without waiting: false (and audio left running) when a block runs.
    bool tryTakeAudioPath() TRY_ACQUIRE(true, pathGate);
    void releaseAudioPath() RELEASE(pathGate); // audio runs again
    // Take, clear history, EQ state and combs, release. On the audio thread
    // it never waits: a path held elsewhere is cleared at the next block start.
    void resetAudio();

    // ---- Any thread: read-only views -------------------------------------
    const EngineValues& derived() const { return values; }
    int changeCount() const { return changes.load(std::memory_order_acquire); }
    bool onAudioThread() const; // the calling thread made the latest process call

    // ---- Audio thread (or a thread holding the audio path) ----------------
    // The start of a process call: false when audio is disabled, and the call
    // must return at once (without endProcess).
    bool beginProcess() TRY_ACQUIRE(true, pathGate);
    void endProcess() RELEASE(pathGate);
    // Block start: commits a room traced ahead when the tracer is free (a
    // busy tracer leaves it to the next block), hands a program change that
    // waits untraced to the worker, and runs a reset that waited for the path.
    void rebuildAfterProgramChange();
    AudioPath& audioPath() { return audio; }
    const AudioPath& audioPath() const { return audio; }
    // Every slot; the first activeRays are in use.
    std::span<RaySlot, kMaxRays> raySlots() { return slots; }
    std::span<const RaySlot, kMaxRays> raySlots() const { return slots; }
    void raiseOutputPeak(int role, float peak);
    void commitTaps();
    // Copies the latest consistent published EQ designs into sets A and C
    // (called by the process driver and the exporter at block start).
    void pickUpEqDesigns();
    // Runs units x 32 ray steps (0 counts as 1), then longestTap and the comb
    // refresh. Returns false, having done nothing, when the tracer is busy.
    bool trace(int units);
    // Immediate ray and comb set-up (constructor, export).
    void setupRays();
    // Units a program change traces ahead of the new room's first block.
    static constexpr int kRebuildUnits = 4096;
    // The exporter, holding the audio path: render at this rate with this dry
    // gain (and then set the saved values back).
    void setRenderSettings(float sampleRate, float dryGain);
    // Benchmarks: trace with the plain wall scan instead of the wall grid.
    void usePlainWallScan(bool plain);

    // ---- Editor thread -----------------------------------------------------
    EditorSignals& editorSignals() { return signals; }
    // Editor idle (at most every 40 ms): when no audio block ran since
    // `lastSeenTick`, commit and trace 32 units on this thread. Returns the
    // tick to pass next time.
    int idleTrace(int lastSeenTick);
    // Copies the active walls (up to kMaxWalls) into `out`; returns the count.
    int copyWalls(Wall* out);
    // The first `count` slots (at most kMaxRays) as the overlays draw them;
    // returns how many were copied.
    int copyRayViews(RayView* out, int count);
    // Clears the posted flag of every slot in use; returns how many were set
    // (taps posted since the last call).
    int takePostedFlags();
    // The latest posted taps of slots [first, first + count); returns how
    // many were copied (none beyond the slots in use).
    int copyPostedTaps(int first, int count, PostedTap* out);
    // The meters lower a role's peak as it decays; the kernels raise it.
    void lowerOutputPeak(int role, float level);
    // The meter screen's panner drag: the position in panner units (0..46)
    // and the output gains follow at once; the host hears of it through
    // parameters 21 and 22, whose setter then stores the same position.
    void movePanner(float x, float y);
    // Copies the designs of the analysed EQ sets (B for history 0, D for 1).
    void copyAnalysisEq(int set, EQfilter* bandsOut);
    // Replaces the active wall list (program selection; tests).
    void setActiveWalls(const Wall* source, int count);

    // Wall edits of the room editor, in whole metres on the 50 x 50 m plan.
    // Each takes the tracer's lock and acts on the active walls and the
    // current program's walls together, keeping them index for index; those
    // that add or remove walls retrace.
    // Appends a wall; false (nothing added) when the list is full, an end
    // is off the plan or the wall has no length.
    bool insertWall(int x1, int y1, int x2, int y2);
    // Removes wall `index`, moving the later walls down by one.
    bool deleteWall(int index);
    // Removes every wall whose truncated ends are (x1, y1)-(x2, y2), scanning
    // forward (a wall that moves into a freed place is not examined again).
    // Returns how many went.
    int deleteWallByEnds(int x1, int y1, int x2, int y2);
    // Live preview of a vertex drag, on the active walls only. Pick: every
    // wall end at `from` is marked (dragEnd 1 or 2) and moved to `to`. Move:
    // every marked end at `from` moves to `to`. True when an end moved.
    enum class VertexDrag { Pick, Move };
    bool dragVertex(int fromX, int fromY, int toX, int toY, VertexDrag kind);
    // The first wall with a marked end at (x, y), or -1.
    int findDraggedWall(int x, int y);
    // The first wall in list order that passes through (x, y) (within one
    // grid step of its line, inside its bounding box), or -1.
    int findWallAt(int x, int y);
    // Wall `index` as the tracer sees it (moved ends of a drag included);
    // false when there is no such wall.
    bool copyWall(int index, Wall& out);
    // Forgets every drag mark (a vertex drag ended or never started).
    void clearDragMarks();

    // The markers the room editor drags.
    enum class Marker { Listener = 0, Source1 = 1, Source2 = 2 };
    // Moves a marker to whole metres (x, y) on the plan, under the tracer's
    // lock so no path starts or ends on a half-moved marker; the current
    // program's position fields follow at once, and every ray retraces.
    // Positions off the plan are clamped to its edge.
    void moveMarker(Marker which, int x, int y);

private:
    friend struct RoomEngineTestAccess; // tests: scenarios no caller could set up

    // Setter groups (one per kind of parameter).
    void setRoomParameter(int index, float value);
    void setMixParameter(int index, float value);
    void setEqParameter(int index, float value);
    void setRoutingParameter(int index, float value);
    void setEditorTag(int index, float value);
    void bumpChangeCount();
    // Bumps changeCount, and requests a ray set-up, as the parameter table
    // says a change of `index` does.
    void announceChange(int index);
    void requestRaySetup();
    void showTempView(int mode, int ticks);
    void updateOutputGains();        // surround-panner gains from panX, panY, outputsSetting
    void updateEqBand(int band);     // redesign band 0..3 from its stored settings

    // The tracer's flag, taken with the staged wall list adopted. The try
    // never waits (audio thread).
    bool tryLockTracer() TRY_ACQUIRE(true, tracerFlag);
    void adoptStagedWalls() REQUIRES(tracerFlag);
    void removeWall(int index) REQUIRES(tracerFlag); // from both lists

    // Worker thread and the work handed to it.
    void runWorker(uint32_t seen); // seen: the wake-up signal when the thread started
    void wakeWorker();
    bool refillSpareHistory();
    void clearAudioPath();           // the reset's work, audio path held
    void designWaitingEqBands() REQUIRES(eqFlag);
    void designEqBand(int band) REQUIRES(eqFlag);

    // Slot and comb rewrite for the current ray count and sources (tracer thread).
    void rewriteRays() REQUIRES(tracerFlag);
    void triggerCombs() REQUIRES(tracerFlag);
    void setUpRaysAhead() REQUIRES(tracerFlag); // the whole set-up, kept off the kernels' fields
    float drawFadeStep() REQUIRES(tracerFlag);

    // Tracing ahead (RayTracer.cpp), under the tracer's flag: the taps go to
    // the slots' ahead fields; the commit, by a thread that owns the audio
    // path, turns them into the committed taps: at once when the room is
    // ready for the first block after its change, as crossfades when blocks
    // of the old room played meanwhile (lateChange).
    bool traceAhead(int units) REQUIRES(tracerFlag);
    void commitPrepared() REQUIRES(tracerFlag);
    void commitTracedAhead() REQUIRES(tracerFlag);
    void fadeInTracedAhead() REQUIRES(tracerFlag);
    void finishCommit(int count) REQUIRES(tracerFlag);
    void discardTracedAhead() REQUIRES(tracerFlag);
    void refreshDiffusion();

    // ---- Values and signals -------------------------------------------------
    EngineValues values;
    EditorSignals signals;

    // ---- Room (guarded by the tracer's flag) ---------------------------------
    SpinFlag tracerFlag;
    uint32_t preparedChange GUARDED_BY(tracerFlag) = 0; // programChanges the preparation traced
    int aheadLongestTap GUARDED_BY(tracerFlag) = 0;    // longestTap of the rebuild traced ahead
    EngineRandom random GUARDED_BY(tracerFlag);        // crossfade steps and comb set-ups
    WallStage stagedWalls;             // posted by the audio thread, adopted under the flag

    // ---- Programs, slots and the audio path ---------------------------------
    ProgramBank bank;                  // reserved word + 45 contiguous records
    RaySlot slots[kMaxRays];
    RayTracer tracer GUARDED_BY(tracerFlag); // active walls, ray paths and the stepping over the slots
    AudioPath audio;

    // ---- Hand-overs between threads -------------------------------------------
    AudioPathGate pathGate;            // the audio thread's process calls, or one other holder
    // A program change waits for its room to be traced: set (release) by
    // finishProgram, taken (acquire) by the thread that traces it ahead.
    std::atomic<bool> immediateRebuild{false};
    // Program changes finished so far (relaxed; immediateRebuild orders them).
    std::atomic<uint32_t> programChanges{0};
    // The latest program change that a block started under before its room
    // was committed; that room fades in. Touched only by the audio path's owner.
    uint32_t lateChange = ~0u;
    // A reset on the audio thread found the path held: the next block start
    // clears it. Audio thread and path holders.
    std::atomic<bool> resetWaiting{false};
    // A rebuild traced ahead waits for its commit. Written under the tracer's
    // flag, whose release and acquire order it; read early without the flag
    // only as a hint.
    std::atomic<bool> rebuildPrepared{false};
    // The thread of the latest process call: it never waits, and a program
    // change made on it is traced by the worker.
    std::atomic<std::thread::id> audioThread{};
    std::atomic<int> changes{kInitialChangeCount}; // release on change, acquire by the tracer
    std::atomic<bool> raySetupRequested{false}; // release by the setter, acquire by the tracer
    Shared<bool> arrangementGiven;     // host has described its speakers
    // Output configuration must be recomputed: set (release) by any thread,
    // taken (exchange) by the one thread that then applies it.
    std::atomic<bool> outputsChanged{true};

    // ---- Equaliser designs ------------------------------------------------------
    // Sets B and D are the copies that the EQ view analyses; their designs are
    // published to the audio path's sets A and C.
    SpinFlag eqFlag;                   // one designer at a time; the audio thread only tries
    EQfilter eqB[kEqBands] GUARDED_BY(eqFlag);
    EQfilter eqD[kEqBands] GUARDED_BY(eqFlag);
    EqDesign eqDesign[2][kEqBands];    // [0] for set A, [1] for set C
    std::atomic<uint32_t> eqSequence{0}; // odd while a design is being written
    // Bands (bit per band) changed but not designed yet (release on mark,
    // acquire by the designer that takes them).
    std::atomic<uint32_t> eqBandsWaiting{0};

    // ---- History refill and worker ----------------------------------------------
    // Histories filled with the reset value: a reset on the audio thread
    // swaps them in and hands the old ones to the worker to refill.
    std::unique_ptr<float[]> spareHistory[2];
    // True while the spares are filled and the audio path's to take (release
    // by the refiller, acquire by the reset); false while the worker's.
    std::atomic<bool> spareReady{true};
    uint32_t spareDirtyEnd = 0;        // writePos when the spares were swapped out
    uint32_t spareDirtyCount = 0;      // samples before it to refill
    std::atomic<uint32_t> workSignal{0}; // bumped (release) to wake the worker
    std::atomic<bool> stopping{false};   // the worker ends (release by the destructor)
    std::thread worker;                // absent for TraceWorker::Caller
};

} // namespace ovinta
