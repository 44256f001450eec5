// Pictures of a window's size are made often (backings, off-screen bitmaps). A fault for each
// fresh page, on its first write, dominates making them: their pages are made at once, and
// large ones ask for huge pages where the kernel offers them on request.
#pragma once

#include <QImage>

// A picture of w x h in the format, its pixels not yet set. Never null for w, h >= 1.
QImage AfxNewPixels(int w, int h, QImage::Format format);
