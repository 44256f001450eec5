#include "views/ColourButton.h"

#include "views/ColourPopup.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CColourButton, CButton)

BOOL AfxCreateColourTablePalette(CPalette& palette, const COLORREF* table, int count) {
  std::vector<BYTE> mem(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * (size_t)(count > 0 ? count - 1 : 0));
  auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = (WORD)count;
  for (int i = 0; i < count; ++i)
    lp->palPalEntry[i] = PALETTEENTRY{GetRValue(table[i]), GetGValue(table[i]), GetBValue(table[i]), 0};
  return palette.CreatePalette(lp);
}

CColourButton::CColourButton() { std::memcpy(m_table, g_colourTable, sizeof(m_table)); }

BOOL CColourButton::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style = (cs.style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  return CButton::PreCreateWindow(cs);
}

void CColourButton::PreSubclassWindow() {
  // A button from a dialog template becomes owner-drawn here.
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
  CButton::PreSubclassWindow();
}

namespace {

// The small down-pointing triangle, 6 pixels wide and 3 high, its top row at (x, y).
void Triangle(CDC* dc, int x, int y, COLORREF colour) {
  for (int row = 0; row < 3; ++row) dc->FillSolidRect(x + row, y + row, 6 - 2 * row, 1, colour);
}

}  // namespace

void CColourButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!dis) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  CRect rc = dis->rcItem;
  dc->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
  if (!m_palette.m_hObject) AfxCreateColourTablePalette(m_palette, m_table, 40);
  CPalette* oldPal = m_palette.m_hObject ? dc->SelectPalette(&m_palette, FALSE) : nullptr;
  dc->RealizePalette();

  BOOL pressed = (dis->itemState & ODS_SELECTED) != 0;
  BOOL disabled = (dis->itemState & ODS_DISABLED) != 0;
  dc->DrawEdge(&rc, (pressed && !disabled) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

  CRect swatch = rc;
  swatch.DeflateRect(5, 5);
  swatch.right -= 14;
  int triX = swatch.right + 4, triY = (rc.top + rc.bottom) / 2 - 1;
  if (disabled) {
    // Embossed: the highlight one pixel down and right, then the shadow on top.
    CBrush hi(::GetSysColor(COLOR_BTNHIGHLIGHT)), sh(::GetSysColor(COLOR_BTNSHADOW));
    CRect off = swatch;
    off.OffsetRect(1, 1);
    dc->FrameRect(&off, &hi);
    Triangle(dc, triX + 1, triY + 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    dc->FrameRect(&swatch, &sh);
    Triangle(dc, triX, triY, ::GetSysColor(COLOR_BTNSHADOW));
  } else {
    if (pressed) {
      swatch.OffsetRect(1, 1);
      ++triX;
      ++triY;
    }
    CBrush black(RGB(0, 0, 0));
    dc->FillSolidRect(&swatch, m_colour);
    dc->FrameRect(&swatch, &black);
    Triangle(dc, triX, triY, RGB(0, 0, 0));
  }
  if (oldPal) dc->SelectPalette(oldPal, FALSE);
}
