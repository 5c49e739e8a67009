// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File dialogs on desktops without a toolkit of our own: runs the desktop's
// dialog program (zenity or kdialog) as a child process and reads the chosen
// path from its output. The program gets its arguments as an argument
// vector, never through a shell, so no title or path is ever interpreted.

#include "toolkit/platform/PlatformWindow.h"

namespace ovinta {

// Starts the dialog program and returns at once; the session reads its
// answer when polled and kills and reaps the program when destroyed early.
// Null when no dialog program is installed or it could not be started.
std::unique_ptr<FileDialogSession> startExternalFileDialog(const FileDialogRequest& request);
// Waits for the dialog's answer (blocks the caller while the user chooses).
// False when cancelled or when no dialog program is installed.
bool runExternalFileDialog(const FileDialogRequest& request, std::string& chosenPath);
// True when zenity or kdialog is installed.
bool externalFileDialogAvailable();

} // namespace ovinta
