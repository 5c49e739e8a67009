// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzzer's seed inputs (FuzzInput.h layout) into a directory:
// factory records in every chunk kind plus a few hostile ones. Run at build
// time, so the large records are never kept in the source tree.

#include "model/FactoryPrograms.h"
#include "model/ProgramChunks.h"
#include "tests/fuzz/FuzzInput.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace ovinta {

namespace {

using Bytes = std::vector<unsigned char>;

void append(Bytes& out, const void* data, std::size_t n)
{
    const auto* p = static_cast<const unsigned char*>(data);
    out.insert(out.end(), p, p + n);
}

// The earlier layout of a record: no parSpeakerOut5, later fields 4 bytes lower.
Bytes legacyImage(const OvintaProgram& p)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&p);
    Bytes out(bytes, bytes + offsetof(OvintaProgram, parSpeakerOut5));
    append(out, bytes + offsetof(OvintaProgram, parEarsX), kProgramSize - offsetof(OvintaProgram, parEarsX));
    return out;
}

// Parameter changes and two audio blocks that every seed ends with.
void appendTail(Bytes& out, bool hostile)
{
    struct Change {
        uint8_t indexByte;
        float value;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Change calm[] = {{4, 0.7f}, {48, 1.0f}, {50, 5.0f}, {9, 0.3f}};
    const Change wild[] = {{5, nan}, {48, 1e30f}, {50, -3.0f}, {12, 1e9f}, {43, -1e9f}, {71, 0.0f}};
    const Change* changes = hostile ? wild : calm;
    const std::size_t count = hostile ? std::size(wild) : std::size(calm);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(changes[i].indexByte);
        append(out, &changes[i].value, 4);
    }
    out.push_back(kFuzzEndOfParameters);
    const uint8_t blocks[] = {0x00, 0x02, 7, 100, 0, 9}; // 512 and 100 samples
    append(out, blocks, sizeof(blocks));
}

bool writeSeed(const std::string& dir, const char* name, const Bytes& bytes)
{
    const std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

} // namespace ovinta

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    auto bank = std::make_unique<ProgramBank>();
    loadFactoryPrograms(bank->programs);
    const uint32_t word = 0;

    Bytes program = {kFuzzProgram};
    append(program, &bank->programs[0], kProgramSize);
    appendTail(program, false);

    Bytes legacy = {kFuzzLegacyProgram};
    const Bytes legacyCathedral = legacyImage(bank->programs[7]);
    append(legacy, legacyCathedral.data(), legacyCathedral.size());
    appendTail(legacy, false);

    Bytes wholeBank = {kFuzzBank};
    append(wholeBank, &word, 4);
    append(wholeBank, &bank->programs[5], kProgramSize);
    appendTail(wholeBank, false);

    Bytes legacyBank = {kFuzzLegacyBank};
    append(legacyBank, &word, 4);
    const Bytes legacyWarehouse = legacyImage(bank->programs[41]);
    append(legacyBank, legacyWarehouse.data(), legacyWarehouse.size());
    appendTail(legacyBank, true);

    OvintaProgram bad = bank->programs[33];
    bad.wallCount = 999;
    bad.parGain = std::numeric_limits<float>::infinity();
    bad.walls[2].x1 = std::numeric_limits<float>::quiet_NaN();
    std::memset(bad.name, 'X', sizeof(bad.name));
    Bytes hostile = {kFuzzProgram};
    append(hostile, &bad, kProgramSize);
    appendTail(hostile, true);

    const bool ok = writeSeed(dir, "program-0", program) && writeSeed(dir, "legacy-program-7", legacy) &&
                    writeSeed(dir, "bank-5", wholeBank) && writeSeed(dir, "legacy-bank-41", legacyBank) &&
                    writeSeed(dir, "hostile-program", hostile);
    if (!ok)
        std::fprintf(stderr, "cannot write the seeds into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
