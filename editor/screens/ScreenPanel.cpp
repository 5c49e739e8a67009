// SPDX-License-Identifier: GPL-3.0-or-later
// The screens' panel.

#include "editor/screens/ScreenPanel.h"

namespace ovinta {

namespace screenpanel {

void paint(CDrawContext& picture)
{
    const CRect whole(0, 0, picture.getWidth(), picture.getHeight());
    picture.setFillColor(kPanel);
    picture.fillRect(whole);
    picture.setFrameColor(kFrame);
    picture.setLineWidth(1);
    picture.setLineStyle(kLineSolid);
    picture.frameRect(whole);
}

} // namespace screenpanel

} // namespace ovinta
