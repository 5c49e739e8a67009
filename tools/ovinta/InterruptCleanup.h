// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files that must not outlive an interrupted command. A command registers
// each file it is about to create (the hidden temporaries of render and
// export-ir) and releases it once the file is renamed into place or removed.
// On SIGINT, SIGTERM or SIGHUP the handler removes every registered file
// and ends the process by the same signal, so the shell sees the usual
// status (130, 143, 129). The table is fixed and the handler only calls
// unlink and raise, which are async-signal-safe. The handler resets
// itself when it runs, so a second Ctrl-C during the clean-up ends the tool
// at once.

#include <csignal>
#include <string>

namespace ovinta {

constexpr int kMaxPendingFiles = 8; // render: 1; export-ir: up to 5
constexpr std::size_t kPendingPathCapacity = 4096;

// Installs the handlers; called once by the tool's entry point.
void installInterruptCleanup();

// One registered file: registered by the constructor, released by
// release() or the destructor. Throws ToolError when the table is full or
// the path too long.
class PendingFile {
public:
    explicit PendingFile(const std::string& path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // The file is in place or gone: the handler no longer touches it.
    void release();

private:
    int slot = -1; // index into the table, -1 once released
};

// Holds SIGINT, SIGTERM and SIGHUP back for its lifetime, so that a file's
// creation and its registration happen as one step.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t saved; // the mask before
};

} // namespace ovinta
