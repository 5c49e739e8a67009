#pragma once
// Builds one plug-in instance: the effect, which creates the engine, then
// the editor, which the effect owns from then on, and the host's parameter
// display texts.

#include "host/vst2.h"

namespace ovinta {

class EffectVST;

// A new effect with its editor attached; the caller (the entry point, or a
// test) owns it.
EffectVST* createEffectWithEditor(audioMasterCallback host);

} // namespace ovinta
