// SPDX-License-Identifier: GPL-3.0-or-later
// OvintaEditor: the two directions of a parameter change. valueChanged takes
// a user's change from a control to the core and the host; followPending brings every
// change (the user's, the host's, a program's) back into the controls and
// the value displays, which show what the engine made of it (the parameter
// table's shown values).

#include "editor/OvintaEditor.h"

#include "base/Convert.h"
#include "editor/OVFakeControl.h"
#include "editor/screens/OVAnimScreen.h"
#include "core/EditorPort.h"
#include "core/EditorPort.h"
#include "model/ParameterFormulas.h"
#include "model/ParameterTable.h"
#include "model/Parameters.h"
#include "toolkit/CParamDisplay.h"

namespace ovinta {

namespace {

constexpr float kPannerScale = 0.02173913f;      // panner units -> parameter (1/46)
constexpr int kViewButtons[] = {param::k3DView, param::kEQView, param::kExportPage};
constexpr int kToolButtons[] = {param::kToolLines, param::kToolBoxes, param::kToolEdit};
constexpr int kToolOfButton[] = {kLinesTool, kBoxesTool, kEditTool};

param::Follow followOf(int tag)
{
    const param::Row* r = param::row(tag);
    return r != nullptr ? r->follow : param::Follow::None;
}

} // namespace

// ---- Displayed engine values -------------------------------------------------------

float OvintaEditor::displayedValue(int tag) const
{
    // The ray count shows the slots in use, which follow the stored count
    // once the next trace has rewritten them.
    if (tag == param::kNumRays)
        return static_cast<float>(port.values().activeRays);
    // The others show the table's value for the stored raw value, with the
    // engine's limit on wild values: what the engine derived from it.
    // The stored value comes from the host side's mirror, never from the
    // program record that a host thread may be writing.
    const param::Row* r = param::row(tag);
    if (r == nullptr || r->shown == nullptr || tag < 0 || tag >= kStoredParameterCount)
        return 0.0f;
    return r->shown(formula::limited(host.getParameter(tag)));
}

void OvintaEditor::refreshValueDisplay(int tag)
{
    if (CParamDisplay* display = getValueDisplay(tag))
        display->setValue(displayedValue(tag));
}

void OvintaEditor::setControlValue(int tag, float value)
{
    if (CControl* control = getControl(tag))
        control->setValue(value);
}

int OvintaEditor::programEntry(int program) const
{
    for (int entry = 0; entry < programEntries; ++entry)
        if (entryProgram[entry] == program)
            return entry;
    return -1;
}

// ---- Control -> core -------------------------------------------------------------------

void OvintaEditor::valueChanged(CDrawContext*, CControl* control)
{
    if (control == nullptr)
        return;
    const int tag = control->getTag();
    const float v = control->getValue();
    if (tag == param::kProgramSelect) {
        // The menu's value is an entry; the parameter is a program number.
        const int entry = truncToInt(static_cast<double>(v));
        if (entry >= 0 && entry < programEntries)
            host.setParameter(tag, static_cast<float>(entryProgram[entry]));
    } else if (tag >= 0 && tag < kHostParameterCount && parameterIsReported(tag)) {
        host.setParameter(tag, v);
    } else if (tag == param::kUndo) {
        // The release undoes one edit group. A marker put back is reported
        // at once, so the program record and the host follow the port.
        if (v <= 0.5f && mainScreen) {
            mainScreen->undoGroup();
            reportPositions();
        }
        port.setParameter(tag, v);
    } else if (tag == param::kMainScreen) {
        reportPositions();
    } else if (tag == param::kMeterScreen) {
        if (auto* panX = dynamic_cast<OVFakeControl*>(getControl(param::kPanX)))
            panX->notifyValue(port.values().panX * kPannerScale);
        if (auto* panY = dynamic_cast<OVFakeControl*>(getControl(param::kPanY)))
            panY->notifyValue(port.values().panY * kPannerScale);
    } else if (tag == param::kHelp) {
        toggleHelp();
    } else if ((tag >= param::kStereoOnOff && tag < kHostParameterCount) || tag == param::k3DView ||
               tag == param::kEQView || tag == param::kExportPage ||
               (tag >= param::kToolLines && tag <= param::kClear) || tag == param::kProgramPrevious ||
               tag == param::kProgramNext) {
        port.setParameter(tag, v);
    }
    // The change comes back from the core as any other: the controls it
    // moves follow before the caller goes on.
    followPending();
    control->setDirty();
}

void OvintaEditor::reportPositions()
{
    // The screen moved the engine's positions in whole metres; the controls
    // report those that changed at their next draw.
    const float metres[6] = {port.values().listenerX, port.values().listenerY, port.values().sourceX[0],
                             port.values().sourceY[0], port.values().sourceX[1], port.values().sourceY[1]};
    for (int i = 0; i < 6; ++i)
        if (auto* position = dynamic_cast<OVFakeControl*>(getControl(param::kEarsX + i)))
            position->notifyValue(formula::positionValue(metres[i]));
}

void OvintaEditor::toggleHelp()
{
    const bool show = !helpShown();
    overlay.store(show ? kHelpOverlay : 0, std::memory_order_relaxed);
    if (mainScreen) {
        if (show)
            mainScreen->helpPage.store(0, std::memory_order_relaxed);
        mainScreen->helpVisible.store(show, std::memory_order_relaxed);
        mainScreen->setDirty();
    }
    setControlValue(param::kHelp, show ? 1.0f : 0.0f);
}

// ---- Effect -> controls --------------------------------------------------------------------

void OvintaEditor::followPending()
{
    if (!isOpen())
        return;
    port.takeParameterChanges(*this);
}

void OvintaEditor::followParameter(int tag, float value)
{
    const param::Follow follow = followOf(tag);
    if (follow == param::Follow::KnobWithDisplay) {
        setControlValue(tag, host.getParameter(tag));
        refreshValueDisplay(tag);
        if (tag == param::kHeight && mainScreen && mainScreen->requestedMode.load() == k3DMode)
            mainScreen->request3DRebuild();
        return;
    }
    if (follow == param::Follow::StoredValue) {
        // Positions, bend, switches, EQ knobs, pins, rays and outputs show the
        // stored value, set silently: nothing goes back to the host.
        setControlValue(tag, host.getParameter(tag));
        return;
    }
    switch (tag) {
    case param::kProgramSelect:
        setControlValue(tag, static_cast<float>(programEntry(truncToInt(static_cast<double>(value)))));
        return;
    case param::kMainScreen:
        setControlValue(tag, value);
        if (mainScreen)
            mainScreen->setDirty();
        return;
    case param::kMeterScreen:
    case param::kProgramPrevious:
    case param::kProgramNext: setControlValue(tag, value); return;
    case param::k3DView:
    case param::kEQView:
    case param::kExportPage: followView(tag, value); return;
    case param::kHelp: toggleHelp(); return;
    case param::kToolLines:
    case param::kToolBoxes:
    case param::kToolEdit: followTool(tag); return;
    case param::kClear:
        if (mainScreen)
            mainScreen->requestClear();
        return;
    default: return;
    }
}

void OvintaEditor::followView(int tag, float value)
{
    // The three view buttons exclude each other; switching one off shows
    // the edit view again.
    int mode = truncToInt(static_cast<double>(value));
    if (value == 1.0f)
        mode = tag == param::k3DView ? k3DMode : tag == param::kEQView ? kEQMode : kExportMode;
    for (int button : kViewButtons)
        setControlValue(button, button == tag ? value : 0.0f);
    if (mainScreen) {
        mainScreen->requestedMode.store(mode, std::memory_order_relaxed);
        mainScreen->savedMode.store(-1, std::memory_order_relaxed);
    }
    // A view chosen with a button ends a temporary EQ view, which would
    // otherwise take the screen back when its ticks run out.
    if (port.temporaryView() == kTemporaryEq)
        port.setTemporaryView(kTemporaryNone, 0);
    port.setViewDirty(true);
}

void OvintaEditor::followTool(int tag)
{
    // Whatever the button's own toggle did, the pressed tool is on.
    for (int i = 0; i < 3; ++i) {
        setControlValue(kToolButtons[i], kToolButtons[i] == tag ? 1.0f : 0.0f);
        if (kToolButtons[i] == tag && mainScreen)
            mainScreen->tool.store(kToolOfButton[i], std::memory_order_relaxed);
    }
}

} // namespace ovinta
