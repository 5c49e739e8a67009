// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds one plug-in instance: the effect, which creates the engine, then
// the editor, which the effect owns from then on, and the host's parameter
// display texts.

#include "host/vst2.h"

namespace ovinta {

class EffectVST;
class OvintaEditor;

// A new effect with its editor attached; the caller (the entry point, or a
// test) owns it.
EffectVST* createEffectWithEditor(audioMasterCallback host);
// The editor of an effect made by createEffectWithEditor (tests of the VST
// adapter), or null.
OvintaEditor* editorOf(EffectVST& effect);

} // namespace ovinta
