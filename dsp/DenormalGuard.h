// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Switches the SSE unit to flush-to-zero and denormals-are-zero for the
// lifetime of the guard and gives the caller back its own control word
// afterwards, so the host's floating-point mode is never disturbed.

#include <xmmintrin.h>

namespace ovinta {

class DenormalGuard {
public:
    DenormalGuard() : saved(_mm_getcsr()) { _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(saved); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;

private:
    unsigned saved;
};

} // namespace ovinta
