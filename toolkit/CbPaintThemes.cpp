#include "toolkit/CbPaintThemes.h"

#include "toolkit/CbCommandBar.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbImageManager.h"

#include <algorithm>

namespace CbPaintThemes {

IMPLEMENT_DYNAMIC(CCbFlatTheme, CCbPaintManager)
IMPLEMENT_DYNAMIC(CCbDefaultTheme, CCbFlatTheme)
IMPLEMENT_DYNAMIC(CCbGradientTheme, CCbFlatTheme)
IMPLEMENT_DYNAMIC(CCbNativeTheme, CCbDefaultTheme)
IMPLEMENT_DYNAMIC(CCbStudioTheme, CCbGradientTheme)

void CCbFlatTheme::StateColors(BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped, int nBarType,
                               int nBarPosition, int& nFill, int& nFrame) {
  nFill = nFrame = -1;
  const BOOL menu = nBarType == 2 || nBarPosition == cbBarPopup;
  if (!bEnabled) {
    if (nChecked && menu) {
      nFill = 30;
      nFrame = 40;
    } else if (nSelected == 2) {
      nFill = menu ? 41 : 31;
      nFrame = 32;
    }
    return;
  }
  if (bPopuped) {
    nFill = 30;
    nFrame = 43;
  } else if (nChecked && !nPressed) {
    nFill = nSelected ? 33 : 36;
    nFrame = nSelected ? 37 : 50;
  } else if (nPressed == 2 || (nSelected && nPressed)) {
    nFill = 33;
    nFrame = 50;
  } else if (nSelected || nPressed) {
    nFill = 31;
    nFrame = 32;
  }
}

int CCbFlatTheme::TextColor(BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped, int nBarPosition) {
  if (!bEnabled) return 40;
  if (bPopuped) return 46;
  if (nPressed == 2) return 47;
  if (nSelected && (nPressed || nChecked)) return 47;
  if (nSelected || nPressed || nChecked) return 45;
  return nBarPosition == cbBarPopup ? 44 : 46;
}

void CCbFlatTheme::DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                 BOOL bPopuped, int nBarType, int nBarPosition) {
  int fill, frame;
  StateColors(bEnabled, nSelected, nPressed, nChecked, bPopuped, nBarType, nBarPosition, fill, frame);
  if (fill >= 0 || frame >= 0) Rectangle(pDC, rc, fill, frame);
}

void CCbFlatTheme::DrawButtonBackground(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                        BOOL bPopuped, int nBarType, int nBarPosition) {
  DrawStateRect(pDC, rc, bEnabled, nSelected, nPressed, nChecked, bPopuped, nBarType, nBarPosition);
  pDC->SetTextColor(GetColor(TextColor(bEnabled, nSelected, nPressed, nChecked, bPopuped, nBarPosition)));
}

void CCbFlatTheme::FillBarBackground(CDC* pDC, CCbCommandBar* pBar) {
  CRect rc;
  pBar->GetClientRect(&rc);
  const int position = pBar->GetPosition();
  if (pBar->GetType() == 0 && position != cbBarFloating) {
    FillSolid(pDC, rc, 15);
  } else if (position == cbBarPopup) {
    Rectangle(pDC, rc, 41, 43);
  } else if (position == cbBarFloating) {
    FillSolid(pDC, rc, 30);
    Draw3dRect(pDC, rc, 43, 43);
    rc.DeflateRect(1, 1);
    Draw3dRect(pDC, rc, 43, 43);
  } else {
    // Docked: the face framed in the dock colour, its corner pixels set to the frame.
    Rectangle(pDC, rc, 30, 15);
    if (rc.Width() > 2 && rc.Height() > 2) {
      const COLORREF c = GetColor(15);
      pDC->SetPixel(rc.left + 1, rc.top + 1, c);
      pDC->SetPixel(rc.right - 2, rc.top + 1, c);
      pDC->SetPixel(rc.left + 1, rc.bottom - 2, c);
      pDC->SetPixel(rc.right - 2, rc.bottom - 2, c);
    }
  }
}

CSize CCbFlatTheme::DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  CRect rc;
  pBar->GetClientRect(&rc);
  const int position = pBar->GetPosition();
  if (position == cbBarFloating) {
    const int h = std::max<int>(18, pBar->GetPaintManager()->GetControlHeight() - 3);
    if (bDraw) {
      CRect cap(3, 3, rc.right - 3, 3 + h);
      FillSolid(pDC, cap, 16);
      CCbFontDC font(pDC, &GetSmallCaptionFont());
      pDC->SetTextColor(GetColor(20));
      pDC->SetBkMode(TRANSPARENT);
      cap.left += 2;
      pDC->DrawText(pBar->GetTitle(), &cap, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    return CSize(0, h);
  }
  if (CbIsVerticalPosition(position)) {
    if (bDraw)
      for (int x = 5; x < rc.right - 5; x += 2) Line(pDC, x, 3, x, 7, 38);
    return CSize(0, 8);
  }
  if (bDraw)
    for (int y = 5; y < rc.bottom - 5; y += 2) Line(pDC, 3, y, 7, y, 38);
  return CSize(6, 0);
}

CSize CCbFlatTheme::DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  const int h = std::max(22, pBar->GetPaintManager()->GetControlHeight() + 4);
  if (bDraw)
    for (int y = 6; y < h - 2; y += 2) Line(pDC, 3, y, 7, y, 38);
  return CSize(6, h);
}

CSize CCbFlatTheme::DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) {
  if (!bDraw) return CSize(6, 6);
  const CRect rc = pControl->GetRect();
  const CRect row = pControl->GetRowRect();
  CRect client;
  pBar->GetClientRect(&client);
  if (pBar->GetPosition() == cbBarPopup) {
    Line(pDC, rc.left + 9, rc.top - 2, client.right - 1, rc.top - 2, 39);
  } else if (CbIsVerticalPosition(pBar->GetPosition())) {
    if (pControl->GetWrap()) Line(pDC, row.left - 4, row.top + 4, row.left - 4, row.bottom - 4, 39);
    else Line(pDC, row.left + 4, rc.top - 4, row.right - 4, rc.top - 4, 39);
  } else {
    if (pControl->GetWrap()) Line(pDC, row.left + 4, row.top - 4, row.right - 4, row.top - 4, 39);
    else Line(pDC, rc.left - 4, row.top + 4, rc.left - 4, row.bottom - 4, 39);
  }
  return CSize(6, 6);
}

CSize CCbFlatTheme::DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                                       BOOL bLayout) {
  if (nKind == 0) {
    // The toolbar's expand button: 11 pixels at the bar's end.
    CRect client;
    pBar->GetClientRect(&client);
    const BOOL vertical = CbIsVerticalPosition(pBar->GetPosition());
    if (bLayout) {
      CRect rc = vertical ? CRect(client.left + 2, client.bottom - 13, client.right - 2, client.bottom - 2)
                          : CRect(client.right - 13, client.top + 2, client.right - 2, client.bottom - 2);
      if (rc.right < rc.left) rc.right = rc.left;
      if (rc.bottom < rc.top) rc.bottom = rc.top;
      pControl->SetRect(rc);
    }
    if (!bDraw) return CSize(11, 11);
    const CRect rc = pControl->GetRect();
    DrawButtonBackground(pDC, rc, TRUE, pControl->GetSelected(), pControl->GetPressed(), 0, FALSE, pBar->GetType(),
                         pBar->GetPosition());
    const COLORREF clr = pDC->GetTextColor();
    BOOL hidden = FALSE;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
      if (pBar->GetControl(i)->GetHideFlags() & cbHideWrap) hidden = TRUE;
    if (!vertical) {
      const int cx = rc.CenterPoint().x;
      Triangle(pDC, CPoint(cx - 2, rc.bottom - 6), CPoint(cx + 2, rc.bottom - 6), CPoint(cx, rc.bottom - 4), clr);
      if (hidden)
        for (int k = 0; k < 2; ++k) {
          const int x = cx - 3 + 3 * k;
          CCbPenDC pen(pDC, clr);
          pDC->MoveTo(x, rc.top + 4);
          pDC->LineTo(x + 2, rc.top + 6);
          pDC->LineTo(x - 1, rc.top + 9);
        }
    } else {
      const int cy = rc.CenterPoint().y;
      Triangle(pDC, CPoint(rc.right - 6, cy - 2), CPoint(rc.right - 6, cy + 2), CPoint(rc.right - 4, cy), clr);
      if (hidden)
        for (int k = 0; k < 2; ++k) {
          const int y = cy - 3 + 3 * k;
          CCbPenDC pen(pDC, clr);
          pDC->MoveTo(rc.left + 4, y);
          pDC->LineTo(rc.left + 6, y + 2);
          pDC->LineTo(rc.left + 9, y - 1);
        }
    }
    return CSize(11, 11);
  }
  if (!bDraw || !pControl) return CSize(12, 12);
  const CRect rc = pControl->GetRect();
  DrawButtonBackground(pDC, rc, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(), 0, FALSE,
                       pBar ? pBar->GetType() : 1, pBar ? pBar->GetPosition() : 0);
  const COLORREF clr = pControl->GetEnabled() || pControl->GetSelected() ? pDC->GetTextColor() : GetColor(14);
  const CPoint c = rc.CenterPoint();
  if (nKind == 2) {
    // The close cross, drawn: no glyph font here.
    CCbPenDC pen(pDC, clr);
    for (int d = 0; d < 2; ++d) {
      pDC->MoveTo(c.x - 3 + d, c.y - 3);
      pDC->LineTo(c.x + 4 + d, c.y + 4);
      pDC->MoveTo(c.x + 3 + d, c.y - 3);
      pDC->LineTo(c.x - 4 + d, c.y + 4);
    }
  } else if (nKind == 3) {
    Triangle(pDC, CPoint(c.x - 3, c.y - 1), CPoint(c.x + 3, c.y - 1), CPoint(c.x, c.y + 2), clr);
  } else if (nKind == 1) {
    for (int k = 0; k < 2; ++k) {
      CCbPenDC pen(pDC, clr);
      pDC->MoveTo(c.x - 3, c.y - 3 + 3 * k);
      pDC->LineTo(c.x, c.y + 3 * k);
      pDC->LineTo(c.x + 4, c.y - 4 + 3 * k);
    }
  }
  return CSize(12, 12);
}

CSize CCbFlatTheme::DrawPopupTearOff(CDC* pDC, CCbCommandBar*, CRect rc, BOOL bSelected, BOOL bDraw) {
  if (bDraw) {
    FillSolid(pDC, rc, 41);
    CRect in = rc;
    in.DeflateRect(1, 1);
    if (bSelected) Rectangle(pDC, in, 31, 32);
    else FillSolid(pDC, in, 30);
    const int half = std::min<int>(32, rc.Width() / 2);
    for (int x = rc.CenterPoint().x - half + 2; x < rc.CenterPoint().x + half - 2; x += 4)
      pDC->FillSolidRect(x, rc.CenterPoint().y - 1, 2, 2, GetColor(38));
  }
  return CSize(0, 9);
}

void CCbFlatTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bSelected,
                             BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped) {
  if (!pIcon) return;
  if (!bEnabled) {
    if (m_bDisabledIcons || pIcon->HasImage(CCbImageManagerIcon::disabled)) {
      pIcon->GetDisabledIcon();
      pIcon->Draw(pDC, pt, CCbImageManagerIcon::disabled, sz);
    } else {
      pIcon->DrawMono(pDC, pt, GetColor(40), sz);
    }
    return;
  }
  if (bSelected && !bPressed && !bPopuped && m_bIconsWithShadow) {
    pIcon->GetShadowIcon();
    pIcon->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), CCbImageManagerIcon::shadow, sz);
    pIcon->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), CCbImageManagerIcon::normal, sz);
    return;
  }
  if (!bSelected && !bPressed && !bChecked && !bPopuped && m_bFadedIcons) {
    pIcon->GetFadedIcon();
    pIcon->Draw(pDC, pt, CCbImageManagerIcon::faded, sz);
    return;
  }
  pIcon->Draw(pDC, pt, CCbImageManagerIcon::normal, sz);
}

void CCbFlatTheme::DrawPaneBorder(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, 16, 16); }

CSize CCbFlatTheme::DrawMenuItem(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbCommandBar* bar = pControl->GetParent();
  const CSize szIcon = bar ? bar->GetIconSize() : CSize(16, 16);
  const int column = 4 + std::max<int>(m_nControlHeight, szIcon.cx);
  const int height = std::max<int>(m_nControlHeight, szIcon.cy + 6);
  CCbFontDC font(pDC, pControl->IsDefaultItem() ? &m_fontRegularBold : &m_fontRegular);
  const CSize text = GetTextSize(pDC, pControl->GetCaption());
  const CSize shortcut = pDC->GetTextExtent(pControl->GetShownShortcutText());
  const CSize size(text.cx + shortcut.cx + column + 40, height);
  if (!bDraw) return size;
  const CRect rc = pControl->GetRect();
  const BOOL enabled = pControl->GetEnabled();
  if (pControl->GetSelected())
    DrawStateRect(pDC, rc, enabled, enabled ? 1 : 2, 0, 0, FALSE, 2, cbBarPopup);
  CCbImageManagerIcon* icon = pControl->GetIcon(szIcon.cx);
  const CRect cell(rc.left, rc.top, rc.left + column, rc.bottom);
  if (pControl->GetChecked()) DrawStateRect(pDC, cell, enabled, 0, 0, 1, FALSE, 2, cbBarPopup);
  pDC->SetTextColor(GetColor(!enabled ? 35 : pControl->GetSelected() ? 45 : 44));
  if (icon) {
    DrawImage(pDC, CPoint(cell.left + (cell.Width() - szIcon.cx) / 2, cell.top + (cell.Height() - szIcon.cy) / 2),
              szIcon, icon, pControl->GetSelected(), FALSE, enabled, pControl->GetChecked(), FALSE);
  } else if (pControl->GetChecked()) {
    DrawCheckMark(pDC, cell, pDC->GetTextColor(), TRUE);
  }
  CRect rt(rc.left + column + 8, rc.top, rc.right - 19, rc.bottom);
  pDC->SetBkMode(TRANSPARENT);
  pDC->DrawText(pControl->GetCaption(), &rt, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  if (!pControl->GetShownShortcutText().IsEmpty())
    pDC->DrawText(pControl->GetShownShortcutText(), &rt, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  if (CbIsPopupType(pControl->GetType())) {
    const int y = rc.CenterPoint().y;
    Triangle(pDC, CPoint(rc.right - 11, y - 3), CPoint(rc.right - 11, y + 3), CPoint(rc.right - 8, y),
             pDC->GetTextColor());
  }
  return size;
}

CSize CCbFlatTheme::DrawComboControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbFontDC font(pDC, &m_fontIcon);
  const int th = pDC->GetTextExtent(" ", 1).cy;
  const CSize size(std::max(pControl->GetRect().Width(), 60), th + 8);
  if (!bDraw) return size;
  CRect rc = pControl->GetRect();
  const BOOL enabled = pControl->GetEnabled();
  CRect drop(rc.right - th - 2, rc.top, rc.right, rc.bottom);
  if (enabled) {
    Rectangle(pDC, rc, 5, pControl->GetSelected() ? 32 : 5);
    if (pControl->GetSelected()) Rectangle(pDC, drop, 31, 32);
  } else {
    Rectangle(pDC, rc, 15, pControl->GetSelected() == 2 ? 32 : 40);
  }
  pDC->SetTextColor(GetColor(8));
  pDC->SetBkMode(TRANSPARENT);
  CRect rt(rc.left + 3, rc.top, drop.left, rc.bottom);
  pDC->DrawText(pControl->GetCaption(), &rt, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  const CPoint c = drop.CenterPoint();
  Triangle(pDC, CPoint(c.x - 3, c.y - 1), CPoint(c.x + 3, c.y - 1), CPoint(c.x, c.y + 2),
           GetColor(!enabled ? 40 : pControl->GetSelected() ? 45 : 46));
  return size;
}

CSize CCbFlatTheme::DrawEditControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbFontDC font(pDC, &m_fontIcon);
  const int th = pDC->GetTextExtent(" ", 1).cy;
  const CSize size(std::max(pControl->GetRect().Width(), 60), th + 8);
  if (bDraw) Rectangle(pDC, pControl->GetRect(), pControl->GetEnabled() ? 5 : 15, pControl->GetSelected() ? 32 : 5);
  return size;
}

CSize CCbFlatTheme::DrawPopupFieldControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  return DrawMenuItem(pDC, pControl, bDraw);
}

}  // namespace CbPaintThemes
