// OvintaEditor: the export page's file request. The host's file selector is
// used when the host offers one; otherwise the platform's save dialog.

#include "editor/OvintaEditor.h"

#include "host/EffectVST.h"
#include "toolkit/CFileSelector.h"
#include "toolkit/platform/UserFolders.h"

FileAnswer OvintaEditor::selectExportFile(VstFileSelect& select, std::string& chosenPath)
{
    if (effect.canHostDo("openFileSelector") == 1) {
        // The host fills returnPath (allocating it, as no buffer is given)
        // and releases it when the selector is closed.
        if (!effect.openFileSelector(&select))
            return FileAnswer::kCancelled;
        const bool chosen = select.returnPath != nullptr && select.returnPath[0] != '\0';
        if (chosen)
            chosenPath = select.returnPath;
        effect.closeFileSelector(&select);
        return chosen ? FileAnswer::kChosen : FileAnswer::kCancelled;
    }
    if (!fileSelector || !fileSelector->isAvailable())
        return FileAnswer::kNoDialog;
    FileDialogRequest request;
    request.save = select.command == kVstFileSave;
    request.title = select.title;
    request.initialPath = select.initialPath ? select.initialPath : "";
    if (select.nbFileTypes > 0 && select.fileTypes) {
        request.filterName = select.fileTypes[0].name;
        request.filterExtension = select.fileTypes[0].dosType;
    }
    return fileSelector->run(request, chosenPath) ? FileAnswer::kChosen : FileAnswer::kCancelled;
}

void OvintaEditor::exportRequested(const ExportRequest& request)
{
    exportSettings = request;
}

std::string OvintaEditor::exportInitialPath()
{
    return ExportPage::defaultInitialPath(moduleFolder());
}
