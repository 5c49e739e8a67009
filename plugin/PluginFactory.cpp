// SPDX-License-Identifier: GPL-3.0-or-later
// One plug-in instance: effect, editor and display texts.

#include "plugin/PluginFactory.h"

#include "core/DirectEditorPort.h"
#include "editor/OvintaEditor.h"
#include "host/EffectVST.h"
#include "host/VstEditor.h"
#include "model/HostDisplay.h"

#include <memory>

namespace ovinta {

EffectVST* createEffectWithEditor(audioMasterCallback host)
{
    auto effect = std::make_unique<EffectVST>(host);
    auto editorHost = std::make_unique<VstEditorHost>(*effect);
    auto editor = std::make_unique<OvintaEditor>(std::make_unique<DirectEditorPort>(effect->getCore()), *editorHost);
    effect->attachEditor(std::make_unique<VstEditorWindow>(std::move(editorHost), std::move(editor)));
    effect->setDisplayFormatter(&valueformat::hostParameterDisplay);
    return effect.release();
}

OvintaEditor* editorOf(EffectVST& effect)
{
    auto* window = dynamic_cast<VstEditorWindow*>(effect.getEditor());
    return window != nullptr ? dynamic_cast<OvintaEditor*>(&window->window()) : nullptr;
}

} // namespace ovinta
