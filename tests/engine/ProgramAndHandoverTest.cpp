// SPDX-License-Identifier: GPL-3.0-or-later
// Program selection, the audio-path handshake, idle tracing, the tap commit
// and the equaliser's hand-over to the audio thread.

#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"

#include "model/Parameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace ovinta {

using enginetest::applyProgram;
using enginetest::makeEngine;

namespace {

bool sameWalls(const RoomEngine& e, const OvintaProgram& record)
{
    if (RoomEngineTestAccess::wallCount(e) != record.wallCount)
        return false;
    for (int i = 0; i < record.wallCount; ++i) {
        const Wall& a = RoomEngineTestAccess::walls(e)[i];
        const Wall& b = record.walls[i];
        if (a.x1 != b.x1 || a.y1 != b.y1 || a.x2 != b.x2 || a.y2 != b.y2)
            return false;
    }
    return true;
}

// Gain in dB of a sine at `hz` through a copy of `band`, measured after the
// start-up transient.
double sineGainDb(EQfilter band, double hz, double rate)
{
    band.resetState();
    double inPower = 0.0, outPower = 0.0;
    const double step = 2.0 * 3.14159265358979 * hz / rate;
    for (int i = 0; i < 48000; ++i) {
        const float x = static_cast<float>(std::sin(step * i));
        const float y = band.step(x);
        if (i >= 8000) {
            inPower += static_cast<double>(x) * static_cast<double>(x);
            outPower += static_cast<double>(y) * static_cast<double>(y);
        }
    }
    return 10.0 * std::log10(outPower / inPower);
}

} // namespace

TEST(ProgramSelection, ReturningToAProgramRestoresItsEditedRoom)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    applyProgram(e, 0);
    OvintaProgram& first = e.programBank().programs[0];
    ASSERT_TRUE(sameWalls(e, first));

    // Edit program 0: a wall added (record and active list together), the
    // wet gain and the listener moved.
    first.AddWall(3, 4, 9, 4);
    e.setActiveWalls(first.walls, first.wallCount);
    e.setParameter(param::kGain, 0.3f);
    e.setParameter(param::kEarsX, 0.62f); // 31 m

    applyProgram(e, 1);
    EXPECT_TRUE(sameWalls(e, e.programBank().programs[1]));
    const float gain1 = e.programBank().programs[1].parGain;
    EXPECT_FLOAT_EQ(e.derived().wetGain, gain1 * gain1);

    applyProgram(e, 0);
    EXPECT_TRUE(sameWalls(e, first));
    EXPECT_EQ(RoomEngineTestAccess::walls(e)[RoomEngineTestAccess::wallCount(e) - 1].x2, 9.0f);
    EXPECT_FLOAT_EQ(e.derived().wetGain, 0.09f);
    EXPECT_EQ(e.derived().listenerX, 31.0f);
    EXPECT_EQ(e.currentProgram(), 0);
    EXPECT_FALSE(e.derived().loadingProgram);
    EXPECT_TRUE(RoomEngineTestAccess::immediateRebuild(e).load());
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 1);
}

TEST(ProgramSelection, BadNumbersAndCorruptWallCountsAreContained)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    applyProgram(e, 2);
    const int walls = RoomEngineTestAccess::wallCount(e);
    e.selectProgram(45);
    e.selectProgram(-1);
    EXPECT_EQ(e.currentProgram(), 2);
    EXPECT_EQ(RoomEngineTestAccess::wallCount(e), walls);

    e.programBank().programs[3].wallCount = 100000; // as a damaged chunk might leave it
    e.selectProgram(3);
    EXPECT_EQ(RoomEngineTestAccess::wallCount(e), kMaxWalls);
    e.programBank().programs[4].wallCount = -7;
    e.selectProgram(4);
    EXPECT_EQ(RoomEngineTestAccess::wallCount(e), 0);
    e.finishProgram();
    EXPECT_TRUE(e.trace(64)); // traces the empty room without trouble
}

TEST(ProgramSelection, ControlChangesShowTemporaryViewsOnlyOutsideLoading)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    e.selectProgram(0); // loading
    e.setParameter(param::kScatter, 0.2f);
    e.setParameter(param::kNumRays, 0.2f);
    e.setParameter(param::kEQgain2, 0.2f);
    EXPECT_EQ(e.editorSignals().tempViewMode, 0);
    e.finishProgram();
    e.setParameter(param::kScatter, 0.3f);
    EXPECT_EQ(e.editorSignals().tempViewMode, 1);
    EXPECT_EQ(e.editorSignals().tempViewTicks, 10);
    e.setParameter(param::kNumRays, 0.3f);
    EXPECT_EQ(e.editorSignals().tempViewMode, 2);
    e.setParameter(param::kEQgain2, 0.3f);
    EXPECT_EQ(e.editorSignals().tempViewMode, 3);
    EXPECT_EQ(e.editorSignals().tempViewTicks, 30);
}

TEST(AudioPath, TakingWaitsForNoOneAndRefusesWhileAudioRuns)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    RoomEngineTestAccess::releaseAudioPath(e);
    ASSERT_EQ(RoomEngineTestAccess::audioEnabled(e), 1);

    RoomEngineTestAccess::setProcessing(e, true); // a block is running
    EXPECT_FALSE(RoomEngineTestAccess::tryTakeAudioPath(e));
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 1); // left running
    RoomEngineTestAccess::setProcessing(e, false);

    ASSERT_TRUE(RoomEngineTestAccess::tryTakeAudioPath(e));
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 0);
    EXPECT_FALSE(RoomEngineTestAccess::tryTakeAudioPath(e)); // one holder at a time
    e.finishProgram();                  // a program change does not restart audio under the holder
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 0);
    RoomEngineTestAccess::releaseAudioPath(e);
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 1);

    e.resetAudio();
    EXPECT_EQ(e.audioPath().sourceHistory[0][12345], 1e-20f);
    EXPECT_EQ(e.audioPath().sourceHistory[1][kHistoryLength - 1], 1e-20f);
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 1);
}

TEST(AudioPath, IdleTracingRunsOnlyWhileAudioIsQuiet)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    applyProgram(e, 0);
    // The program's ray set-up waits for the first thread that traces.
    ASSERT_TRUE(RoomEngineTestAccess::raySetupRequested(e).load());

    int tick = -1;
    tick = e.idleTrace(tick); // first visit: remembers the tick only
    EXPECT_TRUE(RoomEngineTestAccess::raySetupRequested(e).load());
    RoomEngineTestAccess::values(e).processTick = e.derived().processTick + 1; // audio ran in between
    tick = e.idleTrace(tick);
    EXPECT_TRUE(RoomEngineTestAccess::raySetupRequested(e).load());
    tick = e.idleTrace(tick); // quiet since the last visit: commit and trace
    EXPECT_FALSE(RoomEngineTestAccess::raySetupRequested(e).load());
    EXPECT_EQ(e.raySlots()[0].stamp, -1); // its silent set-up tap is not taken yet
    tick = e.idleTrace(tick); // still quiet: the commit frees the slots, which start paths
    EXPECT_EQ(e.raySlots()[0].stamp, e.changeCount());
    EXPECT_EQ(RoomEngineTestAccess::audioEnabled(e), 1);
    EXPECT_FALSE(RoomEngineTestAccess::audioPathHeld(e));
}

TEST(AudioPath, CommitCopiesPendingTapsAtOnce)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    RaySlot& slot = e.raySlots()[5];
    slot.pendingTap.delay = -777;
    slot.pendingTap.gain[0] = 0.25f;
    slot.pendingTap.gain[4] = 0.5f;
    slot.pendingTap.coeff = 0.125f;
    slot.newFilterState = 1e-20f;
    slot.source = 1;
    slot.pending.store(1);
    RaySlot& beyond = e.raySlots()[400]; // outside the 256 active slots
    beyond.pendingTap.delay = -5;
    beyond.tap.delay = 9;
    beyond.pending.store(1);
    e.commitTaps();
    EXPECT_EQ(slot.tap.delay, -777);
    EXPECT_EQ(slot.tap.gain[0], 0.25f);
    EXPECT_EQ(slot.tap.gain[4], 0.5f);
    EXPECT_EQ(slot.tap.coeff, 0.125f);
    EXPECT_EQ(slot.tapSource, 1);
    EXPECT_EQ(slot.pending.load(), 0);
    EXPECT_EQ(beyond.tap.delay, 9);
    EXPECT_EQ(beyond.pending.load(), 1);
}

TEST(EqualiserHandover, DesignsReachSetAAndSetCOnlyWhileStereo)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    e.setParameter(param::kStereoOnOff, 1.0f);
    // Band 2 (peak): 15980 v^3 + 20 = 1000 Hz, +3 dB setting, 1 octave wide.
    const float v = std::cbrt(980.0f / 15980.0f);
    e.setParameter(param::kEQfreq2, v);
    e.setParameter(param::kEQwide2, 0.3f);
    e.setParameter(param::kEQgain2, 0.6f);
    const float oldA = e.audioPath().eqA[1].b0;
    EXPECT_EQ(e.audioPath().eqA[1].b0, oldA); // the kernels' copy waits for the block start
    e.pickUpEqDesigns();
    EXPECT_EQ(e.audioPath().eqA[1].b0, RoomEngineTestAccess::eqB(e)[1].b0);
    EXPECT_EQ(e.audioPath().eqA[1].a2, RoomEngineTestAccess::eqB(e)[1].a2);
    EXPECT_EQ(e.audioPath().eqC[1].b0, RoomEngineTestAccess::eqB(e)[1].b0);
    EXPECT_EQ(e.audioPath().eqC[1].a1, RoomEngineTestAccess::eqD(e)[1].a1);
    // This design boosts by twice its setting: 6 dB at the centre, none far away.
    EXPECT_NEAR(sineGainDb(e.audioPath().eqA[1], 1000.0, 44100.0), 6.0, 0.2);
    EXPECT_NEAR(sineGainDb(e.audioPath().eqA[1], 30.0, 44100.0), 0.0, 0.3);

    // Mono: set C keeps its previous design.
    const float stereoC = e.audioPath().eqC[1].b0;
    e.setParameter(param::kStereoOnOff, 0.0f);
    e.setParameter(param::kEQgain2, 0.2f); // -9 dB
    e.pickUpEqDesigns();
    EXPECT_EQ(e.audioPath().eqC[1].b0, stereoC);
    EXPECT_EQ(e.audioPath().eqA[1].b0, RoomEngineTestAccess::eqB(e)[1].b0);
    EXPECT_NEAR(sineGainDb(e.audioPath().eqA[1], 1000.0, 44100.0), -18.0, 0.3);
}

TEST(EqualiserHandover, AWriterInProgressKeepsTheOldDesigns)
{
    auto engine = makeEngine();
    RoomEngine& e = *engine;
    e.setParameter(param::kEQgain1, 0.9f);
    const uint32_t published = RoomEngineTestAccess::eqSequence(e).load();
    RoomEngineTestAccess::eqSequence(e).store(published + 1); // a writer is halfway through
    const float before = e.audioPath().eqA[0].b0;
    e.pickUpEqDesigns();
    EXPECT_EQ(e.audioPath().eqA[0].b0, before);
    RoomEngineTestAccess::eqSequence(e).store(published);
    e.pickUpEqDesigns();
    EXPECT_EQ(e.audioPath().eqA[0].b0, RoomEngineTestAccess::eqB(e)[0].b0);
    EXPECT_NE(e.audioPath().eqA[0].b0, before);
}

} // namespace ovinta
