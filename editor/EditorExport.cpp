// SPDX-License-Identifier: GPL-3.0-or-later
// OvintaEditor: the export page's file request. The host's file selector is
// used when the host offers one; otherwise the platform's save dialog. The
// host's selector is modal by the host's design; the platform's dialog is
// started and then polled from idle, so the host's GUI thread goes on while
// the user chooses, and its answer goes to the page that asked. Closing the
// window closes the dialog.

#include "editor/OvintaEditor.h"

#include "editor/screens/OVAnimScreen.h"
#include "core/EditorPort.h"
#include "toolkit/CFileSelector.h"
#include "toolkit/platform/UserFolders.h"

#include <utility>

namespace ovinta {

FileAnswer OvintaEditor::selectExportFile(const FileRequest& select, std::string& chosenPath, OVExportPage& page)
{
    if (host.hasFileSelector())
        return host.selectFile(select, chosenPath) ? FileAnswer::kChosen : FileAnswer::kCancelled;
    if (!fileSelector || !fileSelector->isAvailable())
        return FileAnswer::kNoDialog;
    // One dialog at a time; it answers the page that opened it.
    if (fileSelector->isOpen())
        return FileAnswer::kCancelled;
    FileDialogRequest request;
    request.save = select.save;
    request.title = select.title;
    request.initialPath = select.initialPath;
    request.filterName = select.typeName;
    request.filterExtension = select.dosType;
    if (!fileSelector->start(request))
        return FileAnswer::kCancelled;
    // A platform whose dialog is modal has its answer already.
    switch (fileSelector->poll(chosenPath)) {
    case FileDialogSession::kChosen: return FileAnswer::kChosen;
    case FileDialogSession::kCancelled: return FileAnswer::kCancelled;
    case FileDialogSession::kOpen: break;
    }
    dialogPage = &page;
    return FileAnswer::kPending;
}

void OvintaEditor::exportPageClosing(OVExportPage& page)
{
    if (dialogPage != &page)
        return;
    dialogPage = nullptr;
    if (fileSelector)
        fileSelector->cancel();
}

void OvintaEditor::pollFileDialog()
{
    if (dialogPage == nullptr || !fileSelector)
        return;
    std::string path;
    const FileDialogSession::State state = fileSelector->poll(path);
    if (state == FileDialogSession::kOpen)
        return;
    OVExportPage* page = std::exchange(dialogPage, nullptr);
    const OVExportPage::Click click =
        state == FileDialogSession::kChosen ? page->fileChosen(path) : page->fileCancelled();
    // What the main screen does after a press on the page.
    if (mainScreen == nullptr || click == OVExportPage::kIgnored)
        return;
    if (click == OVExportPage::kExportStarted)
        valueChanged(nullptr, mainScreen);
    mainScreen->setDirty();
}

void OvintaEditor::closeFileDialog()
{
    if (fileSelector)
        fileSelector->cancel();
    // The page outlives the dialog here: it returns to its state before SAVE.
    if (OVExportPage* page = std::exchange(dialogPage, nullptr))
        page->fileCancelled();
}

void OvintaEditor::exportRequested(const ExportRequest& request)
{
    exportSettings = request;
}

std::string OvintaEditor::exportInitialPath()
{
    return OVExportPage::defaultInitialPath(moduleFolder());
}

} // namespace ovinta
