// SPDX-License-Identifier: GPL-3.0-or-later
// Program and bank chunks: hand-out without a copy, loading of both record
// layouts, and the clean-up that makes an untrusted record safe to apply.

#include "model/ProgramChunks.h"

#include "model/ParameterTable.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace ovinta {

namespace {

constexpr int kLegacyLeadingFloats = 15;  // parStereoOnOff .. parSpeakerOut4
constexpr int kLegacyShiftedFloats = 30;  // parEarsX .. parEQwide4
constexpr std::size_t kWallFloatBytes = 8 * sizeof(float);
constexpr std::size_t kWallDragEndOffset = offsetof(Wall, dragEnd);

static_assert(kLegacyShiftedFieldsOffset + kLegacyShiftedFloats * sizeof(float) ==
              kLegacyWallCountOffset);
static_assert(kLegacyWallsOffset + kMaxWalls * sizeof(Wall) == kLegacyNameOffset);
static_assert(kLegacyNameOffset + kProgramNameSize == kLegacyProgramSize);
static_assert(offsetof(OvintaProgram, parEarsX) ==
              kLegacyShiftedFieldsOffset + sizeof(float));

bool validProgramIndex(int program)
{
    return program >= 0 && program < kProgramCount;
}

bool onGrid(float v)
{
    // Also false for NaN.
    return v >= kGridMinMetres && v <= kGridMaxMetres;
}

// True when dx, dy and the normal agree with the end points. The normal may
// face either side: the tracer turns normals towards the last ray.
bool wallIsConsistent(const Wall& w)
{
    const float dx = w.x2 - w.x1;
    const float dy = w.y2 - w.y1;
    if (!(std::fabs(w.dx - dx) <= 1e-3f && std::fabs(w.dy - dy) <= 1e-3f))
        return false;
    const float length = std::sqrt(dx * dx + dy * dy);
    const float normalSquared = w.nx * w.nx + w.ny * w.ny;
    const float along = (w.nx * dx + w.ny * dy) / length;
    return std::fabs(normalSquared - 1.0f) <= 1e-3f && std::fabs(along) <= 1e-3f;
}

void recomputeWallShape(Wall& w)
{
    w.dx = w.x2 - w.x1;
    w.dy = w.y2 - w.y1;
    const float length = std::sqrt(w.dx * w.dx + w.dy * w.dy);
    w.nx = -w.dy / length;
    w.ny = w.dx / length;
}

bool wallIsUsable(const Wall& w)
{
    if (!(onGrid(w.x1) && onGrid(w.y1) && onGrid(w.x2) && onGrid(w.y2)))
        return false;
    // Coincident or nearly coincident end points give no usable normal.
    const float dx = w.x2 - w.x1;
    const float dy = w.y2 - w.y1;
    return dx * dx + dy * dy >= kMinWallMetres * kMinWallMetres;
}

// A non-finite value takes the new program's default; every other value is
// held to its parameter's valid range, so that no stored value can do more
// than a setting a user could make.
void limitParameters(OvintaProgram& program)
{
    static const OvintaProgram kDefaults;
    for (int index = 0; index < kStoredParameterCount; ++index) {
        float* field = programField(program, index);
        *field = std::isfinite(*field) ? param::limitToRange(index, *field) : *programField(kDefaults, index);
    }
}

int sanitizeWalls(OvintaProgram& program)
{
    if (program.wallCount < 0)
        program.wallCount = 0;
    if (program.wallCount > kMaxWalls)
        program.wallCount = kMaxWalls;

    int kept = 0;
    for (int k = 0; k < program.wallCount; ++k) {
        Wall w = program.walls[k];
        if (!wallIsUsable(w))
            continue;
        if (!wallIsConsistent(w))
            recomputeWallShape(w);
        if (w.dragEnd > 2)
            w.dragEnd = 0;
        program.walls[kept] = w;
        ++kept;
    }
    const int dropped = program.wallCount - kept;
    program.wallCount = kept;
    return dropped;
}

void terminateName(OvintaProgram& program)
{
    if (std::memchr(program.name, 0, sizeof(program.name)) == nullptr)
        program.name[kProgramNameSize - 1] = '\0';
}

bool overlapsBank(const ProgramBank& bank, const unsigned char* bytes, uint64_t size)
{
    const auto first = reinterpret_cast<uintptr_t>(bytes);
    const auto bankFirst = reinterpret_cast<uintptr_t>(&bank);
    return first < bankFirst + sizeof(ProgramBank) && bankFirst < first + size;
}

void readFloats(float* target, const unsigned char* source, int count)
{
    std::memcpy(target, source, static_cast<std::size_t>(count) * sizeof(float));
}

} // namespace

int32_t getChunkData(ProgramBank& bank, int currentProgram, bool isPreset, void** data)
{
    if (isPreset) {
        const int program = validProgramIndex(currentProgram) ? currentProgram : 0;
        *data = &bank.programs[program];
        return static_cast<int32_t>(kProgramSize);
    }
    *data = &bank;
    return static_cast<int32_t>(kBankSize);
}

void convertLegacyProgram(OvintaProgram& target, const unsigned char* legacy)
{
    // The fields are read with memcpy: a host's chunk carries no alignment promise.
    readFloats(&target.parStereoOnOff, legacy, kLegacyLeadingFloats);
    readFloats(&target.parEarsX, legacy + kLegacyShiftedFieldsOffset, kLegacyShiftedFloats);
    target.parSpeakerOut5 = -1.0f; // unassigned: the fifth output keeps its channel

    int32_t count = 0;
    std::memcpy(&count, legacy + kLegacyWallCountOffset, sizeof(count));
    if (count < 0)
        count = 0;
    if (count > kMaxWalls)
        count = kMaxWalls;
    target.wallCount = count;
    for (int k = 0; k < count; ++k) {
        const unsigned char* wall = legacy + kLegacyWallsOffset + sizeof(Wall) * k;
        std::memcpy(&target.walls[k], wall, kWallFloatBytes);
        std::memcpy(&target.walls[k].dragEnd, wall + kWallDragEndOffset, 1);
    }
}

int sanitizeProgram(OvintaProgram& program)
{
    limitParameters(program);
    terminateName(program);
    return sanitizeWalls(program);
}

bool loadChunkData(ProgramBank& bank, int currentProgram, const void* data, int64_t byteSize,
                   bool isPreset)
{
    if (data == nullptr || byteSize < 0)
        return false;
    const auto size = static_cast<uint64_t>(byteSize);
    const bool known = isPreset ? size == kLegacyProgramSize || size == kProgramSize
                                : size == kLegacyBankSize || size == kBankSize;
    if (!known || (isPreset && !validProgramIndex(currentProgram)))
        return false;

    // A host may hand back the very block getChunk gave it, our live records:
    // such a chunk is copied aside first, so no copy reads what it writes.
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> aside;
    if (overlapsBank(bank, bytes, size)) {
        aside.assign(bytes, bytes + size);
        bytes = aside.data();
    }

    if (isPreset) {
        OvintaProgram& target = bank.programs[currentProgram];
        if (size == kLegacyProgramSize)
            convertLegacyProgram(target, bytes);
        else
            std::memcpy(static_cast<void*>(&target), bytes, kProgramSize);
        sanitizeProgram(target);
        return true;
    }
    if (size == kLegacyBankSize) {
        // The earlier bank's leading word is ignored; ours keeps its value.
        for (int k = 0; k < kProgramCount; ++k)
            convertLegacyProgram(bank.programs[k], bytes + 4 + kLegacyProgramSize * k);
    } else {
        std::memcpy(static_cast<void*>(&bank), bytes, kBankSize);
    }
    for (OvintaProgram& program : bank.programs)
        sanitizeProgram(program);
    return true;
}

} // namespace ovinta
