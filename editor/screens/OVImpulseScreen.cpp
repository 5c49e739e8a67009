// OVImpulseScreen: two panels.

#include "editor/screens/OVImpulseScreen.h"

#include "editor/screens/ScreenPanel.h"

namespace {
constexpr int kPictureWidth = 200;
constexpr int kPictureHeight = 80;
} // namespace

OVImpulseScreen::OVImpulseScreen(const CRect& r, CControlListener* l, int t)
    : CControl(r, l, t, nullptr), volumePicture(kPictureWidth, kPictureHeight, kBlackCColor),
      filterPicture(kPictureWidth, kPictureHeight, kBlackCColor)
{
}

OVImpulseScreen::~OVImpulseScreen() = default;

void OVImpulseScreen::draw(CDrawContext* context)
{
    // The volume response on the left, the filter response on the right,
    // the gap between them left to the background.
    screenpanel::paint(volumePicture);
    screenpanel::paint(filterPicture);
    volumePicture.copyFrom(context, CRect::fromSize(size.left, size.top, kPictureWidth, kPictureHeight));
    filterPicture.copyFrom(context,
                           CRect::fromSize(size.right - kPictureWidth, size.top, kPictureWidth, kPictureHeight));
    setDirty(false);
}
