// SPDX-License-Identifier: GPL-3.0-or-later
// Lookup of the compiled-in pictures.

#include "resources/ResourceBitmaps.h"

#include "toolkit/CBitmap.h"

namespace ovinta {

const ResourceImage* findResourceImage(int id)
{
    for (int i = 0; i < kResourceImageCount; ++i)
        if (kResourceImages[i].id == id)
            return &kResourceImages[i];
    return nullptr;
}

CBitmap* loadResourceBitmap(int id)
{
    const ResourceImage* image = findResourceImage(id);
    return image ? CBitmap::fromPng(image->png, image->size) : nullptr;
}

} // namespace ovinta
