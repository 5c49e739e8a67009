// SPDX-License-Identifier: GPL-3.0-or-later
// Module folder through GetModuleFileNameW; the music folder from the shell.

#include "toolkit/platform/UserFolders.h"

#include "toolkit/platform/Win32Api.h"
#include <shlobj.h>

#include "toolkit/platform/Win32Text.h"

#include <array>

namespace ovinta {

namespace {

std::string withSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder.push_back('\\');
    return folder;
}

} // namespace

std::string moduleFolder()
{
    // The DLL holding this function, not the host's executable.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&moduleFolder), &module))
        return {};
    std::array<wchar_t, 32768> path{};
    const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size())
        return {};
    const std::string full = narrow(path.data());
    const size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

bool isWritableFolder(const std::string& folder)
{
    if (folder.empty())
        return false;
    const std::wstring wide = widen(folder);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    // The folder's permissions decide, not its read-only flag: make and
    // remove a file to find out.
    std::array<wchar_t, MAX_PATH> probe{};
    if (GetTempFileNameW(wide.c_str(), L"ovt", 0, probe.data()) == 0)
        return false;
    DeleteFileW(probe.data());
    return true;
}

std::string userSaveFolder()
{
    std::array<wchar_t, MAX_PATH> path{};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_MYMUSIC, nullptr, SHGFP_TYPE_CURRENT, path.data()))) {
        const std::string music = narrow(path.data());
        if (isWritableFolder(music))
            return withSeparator(music);
    }
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path.data()))) {
        const std::string home = narrow(path.data());
        if (isWritableFolder(home))
            return withSeparator(home);
    }
    return {};
}

} // namespace ovinta
