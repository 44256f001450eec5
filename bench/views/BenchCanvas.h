// A memory DC with a bitmap of the given size selected, for the pages' drawing benchmarks.
#pragma once

#include "platform/ui/AfxWin.h"

struct Canvas {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Canvas(int w, int h) {
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateCompatibleBitmap(nullptr, w, h);
    old = dc.SelectObject(&bmp);
  }
  ~Canvas() { dc.SelectObject(old); }
};
