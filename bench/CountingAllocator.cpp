// SPDX-License-Identifier: GPL-3.0-or-later
// The editor benchmarks count allocations: the counting allocation functions
// live in this file of their own.
#include "tests/CountingAllocator.h"

namespace ovinta {


} // namespace ovinta
