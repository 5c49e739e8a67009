// SPDX-License-Identifier: GPL-3.0-or-later
// OvintaEditor: construction, the window's life (open, close, size, keys,
// knob mode), gesture brackets and the pin menus the output configuration
// fills. Controls are created in EditorControls.cpp, parameter follow and
// the listener live in EditorFollow.cpp, the idle cycle in EditorIdle.cpp.

#include "editor/OvintaEditor.h"

#include "editor/EditorEqLink.h"

#include "editor/EditorBitmaps.h"
#include "editor/OVFakeControl.h"
#include "core/EditorPort.h"
#include "core/EditorPort.h"
#include "model/Parameters.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFileSelector.h"
#include "toolkit/CFrame.h"
#include "toolkit/COptionMenu.h"

#include <cstddef>

namespace ovinta {

namespace {
// Pictures the editor holds for the whole life of the plug-in and lends to
// the screens: markers, meter parts, screen backgrounds, digits.
constexpr int kSharedBitmapIds[] = {
    bitmap::kMarkers,          bitmap::kLevelFanTopLeft,    bitmap::kLevelFanTopRight,
    bitmap::kLevelFanBottomLeft, bitmap::kLevelFanBottomRight, bitmap::kGainStripesFalling,
    bitmap::kGainStripesRising, bitmap::kLevelBar,          bitmap::kCentreStripes,
    bitmap::kEditGrid,         bitmap::k3DBackground,       bitmap::kEqBackground,
    bitmap::kMeterBackground,  bitmap::kImpulsePanels,      bitmap::kExportPage,
    bitmap::kBandDigits,       bitmap::kSpeakerLabel1,      bitmap::kSpeakerLabel1 + 1,
    bitmap::kSpeakerLabel1 + 2, bitmap::kSpeakerLabel1 + 3, bitmap::kSpeakerLabel5};
} // namespace

// ---- Construction -----------------------------------------------------------------

OvintaEditor::OvintaEditor(std::unique_ptr<EditorPort> ownedPort, EditorHost& h)
    : portOwned(std::move(ownedPort)), port(*portOwned), host(h)
{
    static_assert(sizeof(kSharedBitmapIds) / sizeof(int) == kSharedBitmapCount);
    eqLink = std::make_unique<EditorEqLink>(port, host, *this);
    for (int i = 0; i < kSharedBitmapCount; ++i)
        sharedBitmaps[i] = loadEditorBitmap(kSharedBitmapIds[i]);
    background = loadEditorBitmap(layout::kBackgroundBitmap);
    port.attachEditor(this);
    // The window is the background's size, whether or not the picture loaded.
    setEditorSize(layout::kWindowWidth, layout::kWindowHeight);
}

CBitmap* OvintaEditor::sharedBitmap(int id) const
{
    for (int i = 0; i < kSharedBitmapCount; ++i)
        if (kSharedBitmapIds[i] == id)
            return sharedBitmaps[i];
    return nullptr;
}

OvintaEditor::~OvintaEditor()
{
    port.attachEditor(nullptr);
    close();
    for (CBitmap*& bitmap : sharedBitmaps) {
        if (bitmap)
            bitmap->forget();
        bitmap = nullptr;
    }
    if (background)
        background->forget();
    background = nullptr;
}

// ---- Window -----------------------------------------------------------------------

bool OvintaEditor::open(void* parent)
{
    if (frame != nullptr)
        close(); // a second open without a close starts afresh
    WindowEditor::open(parent);
    frame = new CFrame(CRect(0, 0, layout::kWindowWidth, layout::kWindowHeight), parent, this);
    if (!frame->isOpen()) {
        // No window system to open on: nothing is shown, nothing follows.
        delete frame;
        frame = nullptr;
        return false;
    }
    frame->setBackground(background);
    WindowEditor::setKnobMode(kLinearMode);

    createControls();
    fillProgramMenu();
    fileSelector = std::make_unique<CFileSelector>(frame);
    lastTimedStep = getTicks();

    // The controls were made with the current values: older changes are done.
    port.dropParameterChanges();
    port.requestOutputConfiguration();
    openFlag.store(true, std::memory_order_release);
    // Fill the pin menus before the first paint.
    port.applyOutputConfiguration(*this);
    return true;
}

void OvintaEditor::close()
{
    openFlag.store(false, std::memory_order_release);
    // Kills an open dialog program before anything it could answer goes.
    closeFileDialog();
    fileSelector.reset();
    forgetControls();
    WindowEditor::close();
}

void OvintaEditor::forgetControls()
{
    for (CControl*& control : controls)
        control = nullptr;
    for (CParamDisplay*& display : displays)
        display = nullptr;
    mainScreen = nullptr;
    impulseScreen = nullptr;
    meterScreen = nullptr;
    programMenu = nullptr;
    programEntries = 0;
}

// ---- Gestures ------------------------------------------------------------------------

void OvintaEditor::beginEdit(int index)
{
    // Only host parameters are announced; the editor's own buttons are not
    // parameters the host knows.
    if (index >= 0 && index < kHostParameterCount)
        host.beginEdit(index);
}

void OvintaEditor::endEdit(int index)
{
    if (index >= 0 && index < kHostParameterCount)
        host.endEdit(index);
}

void OvintaEditor::beginPositionEdit(int tag)
{
    beginEdit(tag);
}

void OvintaEditor::endPositionEdit(int tag)
{
    if (auto* position = dynamic_cast<OVFakeControl*>(getControl(tag)))
        position->reportPending(frame ? frame->getBackingStore() : nullptr);
    endEdit(tag);
}

// ---- Pin menus -----------------------------------------------------------------------------

namespace {
void refill(CControl* control, const char* const* names, int count)
{
    auto* menu = dynamic_cast<COptionMenu*>(control);
    if (menu == nullptr)
        return;
    menu->removeAllEntry();
    for (int i = 0; i < count; ++i)
        if (names != nullptr && names[i] != nullptr)
            menu->addEntry(names[i]);
}
} // namespace

void OvintaEditor::setInputPinMenu(int menu, const char* const* names, int count)
{
    if (menu >= 0 && menu < kInputChannelCapacity)
        refill(controls[param::kSpeakerIn1 + menu], names, count);
}

void OvintaEditor::refreshInputPin(int menu)
{
    if (menu >= 0 && menu < kInputChannelCapacity)
        followParameter(param::kSpeakerIn1 + menu, 0.0f);
}

void OvintaEditor::setOutputPinMenu(int role, const char* const* names, int count)
{
    if (role >= 0 && role <= param::kSpeakerOut5 - param::kSpeakerOut1)
        refill(controls[param::kSpeakerOut1 + role], names, count);
}

// ---- Lookups --------------------------------------------------------------------------------

CControl* OvintaEditor::getControl(int tag) const
{
    return tag >= 0 && tag < kTagCount ? controls[tag] : nullptr;
}


CParamDisplay* OvintaEditor::getValueDisplay(int tag) const
{
    return tag >= 0 && tag < kTagCount ? displays[tag] : nullptr;
}

} // namespace ovinta
