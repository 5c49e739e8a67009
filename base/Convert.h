// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Float-to-integer conversion that saturates at the int range instead of
// being undefined: values from a host, a chunk or a wild parameter may lie
// far outside it. NaN gives 0.

#include <climits>

namespace ovinta {

constexpr int truncToInt(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v); // truncates toward zero
}

} // namespace ovinta
