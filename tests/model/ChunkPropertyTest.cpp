// SPDX-License-Identifier: GPL-3.0-or-later
// Randomly damaged chunks, from a fixed seed: whatever the bytes, a loaded
// record keeps its invariants, and cleaning it again changes nothing.

#include "model/FactoryPrograms.h"
#include "model/ProgramChunks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace ovinta {

namespace {

void expectUsable(const OvintaProgram& p)
{
    ASSERT_GE(p.wallCount, 0);
    ASSERT_LE(p.wallCount, kMaxWalls);
    EXPECT_NE(std::memchr(p.name, 0, sizeof(p.name)), nullptr);
    for (int i = 0; i < kStoredParameterCount; ++i)
        EXPECT_TRUE(std::isfinite(*programField(p, i))) << i;
    for (int k = 0; k < p.wallCount; ++k) {
        const Wall& w = p.walls[k];
        for (float c : {w.x1, w.y1, w.x2, w.y2}) {
            EXPECT_GE(c, 0.0f);
            EXPECT_LE(c, 50.0f);
        }
        const double length = std::hypot(double(w.x2) - double(w.x1), double(w.y2) - double(w.y1));
        EXPECT_GE(length, 0.0099) << k;
        // A unit normal at right angles to the wall, whichever side it faces.
        EXPECT_NEAR(std::hypot(double(w.nx), double(w.ny)), 1.0, 2e-3) << k;
        EXPECT_NEAR((double(w.nx) * double(w.dx) + double(w.ny) * double(w.dy)) / length, 0.0, 2e-3);
        EXPECT_LE(w.dragEnd, 2);
    }
}

// Damages a copy of a factory record: random bytes, random floats (any bit
// pattern, so also NaN, infinities and denormals) and small shifts of wall
// end points, so that some walls become tiny or leave the grid.
std::vector<unsigned char> damaged(const OvintaProgram& source, std::mt19937& random)
{
    std::vector<unsigned char> bytes(sizeof(OvintaProgram));
    std::memcpy(bytes.data(), &source, bytes.size());
    std::uniform_int_distribution<std::size_t> anyByte(0, bytes.size() - 1);
    std::uniform_int_distribution<int> count(0, 12);
    for (int i = count(random); i > 0; --i)
        bytes[anyByte(random)] = static_cast<unsigned char>(random());
    std::uniform_int_distribution<std::size_t> anyFloat(0, bytes.size() / 4 - 1);
    for (int i = count(random); i > 0; --i) {
        const auto bits = static_cast<uint32_t>(random());
        std::memcpy(bytes.data() + 4 * anyFloat(random), &bits, 4);
    }
    std::uniform_int_distribution<int> wall(0, kMaxWalls - 1);
    std::uniform_real_distribution<float> shift(-0.02f, 0.02f);
    for (int i = count(random); i > 0; --i) {
        const std::size_t at = offsetof(OvintaProgram, walls) + sizeof(Wall) * wall(random);
        float x2;
        std::memcpy(&x2, bytes.data() + at + 8, 4);
        float x1;
        std::memcpy(&x1, bytes.data() + at, 4);
        x2 = x1 + shift(random);
        std::memcpy(bytes.data() + at + 8, &x2, 4);
    }
    return bytes;
}

TEST(ChunkProperties, DamagedRecordsLoadSafelyAndCleanOnce)
{
    auto factory = std::make_unique<ProgramBank>();
    loadFactoryPrograms(factory->programs);
    auto bank = std::make_unique<ProgramBank>();
    std::mt19937 random(20240601u);
    for (int trial = 0; trial < 3000; ++trial) {
        const std::vector<unsigned char> bytes = damaged(factory->programs[trial % kProgramCount], random);
        const bool legacy = trial % 3 == 0;
        const int64_t size = legacy ? int64_t(kLegacyProgramSize) : int64_t(kProgramSize);
        ASSERT_TRUE(loadChunkData(*bank, trial % kProgramCount, bytes.data(), size, true));
        const OvintaProgram& loaded = bank->programs[trial % kProgramCount];
        SCOPED_TRACE(trial);
        expectUsable(loaded);
        OvintaProgram again = loaded;
        EXPECT_EQ(sanitizeProgram(again), 0);
        EXPECT_EQ(std::memcmp(&again, &loaded, sizeof(OvintaProgram)), 0);
        if (HasFailure())
            return;
    }
}

} // namespace

} // namespace ovinta
