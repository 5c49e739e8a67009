// OVMeterScreen: one panel.

#include "editor/screens/OVMeterScreen.h"

#include "editor/screens/ScreenPanel.h"

OVMeterScreen::OVMeterScreen(const CRect& r, CControlListener* l, int t)
    : CControl(r, l, t, nullptr), picture(r.width(), r.height(), kBlackCColor)
{
}

OVMeterScreen::~OVMeterScreen() = default;

void OVMeterScreen::draw(CDrawContext* context)
{
    screenpanel::paint(picture);
    picture.copyFrom(context, size);
    setDirty(false);
}
