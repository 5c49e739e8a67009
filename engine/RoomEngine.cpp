// RoomEngine: construction, program selection, the audio-path and tracer
// guards, the tap commit, the panner gains and the equaliser hand-over.
// The setter is in EngineSetter.cpp, the ray set-up in RaySetup.cpp and the
// tracer in RayTracer.cpp.

#include "engine/RoomEngine.h"

#include "model/FactoryPrograms.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

namespace ovinta {

namespace {

EQfilter makeDefaultBand()
{
    return EQfilter(kEqLowPass, 0.0f, 2500.0f, 44100.0f, 5.0f);
}

void pauseBriefly()
{
    std::this_thread::yield();
}

constexpr int kBandType[kEqBands] = {kEqLowShelf, kEqPeaking, kEqPeaking, kEqHighShelf};

} // namespace

AudioPath::AudioPath()
    : eqA{makeDefaultBand(), makeDefaultBand(), makeDefaultBand(), makeDefaultBand()},
      eqC{makeDefaultBand(), makeDefaultBand(), makeDefaultBand(), makeDefaultBand()}
{
    for (auto& history : sourceHistory) {
        history = std::make_unique<float[]>(kHistoryLength);
        std::fill_n(history.get(), kHistoryLength, 0.0f);
    }
}

RoomEngine::RoomEngine()
    : eqB{makeDefaultBand(), makeDefaultBand(), makeDefaultBand(), makeDefaultBand()},
      eqD{makeDefaultBand(), makeDefaultBand(), makeDefaultBand(), makeDefaultBand()}
{
    bank.reserved = 0;
    loadFactoryPrograms(bank.programs);

    values.rayCount = 256;
    values.activeRays = 256;
    values.inputChannel[0] = 0;
    values.inputChannel[1] = 1;
    for (int role = 0; role < kOutputRoles; ++role)
        values.outputChannel[role] = role;
    setupRays();
}

RoomEngine::~RoomEngine() = default;

// ---- Host parameter thread and editor ---------------------------------------

float RoomEngine::getParameter(int index)
{
    float result = 0.0f;
    if (index >= 0 && index < kStoredParameterCount)
        result = *programField(currentProgramRecord(), index);
    else if (index == param::kMirror)
        result = values.rawParam63;
    else if (index == param::kImpulseScreen)
        result = values.lastGetterValue;
    values.lastGetterValue = result;
    return result;
}

void RoomEngine::setProgramAndRate(int program, float rate)
{
    if (program >= 0 && program < kProgramCount)
        values.currentProgram = program;
    if (std::isfinite(rate) && rate > 0.0f)
        values.sampleRate = rate;
}

void RoomEngine::selectProgram(int program)
{
    if (program < 0 || program >= kProgramCount)
        return;
    values.currentProgram = program;
    values.loadingProgram = true;
    const OvintaProgram& record = bank.programs[program];
    setActiveWalls(record.walls, record.wallCount);
}

void RoomEngine::finishProgram()
{
    signals.viewDirty = true;
    requestOutputConfiguration();
    signals.roomDirty = true;
    // Audio resumes unless another thread holds the path; its release turns
    // audio back on. Taking the holder flag for the moment of the store keeps
    // this from re-enabling audio under a reset or an export.
    if (!audioPathHeld.exchange(true, std::memory_order_acquire)) {
        audioEnabled.store(1);
        audioPathHeld.store(false, std::memory_order_release);
    }
    immediateRebuild.store(true, std::memory_order_release);
    values.loadingProgram = false;
}

bool RoomEngine::onAudioThread() const
{
    return audioThread.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

bool RoomEngine::traceProgramAhead()
{
    // Most calls (every host parameter change off the audio thread) find no
    // program change waiting: they leave without touching the tracer's lock.
    if (onAudioThread() || !immediateRebuild.load(std::memory_order_relaxed))
        return false;
    if (!tryLockTracerBriefly())
        return false;
    // The trace below covers every program change finished so far; one
    // finished later raises the flag again. An audio thread that took the
    // flag first rebuilds the room itself (or finds the tracer busy here and
    // raises the flag again).
    if (!immediateRebuild.exchange(false, std::memory_order_acquire)) {
        unlockTracer();
        return false;
    }
    traceAhead(kRebuildUnits);
    unlockTracer();
    return true;
}

void RoomEngine::setActiveWalls(const Wall* source, int count)
{
    count = std::clamp(count, 0, kMaxWalls);
    lockTracer();
    if (count > 0)
        std::memcpy(walls, source, sizeof(Wall) * static_cast<std::size_t>(count));
    wallCount = count;
    rebuildGrid();
    unlockTracer();
    signals.roomDirty = true;
}

void RoomEngine::rebuildGrid()
{
    wallGrid.build(walls, wallCount);
    // A path in flight may remember a wall that no longer exists; the index
    // only serves to skip that wall on the next step.
    for (RaySlot& slot : slots)
        if (slot.lastWall >= wallCount)
            slot.lastWall = -1;
}

// ---- Output configuration --------------------------------------------------------

void RoomEngine::setSpeakerOutputs(int outputs)
{
    arrangementGiven = true;
    values.outputCount = outputs;
    outputsChanged.store(true, std::memory_order_release);
}

bool RoomEngine::takeOutputConfigurationRequest()
{
    // Cleared before the step, so a request that arrives during it is kept.
    return outputsChanged.exchange(false, std::memory_order_acq_rel);
}

void RoomEngine::applyOutputCount(int outputs)
{
    values.outputCount = outputs;
    updateOutputGains();
    bumpChangeCount();
}

void RoomEngine::updateOutputGains()
{
    const float px = values.panX;
    const float py = values.panY;
    const float a = 1.0f - (px - 2.0f) * 0.023809524f;
    const float b = 1.0f - a;
    const float c = 1.0f - (py - 2.0f) * 0.023809524f;
    const int setting = values.outputsSetting;
    if (setting == 2 || setting == 1) {
        const float left = 4.0f * a * c;
        const float right = 4.0f * b * c;
        values.outputGain[0] = left;
        values.outputGain[1] = right;
        values.outputGain[2] = 4.0f * a * (1.0f - c);
        values.outputGain[3] = 4.0f * b * (1.0f - c);
        if (setting == 2)
            values.outputGain[4] = (left + right) / 2.0f;
    } else {
        values.outputGain[0] = 2.0f * a;
        values.outputGain[2] = 2.0f * a;
        values.outputGain[1] = 2.0f * b;
        values.outputGain[3] = 2.0f * b;
    }
}

void RoomEngine::updateEqBand(int band)
{
    if (band < 0 || band >= kEqBands)
        return;
    const int type = kBandType[band];
    const float rate = values.sampleRate;
    const float frequency = std::min(static_cast<float>(values.eqFrequency[band]), 0.45f * rate);
    const float gain = values.eqGain[band];
    const float width = values.eqWidth[band];
    const bool stereo = values.stereoOn != 0;

    while (eqWriterBusy.exchange(true, std::memory_order_acquire))
        pauseBriefly();
    eqB[band].computeCoefficients(type, gain, frequency, rate, width);
    if (stereo)
        eqD[band].computeCoefficients(type, gain, frequency, rate, width);

    // Seqlock write: odd sequence, coefficients (each a release store, so a
    // reader that sees one also sees the odd sequence), even sequence.
    const uint32_t sequence = eqSequence.load(std::memory_order_relaxed);
    eqSequence.store(sequence + 1, std::memory_order_relaxed);
    const EQfilter& designed = eqB[band];
    constexpr auto kPublish = std::memory_order_release;
    for (int set = 0; set < (stereo ? 2 : 1); ++set) {
        EqDesign& target = eqDesign[set][band];
        target.b0.store(designed.b0, kPublish);
        target.b1.store(designed.b1, kPublish);
        target.b2.store(designed.b2, kPublish);
        target.a1.store(designed.a1, kPublish);
        target.a2.store(designed.a2, kPublish);
    }
    eqSequence.store(sequence + 2, std::memory_order_release);
    eqWriterBusy.store(false, std::memory_order_release);

    signals.viewDirty = true;
    showTempView(kTempViewEq, 30);
}

void RoomEngine::copyAnalysisEq(int set, EQfilter* bandsOut)
{
    if (bandsOut == nullptr)
        return;
    const EQfilter* source = set == 0 ? eqB : eqD;
    while (eqWriterBusy.exchange(true, std::memory_order_acquire))
        pauseBriefly();
    for (int band = 0; band < kEqBands; ++band)
        bandsOut[band] = source[band];
    eqWriterBusy.store(false, std::memory_order_release);
}

// ---- Audio path and tracer guards ---------------------------------------------

void RoomEngine::takeAudioPath()
{
    while (audioPathHeld.exchange(true, std::memory_order_acquire))
        pauseBriefly();
    // Two-flag handshake with the process call: seq_cst on both flags.
    audioEnabled.store(0);
    while (processing.load() != 0)
        pauseBriefly();
}

bool RoomEngine::tryTakeAudioPath()
{
    if (audioPathHeld.exchange(true, std::memory_order_acquire))
        return false;
    const int wasEnabled = audioEnabled.exchange(0);
    if (processing.load() != 0) {
        audioEnabled.store(wasEnabled);
        audioPathHeld.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void RoomEngine::releaseAudioPath()
{
    audioEnabled.store(1);
    audioPathHeld.store(false, std::memory_order_release);
}

void RoomEngine::resetAudio()
{
    takeAudioPath();
    // The written stretch ends at writePos and may wrap past the history's start.
    const uint32_t count = audio.unclean;
    const uint32_t start = (audio.writePos - count) & kHistoryMask;
    const uint32_t first = std::min(count, static_cast<uint32_t>(kHistoryLength) - start);
    for (auto& history : audio.sourceHistory) {
        std::fill_n(history.get() + start, first, 1e-20f);
        std::fill_n(history.get(), count - first, 1e-20f);
    }
    audio.unclean = 0;
    for (int band = 0; band < kEqBands; ++band) {
        audio.eqA[band].resetState();
        audio.eqC[band].resetState();
    }
    for (auto& combBank : audio.combs)
        for (CombFilter& comb : combBank)
            comb.clear();
    releaseAudioPath();
}

void RoomEngine::lockTracer()
{
    while (tracerBusy.exchange(true, std::memory_order_acquire))
        pauseBriefly();
}

bool RoomEngine::tryLockTracer()
{
    return !tracerBusy.exchange(true, std::memory_order_acquire);
}

bool RoomEngine::tryLockTracerBriefly()
{
    // Rides out the audio thread's per-block trace and the editor's short
    // copies; a long holder (another thread tracing a program) is not waited for.
    constexpr int kAttempts = 64;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (tryLockTracer())
            return true;
        pauseBriefly();
    }
    return false;
}

void RoomEngine::unlockTracer()
{
    tracerBusy.store(false, std::memory_order_release);
}

int RoomEngine::idleTrace(int lastSeenTick)
{
    const int tick = values.processTick;
    if (tick != lastSeenTick)
        return tick;
    if (tryTakeAudioPath()) {
        commitTaps();
        trace(32);
        releaseAudioPath();
    }
    return lastSeenTick;
}

int RoomEngine::copyWalls(Wall* out)
{
    lockTracer();
    const int count = wallCount;
    if (count > 0)
        std::memcpy(out, walls, sizeof(Wall) * static_cast<std::size_t>(count));
    unlockTracer();
    return count;
}

int RoomEngine::copyRayViews(RayView* out, int count)
{
    count = std::clamp(count, 0, kMaxRays);
    lockTracer();
    for (int k = 0; k < count; ++k) {
        const RaySlot& slot = slots[k];
        out[k].source = pathSource(slot);
        out[k].startDirX = slot.startDirX;
        out[k].startDirY = slot.startDirY;
        out[k].firstHitX = slot.firstHitX;
        out[k].firstHitY = slot.firstHitY;
        out[k].firstDirX = slot.firstDirX;
        out[k].firstDirY = slot.firstDirY;
        out[k].firstLevel = slot.firstLevel;
    }
    unlockTracer();
    return count;
}

int RoomEngine::takePostedFlags()
{
    const int rays = std::clamp(static_cast<int>(values.activeRays), 0, kMaxRays);
    int posted = 0;
    for (int k = 0; k < rays; ++k)
        if (slots[k].posted != 0) {
            slots[k].posted = 0;
            ++posted;
        }
    return posted;
}

int RoomEngine::copyPostedTaps(int first, int count, PostedTap* out)
{
    const int rays = std::clamp(static_cast<int>(values.activeRays), 0, kMaxRays);
    first = std::clamp(first, 0, rays);
    count = std::clamp(count, 0, rays - first);
    // The tracer writes a slot's pending tap only under its lock, and the
    // kernels only read it, so under the lock the copy is whole.
    lockTracer();
    for (int i = 0; i < count; ++i) {
        const RaySlot& slot = slots[first + i];
        out[i].delay = slot.newDelay;
        for (int role = 0; role < kOutputRoles; ++role)
            out[i].gain[role] = slot.newGain[role];
        out[i].hiFreq = slot.newHiFreq;
    }
    unlockTracer();
    return count;
}

void RoomEngine::lowerOutputPeak(int role, float level)
{
    // A block that raises the peak at the same moment may be overwritten:
    // the meter then shows that block's level one draw later.
    if (role >= 0 && role < kOutputRoles && level < values.outputPeak[role])
        values.outputPeak[role] = level;
}

void RoomEngine::movePanner(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    // The drag keeps to 2..44; the limits here are those of the parameter.
    const float low = formula::pannerUnits(0.0f);
    const float high = formula::pannerUnits(1.0f);
    values.panX = std::clamp(x, low, high);
    values.panY = std::clamp(y, low, high);
    updateOutputGains();
}

void RoomEngine::usePlainWallScan(bool plain)
{
    lockTracer();
    useWallGrid = !plain;
    unlockTracer();
}

// ---- Audio path -------------------------------------------------------------

bool RoomEngine::beginProcess()
{
    // Two-flag handshake with takeAudioPath: each side stores its own flag
    // and then reads the other's, which needs sequential consistency.
    processing.store(1);
    if (audioEnabled.load() == 0) {
        processing.store(0);
        return false;
    }
    values.processTick = values.processTick + 1;
    const std::thread::id self = std::this_thread::get_id();
    if (audioThread.load(std::memory_order_relaxed) != self)
        audioThread.store(self, std::memory_order_relaxed);
    return true;
}

void RoomEngine::endProcess()
{
    processing.store(0);
}

void RoomEngine::rebuildAfterProgramChange()
{
    // A rebuild traced ahead on another thread only needs its commit. A
    // busy tracer (another preparation under way) leaves it to the next block.
    if (rebuildPrepared.load(std::memory_order_relaxed) && tryLockTracer()) {
        if (rebuildPrepared.load(std::memory_order_relaxed))
            commitTracedAhead();
        unlockTracer();
    }
    if (!immediateRebuild.exchange(false, std::memory_order_acquire))
        return;
    // A busy tracer leaves the rebuild to the next block. The flag is raised
    // with a read-modify-write so that it stays in the release sequence of a
    // program change that lands meanwhile.
    // A ray set-up the program asked for runs first: it posts a silent tap in
    // every slot, which the commit below takes, so that the trace finds every
    // slot free and the block plays the whole new room, not a fade-in.
    if (tryLockTracer()) {
        if (rebuildPrepared.load(std::memory_order_relaxed))
            commitTracedAhead();
        if (raySetupRequested.exchange(false, std::memory_order_acquire))
            rewriteRays();
        unlockTracer();
    }
    commitTaps();
    if (!trace(kRebuildUnits))
        immediateRebuild.exchange(true, std::memory_order_relaxed);
    commitTaps();
}

void RoomEngine::setRenderSettings(float sampleRate, float dryGain)
{
    values.sampleRate = sampleRate;
    values.dryGain = dryGain;
}

void RoomEngine::raiseOutputPeak(int role, float peak)
{
    if (role >= 0 && role < kOutputRoles && peak > values.outputPeak[role])
        values.outputPeak[role] = peak;
}

void RoomEngine::commitTaps()
{
    const int count = std::clamp(static_cast<int>(values.activeRays), 0, kMaxRays);
    for (int k = 0; k < count; ++k) {
        RaySlot& slot = slots[k];
        if (slot.pending.load(std::memory_order_acquire) != 0)
            slot.takePendingTap();
    }
}

void RoomEngine::pickUpEqDesigns()
{
    const uint32_t before = eqSequence.load(std::memory_order_acquire);
    if (before == audio.eqApplied || (before & 1u) != 0)
        return; // nothing new, or a writer is busy: try again next block
    float coefficients[2][kEqBands][5];
    constexpr auto kTake = std::memory_order_acquire;
    for (int set = 0; set < 2; ++set)
        for (int band = 0; band < kEqBands; ++band) {
            const EqDesign& d = eqDesign[set][band];
            coefficients[set][band][0] = d.b0.load(kTake);
            coefficients[set][band][1] = d.b1.load(kTake);
            coefficients[set][band][2] = d.b2.load(kTake);
            coefficients[set][band][3] = d.a1.load(kTake);
            coefficients[set][band][4] = d.a2.load(kTake);
        }
    if (eqSequence.load(std::memory_order_relaxed) != before)
        return; // torn by a writer: keep the old designs
    for (int set = 0; set < 2; ++set) {
        EQfilter* bands = set == 0 ? audio.eqA : audio.eqC;
        for (int band = 0; band < kEqBands; ++band) {
            const float* c = coefficients[set][band];
            bands[band].b0 = c[0];
            bands[band].b1 = c[1];
            bands[band].b2 = c[2];
            bands[band].a1 = c[3];
            bands[band].a2 = c[4];
        }
    }
    audio.eqApplied = before;
}

} // namespace ovinta
