// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tracer's worst case for the benchmarks: 256 walls (the plan's outline
// and 252 short walls scattered over it) that absorb nothing, so rays live
// until the delay limit ends them, 512 mono rays, some scatter and height.

#include "model/OvintaProgram.h"

#include <algorithm>
#include <random>

namespace ovinta {

inline void fillWorstCaseRoom(OvintaProgram& record)
{
    record.wallCount = 0;
    record.AddWall(0, 0, 50, 0);
    record.AddWall(50, 0, 50, 50);
    record.AddWall(50, 50, 0, 50);
    record.AddWall(0, 50, 0, 0);
    std::mt19937 rng(7u);
    std::uniform_int_distribution<int> where(1, 49);
    std::uniform_int_distribution<int> reach(-6, 6);
    while (record.wallCount < kMaxWalls) {
        const int x = where(rng), y = where(rng);
        const int x2 = std::clamp(x + reach(rng), 0, 50), y2 = std::clamp(y + reach(rng), 0, 50);
        if (x2 != x || y2 != y)
            record.AddWall(x, y, x2, y2);
    }
    record.parAbsorb = 0.0f;
    record.parNumRays = 1.0f; // 512 rays
    record.parStereoOnOff = 0.0f;
    record.parScatter = 0.3f;
    record.parHeight = 0.1f;
}

} // namespace ovinta
