#pragma once
// RoomEngine: the one object per plug-in instance that turns a drawn room into
// sound. It holds the active walls, the positions, the 45 programs, two input
// histories, the ray slots with their taps, the diffusion combs, the equaliser
// and every value derived from the parameters. About 10 MB, all allocated in
// the constructor; nothing is allocated afterwards.
//
// Three kinds of thread share it without a lock on the audio path:
// - the host's parameter calls and the editor (setter, program selection,
//   reset, export), any thread;
// - the audio thread (processBlock: kernels, commit, tracing);
// - the editor's idle timer (fallback tracing while the host is stopped).
//
// Ownership rules:
// - Derived scalars are Shared<T> (relaxed atomics): written by the setter,
//   read by the tracer and the kernels at their next step.
// - The "audio path" (history, combs, EQ filter state, committed taps, writePos,
//   activeRays) belongs to the audio thread. Another thread that must touch it
//   (reset, export, idle tracing) first takes the path away with the
//   audioEnabled/processing handshake (takeAudioPath / tryTakeAudioPath).
// - The tracer's state (active walls, the slots' path and pending-tap fields
//   while pending is 0, stepCursor) is guarded by tracerBusy. The audio thread
//   only ever try-locks it and skips tracing when it is busy; other threads
//   spin-lock it for the short time they need (wall copies, slot reads).
// - A ray slot's pending tap is handed from the tracer to the kernels with the
//   slot's `pending` flag (release on post, acquire on take).
// - Ray set-ups requested by the setter (stereo switch, ray count) bump
//   changeCount at once; the slot and comb rewrite is done by the next thread
//   that traces, so it never tears a slot the kernels are reading.
// - Equaliser designs are published to the audio thread through a sequence
//   counter (seqlock); the kernels pick up a consistent set at block start.

#include "dsp/CombFilter.h"
#include "dsp/EQfilter.h"
#include "dsp/KernelWorkspace.h"
#include "base/EngineRandom.h"
#include "base/Limits.h"
#include "base/Shared.h"
#include "engine/WallGrid.h"
#include "model/OvintaProgram.h"

#include <atomic>
#include <cstdint>
#include <memory>

constexpr int kInitialChangeCount = 23;

// One ray and the tap it last delivered.
struct RaySlot {
    // Committed tap, read and written by the kernels (audio path).
    int tapSource = 0;            // history buffer 0 or 1
    int tapDelay = 0;             // <= 0, samples relative to writePos
    float tapFilterState = 0.0f;  // one-pole low-pass state
    float tapGain[kOutputRoles] = {};
    float tapCoeff = 0.0f;        // c of y = c*x + (1 - c)*y
    float tapHiFreq = 0.0f;       // display only

    // Hand-over: 1 while a posted tap waits to be faded in. Set (release) by
    // the tracer after it wrote the pending tap; cleared (release) by the
    // kernels or commitTaps after they took it.
    std::atomic<uint8_t> pending{0};
    float fadeLevel = 0.0f;       // weight of the old tap during a crossfade
    float newFilterState = 0.0f;  // filter state of the incoming tap
    float fadeStep = 0.0f;        // per-sample crossfade step, [0.0001, 0.0002)

    // Tracing state (tracer only).
    int stamp = 0;                // changeCount the current path started under, -1 after set-up
    int tracing = 0;              // 1 while the path is in flight
    float rayIndex = 0.0f;        // emission number
    int source = 0;               // 0 source 1 / history 0, 1 source 2 / history 1
    float posX = 0.0f, posY = 0.0f;
    float dirX = 0.0f, dirY = 0.0f;
    float startDirX = 0.0f, startDirY = 0.0f; // sin, cos of the emission angle
    float firstHitX = 0.0f, firstHitY = 0.0f; // first reflection, for display
    float firstDirX = 0.0f, firstDirY = 0.0f; // direction after it x 20
    float firstLevel = 0.0f;
    float pathLength = 0.0f;      // metres travelled
    int lastWall = -1;            // wall last hit, -1 none

    // Pending tap, written by the tracer while pending is 0.
    int newDelay = 0;
    float newGain[kOutputRoles] = {};
    float newCoeff = 0.0f;
    float newHiFreq = 0.0f;

    // Running values of the path.
    float level = 0.0f;           // amplitude, starts at 1
    float hiFreq = 0.0f;          // high-frequency factor, starts at 1
    int reflected = 0;            // 1 once the first reflection is recorded
    int newReflected = 0;         // reflected at capture: 0 marks the direct sound
    Shared<int> posted{0};        // set on every post; the impulse screen clears it

    // The pending tap becomes the committed one, with no crossfade (a commit,
    // or the end of a crossfade), and the slot goes back to the tracer.
    void takePendingTap()
    {
        tapSource = source;
        tapDelay = newDelay;
        tapFilterState = newFilterState;
        for (int role = 0; role < kOutputRoles; ++role)
            tapGain[role] = newGain[role];
        tapCoeff = newCoeff;
        tapHiFreq = newHiFreq;
        pending.store(0, std::memory_order_release);
    }
};

// A band design published to the audio thread through eqSequence. The
// writer stores each coefficient with release and the reader loads it with
// acquire: a reader that sees any coefficient of a newer design then also
// sees the odd sequence that preceded it, and so knows to retry.
struct EqDesign {
    std::atomic<float> b0{1.0f}, b1{0.0f}, b2{0.0f}, a1{0.0f}, a2{0.0f};
};

class RoomEngine {
public:
    RoomEngine();
    ~RoomEngine();
    RoomEngine(const RoomEngine&) = delete;
    RoomEngine& operator=(const RoomEngine&) = delete;

    // ---- Host parameter thread and editor -------------------------------
    // Stores the raw value in the current program and updates the derived
    // value (see the setter's table). A non-finite value changes nothing.
    void setParameter(int index, float value);
    float getParameter(int index);

    void setProgramAndRate(int program, float rate);
    void selectProgram(int program); // make current, copy its walls, set loadingProgram
    void finishProgram();            // set viewDirty, outputsChanged, roomDirty, audio, immediateRebuild
    OvintaProgram& currentProgramRecord() { return bank.programs[currentProgram.load()]; }

    // Number of channels of the host's input arrangement (1 forces mono sources).
    void setInputChannelCount(int channels) { inputChannelCount = channels; }

    void updateOutputGains();        // surround-panner gains from panX, panY, outputsSetting
    void updateEqBand(int band);     // redesign band 0..3 from its stored settings

    // Replaces the active wall list (room editor, program selection).
    void setActiveWalls(const Wall* source, int count);

    // Takes the audio path away: audio stops, waits for a running block to end.
    void takeAudioPath();
    // The same without waiting: false (and audio left running) when a block runs.
    bool tryTakeAudioPath();
    void releaseAudioPath();         // audioEnabled = 1
    void resetAudio();               // take, clear history, EQ state and combs, release

    // Editor idle (at most every 40 ms): when no audio block ran since the last
    // visit, commit and trace 32 units on this thread.
    void idleTrace();

    // Guard of the tracer's state (see the class comment).
    void lockTracer();
    bool tryLockTracer();
    void unlockTracer();

    // Copies the designs of the analysed EQ sets (B for history 0, D for 1).
    void copyAnalysisEq(int set, EQfilter* bandsOut);

    // ---- Audio path owner (audio thread, or a thread holding the path) ---
    void processBlock(float** inputs, float** outputs, int count);
    void kernel2(const float* inA, const float* inB, float* out1, float* out2, int count);
    void kernel4(const float* inA, const float* inB, float* out1, float* out2, float* out3,
                 float* out4, int count);
    void kernel5(const float* inA, const float* inB, float* out1, float* out2, float* out3,
                 float* out4, float* out5, int count);
    void commitTaps();
    // Copies the latest consistent published EQ designs into sets A and C
    // (called by the process driver and the exporter at block start).
    void pickUpEqDesigns();
    // Runs units x 32 ray steps (0 counts as 1), then longestTap and the comb
    // refresh. Returns false, having done nothing, when the tracer is busy.
    bool trace(int units);
    // Immediate ray and comb set-up (constructor, export).
    void setupRays();

    // ---- Room ------------------------------------------------------------
    // The active walls change only through setActiveWalls, which also
    // rebuilds the tracer's grid over them.
    int wallCount = 0;                 // guarded by tracerBusy
    Wall walls[kMaxWalls] = {};        // guarded by tracerBusy; normals face the last ray
    WallGrid wallGrid;                 // guarded by tracerBusy; cells over the active walls
    bool useWallGrid = true;           // guarded by tracerBusy; false: plain scan (benchmarks)
    Shared<float> sourceX[2], sourceY[2]; // whole metres
    Shared<float> listenerX, listenerY;
    Shared<float> captureRadius;       // last value computed by the tracer
    int stepCursor = 0;                // next slot to trace

    // ---- Flags -----------------------------------------------------------
    Shared<bool> viewDirty{true};      // main screen must rebuild its cached picture
    Shared<float> samplesPerMetre;     // sampleRate / 340, refreshed by every trace
    std::atomic<int> audioEnabled{0};  // seq_cst: two-flag handshake with processing
    std::atomic<int> processing{0};    // seq_cst: 1 while a process call runs
    Shared<int> exportCountdown;
    std::atomic<bool> immediateRebuild{false}; // release by finishProgram, acquire by processBlock
    Shared<bool> loadingProgram;

    // ---- Programs and audio buffers ---------------------------------------
    ProgramBank bank;                  // reserved word + 45 contiguous records
    std::unique_ptr<float[]> sourceHistory[2]; // kHistoryLength each
    RaySlot slots[kMaxRays];
    CombFilter combs[2][kCombsPerBank]; // bank 0 for history 0, bank 1 for history 1
    EngineRandom random;               // this instance's generator

    // ---- Audio-path values -------------------------------------------------
    uint32_t writePos = 0;             // history index of the next block's first sample
    float rayCos = 1.0f, raySin = 0.0f; // angular ray spacing
    Shared<int> longestTap;            // most negative tap delay, <= 0
    Shared<bool> arrangementGiven;     // host has described its speakers
    Shared<bool> outputsChanged{true}; // output configuration must be recomputed
    Shared<bool> roomDirty;            // room view must rebuild its drawing
    std::atomic<int> changeCount{kInitialChangeCount}; // release on change, acquire by the tracer
    std::atomic<bool> raySetupRequested{false}; // release by the setter, acquire by the tracer
    Shared<int> inputChannelCount{2};
    Shared<int> outputCount{2};        // outputs the driver feeds
    Shared<float> sampleRate{44100.0f};
    Shared<int> currentProgram;
    Shared<float> wetGain, dryGain;
    Shared<int> stereoOn, reverseOn;
    Shared<float> wallHiCut, wallAbsorb, airHiCut, airAbsorb; // factors
    Shared<int> activeRays;            // slots in use (written by the slot rewrite)
    Shared<int> rayCount;              // requested ray count, 16..512
    Shared<float> rawParam63;
    Shared<float> lastGetterValue;     // what getParameter returned last (index 58)
    Shared<int> inputChannel[2];       // host input for sources 1, 2
    Shared<int> outputChannel[kOutputRoles]; // host output for roles L, R, Ls, Rs, C
    Shared<int> headAngleDegrees;
    Shared<float> headSin, headCos;
    Shared<float> diffusionGain, diffusionSize, widthFactor, scale, preDelayMs, panX, panY;
    Shared<float> outputGain[kOutputRoles];
    Shared<int> outputsSetting;        // 0 stereo, 1 four outputs, 2 five outputs
    Shared<float> bendValue, scatterAmount, heightSpread;
    Shared<float> eqFrequency[kEqBands], eqGain[kEqBands], eqWidth[kEqBands];
    Shared<float> outputPeak[kOutputRoles]; // raised by the kernels, lowered by the meter
    KernelWorkspace kernelWork;        // the kernels' scratch memory (audio path)

    // ---- Equaliser ---------------------------------------------------------
    // Sets A (history 0) and C (history 1) are stepped by the kernels; their
    // coefficients come from the published designs. Sets B and D are the
    // copies that the EQ view analyses.
    EQfilter eqA[kEqBands], eqB[kEqBands], eqC[kEqBands], eqD[kEqBands];
    EqDesign eqDesign[2][kEqBands];    // [0] for set A, [1] for set C
    std::atomic<uint32_t> eqSequence{0}; // odd while a design is being written
    uint32_t eqApplied = 0;            // sequence the kernels last copied (audio path)
    std::atomic<bool> eqWriterBusy{false};

    // ---- Bookkeeping between the audio and editor threads -------------------
    Shared<int> tempViewMode, tempViewTicks;
    Shared<int> processTick;
    int editorLastTick = -1;           // editor thread only
    Shared<int> exportError, exportErrorTicks;
    std::atomic<bool> tracerBusy{false};
    // Only one non-audio thread holds the audio path at a time (reset, export,
    // idle tracing); the holder flag orders them among themselves.
    std::atomic<bool> audioPathHeld{false};

private:
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

    // Slot and comb rewrite for the current ray count and sources (tracer thread).
    void rewriteRays();
    void triggerCombs();

    // Tracer internals (RayTracer.cpp), run while tracerBusy is held.
    void traceSteps(int steps, float preDelaySamples);
    void startPath(RaySlot& slot, int stamp);
    void stepRay(RaySlot& slot, float preDelaySamples);
    void reflectRay(RaySlot& slot, const WallHit& hit, float preDelaySamples);
    void captureRay(RaySlot& slot, float preDelaySamples);
    void refreshLongestTap(float preDelaySamples);
    void refreshDiffusion();
};
