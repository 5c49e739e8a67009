// CFileSelector: a thin door to the platform's file dialog.

#include "toolkit/CFileSelector.h"

#include "toolkit/CFrame.h"

CFileSelector::CFileSelector(CFrame* f) : frame(f) {}

bool CFileSelector::isAvailable() const
{
    PlatformWindow* platform = frame ? frame->getPlatform() : nullptr;
    return platform != nullptr && platform->hasFileDialog();
}

bool CFileSelector::run(const FileDialogRequest& request, std::string& chosenPath)
{
    PlatformWindow* platform = frame ? frame->getPlatform() : nullptr;
    if (!platform)
        return false;
    std::string path;
    if (!platform->runFileDialog(request, path) || path.empty())
        return false;
    lastPath = path;
    chosenPath = path;
    // The dialog may have kept the window from painting.
    frame->redrawAll();
    return true;
}
