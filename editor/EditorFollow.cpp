// OvintaEditor: the two directions of a parameter change. valueChanged takes
// a user's change from a control to the effect; setParameter brings every
// change (the user's, the host's, a program's) back into the controls and
// the value displays, which show what the engine made of it.

#include "editor/OvintaEditor.h"

#include "editor/OVFakeControl.h"
#include "editor/screens/OVAnimScreen.h"
#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"
#include "toolkit/CParamDisplay.h"

#include <cmath>

namespace {

constexpr float kWetDisplayScale = 1.58489f;     // 10^(4/20): full wet gain reads +4 dB
constexpr float kPositionScale = 0.02f;          // metres -> parameter (1/50)
constexpr float kPannerScale = 0.02173913f;      // panner units -> parameter (1/46)
constexpr int kViewButtons[] = {layout::k3DView, layout::kEQView, layout::kExportPage};
constexpr int kToolButtons[] = {layout::kToolLines, layout::kToolBoxes, layout::kToolEdit};
constexpr int kToolOfButton[] = {kLinesTool, kBoxesTool, kEditTool};

// A whole number from a float, without the undefined conversion of values
// out of the int range.
int wholeNumber(float v)
{
    const double t = std::trunc(static_cast<double>(v));
    if (!(t > -2147483648.0))
        return t != t ? 0 : -2147483647 - 1;
    return t < 2147483647.0 ? static_cast<int>(t) : 2147483647;
}

bool isKnobWithDisplay(int tag)
{
    return (tag >= param::kGain && tag <= param::kHiCutAir) ||
           (tag >= param::kPreDelay && tag <= param::kDiffLoPass) || tag == param::kNumRays;
}

} // namespace

// ---- Displayed engine values -------------------------------------------------------

float OvintaEditor::displayedValue(int tag) const
{
    switch (tag) {
    case param::kAbsorb: return 1.0f - engine.derived().wallAbsorb;
    case param::kHiCut: return 1.0f - engine.derived().wallHiCut;
    case param::kScatter: return engine.derived().scatterAmount;
    case param::kHeight: return engine.derived().heightSpread * 0.5f + 2.0f;
    case param::kNumRays: return static_cast<float>(engine.derived().activeRays.load());
    case param::kAbsorbAir: return (1.0f - engine.derived().airAbsorb) * 100.0f;
    case param::kHiCutAir: return (1.0f - engine.derived().airHiCut) * 100.0f;
    case param::kPreDelay: return engine.derived().preDelayMs;
    case param::kScale: return engine.derived().scale;
    case param::kHeadAngle: return static_cast<float>(engine.derived().headAngleDegrees.load());
    case param::kGain: return engine.derived().wetGain * kWetDisplayScale;
    case param::kDryOut: return engine.derived().dryGain;
    case param::kDiffusion: return engine.derived().diffusionGain;
    case param::kDiffSize: return engine.derived().diffusionSize;
    case param::kDiffLoPass: return engine.derived().widthFactor;
    default: return 0.0f;
    }
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

// ---- Control -> effect -----------------------------------------------------------------

void OvintaEditor::valueChanged(CDrawContext*, CControl* control)
{
    if (control == nullptr)
        return;
    const int tag = control->getTag();
    const float v = control->getValue();
    if (tag == param::kProgramSelect) {
        // The menu's value is an entry; the parameter is a program number.
        const int entry = wholeNumber(v);
        if (entry >= 0 && entry < programEntries)
            effect.setParameterAutomated(tag, static_cast<float>(entryProgram[entry]));
    } else if (tag >= 0 && tag < kHostParameterCount && parameterIsReported(tag)) {
        effect.setParameterAutomated(tag, v);
    } else if (tag == layout::kUndo) {
        // Undoing an edit group belongs to the room editor; the button's
        // press and release still reach the engine.
        effect.setParameter(tag, v);
    } else if (tag == layout::kMainScreen) {
        reportPositions();
    } else if (tag == layout::kMeterScreen) {
        if (auto* panX = dynamic_cast<OVFakeControl*>(getControl(param::kPanX)))
            panX->notifyValue(engine.derived().panX * kPannerScale);
        if (auto* panY = dynamic_cast<OVFakeControl*>(getControl(param::kPanY)))
            panY->notifyValue(engine.derived().panY * kPannerScale);
    } else if (tag == layout::kHelp) {
        toggleHelp();
    } else if ((tag >= param::kStereoOnOff && tag < kHostParameterCount) || tag == layout::k3DView ||
               tag == layout::kEQView || tag == layout::kExportPage ||
               (tag >= layout::kToolLines && tag <= layout::kClear) || tag == param::kProgramPrevious ||
               tag == param::kProgramNext) {
        effect.setParameter(tag, v);
    }
    control->setDirty();
}

void OvintaEditor::reportPositions()
{
    // The screen moved the engine's positions in whole metres; the controls
    // report those that changed at their next draw.
    const float metres[6] = {engine.derived().listenerX, engine.derived().listenerY, engine.derived().sourceX[0],
                             engine.derived().sourceY[0], engine.derived().sourceX[1], engine.derived().sourceY[1]};
    for (int i = 0; i < 6; ++i)
        if (auto* position = dynamic_cast<OVFakeControl*>(getControl(param::kEarsX + i)))
            position->notifyValue(metres[i] * kPositionScale);
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
    setControlValue(layout::kHelp, show ? 1.0f : 0.0f);
}

// ---- Effect -> controls --------------------------------------------------------------------

void OvintaEditor::setParameter(int index, float value)
{
    std::lock_guard<std::mutex> guard(followLock);
    if (!openFlag.load(std::memory_order_acquire))
        return;
    followParameter(index, value);
}

void OvintaEditor::followParameter(int tag, float value)
{
    if (isKnobWithDisplay(tag)) {
        setControlValue(tag, effect.getParameter(tag));
        refreshValueDisplay(tag);
        if (tag == param::kHeight && mainScreen && mainScreen->requestedMode.load() == k3DMode)
            mainScreen->request3DRebuild();
        return;
    }
    if ((tag >= param::kEarsX && tag <= param::kSource2Y) || (tag >= param::kBend && tag <= param::kSurround) ||
        tag == layout::kMirror) {
        // Positions, bend, switches, EQ knobs, pins, rays and outputs show the
        // stored value, set silently: nothing goes back to the host.
        setControlValue(tag, effect.getParameter(tag));
        return;
    }
    switch (tag) {
    case param::kProgramSelect:
        setControlValue(tag, static_cast<float>(programEntry(wholeNumber(value))));
        return;
    case layout::kMainScreen:
        setControlValue(tag, value);
        if (mainScreen)
            mainScreen->setDirty();
        return;
    case layout::kMeterScreen:
    case param::kProgramPrevious:
    case param::kProgramNext: setControlValue(tag, value); return;
    case layout::k3DView:
    case layout::kEQView:
    case layout::kExportPage: followView(tag, value); return;
    case layout::kHelp: toggleHelp(); return;
    case layout::kToolLines:
    case layout::kToolBoxes:
    case layout::kToolEdit: followTool(tag); return;
    case layout::kClear:
        if (mainScreen)
            mainScreen->clearRoom();
        return;
    default: return;
    }
}

void OvintaEditor::followView(int tag, float value)
{
    // The three view buttons exclude each other; switching one off shows
    // the edit view again.
    int mode = wholeNumber(value);
    if (value == 1.0f)
        mode = tag == layout::k3DView ? k3DMode : tag == layout::kEQView ? kEQMode : kExportMode;
    for (int button : kViewButtons)
        setControlValue(button, button == tag ? value : 0.0f);
    if (mainScreen) {
        mainScreen->requestedMode.store(mode, std::memory_order_relaxed);
        if (tag != layout::k3DView)
            mainScreen->savedMode.store(-1, std::memory_order_relaxed);
    }
    engine.editorSignals().viewDirty = true;
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
