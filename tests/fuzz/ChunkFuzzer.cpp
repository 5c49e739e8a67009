// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the chunk format alone: every input's chunk (both
// layouts, both kinds, random sizes) is loaded over a factory bank as the
// effect loads it, every record must then be safe to use, and a chunk saved
// right after the load must load back to the same bytes. Without an engine
// an input costs microseconds, so a short run covers a great many chunks;
// the effect fuzzer takes the same inputs through the whole plug-in.

#include "model/FactoryPrograms.h"
#include "tests/fuzz/FuzzInput.h"

#include <memory>

namespace ovinta {

namespace {

struct Banks {
    Banks()
    {
        for (OvintaProgram& p : factory->programs)
            p = OvintaProgram();
        loadFactoryPrograms(factory->programs);
    }
    std::unique_ptr<ProgramBank> factory = std::make_unique<ProgramBank>();
    std::unique_ptr<ProgramBank> work = std::make_unique<ProgramBank>();
    std::vector<unsigned char> saved = std::vector<unsigned char>(kBankSize);
};

Banks& banks()
{
    static Banks* shared = new Banks(); // kept for the whole run
    return *shared;
}

} // namespace

} // namespace ovinta

using namespace ovinta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Banks& b = banks();
    std::memcpy(b.work.get(), b.factory.get(), sizeof(ProgramBank));

    fuzz::Reader in(data, size);
    bool isPreset = false;
    static std::vector<unsigned char> chunk;
    fuzz::readChunk(in, isPreset, chunk);
    // The program the chunk goes to comes from the next byte; a number
    // outside the bank must be refused without a change.
    const int current = static_cast<int>(in.byte()) - 4;
    const bool loaded = loadChunkData(*b.work, current, chunk.empty() ? nullptr : chunk.data(),
                                      static_cast<int64_t>(chunk.size()), isPreset);
    if (!loaded) {
        if (std::memcmp(b.work.get(), b.factory.get(), sizeof(ProgramBank)) != 0)
            fuzz::fail("refused chunk changed the bank", current);
        return 0;
    }
    // The records the chunk wrote; the others are the factory's.
    for (int k = isPreset ? current : 0; k < (isPreset ? current + 1 : kProgramCount); ++k)
        fuzz::checkRecord(b.work->programs[k], k);

    void* out = nullptr;
    const int32_t length = getChunkData(*b.work, current, isPreset, &out);
    if (length <= 0 || static_cast<std::size_t>(length) > b.saved.size())
        fuzz::fail("saved chunk size", current);
    std::memcpy(b.saved.data(), out, static_cast<std::size_t>(length));
    if (!loadChunkData(*b.work, current, b.saved.data(), length, isPreset))
        fuzz::fail("saved chunk refused", current);
    getChunkData(*b.work, current, isPreset, &out);
    if (std::memcmp(out, b.saved.data(), static_cast<std::size_t>(length)) != 0)
        fuzz::fail("saved chunk changed on reload", current);
    return 0;
}
