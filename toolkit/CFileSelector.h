#pragma once
// CFileSelector: asks the user for a file through the platform's dialog.
// The editor fills a FileDialogRequest (from the host's file-select record)
// and gets the chosen path back. GUI thread; blocks until the dialog closes.

#include "toolkit/platform/PlatformWindow.h"

#include <string>

class CFrame;

class CFileSelector {
public:
    explicit CFileSelector(CFrame* frame);

    // True with `chosenPath` set when the user picked a file; false when the
    // dialog was cancelled or no dialog is available.
    bool run(const FileDialogRequest& request, std::string& chosenPath);
    // False when the platform has no file dialog at all (run always fails).
    bool isAvailable() const;
    // The path of the last successful run.
    const std::string& getLastPath() const { return lastPath; }

private:
    CFrame* frame;
    std::string lastPath;
};
