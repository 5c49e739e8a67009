// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the whole effect: random chunks (both layouts, both
// kinds and random sizes), random parameter streams and a few audio blocks,
// all given to one effect object as a host would. It aborts when a loaded
// record breaks its invariants, a saved chunk does not load back to the same
// bytes, or an output sample is not finite or louder than any legitimate
// setting allows (see loudestGain); the sanitizers catch every access
// outside a buffer.

#include "dsp/EQfilter.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "model/FactoryPrograms.h"
#include "model/ParameterFormulas.h"
#include "tests/fuzz/FuzzInput.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace ovinta {

namespace {

using fuzz::fail;
using fuzz::Reader;

constexpr int kInputs = 2;
constexpr int kOutputs = 6;
constexpr float kFuzzRate = 44100.0f; // the effect's rate until a host sets one

// Samples an input plays after its reset: every output sample depends on at
// most this many input samples, so each stage's response counts only as far.
constexpr int kPlayed = kFuzzMaxBlocks * kFuzzMaxBlockLength;

// The largest sum of |h[n]|, n < kPlayed, of one equaliser band of `type`
// over a grid of legitimate settings (full boost and full cut, frequencies
// and widths from end to end), at kFuzzRate.
double loudestBand(int type)
{
    constexpr int kGrid = 8;
    double loudest = 1.0;
    for (float gain : {formula::eqGainDb(0.0f), formula::eqGainDb(1.0f)})
        for (int fi = 0; fi <= kGrid; ++fi)
            for (int wi = 0; wi <= kGrid; ++wi) {
                const float v = static_cast<float>(wi) / kGrid;
                const float width = type == kEqPeaking ? formula::peakOctaves(v) : formula::shelfWidth(v);
                EQfilter band(type, gain, formula::eqFrequencyHz(static_cast<float>(fi) / kGrid), kFuzzRate,
                              width);
                double sum = 0.0;
                for (int n = 0; n < kPlayed; ++n)
                    sum += std::fabs(static_cast<double>(band.step(n == 0 ? 1.0f : 0.0f)));
                loudest = std::max(loudest, sum);
            }
    return loudest;
}

// The loudest output sample a legitimate setting (every stored value within
// its range) allows per unit of input magnitude within kPlayed samples of a
// reset (which clears the history, the combs and the equaliser), following
// the signal:
//   history     both inputs mixed:                                  2
//   diffusion   the input plus ten combs, each weighted by at most
//               0.2857143 * 1.58489 (base gains are below 1). A comb's line
//               holds x + f*y with |f| < 1, and its shortest delay is 25 ms
//               (1,102 samples here) less the bend's drift of at most 1/8
//               sample a sample, so within kPlayed samples it returns at
//               most kPlayed / (1102 - kPlayed / 8 - 1) echoes of |x|;
//   equaliser   four bands in cascade: at most the product of their
//               responses' sums (loudestBand);
//   a tap       gain at most 1 per output (level starts at 1; wall, turn,
//               air and wet factors are at most 1; the panning weights are
//               at most 1), its low-pass sums to 1, a crossfade's two
//               weights sum to 1;
//   outputs     kMaxRays taps plus the dry path (gain at most 1), widened
//               by at most 2 * 2 + 1 = 5, then an output gain of at most 4.
double loudestGain()
{
    const int echoes = kPlayed / (1102 - kPlayed / 8 - 1);
    const double diffusion = 1.0 + kCombsPerBank * 0.2857143 * static_cast<double>(formula::diffusionGain(1.0f)) * echoes;
    const double equaliser = loudestBand(kEqLowShelf) * loudestBand(kEqPeaking) * loudestBand(kEqPeaking)
                             * loudestBand(kEqHighShelf);
    const double history = 2.0 * diffusion * equaliser;
    const double bound = 4.0 * 5.0 * (2.0 + kMaxRays * history);
    std::fprintf(stderr, "loudness bound: %.3g per unit of input (diffusion %.4g, equaliser %.4g)\n", bound,
                 diffusion, equaliser);
    return bound * 1.001; // the constant 1e-20 added against denormals and float rounding
}

void runParameters(Reader& in, EffectVST& effect)
{
    for (int i = 0; i < kFuzzMaxParameters && in.left() >= 5; ++i) {
        const uint8_t indexByte = in.byte();
        if (indexByte == kFuzzEndOfParameters)
            break;
        unsigned char raw[4];
        in.take(raw, 4);
        float value;
        std::memcpy(&value, raw, 4);
        const int index = indexByte % 80 - 4;
        // Odd bytes send the editor's own tags straight to the engine setter,
        // as the editor does; everything else takes the host path, where
        // stored values are held to their range.
        if ((indexByte & 1) != 0 && index >= kHostParameterCount)
            effect.getEngine().setParameter(index, value);
        else
            effect.setParameter(index, value);
    }
}

void runAudio(Reader& in, EffectVST& effect)
{
    static std::vector<float> buffers((kInputs + kOutputs) * kFuzzMaxBlockLength);
    float* inputs[kInputs];
    float* outputs[kOutputs];
    for (int c = 0; c < kInputs; ++c)
        inputs[c] = buffers.data() + c * kFuzzMaxBlockLength;
    for (int c = 0; c < kOutputs; ++c)
        outputs[c] = buffers.data() + (kInputs + c) * kFuzzMaxBlockLength;

    for (int b = 0; b < kFuzzMaxBlocks && in.left() >= 3; ++b) {
        const int length = (in.byte() | (in.byte() << 8)) % (kFuzzMaxBlockLength + 1);
        uint32_t seed = in.byte() * 2654435761u + 1u;
        for (int c = 0; c < kInputs; ++c) {
            float* x = buffers.data() + c * kFuzzMaxBlockLength;
            for (int i = 0; i < length; ++i) {
                seed = seed * 1664525u + 1013904223u;
                // Full-scale noise with an impulse at the block start.
                x[i] = i == 0 ? 1.0f : static_cast<float>(int32_t(seed)) * (1.0f / 2147483648.0f);
            }
        }
        // Cleared as a host hands them over; channels not fed stay 0.
        std::fill(buffers.begin() + kInputs * kFuzzMaxBlockLength, buffers.end(), 0.0f);
        effect.processReplacing(inputs, outputs, length);
        static const float loudest = static_cast<float>(loudestGain());
        for (int c = 0; c < kOutputs; ++c)
            for (int i = 0; i < length; ++i) {
                if (!std::isfinite(outputs[c][i]))
                    fail("non-finite output sample", effect.getProgram());
                // The input is at most 1 in magnitude.
                if (std::fabs(outputs[c][i]) > loudest)
                    fail("output louder than any legitimate setting allows", effect.getProgram());
            }
    }
}

VstIntPtr fuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

EffectVST& sharedEffect()
{
    // One instance for the whole run (its engine is about 10 MB); every input
    // starts it from the factory bank, program 0 and a reset.
    static EffectVST* effect = new EffectVST(fuzzHost);
    return *effect;
}

const ProgramBank& factoryBank()
{
    static const ProgramBank* bank = [] {
        auto* b = new ProgramBank();
        for (OvintaProgram& p : b->programs)
            p = OvintaProgram();
        loadFactoryPrograms(b->programs);
        return b;
    }();
    return *bank;
}

// A chunk saved right after a load must load back to the same bytes.
void checkSavedChunkReloads(EffectVST& effect, bool isPreset)
{
    void* data = nullptr;
    const VstInt32 size = effect.getChunk(&data, isPreset);
    const auto* bytes = static_cast<const unsigned char*>(data);
    const std::vector<unsigned char> saved(bytes, bytes + size);
    if (effect.setChunk(const_cast<unsigned char*>(saved.data()), size, isPreset) != 1)
        fail("saved chunk refused", effect.getProgram());
    effect.getChunk(&data, isPreset);
    if (std::memcmp(data, saved.data(), saved.size()) != 0)
        fail("saved chunk changed on reload", effect.getProgram());
}

} // namespace

} // namespace ovinta

using namespace ovinta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    EffectVST& effect = sharedEffect();
    RoomEngine& engine = effect.getEngine();
    // The factory bank comes back by copy; program 0 is applied by the chunk
    // load, or here when the chunk is refused.
    std::memcpy(&engine.programBank(), &factoryBank(), sizeof(ProgramBank));
    if (effect.getProgram() != 0)
        effect.setProgram(0);

    Reader in(data, size);
    bool isPreset = false;
    static std::vector<unsigned char> chunk;
    fuzz::readChunk(in, isPreset, chunk);
    // A null pointer for an empty chunk, as a host may pass.
    const bool loaded = effect.setChunk(chunk.empty() ? nullptr : chunk.data(),
                                        static_cast<VstIntPtr>(chunk.size()), isPreset) == 1;
    if (!loaded)
        effect.setProgram(0);
    effect.resume();
    for (int k = 0; k < kProgramCount; ++k)
        fuzz::checkRecord(engine.programBank().programs[k], k);
    if (loaded)
        checkSavedChunkReloads(effect, isPreset);

    runParameters(in, effect);
    runAudio(in, effect);
    return 0;
}
