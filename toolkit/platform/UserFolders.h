// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Folders the editor offers for saving files: the folder of the plug-in's
// own module and the user's music and home folders.

#include <string>

namespace ovinta {

// The folder holding the shared library (or program) this code was loaded
// from, with a trailing '/'; empty when it cannot be found.
std::string moduleFolder();
// True when `folder` exists and this process may create files in it.
bool isWritableFolder(const std::string& folder);
// The user's music folder (XDG_MUSIC_DIR of user-dirs.dirs) when it exists
// and is writable, else the home folder; with a trailing '/', or empty when
// neither is known.
std::string userSaveFolder();

} // namespace ovinta
