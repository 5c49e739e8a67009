// SPDX-License-Identifier: GPL-3.0-or-later
// EditorEqLink: the EQ view's parameter changes, routed like the knobs' own.

#include "editor/EditorEqLink.h"

#include "editor/OvintaEditor.h"
#include "core/EditorHost.h"
#include "core/EditorPort.h"

namespace ovinta {

EditorEqLink::EditorEqLink(EditorPort& p, EditorHost& h, OvintaEditor& ed) : port(p), host(h), editor(ed) {}

float EditorEqLink::getParameter(int index)
{
    return host.getParameter(index);
}

void EditorEqLink::setParameter(int index, float value)
{
    port.setParameter(index, value);
    // The knob follows at once, so that a report sends the value just set.
    editor.followPending();
}

void EditorEqLink::beginEdit(int index)
{
    editor.beginEdit(index);
}

void EditorEqLink::endEdit(int index)
{
    editor.endEdit(index);
}

void EditorEqLink::reportKnob(int index)
{
    // The knob carries the value the core stored; without an open window
    // there is no knob, and the value goes to the host directly.
    if (CControl* knob = editor.getControl(index))
        editor.valueChanged(nullptr, knob);
    else
        host.setParameter(index, host.getParameter(index));
}

} // namespace ovinta
