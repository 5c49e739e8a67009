// SPDX-License-Identifier: GPL-3.0-or-later
// CFileSelector: a thin door to the platform's file dialog.

#include "toolkit/CFileSelector.h"

#include "toolkit/CFrame.h"

namespace ovinta {

CFileSelector::CFileSelector(CFrame* f) : frame(f) {}

CFileSelector::~CFileSelector() = default;

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

bool CFileSelector::start(const FileDialogRequest& request)
{
    PlatformWindow* platform = frame ? frame->getPlatform() : nullptr;
    if (!platform || session)
        return false;
    session = platform->startFileDialog(request);
    return session != nullptr;
}

FileDialogSession::State CFileSelector::poll(std::string& chosenPath)
{
    if (!session)
        return FileDialogSession::kCancelled;
    std::string path;
    const FileDialogSession::State state = session->poll(path);
    if (state == FileDialogSession::kOpen)
        return state;
    session.reset();
    // A modal dialog may have kept the window from painting.
    frame->redrawAll();
    if (state != FileDialogSession::kChosen || path.empty())
        return FileDialogSession::kCancelled;
    lastPath = path;
    chosenPath = path;
    return state;
}

void CFileSelector::cancel()
{
    session.reset();
}

} // namespace ovinta
