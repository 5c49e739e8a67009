// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine's own pseudo-random generator: a linear congruential sequence
// (state * 214013 + 2531011, result bits 16-30). Each engine owns one, so
// responses are reproducible and instances never disturb each other.

#include <cstdint>

namespace ovinta {

class EngineRandom {
public:
    void seed(uint32_t value) { state = value; }
    int next() // 0..32767
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

private:
    uint32_t state = 1;
};

} // namespace ovinta
