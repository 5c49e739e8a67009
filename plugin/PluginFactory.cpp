// One plug-in instance: effect, editor and display texts.

#include "plugin/PluginFactory.h"

#include "editor/OvintaEditor.h"
#include "model/HostDisplay.h"
#include "host/EffectVST.h"

#include <memory>

namespace ovinta {

EffectVST* createEffectWithEditor(audioMasterCallback host)
{
    auto effect = std::make_unique<EffectVST>(host);
    effect->attachEditor(std::make_unique<OvintaEditor>(*effect));
    effect->setDisplayFormatter(&valueformat::hostParameterDisplay);
    return effect.release();
}

} // namespace ovinta
