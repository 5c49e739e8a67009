// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// The editor's pictures by resource number (103..154; 152 is the window
// background).

class CBitmap;

// A new bitmap holding one reference (release it with forget()), or null
// when the plug-in has no picture with that number.
CBitmap* loadEditorBitmap(int id);

} // namespace ovinta
