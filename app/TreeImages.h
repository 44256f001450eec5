// The pictures of a tree control's items, shared by the ports and the routes trees.
#pragma once

#include "platform/ui/AfxWin.h"

// Makes images the 16 x 16 bitmaps pIds names, magenta their transparent colour. A bitmap that
// cannot be loaded gives a blank picture, so the ones after it keep their places.
void LoadTreeImages(CImageList& images, const UINT* pIds, int nCount);
