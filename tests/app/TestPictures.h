// Toolbar resources and their bitmaps for tests, made in memory and registered at run time.
#pragma once

#include "platform/ui/AfxWin.h"
#include "platform/ui/UiResources.h"

#include <cstring>
#include <vector>

namespace test_pictures {

constexpr COLORREF kGrey = RGB(192, 192, 192);  // the pictures' own background

// Colour of the square in the middle of picture i.
inline COLORREF GlyphColour(int i) {
  static const COLORREF c[] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 220), RGB(200, 120, 0), RGB(120, 0, 160)};
  return c[i % 5];
}

// A 24-bit bitmap resource (a BMP file without its file header) of count 16 x 15 pictures:
// grey background with a coloured 8 x 7 square at (4, 4) in each.
inline std::vector<BYTE> ToolbarBitmap(int count) {
  const int w = 16 * count, h = 15, stride = (w * 3 + 3) & ~3;
  std::vector<BYTE> out(40 + stride * h, 0);
  BITMAPINFOHEADER bih{40, w, h, 1, 24, 0, (DWORD)(stride * h), 0, 0, 0, 0};
  std::memcpy(out.data(), &bih, 40);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int i = x / 16, lx = x % 16;
      COLORREF c = (lx >= 4 && lx < 12 && y >= 4 && y < 11) ? GlyphColour(i) : kGrey;
      BYTE* p = out.data() + 40 + (h - 1 - y) * stride + x * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return out;
}

// Registers toolbar id with the commands (0 = separator) and its bitmap.
inline void RegisterToolbar(UINT id, const std::vector<WORD>& commands) {
  // The program's own scripts are compiled first, so this toolbar takes the place of one of theirs.
  AfxEnsureUiResources();
  std::vector<WORD> tb{1, 16, 15, (WORD)commands.size()};
  tb.insert(tb.end(), commands.begin(), commands.end());
  AfxRegisterResourceCopy(RT_TOOLBAR, MAKEINTRESOURCE(id), tb.data(), tb.size() * 2);
  int pictures = 0;
  for (WORD c : commands) pictures += c != 0;
  std::vector<BYTE> bmp = ToolbarBitmap(pictures);
  AfxRegisterResourceCopy(RT_BITMAP, MAKEINTRESOURCE(id), bmp.data(), bmp.size());
}

}  // namespace test_pictures
