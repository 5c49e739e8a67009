#pragma once
// The benchmark program's C++ allocations so far (the global allocation
// functions are replaced by counting ones), so a benchmark can show that
// its measured step allocates nothing.

long allocationCount();
