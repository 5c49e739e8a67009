// SPDX-License-Identifier: GPL-3.0-or-later
// VstHost: loading a plug-in library, calling it through its record, and the
// host callback that answers and logs the plug-in's requests.

#include "tools/vsthost/VstHost.h"

#ifdef _WIN32
// Only the loader's calls (no window headers outside the toolkit's platform folder).
#include <windef.h>
#include <winbase.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstring>
#include <string>

namespace ovinta {

namespace {
#ifdef _WIN32
// The library stays loaded until the process ends (see load()).
void* openLibrary(const std::string& path, std::string& error)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr)
        error = "cannot open " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(module);
}
void* findEntry(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void closeLibrary(void*) {}
#else
void* openLibrary(const std::string& path, std::string& error)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "cannot open " + path;
    }
    return library;
}
void* findEntry(void* library, const char* name)
{
    return dlsym(library, name);
}
void closeLibrary(void* library)
{
    dlclose(library);
}
#endif

// The host being loaded on this thread: the plug-in may call back from inside
// its entry point, before the host has its record.
thread_local VstHost* loadingHost = nullptr;
} // namespace

VstHost::~VstHost()
{
    unload();
}

bool VstHost::load(const std::string& libraryPath, std::string& error)
{
    unload();
    // The library stays mapped until the process ends, as in hosts that never
    // unload plug-ins: leak and race reports can still name its code, and
    // caches of shared system libraries that point into it stay valid.
    library = openLibrary(libraryPath, error);
    if (library == nullptr)
        return false;
    void* entry = findEntry(library, "VSTPluginMain");
    if (entry == nullptr)
        entry = findEntry(library, "main");
    if (entry == nullptr) {
        error = libraryPath + " has no VSTPluginMain or main entry point";
        unload();
        return false;
    }

    loadingHost = this;
    plugin = reinterpret_cast<VstEntryProc>(entry)(&VstHost::callback);
    loadingHost = nullptr;
    if (plugin == nullptr || plugin->magic != kEffectMagic) {
        error = plugin == nullptr ? "the plug-in returned no effect" : "the effect record is not valid";
        plugin = nullptr;
        unload();
        return false;
    }
    // resvd1 is the host's own field: it finds this host again in callbacks.
    plugin->resvd1 = reinterpret_cast<VstIntPtr>(this);
    return true;
}

void VstHost::unload()
{
    if (plugin != nullptr) {
        AEffect* closing = plugin;
        plugin = nullptr;
        closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
    }
    if (library != nullptr) {
        closeLibrary(library);
        library = nullptr;
    }
}

// ---- Calls into the plug-in ------------------------------------------------------

VstIntPtr VstHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return plugin != nullptr ? plugin->dispatcher(plugin, opcode, index, value, ptr, opt) : 0;
}

std::string VstHost::text(VstInt32 opcode, VstInt32 index, VstIntPtr value, std::size_t capacity)
{
    std::vector<char> buffer(std::max<std::size_t>(capacity, 1), 0);
    dispatch(opcode, index, value, buffer.data(), 0.0f);
    buffer.back() = 0;
    return std::string(buffer.data());
}

void VstHost::setParameter(VstInt32 index, float value)
{
    if (plugin != nullptr)
        plugin->setParameter(plugin, index, value);
}

float VstHost::getParameter(VstInt32 index)
{
    return plugin != nullptr ? plugin->getParameter(plugin, index) : 0.0f;
}

void VstHost::processReplacing(float** inputs, float** outputs, VstInt32 frames)
{
    if (plugin != nullptr)
        plugin->processReplacing(plugin, inputs, outputs, frames);
}

void VstHost::process(float** inputs, float** outputs, VstInt32 frames)
{
    if (plugin != nullptr && plugin->process != nullptr)
        plugin->process(plugin, inputs, outputs, frames);
}

void VstHost::processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames)
{
    if (plugin != nullptr && plugin->processDoubleReplacing != nullptr)
        plugin->processDoubleReplacing(plugin, inputs, outputs, frames);
}

// ---- Callbacks from the plug-in ------------------------------------------------------

VstIntPtr VstHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt)
{
    VstHost* host = effect != nullptr && effect->resvd1 != 0
                        ? reinterpret_cast<VstHost*>(effect->resvd1)
                        : loadingHost;
    return host != nullptr ? host->answer(effect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr VstHost::answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                          void* ptr, float opt)
{
    HostCall call;
    call.opcode = opcode;
    call.index = index;
    call.value = value;
    call.opt = opt;
    call.withEffect = effect != nullptr;
    if (opcode == audioMasterCanDo && ptr != nullptr)
        call.text = static_cast<const char*>(ptr);
    {
        std::lock_guard<std::mutex> guard(logLock);
        log.push_back(call);
    }

    switch (opcode) {
    case audioMasterVersion:
        return versionAnswer;
    case audioMasterCanDo: {
        auto found = capabilities.find(call.text);
        return found != capabilities.end() ? found->second : 0;
    }
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 1024;
    default:
        return 0;
    }
}

// ---- Callback log ---------------------------------------------------------------------

std::vector<HostCall> VstHost::calls() const
{
    std::lock_guard<std::mutex> guard(logLock);
    return log;
}

int VstHost::countCalls(VstInt32 opcode) const
{
    std::lock_guard<std::mutex> guard(logLock);
    return static_cast<int>(std::count_if(log.begin(), log.end(),
                                          [opcode](const HostCall& c) { return c.opcode == opcode; }));
}

void VstHost::clearCalls()
{
    std::lock_guard<std::mutex> guard(logLock);
    log.clear();
}

} // namespace ovinta
