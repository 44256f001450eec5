#include "views/ColourPopup.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CColourPopup, CPickPopup)

const COLORREF g_colourTable[40] = {
    0x000000, 0x002AA5, 0x404000, 0x005500, 0x5E0000, 0x8B0000, 0x82004B, 0x282828, 0x00008B, 0x2068FF,
    0x008B8B, 0x009300, 0x8E8E38, 0xFF0000, 0xC07B7B, 0x666666, 0x0000FF, 0x5BADFF, 0x32CD32, 0x71B33C,
    0xD4FF7F, 0xC09E7D, 0x800080, 0x7F7F7F, 0xCBC0FF, 0x00D7FF, 0x00FFFF, 0x00FF00, 0xD0E040, 0xFFFFC0,
    0x480048, 0xC0C0C0, 0xE1E4FF, 0x8CB4D2, 0xE0FFFF, 0x98FB98, 0xEEEEAF, 0x8B8368, 0xFAE6E6, 0xFFFFFF,
};

BOOL CColourPopup::Create(CWnd* pNotify, int x, int y, int nButton) {
  m_nButton = nButton;
  return CreatePopup(pNotify, x, y, kWidth, kHeight);
}

int CColourPopup::ItemAt(CPoint pt) const {
  for (int i = 0; i <= kMore; ++i)
    if (ItemRect(i).PtInRect(pt)) return i;
  return -1;
}

CRect CColourPopup::ItemRect(int i) const {
  if (i == kMore) return CRect(5, 103, 149, 123);
  int c = i % 8, r = i / 8;
  return CRect(5 + 18 * c, 5 + 18 * r, 23 + 18 * c, 23 + 18 * r);
}

void CColourPopup::DrawContent(CDC* dc) {
  CRect all(0, 0, kWidth, kHeight);
  dc->FillSolidRect(&all, ::GetSysColor(COLOR_BTNFACE));
  dc->DrawEdge(&all, EDGE_RAISED, BF_RECT);
  CRect band(5, 0, 149, 100);
  dc->DrawEdge(&band, EDGE_ETCHED, BF_BOTTOM);
  CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
  for (int i = 0; i < 40; ++i) {
    CRect cell = ItemRect(i);
    DrawItemEdge(dc, i);
    cell.DeflateRect(3, 3);
    dc->FillSolidRect(&cell, g_colourTable[i]);
    dc->FrameRect(&cell, &shadow);
  }
  DrawItemEdge(dc, kMore);
  LOGFONT lf{};
  lf.lfHeight = 100;
  lf.lfWeight = 700;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "Arial");
  CFont font;
  font.CreatePointFontIndirect(&lf, dc);
  CFont* old = dc->SelectObject(&font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  CSize e = dc->GetTextExtent("More...", 7);
  dc->TextOut((149 - e.cx) / 2, 105, "More...");
  dc->SelectObject(old);
}

void CColourPopup::OnPicked(int i) {
  if (i == kMore) {
    // The dialog runs its own loop: the popup lets go of the mouse and steps aside first, and
    // is destroyed only after the dialog has returned.
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    ShowWindow(SW_HIDE);
    CColorDialog dlg(0, 0, m_pNotify);
    const BOOL ok = dlg.DoModal() == IDOK;
    CWnd* notify = m_pNotify;
    int button = m_nButton;
    CloseLater();
    if (!ok) return;
    m_clrChosen = dlg.GetColor();
    if (notify && ::IsWindow(notify->GetSafeHwnd())) notify->SendMessage(WM_COLOUR_PICKED, (WPARAM)button, 0);
    return;
  }
  m_clrChosen = g_colourTable[i];
  CWnd* notify = m_pNotify;
  int button = m_nButton;
  CloseLater();  // before the notification, which may well delete this popup's owner
  if (notify && ::IsWindow(notify->GetSafeHwnd())) notify->SendMessage(WM_COLOUR_PICKED, (WPARAM)button, 0);
}
