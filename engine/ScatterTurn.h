// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cosine and sine of a scatter turn, in double precision, for the tracer's
// reflection.

#include <cmath>

namespace ovinta {

// Turns stay within ±0.25 rad for every scatter setting the knob can reach;
// there the Taylor series below agree with the library to the last bit or
// two of a double (the next terms are below 1e-19), at a quarter of its
// cost. Larger turns use the library.
inline void turnCosSin(double u, double& c, double& s)
{
    if (!(std::fabs(u) <= 0.26)) {
        c = std::cos(u);
        s = std::sin(u);
        return;
    }
    const double u2 = u * u;
    c = 1.0 + u2 * (-1.0 / 2 + u2 * (1.0 / 24 + u2 * (-1.0 / 720 + u2 * (1.0 / 40320
        + u2 * (-1.0 / 3628800 + u2 * (1.0 / 479001600 + u2 * (-1.0 / 87178291200.0)))))));
    s = u * (1.0 + u2 * (-1.0 / 6 + u2 * (1.0 / 120 + u2 * (-1.0 / 5040 + u2 * (1.0 / 362880
        + u2 * (-1.0 / 39916800 + u2 * (1.0 / 6227020800.0)))))));
}

} // namespace ovinta
