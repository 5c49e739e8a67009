// SPDX-License-Identifier: GPL-3.0-or-later
// RoomEngine: construction, program selection, the tracer's guard and wall
// list, the tap commit, the panner gains and the equaliser hand-over. The
// setter is in EngineSetter.cpp, the ray set-up in RaySetup.cpp, the tracer
// in RayTracer.cpp, and the work handed off the audio thread (program
// changes traced ahead, resets) in WorkHandOver.cpp.

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

// The value a reset fills the histories with.
constexpr float kResetFill = 1e-20f;

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

RoomEngine::RoomEngine(TraceWorker mode)
    : tracer(values, slots, changes),
      eqB{makeDefaultBand(), makeDefaultBand(), makeDefaultBand(), makeDefaultBand()},
      eqD{makeDefaultBand(), makeDefaultBand(), makeDefaultBand(), makeDefaultBand()}
{
    for (auto& history : spareHistory) {
        history = std::make_unique<float[]>(kHistoryLength);
        std::fill_n(history.get(), kHistoryLength, kResetFill);
    }
    bank.reserved = 0;
    loadFactoryPrograms(bank.programs);

    values.rayCount = 256;
    values.activeRays = 256;
    values.inputChannel[0] = 0;
    values.inputChannel[1] = 1;
    for (int role = 0; role < kOutputRoles; ++role)
        values.outputChannel[role] = role;
    setupRays();
    if (mode == TraceWorker::Own)
        worker = std::thread([this, seen = workSignal.load()] { runWorker(seen); });
}

RoomEngine::~RoomEngine()
{
    stopping.store(true, std::memory_order_release);
    wakeWorker();
    if (worker.joinable())
        worker.join();
}

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
    // audio back on.
    pathGate.enableUnlessHeld();
    programChanges.fetch_add(1, std::memory_order_relaxed);
    immediateRebuild.store(true, std::memory_order_release);
    values.loadingProgram = false;
    // The audio thread never traces a room: its change goes to the worker at
    // once. A host thread traces its own change ahead (traceProgramAhead).
    if (onAudioThread())
        wakeWorker();
}

bool RoomEngine::onAudioThread() const
{
    return audioThread.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void RoomEngine::setActiveWalls(const Wall* source, int count)
{
    count = std::clamp(count, 0, kMaxWalls);
    if (onAudioThread()) {
        // The tracer may be busy for a whole trace: the list waits for the
        // flag's next holder (the worker tracing this program ahead).
        stagedWalls.post(source, count);
    } else {
        const SpinLock held(tracerFlag);
        adoptStagedWalls(); // an older list from the audio thread gives way
        tracer.setWalls(source, count);
    }
    signals.roomDirty = true;
}

bool RoomEngine::tryLockTracer()
{
    if (!tracerFlag.tryLock())
        return false;
    adoptStagedWalls();
    return true;
}

void RoomEngine::adoptStagedWalls()
{
    const int count = stagedWalls.take(tracer.editWalls());
    if (count < 0)
        return;
    tracer.setWallCount(count);
    tracer.wallsChanged();
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
    eqBandsWaiting.fetch_or(1u << band, std::memory_order_release);
    // The audio thread only tries the flag: a band it cannot design now is
    // designed by the flag's holder or at its own next block start.
    if (!onAudioThread()) {
        const SpinLock held(eqFlag);
        designWaitingEqBands();
    } else if (eqFlag.tryLock()) {
        const SpinLock held(eqFlag, kAdoptLock);
        designWaitingEqBands();
    }
    signals.viewDirty = true;
    showTempView(kTempViewEq, 30);
}

void RoomEngine::designWaitingEqBands()
{
    const uint32_t bands = eqBandsWaiting.exchange(0, std::memory_order_acquire);
    for (int band = 0; band < kEqBands; ++band)
        if ((bands & (1u << band)) != 0)
            designEqBand(band);
}

void RoomEngine::designEqBand(int band)
{
    const int type = kBandType[band];
    const float rate = values.sampleRate;
    const float frequency = std::min(static_cast<float>(values.eqFrequency[band]), 0.45f * rate);
    const float gain = values.eqGain[band];
    const float width = values.eqWidth[band];
    const bool stereo = values.stereoOn != 0;

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
}

void RoomEngine::copyAnalysisEq(int set, EQfilter* bandsOut)
{
    if (bandsOut == nullptr)
        return;
    const SpinLock held(eqFlag);
    designWaitingEqBands();
    const EQfilter* source = set == 0 ? eqB : eqD;
    for (int band = 0; band < kEqBands; ++band)
        bandsOut[band] = source[band];
}

// ---- Audio path gate ------------------------------------------------------------

void RoomEngine::takeAudioPath()
{
    pathGate.take();
}

bool RoomEngine::tryTakeAudioPath()
{
    return pathGate.tryTake();
}

void RoomEngine::releaseAudioPath()
{
    pathGate.give();
}

int RoomEngine::idleTrace(int lastSeenTick)
{
    const int tick = values.processTick;
    if (tick != lastSeenTick)
        return tick;
    if (pathGate.tryTake()) {
        const AudioPathLease lease(pathGate, kAdoptLock);
        commitTaps();
        trace(32);
    }
    return lastSeenTick;
}

int RoomEngine::copyWalls(Wall* out)
{
    const SpinLock held(tracerFlag);
    adoptStagedWalls();
    const int count = tracer.wallCount();
    if (count > 0)
        std::memcpy(out, tracer.walls(), sizeof(Wall) * static_cast<std::size_t>(count));
    return count;
}

int RoomEngine::copyRayViews(RayView* out, int count)
{
    count = std::clamp(count, 0, kMaxRays);
    const SpinLock held(tracerFlag);
    for (int k = 0; k < count; ++k) {
        const RaySlot& slot = slots[k];
        out[k].source = tracer.pathSource(slot);
        out[k].startDirX = slot.startDirX;
        out[k].startDirY = slot.startDirY;
        out[k].firstHitX = slot.firstHitX;
        out[k].firstHitY = slot.firstHitY;
        out[k].firstDirX = slot.firstDirX;
        out[k].firstDirY = slot.firstDirY;
        out[k].firstLevel = slot.firstLevel;
    }
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
    // kernels only read it, so under the flag the copy is whole.
    const SpinLock held(tracerFlag);
    for (int i = 0; i < count; ++i) {
        const RaySlot& slot = slots[first + i];
        out[i].delay = slot.pendingTap.delay;
        for (int role = 0; role < kOutputRoles; ++role)
            out[i].gain[role] = slot.pendingTap.gain[role];
        out[i].hiFreq = slot.pendingTap.hiFreq;
    }
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
    const SpinLock held(tracerFlag);
    tracer.usePlainWallScan(plain);
}

// ---- Audio path -------------------------------------------------------------

bool RoomEngine::beginProcess()
{
    if (!pathGate.enter())
        return false;
    values.processTick = values.processTick + 1;
    const std::thread::id self = std::this_thread::get_id();
    if (audioThread.load(std::memory_order_relaxed) != self) {
        audioThread.store(self, std::memory_order_relaxed);
        realtime::markThisThread();
    }
    return true;
}

void RoomEngine::endProcess()
{
    pathGate.leave();
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
    // A band the audio thread changed while another thread held the designs'
    // flag is designed here, when the flag is free.
    if (eqBandsWaiting.load(std::memory_order_relaxed) != 0 && eqFlag.tryLock()) {
        const SpinLock held(eqFlag, kAdoptLock);
        designWaitingEqBands();
    }
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
