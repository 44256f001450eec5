// A window's backing picture is made when it is first painted, and kept. A fault for each
// fresh page, on its first write, dominates making one: its pages are made at once, and large
// ones ask for huge pages where the kernel offers them on request.
#pragma once

#include <QImage>

// A picture of w x h in the format, its pixels not yet set. Never null for w, h >= 1.
QImage AfxNewPixels(int w, int h, QImage::Format format);
