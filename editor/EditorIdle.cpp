// SPDX-License-Identifier: GPL-3.0-or-later
// OvintaEditor: the idle cycle. The host calls idle often, also while a
// control is being dragged; the screens and the fallback tracing run at most
// every 40 ms.

#include "editor/OvintaEditor.h"

#include "editor/screens/OVAnimScreen.h"
#include "editor/screens/OVImpulseScreen.h"
#include "editor/screens/OVMeterScreen.h"
#include "core/EditorPort.h"
#include "core/EditorPort.h"
#include "model/Parameters.h"
#include "toolkit/CFileSelector.h"

namespace ovinta {

namespace {
constexpr int32_t kTimedStepMs = 40;
constexpr int kExportDelayTicks = 4; // idle calls between SAVE and the export
} // namespace

void OvintaEditor::idle()
{
    // The configuration step does nothing unless the outputs changed; with
    // the window closed it still sets the number of fed outputs.
    port.applyOutputConfiguration(*this);
    if (frame == nullptr || !isOpen())
        return;
    followPending();
    if (meterScreen)
        meterScreen->setDirty();

    // Tick counts wrap; a step that seems to go back in time counts as due.
    const uint32_t now = getTicks();
    int32_t elapsed = static_cast<int32_t>(now - lastTimedStep);
    if (elapsed < 0)
        elapsed = kTimedStepMs;
    if (elapsed >= kTimedStepMs) {
        lastTimedStep = now;
        timedStep();
    }
    // Before the frame's idle, as a press would arrive: a chosen file
    // starts the countdown in this call.
    pollFileDialog();
    WindowEditor::idle();
    // The last help page was clicked: HELP goes off as if pressed.
    if (mainScreen != nullptr && mainScreen->takeHelpClosed() && helpShown())
        toggleHelp();
    runDeferredExport();
    followPending();
}

void OvintaEditor::timedStep()
{
    // Keeps the response building while the host sends no audio blocks.
    lastProcessTick = port.idleTrace(lastProcessTick);
    // The ray count in use changes when the tracer rewrites the slots,
    // after the parameter change that asked for it.
    refreshValueDisplay(param::kNumRays);
    if (mainScreen && !helpShown())
        mainScreen->setDirty();
    if (impulseScreen)
        impulseScreen->setDirty();
}

void OvintaEditor::runDeferredExport()
{
    if (port.exportCountdown() == 0)
        return;
    const int countdown = port.exportCountdown() + 1;
    port.setExportCountdown(countdown);
    if (countdown != kExportDelayTicks)
        return;
    port.exportImpulse(exportSettings.format, exportSettings.sampleRate, exportSettings.normalise,
                            exportSettings.path);
    port.setExportCountdown(0);
    // Leave the export page: the edit view shows again.
    followParameter(param::kExportPage, 0.0f);
}

} // namespace ovinta
