// libFuzzer target: random chunks (both layouts, both kinds and random
// sizes), random parameter streams and a few audio blocks, all given to one
// effect object as a host would. It aborts when a loaded record breaks its
// invariants, a saved chunk does not load back to the same bytes, or an
// output sample is not finite; the sanitizers catch every access outside a
// buffer.

#include "engine/RoomEngine.h"
#include "tests/RoomEngineTestAccess.h"
#include "host/EffectVST.h"
#include "model/FactoryPrograms.h"
#include "model/Parameters.h"
#include "model/ProgramChunks.h"
#include "tests/fuzz/FuzzInput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kInputs = 2;
constexpr int kOutputs = 6;

class Reader {
public:
    Reader(const uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}
    std::size_t left() const { return size - pos; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    // Copies up to n bytes into out and zero-fills the rest.
    void take(unsigned char* out, std::size_t n)
    {
        if (n == 0)
            return;
        const std::size_t m = n < left() ? n : left();
        std::memcpy(out, data + pos, m);
        std::memset(out + m, 0, n - m);
        pos += m;
    }

private:
    const uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
};

[[noreturn]] void fail(const char* what, int program)
{
    std::fprintf(stderr, "invariant broken: %s (program %d)\n", what, program);
    std::abort();
}

void checkRecord(const OvintaProgram& p, int k)
{
    if (p.wallCount < 0 || p.wallCount > kMaxWalls)
        fail("wall count", k);
    if (std::memchr(p.name, 0, sizeof(p.name)) == nullptr)
        fail("name without NUL", k);
    for (int i = 0; i < kStoredParameterCount; ++i)
        if (!std::isfinite(*programField(p, i)))
            fail("non-finite parameter", k);
    for (int w = 0; w < p.wallCount; ++w) {
        const Wall& wall = p.walls[w];
        const float v[8] = {wall.x1, wall.y1, wall.x2, wall.y2, wall.dx, wall.dy, wall.nx, wall.ny};
        for (float x : v)
            if (!std::isfinite(x))
                fail("non-finite wall", k);
        if (wall.x1 == wall.x2 && wall.y1 == wall.y2)
            fail("zero-length wall", k);
    }
}

// The chunk the input describes, with the size it is handed over with.
std::vector<unsigned char> readChunk(Reader& in, bool& isPreset)
{
    const uint8_t head = in.byte();
    isPreset = (head & kFuzzPresetFlag) != 0;
    std::vector<unsigned char> chunk;
    switch (head % kFuzzChunkKinds) {
    case kFuzzProgram:
    case kFuzzLegacyProgram: {
        isPreset = true;
        chunk.resize(head % kFuzzChunkKinds == kFuzzProgram ? kProgramSize : kLegacyProgramSize);
        in.take(chunk.data(), chunk.size());
        break;
    }
    case kFuzzBank:
    case kFuzzLegacyBank: {
        isPreset = false;
        const std::size_t record = head % kFuzzChunkKinds == kFuzzBank ? kProgramSize : kLegacyProgramSize;
        chunk.resize(4 + kProgramCount * record);
        in.take(chunk.data(), 4 + record);
        for (int k = 1; k < kProgramCount; ++k)
            std::memcpy(chunk.data() + 4 + record * k, chunk.data() + 4, record);
        break;
    }
    default: {
        const std::size_t length = in.byte() | (std::size_t(in.byte()) << 8);
        chunk.resize(length < in.left() ? length : in.left());
        in.take(chunk.data(), chunk.size());
        break;
    }
    }
    return chunk;
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
        for (int c = 0; c < kOutputs; ++c)
            for (int i = 0; i < length; ++i)
                if (!std::isfinite(outputs[c][i]))
                    fail("non-finite output sample", effect.getProgram());
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    EffectVST& effect = sharedEffect();
    RoomEngine& engine = effect.getEngine();
    for (OvintaProgram& p : engine.programBank().programs)
        p = OvintaProgram();
    loadFactoryPrograms(engine.programBank().programs);
    effect.setProgram(0);
    effect.resume();

    Reader in(data, size);
    bool isPreset = false;
    std::vector<unsigned char> chunk = readChunk(in, isPreset);
    // A null pointer for an empty chunk, as a host may pass.
    const bool loaded = effect.setChunk(chunk.empty() ? nullptr : chunk.data(),
                                        static_cast<VstIntPtr>(chunk.size()), isPreset) == 1;
    for (int k = 0; k < kProgramCount; ++k)
        checkRecord(engine.programBank().programs[k], k);
    if (loaded)
        checkSavedChunkReloads(effect, isPreset);

    runParameters(in, effect);
    runAudio(in, effect);
    return 0;
}
