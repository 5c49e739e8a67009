#pragma once
// EditorEqLink: the editor's side of the EQ view's band drags. Values go
// through the effect's setParameter (engine, program, and back into the EQ
// knobs); a reported knob tells the editor it changed, which sends its value
// to the host as automation; the gesture brackets reach the host as
// begin/end edit. GUI thread only.

#include "editor/screens/EqEditLink.h"

namespace ovinta {

class EffectVST;
class OvintaEditor;

class EditorEqLink : public EqEditLink {
public:
    EditorEqLink(EffectVST& effect, OvintaEditor& editor);

    float getParameter(int index) override;
    void setParameter(int index, float value) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    void reportKnob(int index) override;

private:
    EffectVST& effect;
    OvintaEditor& editor;
};

} // namespace ovinta
