// SPDX-License-Identifier: GPL-3.0-or-later
// FailurePoints: the test build's injected failures.

#include "core/FailurePoints.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace ovinta {

namespace {
constexpr const char* kPointNames[] = {"state-load", "process"};
} // namespace

FailurePoints::FailurePoints()
{
#ifdef OVINTA_FAILURE_HOOKS
    const char* list = std::getenv("OVINTA_FAIL_ONCE");
    if (list == nullptr)
        return;
    for (int p = 0; p < static_cast<int>(FailurePoint::Count); ++p) {
        const std::size_t length = std::strlen(kPointNames[p]);
        for (const char* at = std::strstr(list, kPointNames[p]); at != nullptr;
             at = std::strstr(at + 1, kPointNames[p]))
            if ((at == list || at[-1] == ',') && (at[length] == 0 || at[length] == ','))
                armed[p].store(true, std::memory_order_relaxed);
    }
#endif
}

void FailurePoints::pass(FailurePoint point)
{
#ifdef OVINTA_FAILURE_HOOKS
    // A plain load first: an unarmed point never writes the shared flag.
    std::atomic<bool>& flag = armed[static_cast<int>(point)];
    if (flag.load(std::memory_order_relaxed) && flag.exchange(false, std::memory_order_relaxed))
        throw std::bad_alloc();
#else
    (void)point;
#endif
}

} // namespace ovinta
