// SPDX-License-Identifier: GPL-3.0-or-later
// Program and bank chunks: the byte layout at fixed offsets, the earlier
// layout's conversion, size checks and round trips. The expected layouts are
// written here byte by byte from the offset table, not from the record type.

#include "model/FactoryPrograms.h"
#include "model/ProgramChunks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace ovinta {

namespace {

using Bytes = std::vector<unsigned char>;

void putFloat(Bytes& b, std::size_t offset, float v)
{
    std::memcpy(b.data() + offset, &v, 4);
}
void putInt(Bytes& b, std::size_t offset, int32_t v)
{
    std::memcpy(b.data() + offset, &v, 4);
}
float getFloat(const void* base, std::size_t offset)
{
    float v;
    std::memcpy(&v, static_cast<const unsigned char*>(base) + offset, 4);
    return v;
}

// A distinct, exactly representable value for stored parameter slot i,
// within every parameter's valid range (loading holds values to it).
float slotValue(int i)
{
    return static_cast<float>(i) / 64.0f;
}

std::unique_ptr<ProgramBank> factoryBank()
{
    auto bank = std::make_unique<ProgramBank>();
    loadFactoryPrograms(bank->programs);
    bank->reserved = 0xC0FFEE11u;
    return bank;
}

Bytes bankBytes(const ProgramBank& bank)
{
    const auto* p = reinterpret_cast<const unsigned char*>(&bank);
    return Bytes(p, p + sizeof(ProgramBank));
}

// A current-layout record written from the offset table: parameter slot i at
// 4*i, wall count at 184, wall k at 188 + 36*k, name at 9404.
Bytes currentRecord(int wallCount, const char* name)
{
    Bytes b(9432, 0);
    for (int i = 0; i < 46; ++i)
        putFloat(b, 4 * i, slotValue(i));
    putInt(b, 184, wallCount);
    for (int k = 0; k < wallCount && k < 256; ++k) {
        const std::size_t w = 188 + 36 * k;
        // Horizontal walls (k, k) - (k + 1, k): dx 1, dy 0, normal (0, 1).
        putFloat(b, w + 0, float(k % 50));
        putFloat(b, w + 4, float(k % 50));
        putFloat(b, w + 8, float(k % 50 + 1));
        putFloat(b, w + 12, float(k % 50));
        putFloat(b, w + 16, 1.0f);
        putFloat(b, w + 20, 0.0f);
        putFloat(b, w + 24, -0.0f);
        putFloat(b, w + 28, 1.0f);
        b[w + 32] = 1;
        b[w + 33] = 0xA1;
        b[w + 34] = 0xB2;
        b[w + 35] = 0xC3;
    }
    std::strncpy(reinterpret_cast<char*>(b.data() + 9404), name, 27);
    return b;
}

// An earlier-layout record: 45 parameter slots (no fifth output) at 4*i,
// wall count at 180, walls at 184 + 36*k, name at 9400.
Bytes legacyRecord(int wallCount, const char* name)
{
    Bytes b(9428, 0);
    for (int i = 0; i < 45; ++i)
        putFloat(b, 4 * i, slotValue(i));
    putInt(b, 180, wallCount);
    for (int k = 0; k < wallCount && k < 256; ++k) {
        const std::size_t w = 184 + 36 * k;
        // Vertical walls (k, 0) - (k, 10): dx 0, dy 10, normal (-1, 0).
        putFloat(b, w + 0, float(k % 50));
        putFloat(b, w + 4, 0.0f);
        putFloat(b, w + 8, float(k % 50));
        putFloat(b, w + 12, 10.0f);
        putFloat(b, w + 16, 0.0f);
        putFloat(b, w + 20, 10.0f);
        putFloat(b, w + 24, -1.0f);
        putFloat(b, w + 28, 0.0f);
        b[w + 32] = 2;
        b[w + 33] = 0x55; // the target's reserved bytes must win over these
    }
    std::strncpy(reinterpret_cast<char*>(b.data() + 9400), name, 27);
    return b;
}

TEST(ProgramChunks, GetChunkHandsOutTheLiveRecords)
{
    auto bank = factoryBank();
    void* data = nullptr;
    EXPECT_EQ(getChunkData(*bank, 7, true, &data), 9432);
    EXPECT_EQ(data, static_cast<void*>(&bank->programs[7]));
    EXPECT_STREQ(static_cast<const char*>(data) + 9404, "Cathedral: Glass");

    EXPECT_EQ(getChunkData(*bank, 7, false, &data), 424444);
    EXPECT_EQ(data, static_cast<void*>(bank.get()));
    const auto* bytes = static_cast<const unsigned char*>(data);
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    EXPECT_EQ(word, 0xC0FFEE11u);
    for (int k = 0; k < 45; ++k) {
        const unsigned char* record = bytes + 4 + 9432 * k;
        EXPECT_EQ(std::memcmp(record, &bank->programs[k], 9432), 0) << k;
        EXPECT_STREQ(reinterpret_cast<const char*>(record) + 9404, bank->programs[k].name);
    }
    // Program 0's first wall at byte 188 of its record: (15, 0) - (35, 0).
    EXPECT_EQ(getFloat(bytes + 4, 188), 15.0f);
    EXPECT_EQ(getFloat(bytes + 4, 196), 35.0f);

    // The live record: a later edit shows through the same pointer.
    getChunkData(*bank, 3, true, &data);
    bank->programs[3].parGain = 0.125f;
    EXPECT_EQ(getFloat(data, 8), 0.125f);
}

TEST(ProgramChunks, CurrentLayoutFieldsSitAtTheirOffsets)
{
    auto bank = factoryBank();
    const Bytes chunk = currentRecord(3, "Offsets");
    ASSERT_TRUE(loadChunkData(*bank, 2, chunk.data(), 9432, true));
    const OvintaProgram& p = bank->programs[2];
    EXPECT_EQ(p.parStereoOnOff, slotValue(0));
    EXPECT_EQ(p.parReverseOnOff, slotValue(1));
    EXPECT_EQ(p.parNumRays, slotValue(8));
    EXPECT_EQ(p.parSpeakerOut5, slotValue(15));
    EXPECT_EQ(p.parEarsX, slotValue(16));
    EXPECT_EQ(p.parHeight, slotValue(33));
    EXPECT_EQ(p.parEQfreq1, slotValue(34));
    EXPECT_EQ(p.parEQwide4, slotValue(45));
    EXPECT_EQ(p.wallCount, 3);
    EXPECT_EQ(p.walls[2].x1, 2.0f);
    EXPECT_EQ(p.walls[2].x2, 3.0f);
    EXPECT_EQ(p.walls[2].dragEnd, 1);
    EXPECT_EQ(p.walls[2].reserved[2], 0xC3);
    EXPECT_STREQ(p.name, "Offsets");
    // Loaded whole: the record now equals the chunk byte for byte.
    EXPECT_EQ(std::memcmp(&p, chunk.data(), 9432), 0);
}

TEST(ProgramChunks, LegacyProgramMovesLaterFieldsAndKeepsTheName)
{
    auto bank = factoryBank();
    OvintaProgram& p = bank->programs[5];
    for (Wall& w : p.walls)
        w.reserved[0] = 0x77;
    const Wall beyond = p.walls[40];
    const Bytes legacy = legacyRecord(4, "Old Name");
    // One byte in, so the record is not aligned for floats.
    Bytes shifted(legacy.size() + 1);
    std::memcpy(shifted.data() + 1, legacy.data(), legacy.size());

    ASSERT_TRUE(loadChunkData(*bank, 5, shifted.data() + 1, 9428, true));
    // Slots 0..14 (parStereoOnOff .. parSpeakerOut4) stay in place.
    EXPECT_EQ(p.parStereoOnOff, slotValue(0));
    EXPECT_EQ(p.parSpeakerOut4, slotValue(14));
    EXPECT_EQ(p.parSpeakerOut5, -1.0f);
    // Earlier slot 15 is parEarsX, now at byte 64; earlier slot 44 is parEQwide4.
    EXPECT_EQ(getFloat(&p, 64), slotValue(15));
    EXPECT_EQ(p.parEarsX, slotValue(15));
    EXPECT_EQ(p.parHeight, slotValue(32));
    EXPECT_EQ(p.parEQwide4, slotValue(44));
    EXPECT_EQ(p.wallCount, 4);
    EXPECT_EQ(p.walls[3].x1, 3.0f);
    EXPECT_EQ(p.walls[3].y2, 10.0f);
    EXPECT_EQ(p.walls[3].nx, -1.0f);
    EXPECT_EQ(p.walls[3].dragEnd, 2);
    EXPECT_EQ(p.walls[3].reserved[0], 0x77);
    EXPECT_EQ(std::memcmp(&p.walls[40], &beyond, sizeof(Wall)), 0);
    EXPECT_STREQ(p.name, "Cathedral: Complex");
}

TEST(ProgramChunks, LegacyBankConvertsEveryProgramAndKeepsNamesAndWord)
{
    auto bank = factoryBank();
    Bytes chunk(424264, 0);
    putInt(chunk, 0, 0x12345678);
    for (int k = 0; k < 45; ++k) {
        const Bytes record = legacyRecord(k % 7 + 1, "Ignored");
        std::memcpy(chunk.data() + 4 + 9428 * k, record.data(), record.size());
        putFloat(chunk, 4 + 9428 * k + 8, float(k) / 64.0f); // parGain marks the program
    }
    auto names = factoryBank();
    ASSERT_TRUE(loadChunkData(*bank, 0, chunk.data(), 424264, false));
    EXPECT_EQ(bank->reserved, 0xC0FFEE11u);
    for (int k = 0; k < 45; ++k) {
        EXPECT_EQ(bank->programs[k].parGain, float(k) / 64.0f) << k;
        EXPECT_EQ(bank->programs[k].parSpeakerOut5, -1.0f);
        EXPECT_EQ(bank->programs[k].parEQwide4, slotValue(44));
        EXPECT_EQ(bank->programs[k].wallCount, k % 7 + 1);
        EXPECT_STREQ(bank->programs[k].name, names->programs[k].name);
    }
}

TEST(ProgramChunks, UnknownSizesChangeNothing)
{
    auto bank = factoryBank();
    const Bytes before = bankBytes(*bank);
    const Bytes big(424444 + 16, 0x5A);
    const int64_t sizes[] = {0, -1, -9432, 9000, 9427, 9429, 9431, 9433, 424263, 424265,
                             424443, 424445, int64_t(1) << 40};
    for (int64_t size : sizes) {
        EXPECT_FALSE(loadChunkData(*bank, 4, big.data(), size, true)) << size;
        EXPECT_FALSE(loadChunkData(*bank, 4, big.data(), size, false)) << size;
    }
    // The sizes of the other kind are unknown too.
    EXPECT_FALSE(loadChunkData(*bank, 4, big.data(), 9432, false));
    EXPECT_FALSE(loadChunkData(*bank, 4, big.data(), 424444, true));
    // Null data and a current program outside the bank.
    EXPECT_FALSE(loadChunkData(*bank, 4, nullptr, 9432, true));
    EXPECT_FALSE(loadChunkData(*bank, 45, big.data(), 9432, true));
    EXPECT_FALSE(loadChunkData(*bank, -1, big.data(), 9428, true));
    EXPECT_EQ(bankBytes(*bank), before);
    EXPECT_STREQ(bank->programs[4].name, "Concert: Old Light");
}

TEST(ProgramChunks, BankRoundTripIsByteIdentical)
{
    auto source = factoryBank();
    source->programs[9].walls[3].reserved[1] = 0xEE; // reserved bytes travel too
    source->programs[9].name[20] = '\0';
    void* data = nullptr;
    const int32_t size = getChunkData(*source, 0, false, &data);
    const Bytes saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);

    auto fresh = std::make_unique<ProgramBank>();
    fresh->reserved = 0;
    ASSERT_TRUE(loadChunkData(*fresh, 11, saved.data(), size, false));
    void* again = nullptr;
    ASSERT_EQ(getChunkData(*fresh, 11, false, &again), size);
    EXPECT_EQ(std::memcmp(again, saved.data(), saved.size()), 0);
    EXPECT_EQ(fresh->reserved, 0xC0FFEE11u);
}

TEST(ProgramChunks, ProgramRoundTripIsByteIdentical)
{
    auto bank = factoryBank();
    bank->programs[21].walls[0].nx = -bank->programs[21].walls[0].nx; // a turned normal
    bank->programs[21].walls[0].ny = -bank->programs[21].walls[0].ny;
    void* data = nullptr;
    ASSERT_EQ(getChunkData(*bank, 21, true, &data), 9432);
    const Bytes saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + 9432);

    auto other = std::make_unique<ProgramBank>();
    ASSERT_TRUE(loadChunkData(*other, 30, saved.data(), 9432, true));
    void* again = nullptr;
    ASSERT_EQ(getChunkData(*other, 30, true, &again), 9432);
    EXPECT_EQ(std::memcmp(again, saved.data(), 9432), 0);
    EXPECT_STREQ(other->programs[30].name, "Drum: Round Chamber");
    // Only the current program was written.
    EXPECT_STREQ(other->programs[21].name, "Init");
}

TEST(ProgramChunks, HostHandingBackOurOwnBlockChangesNothing)
{
    // Some hosts pass the pointer getChunk returned straight back to setChunk.
    auto bank = factoryBank();
    const Bytes before = bankBytes(*bank);
    void* data = nullptr;
    const int32_t bankSize = getChunkData(*bank, 6, false, &data);
    ASSERT_TRUE(loadChunkData(*bank, 6, data, bankSize, false));
    EXPECT_EQ(bankBytes(*bank), before);
    const int32_t programSize = getChunkData(*bank, 6, true, &data);
    ASSERT_TRUE(loadChunkData(*bank, 6, data, programSize, true));
    EXPECT_EQ(bankBytes(*bank), before);
    // Program 6's record read as an earlier-layout chunk over program 6
    // itself: every later field takes the value 4 bytes below it, read
    // before anything was written.
    ASSERT_TRUE(loadChunkData(*bank, 6, data, 9428, true));
    const unsigned char* old = before.data() + 4 + 9432 * 6;
    EXPECT_EQ(bank->programs[6].parSpeakerOut5, -1.0f);
    EXPECT_EQ(getFloat(old, 60), -1.0f); // the old parSpeakerOut5 ...
    EXPECT_EQ(bank->programs[6].parEarsX, 0.0f); // ... held to the position's range
    EXPECT_EQ(bank->programs[6].parEQwide4, getFloat(old, 176)); // the old parEQgain4
}

} // namespace

} // namespace ovinta
