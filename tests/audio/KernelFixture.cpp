// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-built engine states for kernel tests.

#include "tests/audio/KernelFixture.h"
#include "tests/RoomEngineTestAccess.h"

namespace ovinta {

namespace {

float unit(EngineRandom& random) // [0, 1)
{
    return static_cast<float>(random.next()) / 32768.0f;
}

void setUpSlot(RaySlot& slot, int index, const KernelScene& scene, EngineRandom& random)
{
    slot.tapSource = scene.stereo ? index & 1 : 0;
    slot.source = slot.tapSource;
    slot.tap.delay = -static_cast<int>(unit(random) * static_cast<float>(scene.maxDelay));
    slot.tap.coeff = 0.05f + 0.9f * unit(random);
    slot.tapFilterState = 0.01f * (unit(random) - 0.5f);
    for (int k = 0; k < kOutputRoles; ++k)
        slot.tap.gain[k] = 0.02f * unit(random);
    if (scene.silentEvery > 0 && index % scene.silentEvery == 1)
        for (int k = 0; k < kOutputRoles; ++k)
            slot.tap.gain[k] = k == 2 ? -0.01f : 0.0f;
    slot.fadeStep = unit(random) * 0.0001f + 0.0001f;
    slot.pending.store(0, std::memory_order_relaxed);
    if (scene.pendingEvery > 0 && index % scene.pendingEvery == 0) {
        slot.pendingTap.delay = -static_cast<int>(unit(random) * static_cast<float>(scene.maxDelay));
        slot.pendingTap.coeff = 0.05f + 0.9f * unit(random);
        slot.newFilterState = 1e-20f;
        slot.pendingTap.hiFreq = 0.5f;
        for (int k = 0; k < kOutputRoles; ++k)
            slot.pendingTap.gain[k] = 0.02f * unit(random);
        // Some crossfades start fresh, some are already under way.
        slot.fadeLevel = index % 3 == 0 ? 1.0f : 0.3f * unit(random);
        slot.pending.store(1, std::memory_order_release);
    }
}

} // namespace

std::unique_ptr<RoomEngine> makeSceneEngine(const KernelScene& scene)
{
    auto engine = std::make_unique<RoomEngine>();
    RoomEngine& e = *engine;
    EngineRandom random;
    random.seed(scene.seed);
    for (auto& history : e.audioPath().sourceHistory)
        for (int i = 0; i < kHistoryLength; ++i)
            history[i] = scene.silent ? 1e-20f : 0.2f * (unit(random) - 0.5f);
    e.audioPath().writePos = scene.writePos;
    RoomEngineTestAccess::values(e).stereoOn = scene.stereo ? 1 : 0;
    RoomEngineTestAccess::values(e).reverseOn = scene.reverse ? 1 : 0;
    RoomEngineTestAccess::values(e).longestTap = scene.longestTap;
    RoomEngineTestAccess::values(e).dryGain = 0.49f;
    RoomEngineTestAccess::values(e).widthFactor = 0.72f;
    const float outGain[kOutputRoles] = {1.0f, 0.8f, 1.3f, 0.6f, 0.9f};
    for (int k = 0; k < kOutputRoles; ++k) {
        RoomEngineTestAccess::values(e).outputGain[k] = outGain[k];
        RoomEngineTestAccess::values(e).outputPeak[k] = 0.0f;
    }
    for (int bank = 0; bank < 2; ++bank)
        for (int j = 0; j < kCombsPerBank; ++j) {
            e.audioPath().combs[bank][j].trigger(25 + 2 * j, 0.8f, 48000.0f, random);
            e.audioPath().combs[bank][j].update(-0.7f, 0.9f, scene.bend);
            if (scene.combDelay > 0)
                e.audioPath().combs[bank][j].writeIndex = e.audioPath().combs[bank][j].readIndex + static_cast<uint32_t>(scene.combDelay + 13 * j);
            for (int i = 0; i < kCombLength; i += 7)
                e.audioPath().combs[bank][j].delayLine[i] = scene.silent ? 0.0f : 0.01f * (unit(random) - 0.5f);
        }
    const int types[kEqBands] = {kEqLowShelf, kEqPeaking, kEqPeaking, kEqHighShelf};
    for (int b = 0; b < kEqBands; ++b) {
        e.audioPath().eqA[b].computeCoefficients(types[b], 3.0f - 2.0f * static_cast<float>(b), 200.0f * static_cast<float>(b + 1), 48000.0f, 0.7f);
        e.audioPath().eqC[b].computeCoefficients(types[b], -2.0f + static_cast<float>(b), 300.0f * static_cast<float>(b + 1), 48000.0f, 1.1f);
    }
    RoomEngineTestAccess::values(e).activeRays = scene.rays;
    for (int j = 0; j < scene.rays; ++j)
        setUpSlot(e.raySlots()[j], j, scene, random);
    return engine;
}

std::vector<float> makeSignal(int count, uint32_t seed)
{
    EngineRandom random;
    random.seed(seed);
    std::vector<float> signal(count);
    for (int i = 0; i < count; ++i)
        signal[i] = 0.5f * (unit(random) - 0.5f) + (i % 997 == 3 ? 0.8f : 0.0f);
    return signal;
}

} // namespace ovinta
