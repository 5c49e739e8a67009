// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter table: the order in which a program's fields are applied,
// and the record field behind each stored index.

#include "model/OvintaProgram.h"
#include "model/ParameterTable.h"

#include <gtest/gtest.h>

#include <set>

namespace ovinta {

TEST(ParameterTable, ProgramFieldsAreAppliedInTheirFixedOrder)
{
    // Positions, pins, head and diffusion, switches, gains and walls, scale
    // and pre-delay, rays, panner, outputs, bend, height, scatter, equaliser.
    const int expected[kStoredParameterCount] = {
        8, 9, 10, 11, 12, 13, 37, 38, 39, 40, 41, 42, 43, 16, 17, 18, 19, 23, 36, 0, 1, 2, 3,
        6, 7, 15, 14, 44, 21, 22, 45, 20, 5, 4, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
    };
    for (int rank = 0; rank < kStoredParameterCount; ++rank)
        EXPECT_EQ(param::programApplyIndex(rank), expected[rank]) << "place " << rank;
    EXPECT_EQ(param::programApplyIndex(kStoredParameterCount), -1);
}

TEST(ParameterTable, EachStoredIndexHasItsOwnFloatOfTheRecord)
{
    // The 46 parameter floats fill the record's first 184 bytes.
    OvintaProgram program;
    const char* base = reinterpret_cast<const char*>(&program);
    std::set<const float*> seen;
    for (int index = 0; index < kStoredParameterCount; ++index) {
        const float* field = programField(program, index);
        ASSERT_NE(field, nullptr) << index;
        const auto offset = reinterpret_cast<const char*>(field) - base;
        EXPECT_GE(offset, 0);
        EXPECT_LT(offset, 184);
        EXPECT_TRUE(seen.insert(field).second) << "index " << index << " shares a field";
    }
    EXPECT_EQ(programField(program, param::kSpeakerOut5), &program.parSpeakerOut5);
    EXPECT_EQ(programField(program, param::kEQwide4), &program.parEQwide4);
    EXPECT_EQ(programField(program, param::kProgramSelect), nullptr);
    EXPECT_EQ(programField(program, -1), nullptr);
    EXPECT_EQ(param::row(kTagCount), nullptr);
}

} // namespace ovinta
