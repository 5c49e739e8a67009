// SPDX-License-Identifier: GPL-3.0-or-later
// The production kernels against the plain scalar model, and the SSE2 and
// AVX2 tap stages against each other: same engine state, same input, and the
// outputs and every piece of state the kernels touch must agree bit for bit.
// The one freedom is where a steady tap adds its 1e-20 (the model adds it to
// the filter state, the production kernels to the input sample): on any real
// signal the offset vanishes in rounding, and only in a silent room may the
// two differ, by amounts of the order of the offset itself.

#include "audio/Kernels.h"
#include "dsp/TapStage.h"
#include "tests/RoomEngineTestAccess.h"
#include "tests/audio/KernelFixture.h"
#include "tests/audio/ReferenceKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace ovinta {

namespace {

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Differences the placement of the 1e-20 offsets can make in a silent room.
constexpr float kOffsetSlack = 1e-18f;

bool agree(float a, float b, bool silentRoom)
{
    return sameBits(a, b) || (silentRoom && std::fabs(a - b) <= kOffsetSlack);
}

struct Outputs {
    std::vector<float> buffer[kOutputRoles];
    explicit Outputs(int count)
    {
        for (auto& b : buffer)
            b.assign(count, 99.0f);
    }
    float* const* pointers(int offset)
    {
        for (int k = 0; k < kOutputRoles; ++k)
            ptr[k] = buffer[k].data() + offset;
        return ptr;
    }
    float* ptr[kOutputRoles] = {};
};

void runProduction(RoomEngine& e, int outputs, const float* a, const float* b, float* const* o, int n)
{
    if (outputs == 5)
        kernel5(e, a, b, o[0], o[1], o[2], o[3], o[4], n);
    else if (outputs == 4)
        kernel4(e, a, b, o[0], o[1], o[2], o[3], n);
    else
        kernel2(e, a, b, o[0], o[1], n);
}

// Compares the outputs and the state two engines were left in. Returns the
// number of mismatches (reported through gtest as well).
int compareEngines(const RoomEngine& x, const RoomEngine& y, const std::string& what, bool silentRoom)
{
    int bad = 0;
    auto check = [&](float a, float b, const std::string& field) {
        if (!agree(a, b, silentRoom) && bad++ < 5)
            ADD_FAILURE() << what << ": " << field << " " << a << " vs " << b;
    };
    for (int j = 0; j < kMaxRays; ++j) {
        const RaySlot& s = x.raySlots()[j];
        const RaySlot& t = y.raySlots()[j];
        const std::string at = "slot " + std::to_string(j);
        check(s.tapFilterState, t.tapFilterState, at + " tapFilterState");
        check(s.newFilterState, t.newFilterState, at + " newFilterState");
        check(s.fadeLevel, t.fadeLevel, at + " fadeLevel");
        check(s.tap.coeff, t.tap.coeff, at + " tapCoeff");
        check(static_cast<float>(s.tap.delay), static_cast<float>(t.tap.delay), at + " tapDelay");
        check(static_cast<float>(s.pending.load()), static_cast<float>(t.pending.load()), at + " pending");
        for (int k = 0; k < kOutputRoles; ++k)
            check(s.tap.gain[k], t.tap.gain[k], at + " tapGain");
    }
    for (int h = 0; h < 2; ++h)
        for (int i = 0; i < kHistoryLength; ++i)
            check(x.audioPath().sourceHistory[h][i], y.audioPath().sourceHistory[h][i], "history " + std::to_string(h));
    for (int bank = 0; bank < 2; ++bank)
        for (int k = 0; k < kCombsPerBank; ++k) {
            const CombFilter& c = x.audioPath().combs[bank][k];
            const CombFilter& d = y.audioPath().combs[bank][k];
            check(c.lastOut, d.lastOut, "comb lastOut");
            check(static_cast<float>(c.readIndex - d.readIndex), 0.0f, "comb readIndex");
            check(static_cast<float>(c.bendPhase - d.bendPhase), 0.0f, "comb bendPhase");
            if (std::memcmp(c.delayLine, d.delayLine, sizeof c.delayLine) != 0 && bad++ < 5)
                ADD_FAILURE() << what << ": comb delay line differs";
        }
    for (int b = 0; b < kEqBands; ++b) {
        check(x.audioPath().eqA[b].y1, y.audioPath().eqA[b].y1, "eqA y1");
        check(x.audioPath().eqA[b].x2, y.audioPath().eqA[b].x2, "eqA x2");
        check(x.audioPath().eqC[b].y2, y.audioPath().eqC[b].y2, "eqC y2");
        check(x.audioPath().eqC[b].out, y.audioPath().eqC[b].out, "eqC out");
    }
    for (int k = 0; k < kOutputRoles; ++k)
        check(x.derived().outputPeak[k], y.derived().outputPeak[k], "outputPeak " + std::to_string(k));
    return bad;
}

// Runs blocks of the given sizes through both engines; false on the first
// block whose outputs differ.
struct Runner {
    int outputs;
    std::vector<int> blocks;
    bool silence = false;   // silent room: input and history at rest
    SimdPath rightPath = SimdPath::kAvx2; // the path `right` runs when both are production

    // `reference` false: production on both, `left` with SSE2 and `right` with rightPath.
    void run(RoomEngine& left, RoomEngine& right, bool reference, const std::string& what)
    {
        int total = 0;
        for (int n : blocks)
            total += n;
        std::vector<float> a = makeSignal(total, 11);
        std::vector<float> b = makeSignal(total, 12);
        if (silence) {
            a.assign(total, 0.0f);
            b.assign(total, 0.0f);
        }
        Outputs outLeft(total), outRight(total);
        int offset = 0, mismatches = 0;
        for (int n : blocks) {
            if (reference) {
                runProduction(left, outputs, a.data() + offset, b.data() + offset, outLeft.pointers(offset), n);
                referenceKernel(right, a.data() + offset, b.data() + offset, outRight.pointers(offset), outputs, n);
            } else {
                setSimdPath(SimdPath::kSse2);
                runProduction(left, outputs, a.data() + offset, b.data() + offset, outLeft.pointers(offset), n);
                setSimdPath(rightPath);
                runProduction(right, outputs, a.data() + offset, b.data() + offset, outRight.pointers(offset), n);
            }
            left.audioPath().advance(static_cast<uint32_t>(n));
            right.audioPath().advance(static_cast<uint32_t>(n));
            offset += n;
        }
        for (int k = 0; k < kOutputRoles; ++k)
            for (int i = 0; i < total; ++i)
                if (!agree(outLeft.buffer[k][i], outRight.buffer[k][i], silence && reference) && mismatches++ < 5)
                    ADD_FAILURE() << what << ": output " << k << " sample " << i << ": "
                                  << outLeft.buffer[k][i] << " vs " << outRight.buffer[k][i];
        mismatches += compareEngines(left, right, what, silence && reference);
        EXPECT_EQ(mismatches, 0) << what;
        // The outputs beyond the used ones must be untouched.
        for (int k = outputs; k < kOutputRoles; ++k)
            EXPECT_EQ(outLeft.buffer[k][0], 99.0f) << what;
    }
};

struct MatchCase {
    const char* name;
    KernelScene scene;
    int outputs;
    std::vector<int> blocks;
};

std::vector<MatchCase> matchCases()
{
    KernelScene steady;
    KernelScene mixed = steady;
    mixed.stereo = false;
    mixed.rays = 200;
    KernelScene reverse = steady;
    reverse.reverse = true;
    reverse.longestTap = -48000;
    reverse.pendingEvery = 5;
    KernelScene fades = steady;
    fades.pendingEvery = 1;
    fades.rays = 96;
    KernelScene someFades = steady;
    someFades.pendingEvery = 4;
    someFades.silentEvery = 3;
    someFades.bend = 0.93f;
    KernelScene wrap = steady;
    wrap.writePos = kHistoryLength - 700;
    wrap.maxDelay = 3000;
    wrap.pendingEvery = 6;
    KernelScene few = steady;
    few.rays = 5;
    few.pendingEvery = 2;
    few.bend = 0.1f;
    KernelScene shortCombs = steady;
    shortCombs.combDelay = 40;
    shortCombs.bend = 0.6f;
    KernelScene silent = steady;
    silent.silent = true;
    silent.pendingEvery = 7;
    const std::vector<int> typical = {512, 512, 256};
    const std::vector<int> ragged = {1, 7, 63, 64, 127, 128, 33, 300, 2, 17};
    std::vector<int> long10k(24, 512); // fades of 5,000-10,000 samples end inside
    return {
        {"steady 5 outputs", steady, 5, typical},
        {"steady 4 outputs", steady, 4, ragged},
        {"steady 2 outputs", steady, 2, ragged},
        {"mixed source 5 outputs", mixed, 5, ragged},
        {"mixed source 2 outputs", mixed, 2, typical},
        {"reverse with fades", reverse, 5, typical},
        {"fades over many blocks, 5 outputs", fades, 5, long10k},
        {"fades over many blocks, 2 outputs", fades, 2, long10k},
        {"some fades, silent taps, bend", someFades, 4, ragged},
        {"history wrap", wrap, 5, ragged},
        {"five rays", few, 5, ragged},
        {"combs shorter than a block", shortCombs, 5, ragged},
        {"silent room", silent, 4, typical},
    };
}

TEST(Kernels, MatchThePlainScalarModel)
{
    for (const MatchCase& c : matchCases()) {
        auto production = makeSceneEngine(c.scene);
        auto model = makeSceneEngine(c.scene);
        Runner{c.outputs, c.blocks, c.scene.silent}.run(*production, *model, true, c.name);
    }
    setSimdPath(defaultSimdPath());
}

void expectBitIdenticalToSse2(SimdPath path)
{
    for (const MatchCase& c : matchCases()) {
        auto sse = makeSceneEngine(c.scene);
        auto wide = makeSceneEngine(c.scene);
        Runner{c.outputs, c.blocks, c.scene.silent, path}.run(*sse, *wide, false, c.name);
    }
    setSimdPath(defaultSimdPath());
}

TEST(Kernels, Sse2AndAvx2PathsAreBitIdentical)
{
    if (!simdPathAvailable(SimdPath::kAvx2))
        GTEST_SKIP() << "no AVX2 on this processor";
    expectBitIdenticalToSse2(SimdPath::kAvx2);
}

TEST(Kernels, Sse2AndAvx512PathsAreBitIdentical)
{
    if (!simdPathAvailable(SimdPath::kAvx512))
        GTEST_SKIP() << "no AVX-512F on this processor: the AVX-512 tap stage was not compared";
    expectBitIdenticalToSse2(SimdPath::kAvx512);
}

TEST(Kernels, FadesFinishAndCommitInsideTheBlocks)
{
    // Guards the scenes above: the long run really completes crossfades (so
    // the commit path is compared), and leaves none half-way at 5,000 samples.
    KernelScene scene;
    scene.pendingEvery = 1;
    scene.rays = 96;
    auto engine = makeSceneEngine(scene);
    const std::vector<float> in = makeSignal(512, 3);
    std::vector<float> l(512), r(512);
    int pendingAfter = 0;
    for (int block = 0; block < 24; ++block) {
        kernel2(*engine, in.data(), in.data(), l.data(), r.data(), 512);
        engine->audioPath().advance(512);
    }
    for (int j = 0; j < scene.rays; ++j)
        pendingAfter += engine->raySlots()[j].pending.load();
    // 24 x 512 = 12,288 samples exceed the longest crossfade of 10,000.
    EXPECT_EQ(pendingAfter, 0);
}

} // namespace

} // namespace ovinta
