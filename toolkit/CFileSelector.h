// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CFileSelector: asks the user for a file through the platform's dialog.
// The editor fills a FileDialogRequest (from the host's file-select record)
// and gets the chosen path back, either at once (run, which blocks until the
// dialog closes) or later (start, then poll from the idle until it answers;
// the GUI thread goes on meanwhile). One started dialog at a time; it is
// closed when the selector goes. GUI thread only.

#include "toolkit/platform/PlatformWindow.h"

#include <memory>
#include <string>

namespace ovinta {

class CFrame;

class CFileSelector {
public:
    explicit CFileSelector(CFrame* frame);
    ~CFileSelector();
    CFileSelector(const CFileSelector&) = delete;
    CFileSelector& operator=(const CFileSelector&) = delete;

    // True with `chosenPath` set when the user picked a file; false when the
    // dialog was cancelled or no dialog is available.
    bool run(const FileDialogRequest& request, std::string& chosenPath);
    // False when the platform has no file dialog at all (run always fails).
    bool isAvailable() const;

    // Opens the dialog and returns at once. False when no dialog could be
    // started, or one is open already.
    bool start(const FileDialogRequest& request);
    // Never waits. kOpen while the started dialog is open; then, once,
    // kChosen with `chosenPath` set or kCancelled, and the selector is free
    // again. kCancelled when nothing was started.
    FileDialogSession::State poll(std::string& chosenPath);
    // True from start until poll has answered or cancel was called.
    bool isOpen() const { return session != nullptr; }
    // Closes a started dialog without an answer.
    void cancel();

    // The path of the last successful run or poll.
    const std::string& getLastPath() const { return lastPath; }

private:
    CFrame* frame;
    std::string lastPath;
    std::unique_ptr<FileDialogSession> session; // the started dialog, or null
};

} // namespace ovinta
