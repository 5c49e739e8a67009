// SPDX-License-Identifier: GPL-3.0-or-later
// The process call: handshake, tracer pacing, channel routing, history
// advance, safe handling of bad host arguments and the floating-point mode.
// Expected outputs are worked out by hand from a dry-only set-up: dry gain 1,
// width 0.5 (a pair passes unchanged), silent taps and powers-of-two gains,
// so every product is exact.

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "tests/EngineTestSupport.h"
#include "tests/RoomEngineTestAccess.h"

#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr float kUntouched = -777.0f;
constexpr float kInA = 0.25f, kInB = 0.5f;
constexpr float kGain[kOutputRoles] = {1.0f, 2.0f, 4.0f, 8.0f, 16.0f};

struct Host {
    std::vector<float> in[2];
    std::vector<float> out[6];
    float* inPtr[2];
    float* outPtr[6];
    explicit Host(int frames)
    {
        for (int c = 0; c < 2; ++c) {
            in[c].assign(frames > 0 ? frames : 1, c == 0 ? kInA : kInB);
            inPtr[c] = in[c].data();
        }
        for (int c = 0; c < 6; ++c) {
            out[c].assign(frames > 0 ? frames : 1, kUntouched);
            outPtr[c] = out[c].data();
        }
    }
};

std::unique_ptr<RoomEngine> makeDryEngine(int outputs, TraceWorker worker = TraceWorker::Own)
{
    auto e = std::make_unique<RoomEngine>(worker);
    RoomEngineTestAccess::values(*e).dryGain = 1.0f;
    RoomEngineTestAccess::values(*e).widthFactor = 0.5f;
    RoomEngineTestAccess::values(*e).stereoOn = 1;
    RoomEngineTestAccess::values(*e).diffusionGain = 0.0f;
    RoomEngineTestAccess::values(*e).outputCount = outputs;
    for (int k = 0; k < kOutputRoles; ++k)
        RoomEngineTestAccess::values(*e).outputGain[k] = kGain[k];
    RoomEngineTestAccess::releaseAudioPath(*e); // audio runs
    return e;
}

// The sample each role plays in the dry set-up (before its output gain).
float drySample(int role)
{
    const float value[kOutputRoles] = {kInA, kInB, kInA, kInB, (kInA + kInB) * 0.5f};
    return value[role];
}

int stepsTaken(const RoomEngine& e, int before)
{
    const int rays = e.derived().activeRays;
    return ((RoomEngineTestAccess::stepCursor(e) - before) % rays + rays) % rays;
}

TEST(ProcessDriver, TracerAdvancesOneUnitPer64SamplesAndAtLeastOne)
{
    struct Row {
        int frames, units;
    } rows[] = {{0, 1}, {1, 1}, {63, 1}, {64, 1}, {127, 1}, {128, 2}, {200, 3}};
    for (const Row& r : rows) {
        auto e = makeDryEngine(2);
        ASSERT_GE(static_cast<int>(e->derived().activeRays), 128); // 2 units must not wrap the cursor
        Host host(r.frames);
        const int cursor = RoomEngineTestAccess::stepCursor(*e);
        const int tick = e->derived().processTick;
        processBlock(*e, host.inPtr, host.outPtr, r.frames);
        EXPECT_EQ(stepsTaken(*e, cursor), 32 * r.units) << r.frames << " frames";
        EXPECT_EQ(e->derived().processTick, tick + 1);
        EXPECT_EQ(RoomEngineTestAccess::processing(*e), 0);
    }
}

TEST(ProcessDriver, EmptyBlockWritesNothingAndKeepsThePosition)
{
    auto e = makeDryEngine(5);
    e->audioPath().writePos = 1234;
    Host host(4);
    processBlock(*e, host.inPtr, host.outPtr, 0);
    EXPECT_EQ(e->audioPath().writePos, 1234u);
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(host.out[c][0], kUntouched) << c;
}

TEST(ProcessDriver, OutputCountChoosesTheKernelAndSilencesOtherChannels)
{
    struct Row {
        int outputCount;
        int rolesFed;
    } rows[] = {{2, 2}, {3, 2}, {4, 4}, {5, 5}, {6, 5}, {8, 5}, {0, 2}, {-4, 2}};
    for (const Row& r : rows) {
        auto e = makeDryEngine(r.outputCount);
        Host host(96);
        processBlock(*e, host.inPtr, host.outPtr, 96);
        for (int c = 0; c < 6; ++c)
            for (int i = 0; i < 96; i += 19) {
                const float expected = c < r.rolesFed ? drySample(c) * kGain[c] : 0.0f;
                EXPECT_EQ(host.out[c][i], expected) << "outputCount " << r.outputCount << " channel " << c;
            }
    }
}

TEST(ProcessDriver, PinsRouteRolesToHostChannels)
{
    auto e = makeDryEngine(5);
    const int pins[kOutputRoles] = {5, 3, 0, 1, 2};
    for (int k = 0; k < kOutputRoles; ++k)
        RoomEngineTestAccess::values(*e).outputChannel[k] = pins[k];
    RoomEngineTestAccess::values(*e).inputChannel[0] = 1; // sources swapped
    RoomEngineTestAccess::values(*e).inputChannel[1] = 0;
    Host host(40);
    processBlock(*e, host.inPtr, host.outPtr, 40);
    const float swapped[kOutputRoles] = {kInB, kInA, kInB, kInA, (kInB + kInA) * 0.5f};
    for (int k = 0; k < kOutputRoles; ++k)
        EXPECT_EQ(host.out[pins[k]][17], swapped[k] * kGain[k]) << "role " << k;
    EXPECT_EQ(host.out[4][17], 0.0f);
}

TEST(ProcessDriver, StrayPinsFallBackToTheRolesOwnChannel)
{
    auto e = makeDryEngine(2);
    RoomEngineTestAccess::values(*e).outputChannel[0] = 99;
    RoomEngineTestAccess::values(*e).outputChannel[1] = -3;
    RoomEngineTestAccess::values(*e).inputChannel[0] = 7;
    Host host(16);
    processBlock(*e, host.inPtr, host.outPtr, 16);
    EXPECT_EQ(host.out[0][5], kInA * kGain[0]);
    EXPECT_EQ(host.out[1][5], kInB * kGain[1]);
}

TEST(ProcessDriver, ChannelNamedTwiceCarriesTheFirstRoleOnly)
{
    // Left and right both on channel 1, also over a block longer than the
    // sink so that the block runs in pieces.
    for (int frames : {50, 3000}) {
        auto e = makeDryEngine(2);
        RoomEngineTestAccess::values(*e).outputChannel[0] = 1;
        RoomEngineTestAccess::values(*e).outputChannel[1] = 1;
        const uint32_t start = e->audioPath().writePos;
        Host host(frames);
        processBlock(*e, host.inPtr, host.outPtr, frames);
        for (int i = 0; i < frames; i += 97)
            EXPECT_EQ(host.out[1][i], kInA * kGain[0]) << frames;
        EXPECT_EQ(host.out[0][0], 0.0f);
        EXPECT_EQ(e->audioPath().writePos, (start + static_cast<uint32_t>(frames)) & kHistoryMask);
    }
}

TEST(ProcessDriver, OneOutputTakesTheFirstInputForBothSources)
{
    auto e = makeDryEngine(1);
    Host host(32);
    processBlock(*e, host.inPtr, host.outPtr, 32);
    EXPECT_EQ(host.out[0][9], kInA * kGain[0]);
    EXPECT_EQ(host.out[1][9], 0.0f);
}

TEST(ProcessDriver, DisabledAudioSilencesTheHostBuffers)
{
    auto e = makeDryEngine(5);
    e->takeAudioPath();
    const int tick = e->derived().processTick;
    Host host(64);
    processBlock(*e, host.inPtr, host.outPtr, 64);
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(host.out[c][10], 0.0f);
    EXPECT_EQ(e->derived().processTick, tick);
    EXPECT_EQ(RoomEngineTestAccess::processing(*e), 0);
    e->releaseAudioPath();
}

TEST(ProcessDriver, WritePositionWrapsAroundTheHistory)
{
    auto e = makeDryEngine(2);
    e->audioPath().writePos = 1048570;
    Host host(10);
    processBlock(*e, host.inPtr, host.outPtr, 10);
    EXPECT_EQ(e->audioPath().writePos, 4u);
    // The block's samples straddle the end of the ring: six before, four
    // after; the slots around them keep the constructor's zeros.
    for (uint32_t p : {1048570u, 1048575u, 0u, 3u})
        EXPECT_NE(e->audioPath().sourceHistory[1][p], 0.0f) << p;
    EXPECT_EQ(e->audioPath().sourceHistory[1][1048569], 0.0f);
    EXPECT_EQ(e->audioPath().sourceHistory[1][4], 0.0f);
    EXPECT_EQ(host.out[1][9], kInB * kGain[1]);
}

// A reset refills only what blocks wrote since the last one (here across the
// ring's end), yet afterwards the whole history holds the reset fill again.
TEST(ProcessDriver, ResetLeavesTheWholeHistoryFilledWhateverWasWritten)
{
    auto e = makeDryEngine(2);
    e->resetAudio();
    const float fill = e->audioPath().sourceHistory[0][12345];
    e->audioPath().writePos = 1048000;
    Host host(1000);
    for (int block = 0; block < 3; ++block)
        processBlock(*e, host.inPtr, host.outPtr, 1000);
    e->resetAudio();
    for (int h = 0; h < 2; ++h) {
        const float* history = e->audioPath().sourceHistory[h].get();
        int differing = 0;
        for (uint32_t i = 0; i <= kHistoryMask; ++i)
            differing += history[i] != fill;
        EXPECT_EQ(differing, 0) << "history " << h;
    }
}

TEST(ProcessDriver, BadHostArgumentsRenderNothingAndSilenceTheGivenBuffers)
{
    auto e = makeDryEngine(5);
    Host host(32);
    const uint32_t start = e->audioPath().writePos;
    processBlock(*e, nullptr, host.outPtr, 32);
    processBlock(*e, host.inPtr, nullptr, 32);
    processBlock(*e, host.inPtr, host.outPtr, -5);
    host.outPtr[3] = nullptr;
    processBlock(*e, host.inPtr, host.outPtr, 32);
    host.outPtr[3] = host.out[3].data();
    host.inPtr[1] = nullptr;
    processBlock(*e, host.inPtr, host.outPtr, 32);
    EXPECT_EQ(e->audioPath().writePos, start);
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(host.out[c][0], 0.0f) << c;
    EXPECT_EQ(RoomEngineTestAccess::processing(*e), 0);
}

TEST(ProcessDriver, HostFloatingPointModeIsRestored)
{
    // The host runs with round-toward-zero and no flushing; the process call
    // must hand exactly that back.
    const unsigned before = _mm_getcsr();
    const unsigned host = (before & ~0xE040u) | 0x6000u;
    _mm_setcsr(host);
    auto e = makeDryEngine(2);
    Host h(64);
    processBlock(*e, h.inPtr, h.outPtr, 64);
    const unsigned after = _mm_getcsr();
    _mm_setcsr(before);
    EXPECT_EQ(after & ~0x3Fu, host & ~0x3Fu); // exception flags aside
}

TEST(ProcessDriver, DenormalsAreFlushedWhileProcessing)
{
    // A dry gain of 1e-20 on the 1e-20 that silence carries gives 1e-40, a
    // denormal; the call flushes it to zero.
    const unsigned before = _mm_getcsr();
    _mm_setcsr(before & ~0x8040u);
    auto e = makeDryEngine(2);
    RoomEngineTestAccess::values(*e).dryGain = 1e-20f;
    Host host(8);
    host.in[0].assign(8, 0.0f);
    host.in[1].assign(8, 0.0f);
    processBlock(*e, host.inPtr, host.outPtr, 8);
    _mm_setcsr(before);
    EXPECT_EQ(host.out[0][3], 0.0f);
    volatile float tiny = 1e-20f;
    EXPECT_NE(tiny * tiny, 0.0f) << "the test's own mode must keep denormals";
}

int pendingSlots(const RoomEngine& e)
{
    int pending = 0;
    for (int j = 0; j < e.derived().activeRays; ++j)
        pending += e.raySlots()[j].pending.load();
    return pending;
}

// A program change made on the audio thread is never traced by a block: the
// worker's work (run here by the test) traces it, the next block start with
// a free tracer commits it, and, since blocks of the old room played
// meanwhile, the new taps fade in as after any retrace.
TEST(ProcessDriver, ProgramChangeOnTheAudioThreadIsTracedElsewhereAndFadesIn)
{
    auto e = enginetest::makeEngine(TraceWorker::Caller);
    enginetest::applyProgram(*e, 0, 48000.0f);
    ASSERT_TRUE(e->traceProgramAhead());
    Host host(64);
    processBlock(*e, host.inPtr, host.outPtr, 64); // commits program 0; this thread plays
    ASSERT_FALSE(e->programChangePending());
    enginetest::applyProgram(*e, 5, 48000.0f);
    EXPECT_FALSE(e->traceProgramAhead()) << "not on the audio thread";
    processBlock(*e, host.inPtr, host.outPtr, 64);
    EXPECT_TRUE(e->programChangePending()) << "the block did not trace the room";
    const uint32_t preparations = RoomEngineTestAccess::aheadPreparations(*e);
    ASSERT_TRUE(e->runTraceWork());
    EXPECT_EQ(RoomEngineTestAccess::aheadPreparations(*e), preparations + 1);
    RoomEngineTestAccess::holdTracer(*e); // another thread uses the tracer
    processBlock(*e, host.inPtr, host.outPtr, 64);
    EXPECT_TRUE(e->programChangePending()) << "the commit waits for a free tracer";
    RoomEngineTestAccess::releaseTracer(*e);
    processBlock(*e, host.inPtr, host.outPtr, 64);
    EXPECT_FALSE(e->programChangePending());
    // An instant commit leaves at most the block's own 32 steps pending.
    EXPECT_GT(pendingSlots(*e), e->derived().activeRays / 2) << "the new taps fade in";
}

// An equaliser change the audio thread makes while another thread designs a
// band is designed at the next block start: the block after it plays the
// same design that a host thread's change gives at once.
TEST(ProcessDriver, AnEqBandTheAudioThreadCouldNotDesignFollowsAtTheNextBlock)
{
    auto host = makeDryEngine(2, TraceWorker::Caller);
    host->setParameter(param::kEQgain2, 0.9f);
    auto e = makeDryEngine(2, TraceWorker::Caller);
    Host io(64);
    processBlock(*e, io.inPtr, io.outPtr, 64); // this thread is now the audio thread
    const float flat = e->audioPath().eqA[1].b0;
    const uint32_t designs = RoomEngineTestAccess::eqSequence(*e).load();
    RoomEngineTestAccess::holdEqDesigns(*e);
    e->setParameter(param::kEQgain2, 0.9f);
    RoomEngineTestAccess::releaseEqDesigns(*e);
    EXPECT_EQ(RoomEngineTestAccess::eqSequence(*e).load(), designs) << "not designed while the flag was held";
    processBlock(*e, io.inPtr, io.outPtr, 64);
    processBlock(*host, io.inPtr, io.outPtr, 64);
    EXPECT_NE(host->audioPath().eqA[1].b0, flat);
    EXPECT_EQ(e->audioPath().eqA[1].b0, host->audioPath().eqA[1].b0);
    EXPECT_EQ(e->audioPath().eqA[1].a1, host->audioPath().eqA[1].a1);
    EXPECT_EQ(e->audioPath().eqA[1].b2, host->audioPath().eqA[1].b2);
}

// With its own worker the engine needs no help: a change on the audio thread
// plays after some blocks, however the threads are scheduled.
TEST(ProcessDriver, TheWorkerTracesAProgramChangeMadeOnTheAudioThread)
{
    auto e = enginetest::makeEngine();
    enginetest::applyProgram(*e, 0, 48000.0f);
    Host host(64);
    processBlock(*e, host.inPtr, host.outPtr, 64);
    enginetest::applyProgram(*e, 41, 48000.0f);
    int blocks = 0;
    for (; blocks < 5000 && e->programChangePending(); ++blocks) {
        processBlock(*e, host.inPtr, host.outPtr, 64);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(e->programChangePending()) << blocks;
    EXPECT_EQ(e->derived().currentProgram, 41);
}

// A program change traced ahead on another thread plays, from the first
// block on, exactly what a whole trace on the audio path plays (the ray
// set-up, commit, trace of the whole room and commit that an export runs).
struct AheadCase {
    const char* name;
    int from, to;       // factory programs; to < 0: no program, the listener moves instead
    float rays;         // parNumRays given to the new program (< 0: its own)
    bool midFade;       // crossfades are under way when the change comes
};

void PrintTo(const AheadCase& c, std::ostream* os)
{
    *os << c.name;
}

class TracedAhead : public ::testing::TestWithParam<AheadCase> {};

TEST_P(TracedAhead, PlaysTheSameBlocksAsTheAudioThreadsRebuild)
{
    const AheadCase& c = GetParam();
    constexpr int kFrames = 512;
    Host host(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        host.in[0][i] = (i % 97 == 0) ? 0.8f : 0.0f;
        host.in[1][i] = (i % 61 == 0) ? -0.6f : 0.0f;
    }
    std::unique_ptr<RoomEngine> engines[2];
    std::vector<float> played[2];
    for (int which = 0; which < 2; ++which) {
        engines[which] = enginetest::makeEngine(TraceWorker::Caller);
        RoomEngine& e = *engines[which];
        enginetest::applyProgram(e, c.from, 48000.0f);
        ASSERT_TRUE(e.traceProgramAhead());
        e.resetAudio();
        for (int block = 0; block < 4; ++block)
            processBlock(e, host.inPtr, host.outPtr, kFrames);
        if (c.midFade) { // the listener moves: every ray retraces and fades
            e.setParameter(param::kEarsX, 0.3f);
            for (int block = 0; block < 3; ++block)
                processBlock(e, host.inPtr, host.outPtr, kFrames);
        }
        if (c.to < 0) { // a change without a ray set-up
            e.setParameter(param::kEarsX, 0.7f);
            e.finishProgram();
        } else {
            if (c.rays >= 0.0f)
                e.programBank().programs[c.to].parNumRays = c.rays;
            enginetest::applyProgram(e, c.to, 48000.0f);
        }
        if (which == 0) {
            {
                const RoomEngine::AudioPathHold hold(e);
                if (RoomEngineTestAccess::raySetupRequested(e).load())
                    e.setupRays();
                e.commitTaps();
                EXPECT_TRUE(e.trace(RoomEngine::kRebuildUnits));
                e.commitTaps();
            }
            RoomEngineTestAccess::immediateRebuild(e).store(false);
        } else {
            bool traced = false;
            std::thread hostThread([&] { traced = e.traceProgramAhead(); });
            hostThread.join();
            ASSERT_TRUE(traced);
            EXPECT_FALSE(RoomEngineTestAccess::immediateRebuild(e).load()) << "the audio thread only commits";
        }
        for (int block = 0; block < 3; ++block) {
            processBlock(e, host.inPtr, host.outPtr, kFrames);
            for (int role = 0; role < 2; ++role)
                played[which].insert(played[which].end(), host.out[role].begin(), host.out[role].end());
        }
    }
    EXPECT_EQ(engines[0]->derived().activeRays, engines[1]->derived().activeRays);
    ASSERT_EQ(played[0].size(), played[1].size());
    int differing = 0;
    for (std::size_t i = 0; i < played[0].size(); ++i)
        differing += played[0][i] != played[1][i] ? 1 : 0;
    EXPECT_EQ(differing, 0);
    float loudest = 0.0f;
    for (float v : played[1])
        loudest = std::max(loudest, std::fabs(v));
    EXPECT_GT(loudest, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramChange, TracedAhead,
    ::testing::Values(AheadCase{"program", 0, 5, -1.0f, false}, AheadCase{"program_mid_fade", 0, 5, -1.0f, true},
                      AheadCase{"more_rays_mid_fade", 41, 0, 1.0f, true},
                      AheadCase{"fewer_rays", 5, 41, 0.1f, false},
                      AheadCase{"no_ray_setup_mid_fade", 3, -1, -1.0f, true}),
    [](const ::testing::TestParamInfo<AheadCase>& param) { return std::string(param.param.name); });

TEST(ProcessDriver, ProgramChangesLeftToTheWorker)
{
    for (bool onAudioThread : {true, false}) {
        auto e = makeDryEngine(2, TraceWorker::Caller);
        Host host(64);
        if (onAudioThread)
            processBlock(*e, host.inPtr, host.outPtr, 64); // this thread is now the audio thread
        else
            RoomEngineTestAccess::holdTracer(*e); // another thread traces a long while
        e->finishProgram();
        EXPECT_FALSE(e->traceProgramAhead()) << onAudioThread;
        EXPECT_TRUE(RoomEngineTestAccess::immediateRebuild(*e).load()) << "left to the worker";
        RoomEngineTestAccess::releaseTracer(*e);
    }
}

} // namespace

} // namespace ovinta
