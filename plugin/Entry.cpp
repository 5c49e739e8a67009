// The library's entry point. Hosts look it up as VSTPluginMain; older Linux
// hosts look up `main`, which is the same function under a second name.
// These two are the only symbols the library exports.

#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"

#include <new>

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    if (host == nullptr)
        return nullptr;
    // A host that does not answer the version question is not a VST host.
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    // Nothing may unwind into the host: a failed allocation gives no effect.
    try {
        EffectVST* effect = createEffectWithEditor(host);
        return effect->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

// `main` cannot be declared as an ordinary C++ function with this signature,
// so the second name is an assembler-level alias of VSTPluginMain.
extern "C" __attribute__((visibility("default"))) AEffect* vstMainAlias(audioMasterCallback host)
    __asm__("main") __attribute__((alias("VSTPluginMain")));
