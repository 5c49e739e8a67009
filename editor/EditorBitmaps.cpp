// The editor's pictures come from the plug-in's compiled-in resources.

#include "editor/EditorBitmaps.h"

#if __has_include("resources/ResourceBitmaps.h")
#include "resources/ResourceBitmaps.h"

CBitmap* loadEditorBitmap(int id)
{
    return loadResourceBitmap(id);
}
#else
// Built without the artwork: every control is created without its picture.
CBitmap* loadEditorBitmap(int)
{
    return nullptr;
}
#endif
