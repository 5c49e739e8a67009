// SPDX-License-Identifier: GPL-3.0-or-later
// The library's entry point. Hosts look it up as VSTPluginMain; older Linux
// hosts look up `main`, which is the same function under a second name.
// These two are the only symbols the library exports (ovinta.map on Linux,
// ovinta.def on Windows).

#include "plugin/PluginFactory.h"
#include "host/EffectVST.h"

#include <new>

#ifdef _WIN32
#include <cairo.h>
#define OVINTA_EXPORT
#else
#define OVINTA_EXPORT __attribute__((visibility("default")))
#endif

namespace ovinta {

extern "C" OVINTA_EXPORT AEffect* VSTPluginMain(audioMasterCallback host)
{
    if (host == nullptr)
        return nullptr;
    // A host that does not answer the version question is not a VST host.
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
#ifdef _WIN32
    // The static cairo initialises its locks lazily, unguarded, on the first
    // surface; a font call before that would wait forever. Make one surface
    // here, once, before any editor or thread can reach cairo.
    static const bool cairoReady = [] {
        cairo_surface_destroy(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
        return true;
    }();
    (void)cairoReady;
#endif
    // Nothing may unwind into the host: a failed allocation gives no effect.
    try {
        EffectVST* effect = createEffectWithEditor(host);
        return effect->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

#ifndef _WIN32
// `main` cannot be declared as an ordinary C++ function with this signature,
// so the second name is an assembler-level alias of VSTPluginMain (on
// Windows the .def file names it).
extern "C" __attribute__((visibility("default"))) AEffect* vstMainAlias(audioMasterCallback host)
    __asm__("main") __attribute__((alias("VSTPluginMain")));
#endif

} // namespace ovinta
