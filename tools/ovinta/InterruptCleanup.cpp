// SPDX-License-Identifier: GPL-3.0-or-later
// Removal of registered temporary files when the tool is interrupted.

#include "tools/ovinta/InterruptCleanup.h"

#include "tools/ovinta/ToolError.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace ovinta {

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

struct PendingSlot {
    std::atomic<int> armed{0}; // 1: `path` holds a file to remove
    char path[kPendingPathCapacity];
};
static_assert(std::atomic<int>::is_always_lock_free);

PendingSlot pendingFiles[kMaxPendingFiles];

extern "C" void removePendingFiles(int signal)
{
    const int savedErrno = errno;
    for (PendingSlot& slot : pendingFiles)
        if (slot.armed.load() != 0)
            ::unlink(slot.path);
    errno = savedErrno;
    // SA_RESETHAND has put the default action back: end by the same signal.
    ::raise(signal);
}

sigset_t cleanupSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : kCleanupSignals)
        sigaddset(&set, s);
    return set;
}

} // namespace

void installInterruptCleanup()
{
    struct sigaction action {};
    action.sa_handler = removePendingFiles;
    action.sa_mask = cleanupSignalSet();
    action.sa_flags = SA_RESETHAND;
    for (int s : kCleanupSignals) {
        // A signal ignored by whoever started the tool (nohup) stays ignored.
        struct sigaction previous {};
        if (sigaction(s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(s, &action, nullptr);
    }
}

PendingFile::PendingFile(const std::string& path)
{
    if (path.size() >= kPendingPathCapacity)
        throw ToolError("the path " + path + " is too long");
    for (int k = 0; k < kMaxPendingFiles; ++k) {
        PendingSlot& s = pendingFiles[k];
        if (s.armed.load() != 0)
            continue;
        std::memcpy(s.path, path.c_str(), path.size() + 1);
        // seq_cst: the handler runs on this thread, between any two
        // instructions; the path is complete before the slot is armed.
        s.armed.store(1);
        slot = k;
        return;
    }
    throw ToolError("too many files in progress");
}

PendingFile::~PendingFile()
{
    release();
}

void PendingFile::release()
{
    if (slot >= 0)
        pendingFiles[slot].armed.store(0);
    slot = -1;
}

SignalsHeld::SignalsHeld()
{
    const sigset_t set = cleanupSignalSet();
    sigprocmask(SIG_BLOCK, &set, &saved);
}

SignalsHeld::~SignalsHeld()
{
    sigprocmask(SIG_SETMASK, &saved, nullptr);
}

} // namespace ovinta
