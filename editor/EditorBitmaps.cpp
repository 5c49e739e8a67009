// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's pictures come from the plug-in's compiled-in resources.

#include "editor/EditorBitmaps.h"

#include "resources/ResourceBitmaps.h"

namespace ovinta {

CBitmap* loadEditorBitmap(int id)
{
    return loadResourceBitmap(id);
}

} // namespace ovinta
