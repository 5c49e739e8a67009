// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled (syntax only) for 32-bit and 64-bit targets: the binary records
// must have the published sizes on both, whatever the build machine is.

#include "host/vst2.h"

namespace ovinta {

static_assert(sizeof(AEffect) == (sizeof(void*) == 4 ? 144 : 192));
static_assert(sizeof(VstPinProperties) == 128);
static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(sizeof(ERect) == 8);
static_assert(offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(offsetof(VstPinProperties, flags) == 64);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);
// On 32-bit targets every field is 4 bytes up to the 56-byte tail.
static_assert(sizeof(void*) != 4 || offsetof(AEffect, ioRatio) == 60);
static_assert(sizeof(void*) != 8 || offsetof(AEffect, ioRatio) == 92);

} // namespace ovinta
