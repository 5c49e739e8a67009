// SPDX-License-Identifier: GPL-3.0-or-later
// Module folder through dladdr; the music folder from the XDG user-dirs file.

#include "toolkit/platform/UserFolders.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace ovinta {

namespace {

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder.push_back('/');
    return folder;
}

// XDG_MUSIC_DIR from user-dirs.dirs: a line XDG_MUSIC_DIR="$HOME/Music".
std::string xdgMusicFolder(const std::string& home)
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string config = configHome && *configHome ? configHome : home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    const std::string key = "XDG_MUSIC_DIR=";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        // Only absolute folders are meant; anything else is ignored.
        return !value.empty() && value.front() == '/' ? value : std::string();
    }
    return {};
}

} // namespace

std::string moduleFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&moduleFolder), &info) == 0 || info.dli_fname == nullptr)
        return {};
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isWritableFolder(const std::string& folder)
{
    struct stat st {};
    return !folder.empty() && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string userSaveFolder()
{
    const char* homeVar = std::getenv("HOME");
    const std::string home = homeVar ? homeVar : "";
    if (home.empty())
        return {};
    const std::string music = xdgMusicFolder(home);
    if (isWritableFolder(music))
        return withSlash(music);
    return withSlash(home);
}

} // namespace ovinta
