#pragma once
// File dialogs on desktops without a toolkit of our own: runs the desktop's
// dialog program (zenity or kdialog) and reads the chosen path.

#include "toolkit/platform/PlatformWindow.h"

// False when cancelled or when no dialog program is installed.
bool runExternalFileDialog(const FileDialogRequest& request, std::string& chosenPath);
// True when zenity or kdialog is installed.
bool externalFileDialogAvailable();
