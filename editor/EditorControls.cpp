// SPDX-License-Identifier: GPL-3.0-or-later
// OvintaEditor: building the window's contents at open. Every control gets
// its rectangle, tag and picture from EditorLayout.h and starts from the
// host's current parameter value.

#include "editor/OvintaEditor.h"

#include "editor/EditorBitmaps.h"
#include "editor/EditorEqLink.h"
#include "editor/OVFakeControl.h"
#include "editor/controls/CInstSelect.h"
#include "editor/controls/CRotary.h"
#include "model/ValueFormat.h"
#include "editor/screens/OVAnimScreen.h"
#include "editor/screens/OVImpulseScreen.h"
#include "editor/screens/OVMeterScreen.h"
#include "core/EditorPort.h"
#include "core/EditorPort.h"
#include "model/ParameterTable.h"
#include "model/Parameters.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CFrame.h"
#include "toolkit/CHorizontalSlider.h"
#include "toolkit/CKickButton.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/COptionMenu.h"

#include <cstring>

namespace ovinta {

namespace {

// Loads a control's picture for the time it takes to hand it over: the
// control keeps its own reference, this one is released at scope end.
class LentBitmap {
public:
    explicit LentBitmap(int id) : bitmap(loadEditorBitmap(id)) {}
    ~LentBitmap()
    {
        if (bitmap)
            bitmap->forget();
    }
    LentBitmap(const LentBitmap&) = delete;
    LentBitmap& operator=(const LentBitmap&) = delete;
    CBitmap* get() const { return bitmap; }

private:
    CBitmap* bitmap;
};

// Formatting function of each value display, by the tag of its knob.
param::Format displayFormat(int tag)
{
    const param::Row* r = param::row(tag);
    return r != nullptr ? r->format : nullptr;
}

void styleMenu(COptionMenu& menu)
{
    menu.setFont(kNormalFontSmall, kNormalFace);
    menu.setHoriAlign(kCenterText);
    menu.setFontColor(layout::kMenuText);
    menu.setBackColor(layout::kMenuBack);
    menu.setFrameColor(layout::kMenuBack);
}

} // namespace

// Adds a control to the frame and files it under its tag.
template <typename T> T* OvintaEditor::place(T* control)
{
    frame->addView(control);
    const int tag = control->getTag();
    if (tag >= 0 && tag < kTagCount)
        controls[tag] = control;
    return control;
}

void OvintaEditor::createControls()
{
    createScreens();
    createKnobs();
    createButtons();
    createMenus();
    createValueDisplays();
    for (int tag : layout::kPositionTags) {
        auto* position = place(new OVFakeControl(layout::kPositionRect, this, tag));
        position->setValue(host.getParameter(tag));
    }
}

void OvintaEditor::createScreens()
{
    MainScreenParts parts;
    parts.background3D = sharedBitmap(bitmap::k3DBackground);
    parts.eqBackground = sharedBitmap(bitmap::kEqBackground);
    parts.bandDigits = sharedBitmap(bitmap::kBandDigits);
    parts.exportBackground = sharedBitmap(bitmap::kExportPage);
    parts.eqLink = eqLink.get();
    parts.exportListener = this;
    parts.exportPath = exportInitialPath();
    mainScreen = place(new OVAnimScreen(layout::kMainScreenRect, this, param::kMainScreen, port,
                                        sharedBitmap(bitmap::kEditGrid), sharedBitmap(bitmap::kMarkers), parts));
    impulseScreen = place(new OVImpulseScreen(layout::kImpulseScreenRect, this, param::kImpulseScreen, port,
                                              sharedBitmap(bitmap::kImpulsePanels)));
    MeterPictures meter;
    meter.background = sharedBitmap(bitmap::kMeterBackground);
    for (int k = 0; k < 4; ++k) {
        meter.labels[k] = sharedBitmap(bitmap::kSpeakerLabel1 + k);
        meter.levelFans[k] = sharedBitmap(bitmap::kLevelFanTopLeft + k);
    }
    meter.labels[4] = sharedBitmap(bitmap::kSpeakerLabel5);
    meter.stripesFalling = sharedBitmap(bitmap::kGainStripesFalling);
    meter.stripesRising = sharedBitmap(bitmap::kGainStripesRising);
    meter.centreStripes = sharedBitmap(bitmap::kCentreStripes);
    meter.levelBar = sharedBitmap(bitmap::kLevelBar);
    meter.markers = sharedBitmap(bitmap::kMarkers);
    meterScreen = place(new OVMeterScreen(layout::kMeterScreenRect, *this, param::kMeterScreen, meter));
    impulseScreen->setValue(host.getParameter(param::kImpulseScreen));
}

void OvintaEditor::createKnobs()
{
    for (const layout::KnobPlace& k : layout::kKnobs) {
        LentBitmap film(k.bitmap);
        auto* knob = place(new CAnimKnob(CRect::fromSize(k.left, k.top, k.width, k.height), this, k.tag,
                                         layout::kKnobFrames, k.height, film.get()));
        knob->setValue(host.getParameter(k.tag));
    }
    {
        LentBitmap film(layout::kEqKnobBitmap);
        for (int band = 0; band < 4; ++band) {
            for (int row = 0; row < 3; ++row) {
                const int tag = param::kEQfreq1 + 3 * band + row;
                const CRect r = CRect::fromSize(layout::kEqColumnLeft[band], layout::kEqRowTop[row],
                                                layout::kEqKnobWidth, layout::kEqKnobHeight);
                auto* knob =
                    place(new CAnimKnob(r, this, tag, layout::kKnobFrames, layout::kEqKnobHeight, film.get()));
                knob->setValue(host.getParameter(tag));
            }
        }
    }
    {
        LentBitmap film(layout::kHeadAngleBitmap);
        auto* head = place(new CAnimRotary(layout::kHeadAngleRect, this, param::kHeadAngle, layout::kKnobFrames,
                                           layout::kHeadAngleFrameHeight, film.get()));
        head->setValue(host.getParameter(param::kHeadAngle));
    }
    {
        LentBitmap groove(layout::kBendGrooveBitmap);
        LentBitmap handle(layout::kBendHandleBitmap);
        auto* bend = place(new CHorizontalSlider(layout::kBendRect, this, param::kBend, layout::kBendHandleMin,
                                                 layout::kBendHandleMax, handle.get(), groove.get()));
        bend->setValue(host.getParameter(param::kBend));
    }
}

void OvintaEditor::createButtons()
{
    for (const layout::ButtonPlace& b : layout::kButtons) {
        LentBitmap film(b.bitmap);
        CControl* button = b.kind == layout::ButtonKind::Kick
                               ? static_cast<CControl*>(new CKickButton(b.rect, this, b.tag, film.get()))
                               : static_cast<CControl*>(new COnOffButton(b.rect, this, b.tag, film.get()));
        place(button);
    }
    // Buttons that show a stored parameter start from it; the view, help and
    // step buttons start off and LINES starts on.
    constexpr int kStoredButtons[] = {param::kStereoOnOff, param::kReverseOnOff, param::kMirror, param::kClear,
                                      param::kUndo};
    for (int tag : kStoredButtons)
        setControlValue(tag, host.getParameter(tag));
    setControlValue(param::kToolLines, 1.0f);

    LentBitmap film(layout::kOutputsBitmap);
    auto* outputs = place(new CInstSelect(layout::kOutputsRect, this, param::kSurround, layout::kOutputsFrames,
                                          layout::kOutputsFrameHeight, film.get()));
    outputs->setValue(host.getParameter(param::kSurround));
}

void OvintaEditor::createMenus()
{
    const int style = kPopupStyle | kCheckStyle;
    for (int i = 0; i < 2; ++i) {
        auto* menu = place(new COptionMenu(layout::kInputPinRects[i], this, param::kSpeakerIn1 + i, nullptr, style));
        styleMenu(*menu);
        menu->setValue(static_cast<float>(i));
    }
    for (int i = 0; i < 5; ++i) {
        const CRect r = CRect::fromSize(layout::kOutputPinLeft[i], layout::kPinTop, layout::kPinWidth,
                                        layout::kPinHeight);
        auto* menu = place(new COptionMenu(r, this, param::kSpeakerOut1 + i, nullptr, style));
        styleMenu(*menu);
        menu->setValue(static_cast<float>(i));
    }
    programMenu = place(new COptionMenu(layout::kProgramMenuRect, this, param::kProgramSelect, nullptr, style));
    styleMenu(*programMenu);
}

void OvintaEditor::createValueDisplays()
{
    for (const layout::DisplayPlace& d : layout::kDisplays) {
        // Displays carry no tag of their own and never take the mouse.
        auto* display = new CParamDisplay(d.rect);
        display->setTag(-1);
        display->setFont(kNormalFontSmall, kNormalFace);
        display->setHoriAlign(kCenterText);
        display->setFontColor(layout::kDisplayText);
        display->setBackColor(layout::kDisplayBack);
        display->setFrameColor(layout::kDisplayBack);
        display->setTextTransparency(false);
        display->setStringConvert(displayFormat(d.tag));
        display->setValue(displayedValue(d.tag));
        frame->addView(display);
        displays[d.tag] = display;
    }
}

void OvintaEditor::fillProgramMenu()
{
    // One entry per program with a name, in program order. The entry index
    // and the program number differ once a program without a name is
    // skipped, so the mapping is kept both ways.
    programEntries = 0;
    for (int program = 0; program < kProgramCount; ++program) {
        const char* name = port.programName(program);
        const std::size_t length = strnlen(name, kProgramNameSize - 1);
        if (length == 0)
            continue;
        char text[kProgramNameSize] = {};
        std::memcpy(text, name, length);
        programMenu->addEntry(text);
        entryProgram[programEntries++] = program;
    }
    programMenu->setValue(static_cast<float>(programEntry(port.currentProgram())));
}

} // namespace ovinta
