#include "toolkit/CbGradientTheme.h"

#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbDockBar.h"
#include "toolkit/CbDrawHelpers.h"

#include <algorithm>

namespace CbPaintThemes {

IMPLEMENT_DYNAMIC(CCbGradientTheme, CCbFlatTheme)

namespace {

// The round expand button: 0 darkest, 252 lightest, 255 transparent.
const unsigned char kExpandIntensities[256] = {
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 252,
    234, 216, 216, 216, 252, 255, 255, 255, 255, 255, 255, 255, 255, 252, 234, 198, 198, 180, 180, 180, 180, 180,
    234, 255, 255, 255, 255, 255, 252, 216, 198, 180, 162, 162, 162, 144, 162, 162, 162, 234, 255, 255, 255, 255,
    234, 198, 180, 162, 144, 144, 126, 126, 126, 144, 144, 162, 255, 255, 255, 252, 198, 180, 162, 144, 126, 108,
    108, 108, 108, 108, 126, 144, 216, 255, 255, 234, 198, 162, 144, 126, 108, 90,  72,  72,  72,  90,  108, 126,
    198, 255, 255, 234, 180, 162, 144, 108, 90,  72,  54,  54,  54,  72,  90,  108, 180, 255, 255, 216, 180, 162,
    126, 108, 72,  54,  36,  18,  36,  54,  72,  108, 162, 255, 255, 216, 180, 144, 126, 108, 72,  54,  18,  0,
    18,  54,  72,  108, 162, 255, 255, 216, 180, 162, 126, 108, 72,  54,  36,  18,  36,  54,  72,  108, 180, 255,
    255, 255, 180, 162, 144, 108, 90,  72,  54,  54,  54,  72,  90,  108, 255, 255, 255, 255, 234, 162, 144, 126,
    108, 90,  72,  72,  72,  90,  108, 180, 255, 255, 255, 255, 255, 234, 162, 144, 126, 108, 108, 108, 108, 108,
    198, 255, 255, 255, 255, 255, 255, 255, 255, 216, 180, 162, 162, 162, 198, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
};

// The fifteen colours, the shadow and five table colours of each scheme (blue, olive, silver).
struct SchemeColours {
  COLORREF dockLight, dockDark, barDark, barLight, popupLight, popupDark, barShadow, floating, expandDark, expandLight,
      columnDark, columnLight, picture1, picture2, pane, shadow, c12, c51, c52, c53, c56;
};
const SchemeColours kSchemes[3] = {
    {RGB(158, 190, 245), RGB(196, 218, 250), RGB(129, 169, 226), RGB(221, 236, 254), RGB(227, 239, 255),
     RGB(147, 181, 231), RGB(59, 97, 156),   RGB(42, 102, 201),  RGB(0, 53, 145),    RGB(117, 166, 241),
     RGB(121, 161, 220), RGB(203, 221, 246), RGB(129, 169, 226), RGB(227, 239, 254), RGB(211, 211, 211),
     RGB(22, 30, 54),    RGB(144, 153, 174), RGB(216, 231, 252), RGB(158, 190, 245), RGB(203, 225, 252),
     RGB(189, 211, 247)},
    {RGB(217, 217, 167), RGB(242, 241, 228), RGB(183, 198, 145), RGB(244, 247, 222), RGB(236, 240, 213),
     RGB(194, 206, 159), RGB(96, 128, 88),   RGB(116, 134, 94),  RGB(96, 119, 107),  RGB(176, 194, 140),
     RGB(164, 180, 120), RGB(230, 230, 209), RGB(184, 198, 147), RGB(236, 240, 213), RGB(211, 211, 211),
     RGB(31, 34, 25),    RGB(151, 160, 123), RGB(226, 231, 191), RGB(171, 192, 138), RGB(216, 227, 182),
     RGB(222, 227, 189)},
    {RGB(215, 215, 229), RGB(243, 243, 247), RGB(153, 151, 181), RGB(243, 244, 250), RGB(233, 231, 241),
     RGB(186, 185, 205), RGB(124, 124, 148), RGB(122, 121, 153), RGB(118, 116, 146), RGB(179, 178, 200),
     RGB(133, 131, 162), RGB(215, 215, 226), RGB(176, 174, 197), RGB(232, 232, 241), RGB(236, 234, 218),
     RGB(36, 32, 41),    RGB(155, 154, 179), RGB(223, 223, 234), RGB(177, 176, 195), RGB(214, 211, 231),
     RGB(214, 215, 231)},
};

// Table colours each scheme writes: index and the blue, olive and silver values.
struct SchemeEntry {
  int index;
  COLORREF value[3];
};
const SchemeEntry kSchemeTable[] = {
    {30, {RGB(158, 190, 245), RGB(217, 217, 167), RGB(215, 215, 229)}},
    {31, {RGB(255, 238, 194), RGB(255, 238, 194), RGB(255, 238, 194)}},
    {32, {RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)}},
    {37, {RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)}},
    {50, {RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)}},
    {33, {RGB(254, 128, 62), RGB(254, 128, 62), RGB(254, 128, 62)}},
    {36, {RGB(255, 192, 111), RGB(255, 192, 111), RGB(255, 192, 111)}},
    {38, {RGB(39, 65, 118), RGB(81, 94, 51), RGB(84, 84, 117)}},
    {39, {RGB(106, 140, 203), RGB(96, 128, 88), RGB(110, 109, 143)}},
    {40, {RGB(109, 150, 208), RGB(159, 174, 122), RGB(168, 167, 190)}},
    {41, {RGB(246, 246, 246), RGB(244, 244, 238), RGB(253, 250, 255)}},
    {43, {RGB(0, 45, 150), RGB(117, 141, 94), RGB(124, 124, 148)}},
    {47, {RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)}},
};

COLORREF Blend(COLORREF a, COLORREF b, int r) { return CCbColorManager::Blend(a, b, r); }

// Half the screen at least, so neighbouring bars and dock bars shade alike.
int DockGradientWidth(int nWidth) { return std::max<int>(nWidth, ::GetSystemMetrics(SM_CXFULLSCREEN) / 2); }

}  // namespace

CCbGradientTheme::CCbGradientTheme() {
  m_nTheme = 2;
  std::fill(std::begin(m_arrExpand), std::end(m_arrExpand), (COLORREF)-1);
}

int CCbGradientTheme::ResolveScheme() const {
  CCbColorManager* cm = CbColorManager();
  if (m_nColorScheme == 5) return cm->IsLunaColorsDisabled() ? 0 : cm->GetCurrentSystemTheme();
  if (m_nColorScheme == 4) {
    // Asked of the visual style each time; without one there is no scheme.
    CCbWinThemeWrapper wrapper;
    char file[260] = {0}, colour[64] = {0};
    if (wrapper.GetCurrentThemeName(file, 260, colour, 64, nullptr, 0) != S_OK) return 0;
    CString f(file), c(colour);
    f.MakeLower();
    c.MakeLower();
    if (f.Find("luna.msstyles") < 0) return 0;
    return c == "normalcolor" ? 1 : c == "homestead" ? 2 : c == "metallic" ? 3 : 0;
  }
  return m_nColorScheme;
}

void CCbGradientTheme::UpdateMetrics() {
  CCbPaintManager::UpdateMetrics();
  m_themeStatusBar.OpenThemeData(AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr, "STATUS");

  const COLORREF c5 = GetColor(5), c15 = GetColor(15), c16 = GetColor(16), c41 = GetColor(41), c42 = GetColor(42),
                 c51 = GetColor(51);
  m_clrDockBarLight = c15;
  m_clrDockBarDark = Blend(c15, c5, 205);
  m_clrBarLight = Blend(c15, c5, 205);
  m_clrBarDark = c15;
  m_clrPopupLight = c41;
  m_clrPopupDark = Blend(c5, c15, 550);
  m_clrBarShadow = GetColor(30);
  m_clrFloatingGripper = c16;
  m_clrExpandDark = c16;
  m_clrExpandLight = Blend(c51, c16, 51);
  m_clrExpandedColumnDark = c42;
  m_clrExpandedColumnLight = Blend(c5, c42, 550);
  m_clrExpandPicture1 = Blend(c5, c15, 550);
  m_clrExpandPicture2 = c41;
  m_clrStatusPane = Blend(c15, c5, 70);
  m_arrStd[55] = CbColorManager()->GetGradientDark(1);

  m_bLunaTheme = FALSE;
  m_nAppliedScheme = ResolveScheme();
  if (m_nAppliedScheme >= 1 && m_nAppliedScheme <= 3) ApplyScheme(m_nAppliedScheme);
  BuildExpandPicture();
}

void CCbGradientTheme::ApplyScheme(int nScheme) {
  const SchemeColours& s = kSchemes[nScheme - 1];
  m_clrDockBarLight = s.dockLight;
  m_clrDockBarDark = s.dockDark;
  m_clrBarDark = s.barDark;
  m_clrBarLight = s.barLight;
  m_clrPopupLight = s.popupLight;
  m_clrPopupDark = s.popupDark;
  m_clrBarShadow = s.barShadow;
  m_clrFloatingGripper = s.floating;
  m_clrExpandDark = s.expandDark;
  m_clrExpandLight = s.expandLight;
  m_clrExpandedColumnDark = s.columnDark;
  m_clrExpandedColumnLight = s.columnLight;
  m_clrExpandPicture1 = s.picture1;
  m_clrExpandPicture2 = s.picture2;
  m_clrStatusPane = s.pane;
  m_clrShadow = s.shadow;
  m_arrStd[12] = s.c12;
  m_arrStd[51] = s.c51;
  m_arrStd[52] = s.c52;
  m_arrStd[53] = s.c53;
  m_arrStd[56] = s.c56;
  for (const SchemeEntry& e : kSchemeTable) m_arrStd[e.index] = e.value[nScheme - 1];
  m_bLunaTheme = TRUE;
}

void CCbGradientTheme::BuildExpandPicture() {
  const COLORREF a = m_clrExpandPicture1, b = m_clrExpandPicture2;
  auto ch = [](int x, int y, int i) { return x - (x - y) * i / 255; };
  for (int i = 0; i < 256; ++i) {
    const int k = kExpandIntensities[i];
    m_arrExpand[i] = k == 255 ? (COLORREF)-1
                              : RGB(ch(GetRValue(a), GetRValue(b), k), ch(GetGValue(a), GetGValue(b), k),
                                    ch(GetBValue(a), GetBValue(b), k));
  }
}

// ---- Shared pieces ----

void CCbGradientTheme::Gradient(CDC* pDC, CRect rc, COLORREF c1, COLORREF c2, BOOL bHorz) {
  CbDrawHelpers()->GradientFill(pDC, &rc, c1, c2, bHorz);
}

void CCbGradientTheme::GradientRect(CDC* pDC, CRect rc, COLORREF c1, COLORREF c2, int nFrame) {
  CRect in = rc;
  in.DeflateRect(1, 1);
  Gradient(pDC, in, c1, c2, FALSE);
  Draw3dRect(pDC, rc, nFrame, nFrame);
}

void CCbGradientTheme::Dots(CDC* pDC, int x, int y) {
  // A dot with its shadow one pixel right and down.
  pDC->FillSolidRect(x + 1, y + 1, 2, 2, GetColor(20));
  pDC->FillSolidRect(x, y, 2, 2, GetColor(38));
}

void CCbGradientTheme::FillDockGradient(CDC* pDC, CRect rc, int nOffset, int nDockWidth) {
  const int width = DockGradientWidth(nDockWidth);
  CRect full(rc.left - nOffset, rc.top, rc.left - nOffset + width, rc.bottom);
  pDC->SaveDC();
  pDC->IntersectClipRect(&rc);
  Gradient(pDC, full, m_clrDockBarLight, m_clrDockBarDark, TRUE);
  pDC->RestoreDC(-1);
  // Past the gradient's end (a dock bar wider than the gradient never happens, a bar far out may).
  if (full.right < rc.right)
    pDC->FillSolidRect(full.right, rc.top, rc.right - full.right, rc.Height(), m_clrDockBarDark);
}

void CCbGradientTheme::FillIconColumn(CDC* pDC, CRect rc, BOOL bExpanded) {
  if (bExpanded)
    Gradient(pDC, rc, m_clrExpandedColumnLight, m_clrExpandedColumnDark, TRUE);
  else
    Gradient(pDC, rc, m_clrBarLight, m_clrBarDark, TRUE);
}

// ---- Bars ----

void CCbGradientTheme::FillPopupBackground(CDC* pDC, CRect rc, BOOL bMenu, int nIconColumn, CRect rcOpen) {
  Rectangle(pDC, rc, 41, 43);
  if (bMenu) FillIconColumn(pDC, CRect(1, 2, 1 + nIconColumn, rc.bottom - 2), FALSE);
  if (rcOpen.IsRectEmpty()) return;
  // Where the open title lies on the popup's edge, that stretch of frame goes.
  const COLORREF back = GetColor(41);
  auto stretch = [&](int from, int to, bool horz, int at) {
    from = std::max(from, horz ? rc.left : rc.top);
    to = std::min(to, horz ? rc.right : rc.bottom);
    if (to - from > 1) ++from, --to;
    if (to <= from) return;
    if (horz)
      pDC->FillSolidRect(from, at, to - from, 1, back);
    else
      pDC->FillSolidRect(at, from, 1, to - from, back);
  };
  if (rcOpen.bottom <= rc.top)
    stretch(rcOpen.left, rcOpen.right, true, rc.top);
  else if (rcOpen.top >= rc.bottom)
    stretch(rcOpen.left, rcOpen.right, true, rc.bottom - 1);
  else if (rcOpen.right <= rc.left)
    stretch(rcOpen.top, rcOpen.bottom, false, rc.left);
  else if (rcOpen.left >= rc.right)
    stretch(rcOpen.top, rcOpen.bottom, false, rc.right - 1);
}

void CCbGradientTheme::FillBarBackground(CDC* pDC, CCbCommandBar* pBar) {
  CRect rc;
  pBar->GetClientRect(&rc);
  const int position = pBar->GetPosition();
  if (pBar->GetType() == 0) {
    FillDockGradient(pDC, rc, 0, rc.Width());
    if (position == cbBarFloating) {
      Draw3dRect(pDC, rc, 43, 43);
      CRect in = rc;
      in.DeflateRect(1, 1);
      Draw3dRect(pDC, in, 43, 43);
      const COLORREF c = GetColor(43);
      pDC->SetPixel(rc.left + 2, rc.top + 2, c);
      pDC->SetPixel(rc.right - 3, rc.top + 2, c);
      pDC->SetPixel(rc.left + 2, rc.bottom - 3, c);
      pDC->SetPixel(rc.right - 3, rc.bottom - 3, c);
    }
    return;
  }
  if (position == cbBarPopup) {
    CRect open;
    if (CCbControl* parent = pBar->GetControlPopup();
        parent && parent->GetParent() && parent->GetParent()->GetSafeHwnd() && pBar->GetSafeHwnd()) {
      open = parent->GetRect();
      parent->GetParent()->ClientToScreen(&open);
      pBar->ScreenToClient(&open);
    }
    const CSize icons = pBar->GetIconSize();
    FillPopupBackground(pDC, rc, pBar->GetType() == 2, std::max<int>(m_nControlHeight, icons.cx) + 5, open);
    return;
  }
  if (position > cbBarRight) {
    CCbFlatTheme::FillBarBackground(pDC, pBar);
    return;
  }
  const BOOL vertical = CbIsVerticalPosition(position);
  FillSolid(pDC, rc, 15);
  // The dock area behind, as the dock bar itself draws it, so the bar's corners blend in.
  int offset = 0, dockWidth = rc.Width();
  if (CCbToolBar* tb = DYNAMIC_DOWNCAST(CCbToolBar, pBar);
      tb && tb->GetDockBar() && tb->GetSafeHwnd() && tb->GetDockBar()->GetSafeHwnd()) {
    CRect wr, dock;
    tb->GetWindowRect(&wr);
    tb->GetDockBar()->ScreenToClient(&wr);
    tb->GetDockBar()->GetClientRect(&dock);
    offset = wr.left;
    dockWidth = dock.Width();
  }
  if (position == cbBarRight) {
    pDC->FillSolidRect(&rc, m_clrDockBarDark);
  } else {
    FillDockGradient(pDC, rc, offset, dockWidth);
  }
  // The first row's bottom: the gradient runs to there, the rest is the bar's dark face.
  int end = vertical ? rc.right : rc.bottom;
  for (int i = 0; i < pBar->GetControlCount(); ++i) {
    CCbControl* c = pBar->GetControl(i);
    if (!c->IsVisible()) continue;
    end = (vertical ? c->GetRect().right : c->GetRect().bottom) + 1;
    break;
  }
  CRect face = rc;
  if (vertical)
    face.top += 3;
  else
    face.left += 3;
  pDC->SaveDC();
  pDC->ExcludeClipRect(face.left, face.top, face.left + 1, face.top + 1);
  pDC->ExcludeClipRect(face.right - 1, face.top, face.right, face.top + 1);
  pDC->ExcludeClipRect(face.left, face.bottom - 1, face.left + 1, face.bottom);
  pDC->ExcludeClipRect(face.right - 1, face.bottom - 1, face.right, face.bottom);
  if (!vertical) {
    CRect g(face.left, face.top + 1, face.right, std::min<int>(end, face.bottom));
    pDC->FillSolidRect(&face, m_clrBarDark);
    Gradient(pDC, g, m_clrBarLight, m_clrBarDark, FALSE);
    pDC->FillSolidRect(face.left, face.top, face.Width(), 1, m_clrBarLight);
  } else {
    CRect g(face.left + 1, face.top, std::min<int>(end, face.right), face.bottom);
    pDC->FillSolidRect(&face, m_clrBarDark);
    Gradient(pDC, g, m_clrBarLight, m_clrBarDark, TRUE);
    pDC->FillSolidRect(face.left, face.top, 1, face.Height(), m_clrBarLight);
  }
  pDC->RestoreDC(-1);
  if (!vertical)
    pDC->FillSolidRect(rc.left + 5, rc.bottom - 1, std::max(0, rc.Width() - 7), 1, m_clrBarShadow);
  else
    pDC->FillSolidRect(rc.right - 1, rc.top + 5, 1, std::max(0, rc.Height() - 7), m_clrBarShadow);
}

void CCbGradientTheme::FillDockBar(CDC* pDC, CCbDockBar* pBar) {
  CRect rc;
  ((CWnd*)pBar)->GetClientRect(&rc);
  if (pBar->GetPosition() == cbBarRight)
    pDC->FillSolidRect(&rc, m_clrDockBarDark);
  else
    FillDockGradient(pDC, rc, 0, rc.Width());
}

CRect CCbGradientTheme::GetBarBorders(CCbCommandBar* pBar) {
  const int position = pBar ? pBar->GetPosition() : cbBarTop;
  if (position == cbBarTop || position == cbBarBottom) return CRect(4, 2, 2, 2);
  return CRect(2, 2, 2, 2);
}

void CCbGradientTheme::DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                     BOOL bPopuped, int nBarType, int nBarPosition) {
  if (!m_bLunaTheme || nBarPosition < cbBarTop || nBarPosition > cbBarRight || nBarType == 2) {
    CCbFlatTheme::DrawStateRect(pDC, rc, bEnabled, nSelected, nPressed, nChecked, bPopuped, nBarType, nBarPosition);
    return;
  }
  if (bPopuped) {
    GradientRect(pDC, rc, m_clrPopupLight, m_clrPopupDark, 43);
  } else if (!bEnabled) {
    if (nSelected == 2) GradientRect(pDC, rc, kHotLight1, kHotLight2, 32);
  } else if (nChecked && !nSelected && !nPressed) {
    GradientRect(pDC, rc, kChecked1, kChecked2, 50);
  } else if (nChecked && nSelected && !nPressed) {
    GradientRect(pDC, rc, kHotDark1, kHotDark2, 50);
  } else if (nPressed == 2 || (nSelected && nPressed)) {
    GradientRect(pDC, rc, kHotDark1, kHotDark2, 50);
  } else if (nSelected || nPressed) {
    GradientRect(pDC, rc, kHotLight1, kHotLight2, 32);
  }
}

CSize CCbGradientTheme::DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  CRect rc;
  pBar->GetClientRect(&rc);
  const int position = pBar->GetPosition();
  if (position == cbBarFloating) return CSize(0, FloatingCaption(pDC, pBar, m_clrFloatingGripper, bDraw));
  if (CbIsVerticalPosition(position)) {
    if (bDraw)
      for (int x = 8; x - 3 < rc.Width() - 8; x += 4) Dots(pDC, x - 3, 5);
    return CSize(0, 9);
  }
  if (bDraw)
    for (int y = 8; y - 3 < rc.Height() - 8; y += 4) Dots(pDC, 5, y - 3);
  return CSize(6, 0);
}

CSize CCbGradientTheme::DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  const int h = std::max(25, m_nControlHeight + 6);
  if (bDraw) {
    CRect rc;
    pBar->GetClientRect(&rc);
    rc.DeflateRect(3, 3);
    rc.bottom = std::min<int>(rc.bottom, rc.top + h);
    Gradient(pDC, rc, m_clrBarLight, m_clrBarDark, FALSE);
    for (int y = 6; y < h - 2; y += 4) Dots(pDC, 5, y);
  }
  return CSize(8, h);
}

CSize CCbGradientTheme::DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) {
  if (!bDraw) return CSize(6, 6);
  if (pBar->GetPosition() == cbBarPopup) return CCbFlatTheme::DrawBarSeparator(pDC, pBar, pControl, bDraw);
  // A line and its light edge one pixel further.
  for (int k = 0; k < 2; ++k) BarSeparatorLine(pDC, pBar, pControl, k, GetColor(k ? 20 : 39));
  return CSize(6, 6);
}

CSize CCbGradientTheme::DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                                           BOOL bLayout) {
  if (nKind == 1) {
    // Hidden items of a menu: the round picture with two chevrons under it.
    if (bDraw && pControl) {
      const CRect rc = pControl->GetRect();
      const int x0 = rc.CenterPoint().x - 7, y0 = rc.top;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          if (m_arrExpand[y * 16 + x] != (COLORREF)-1) pDC->SetPixel(x0 + x, y0 + y, m_arrExpand[y * 16 + x]);
      const COLORREF clr = GetColor(46);
      CCbPenDC pen(pDC, clr);
      for (int k = 0; k < 2; ++k) {
        const int cy = y0 + 5 + 3 * k, cx = x0 + 8;
        pDC->MoveTo(cx - 3, cy);
        pDC->LineTo(cx, cy + 3);
        pDC->LineTo(cx + 4, cy - 1);
      }
    }
    return CSize(0, 18);
  }
  if (nKind != 0 || !pBar || !pControl || pBar->GetPosition() > cbBarRight)
    return CCbFlatTheme::DrawSpecialControl(pDC, nKind, pControl, pBar, bDraw, bLayout);

  CRect client;
  pBar->GetClientRect(&client);
  const BOOL vertical = CbIsVerticalPosition(pBar->GetPosition());
  if (bLayout) {
    CRect rc = vertical ? CRect(client.left, std::max<int>(client.top, client.bottom - 12), client.right, client.bottom)
                        : CRect(std::max<int>(client.left, client.right - 12), client.top, client.right, client.bottom);
    pControl->SetRect(rc);
  }
  if (!bDraw) return CSize(12, 12);
  const CRect rc = pControl->GetRect();
  if (rc.IsRectEmpty()) return CSize(12, 12);
  const BOOL popuped = pControl->GetCommandBar() && pControl->GetCommandBar()->GetSafeHwnd() &&
                       pControl->GetCommandBar()->IsWindowVisible();
  const BOOL selected = pControl->GetSelected() != 0;
  pDC->SaveDC();
  // The two outer corners are cut.
  if (vertical) {
    pDC->ExcludeClipRect(rc.left, rc.bottom - 1, rc.left + 1, rc.bottom);
    pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom);
  } else {
    pDC->ExcludeClipRect(rc.right - 1, rc.top, rc.right, rc.top + 1);
    pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom);
  }
  if (popuped) {
    if (m_bLunaTheme)
      Gradient(pDC, rc, kHotDark1, kHotDark2, vertical);
    else
      FillSolid(pDC, rc, 36);
  } else if (!selected) {
    Gradient(pDC, rc, m_clrExpandLight, m_clrExpandDark, vertical);
  } else {
    if (m_bLunaTheme)
      Gradient(pDC, rc, kHotLight1, kHotLight2, vertical);
    else
      FillSolid(pDC, rc, 31);
  }
  pDC->RestoreDC(-1);
  const BOOL hidden = HasHiddenControls(pBar);
  for (int pass = 0; pass < 2; ++pass) {
    const int d = pass == 0 ? 1 : 0;
    const COLORREF clr = pass == 0 ? GetColor(20) : GetColor(selected && !popuped ? 45 : 46);
    CCbPenDC pen(pDC, clr);
    if (!vertical) {
      const int cx = rc.CenterPoint().x + d, b = rc.bottom - 5 + d;
      pDC->MoveTo(cx - 2, b - 5);
      pDC->LineTo(cx + 2, b - 5);
      Triangle(pDC, CPoint(cx - 2, b - 3), CPoint(cx + 2, b - 3), CPoint(cx, b - 1), clr);
      if (hidden) HiddenMarks(pDC, CPoint(cx - 3, rc.top + 4 + d), FALSE);
    } else {
      const int cy = rc.CenterPoint().y + d, r = rc.right - 5 + d;
      pDC->MoveTo(r - 5, cy - 2);
      pDC->LineTo(r - 5, cy + 2);
      Triangle(pDC, CPoint(r - 3, cy - 2), CPoint(r - 3, cy + 2), CPoint(r - 1, cy), clr);
      if (hidden) HiddenMarks(pDC, CPoint(rc.left + 4 + d, cy - 3), TRUE);
    }
  }
  return CSize(12, 12);
}

CSize CCbGradientTheme::DrawPopupTearOff(CDC* pDC, CCbCommandBar*, CRect rc, BOOL bSelected, BOOL bDraw) {
  if (bDraw) {
    TearOffFrame(pDC, rc, bSelected);
    const int half = std::min<int>(32, rc.Width() / 2);
    for (int x = rc.CenterPoint().x - half + 2; x + 2 <= rc.CenterPoint().x + half - 2; x += 4)
      Dots(pDC, x, rc.CenterPoint().y - 2);
  }
  return CSize(0, 9);
}

void CCbGradientTheme::DrawStatusGripper(CDC* pDC, CRect rcClient) {
  if (m_themeStatusBar.IsAppThemed()) {
    CRect rc(rcClient.right - 18, rcClient.top, rcClient.right, rcClient.bottom);
    if (m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 3, 0, &rc, nullptr) == S_OK) return;
  }
  // Three groups of three shadow lines, each with a light line after it, 5 pixels apart.
  const int r = rcClient.right - 1, b = rcClient.bottom - 1;
  for (int k = 0; k < 3; ++k) {
    const int d = 5 * k + 2;
    for (int line = 0; line < 4; ++line) {
      const int n = d + line;
      Line(pDC, r - n, b, r + 1, b - n - 1, line == 3 ? 20 : 16);
    }
  }
}

void CCbGradientTheme::DrawPaneBorder(CDC* pDC, CRect rc) { pDC->Draw3dRect(&rc, m_clrStatusPane, m_clrStatusPane); }

}  // namespace CbPaintThemes
