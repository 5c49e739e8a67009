// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The look shared by the editor's screens: a dark panel with a thin frame,
// drawn into a screen's offscreen picture.

#include "toolkit/CDrawContext.h"

namespace ovinta {

namespace screenpanel {

constexpr CColor kPanel{22, 24, 26, 255};
constexpr CColor kFrame{118, 128, 112, 255};

// Fills (0, 0)-(width, height) of `picture` with the panel colour and frames it.
void paint(CDrawContext& picture);

} // namespace screenpanel

} // namespace ovinta
