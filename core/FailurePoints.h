// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FailurePoints: failures a test can inject into one plug-in instance, to
// check that every entry from a host survives them. In a test build
// (OVINTA_FAILURE_HOOKS), the instance reads OVINTA_FAIL_ONCE when it is
// made, a comma-separated list of point names, and each named point throws
// std::bad_alloc the first time it is passed. Elsewhere every point is a
// no-op. Points: "state-load" (half-way through a state load), "process"
// (a process call).
//
// Threads: read on the host thread that makes the instance; each point is
// passed on its own thread and flips one atomic.

#include <atomic>

namespace ovinta {

enum class FailurePoint : int { StateLoad = 0, Process = 1, Count = 2 };

class FailurePoints {
public:
    FailurePoints();
    // Throws std::bad_alloc if `point` was armed and has not failed yet.
    void pass(FailurePoint point);

private:
    std::atomic<bool> armed[static_cast<int>(FailurePoint::Count)] = {};
};

} // namespace ovinta
