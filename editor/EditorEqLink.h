// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EditorEqLink: the editor's side of the EQ view's band drags. Values go
// through the port's setParameter (port, program, and back into the EQ
// knobs); a reported knob tells the editor it changed, which sends its value
// to the host as automation; the gesture brackets reach the host as
// begin/end edit. GUI thread only.

#include "editor/screens/EqEditLink.h"

namespace ovinta {

class EditorHost;
class EditorPort;
class OvintaEditor;

class EditorEqLink : public EqEditLink {
public:
    EditorEqLink(EditorPort& port, EditorHost& host, OvintaEditor& editor);

    float getParameter(int index) override;
    void setParameter(int index, float value) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    void reportKnob(int index) override;

private:
    EditorPort& port;
    EditorHost& host;
    OvintaEditor& editor;
};

} // namespace ovinta
