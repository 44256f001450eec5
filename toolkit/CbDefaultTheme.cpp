#include "toolkit/CbDefaultTheme.h"

#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbImageManager.h"

#include <algorithm>

namespace CbPaintThemes {

IMPLEMENT_DYNAMIC(CCbDefaultTheme, CCbPaintManager)

void CCbDefaultTheme::FillDither(CDC* pDC, CRect rc) {
  const COLORREF a = GetColor(15), b = GetColor(20);
  CBitmap pattern;
  DWORD bits[64];
  for (int i = 0; i < 64; ++i) bits[i] = ((i / 8 + i % 8) % 2) ? (a & 0xFFFFFF) : (b & 0xFFFFFF);
  // COLORREF is 0x00BBGGRR, the picture wants 0x00RRGGBB.
  for (DWORD& v : bits) v = (v & 0xFF00) | ((v & 0xFF) << 16) | ((v >> 16) & 0xFF);
  CBrush brush;
  if (pattern.CreateBitmap(8, 8, 1, 32, bits) && brush.CreatePatternBrush(&pattern))
    pDC->FillRect(&rc, &brush);
  else
    pDC->FillSolidRect(&rc, CCbColorManager::Blend(a, b, 50));
}

void CCbDefaultTheme::DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                    BOOL bPopuped, int, int) {
  if (!bEnabled && !nChecked) return;
  if (bPopuped || nPressed || (nChecked && nSelected)) {
    Draw3dRect(pDC, rc, 16, 20);
  } else if (nChecked) {
    CRect in = rc;
    in.DeflateRect(1, 1);
    FillDither(pDC, in);
    Draw3dRect(pDC, rc, 16, 20);
  } else if (nSelected) {
    Draw3dRect(pDC, rc, 20, 16);
  }
}

void CCbDefaultTheme::DrawButtonBackground(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                           BOOL bPopuped, int nBarType, int nBarPosition) {
  DrawStateRect(pDC, rc, bEnabled, nSelected, nPressed, nChecked, bPopuped, nBarType, nBarPosition);
  pDC->SetTextColor(GetColor(bEnabled ? 18 : 17));
}

void CCbDefaultTheme::FillBarBackground(CDC* pDC, CCbCommandBar* pBar) {
  CRect rc;
  pBar->GetClientRect(&rc);
  FillSolid(pDC, rc, 15);
  const int position = pBar->GetPosition();
  if (position == cbBarFloating || position == cbBarPopup) {
    Draw3dRect(pDC, rc, 15, 0);
    rc.DeflateRect(1, 1);
  }
  Draw3dRect(pDC, rc, 20, 16);
}

CRect CCbDefaultTheme::GetBarBorders(CCbCommandBar* pBar) {
  if (pBar && pBar->GetPosition() == cbBarPopup) return CRect(3, 3, 3, 3);
  return CRect(2, 2, 2, 2);
}

CSize CCbDefaultTheme::DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  CRect rc;
  pBar->GetClientRect(&rc);
  const int position = pBar->GetPosition();
  if (position == cbBarFloating) return CSize(0, FloatingCaption(pDC, pBar, GetColor(2), bDraw));
  // One raised bar along the edge.
  if (CbIsVerticalPosition(position)) {
    if (bDraw) Draw3dRect(pDC, CRect(3, 3, rc.right - 3, 6), 20, 16);
    return CSize(0, GripperSize());
  }
  if (bDraw) Draw3dRect(pDC, CRect(3, 3, 6, rc.bottom - 3), 20, 16);
  return CSize(GripperSize() - 2, 0);
}

CSize CCbDefaultTheme::DrawCompactGripper(CDC* pDC, CCbCommandBar*, BOOL bDraw) {
  const int h = std::max(22, m_nControlHeight + 4);
  if (bDraw) Draw3dRect(pDC, CRect(3, 4, 6, h - 2), 20, 16);
  return CSize(6, h);
}

CSize CCbDefaultTheme::DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) {
  if (bDraw) EtchedBarSeparator(pDC, pBar, pControl, GetColor(SeparatorDark()));
  return CSize(6, 6);
}

CSize CCbDefaultTheme::DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                                          BOOL bLayout) {
  if (nKind == 0 && pBar && pControl) {
    CRect client;
    pBar->GetClientRect(&client);
    const BOOL vertical = CbIsVerticalPosition(pBar->GetPosition());
    if (bLayout) pControl->SetRect(ExpandButtonRect(client, vertical));
    if (!bDraw) return CSize(11, 11);
    const CRect rc = pControl->GetRect();
    DrawButtonBackground(pDC, rc, TRUE, pControl->GetSelected(), pControl->GetPressed(), 0, FALSE, pBar->GetType(),
                         pBar->GetPosition());
    ExpandArrow(pDC, rc, vertical, GetColor(18));
    return CSize(11, 11);
  }
  if (nKind == 1) {
    if (bDraw && pControl) Chevrons(pDC, pControl->GetRect().CenterPoint(), GetColor(18));
    return CSize(0, 12);
  }
  if (!bDraw || !pControl) return CSize(12, 12);
  const CRect rc = pControl->GetRect();
  const BOOL open = pControl->GetCommandBar() && pControl->GetCommandBar()->GetSafeHwnd() &&
                    pControl->GetCommandBar()->IsWindowVisible();
  if (pControl->GetSelected() || (nKind == 3 && open)) FillSolid(pDC, rc, 15);
  DrawButtonBackground(pDC, rc, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(), 0, open,
                       pBar ? pBar->GetType() : 1, pBar ? pBar->GetPosition() : 0);
  const COLORREF clr = pControl->GetEnabled() || pControl->GetSelected() ? GetColor(18) : GetColor(14);
  const CPoint c = rc.CenterPoint();
  if (nKind == 2)
    CloseCross(pDC, c, clr);
  else
    DropArrow(pDC, c, clr);
  return CSize(12, 12);
}

CSize CCbDefaultTheme::DrawPopupTearOff(CDC* pDC, CCbCommandBar*, CRect rc, BOOL bSelected, BOOL bDraw) {
  if (bDraw) {
    CRect strip = rc;
    strip.bottom = strip.top + 8;
    FillSolid(pDC, strip, bSelected ? 2 : 3);
  }
  return CSize(0, 8);
}

void CCbDefaultTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bSelected,
                                BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped) {
  if (!pIcon) return;
  if (!bEnabled) {
    if (!DrawDisabledPicture(pDC, pt, sz, pIcon)) {
      // Embossed: the light shape one pixel right and down, the shadow in place.
      pIcon->DrawMono(pDC, CPoint(pt.x + 1, pt.y + 1), GetColor(20), sz);
      pIcon->DrawMono(pDC, pt, GetColor(16), sz);
    }
    return;
  }
  DrawPlainPicture(pDC, pt, sz, pIcon, !bSelected && !bPressed && !bChecked && !bPopuped);
}

void CCbDefaultTheme::DrawPaneBorder(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, 16, 20); }

CSize CCbDefaultTheme::DrawMenuItem(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbCommandBar* bar = pControl->GetParent();
  const CSize szIcon = bar ? bar->GetIconSize() : CSize(16, 16);
  const int height = std::max<int>(szIcon.cy + 4, m_nControlHeight);
  const int column = std::max<int>(szIcon.cx + 4, m_nControlHeight);
  CCbFontDC font(pDC, pControl->IsDefaultItem() ? &m_fontRegularBold : &m_fontRegular);
  const CSize text = GetTextSize(pDC, pControl->GetCaption());
  const CSize shortcut = pDC->GetTextExtent(pControl->GetShownShortcutText());
  const CSize size(text.cx + shortcut.cx + column + 40, height);
  if (!bDraw) return size;
  const CRect rc = pControl->GetRect();
  const BOOL enabled = pControl->GetEnabled(), selected = pControl->GetSelected() != 0;
  const int type = pControl->GetType();
  CCbImageManagerIcon* icon = pControl->GetIcon(szIcon.cx);
  const BOOL cellUsed = icon != nullptr || pControl->GetChecked();
  const CRect cell(rc.left, rc.top, rc.left + column, rc.bottom);
  if (pControl->IsRarelyUsed()) FillSolid(pDC, rc, 22);
  if (selected) {
    CRect band = rc;
    if (cellUsed) band.left = cell.right + 1;
    Rectangle(pDC, band, 13, 13);
  }
  const int textColor = !enabled ? 17 : selected ? 14 : 18;
  if (icon) {
    DrawStateRect(pDC, cell, enabled, selected, 0, pControl->GetChecked(), FALSE, 2, cbBarPopup);
    DrawImage(pDC, CPoint(cell.left + (cell.Width() - szIcon.cx) / 2, cell.top + (cell.Height() - szIcon.cy) / 2),
              szIcon, icon, selected, FALSE, enabled, pControl->GetChecked(), FALSE);
  } else if (pControl->GetChecked()) {
    DrawStateRect(pDC, cell, enabled, 0, 0, 1, FALSE, 2, cbBarPopup);
    DrawCheckMark(pDC, cell, GetColor(18), TRUE);
  }
  pDC->SetTextColor(GetColor(textColor));
  pDC->SetBkMode(TRANSPARENT);
  CRect rt(cell.right + 4, rc.top, rc.right - 19, rc.bottom);
  pDC->DrawText(pControl->GetCaption(), &rt, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  if (type == cbControlButton && !pControl->GetShownShortcutText().IsEmpty())
    pDC->DrawText(pControl->GetShownShortcutText(), &rt, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  if (CbIsPopupType(type)) {
    const BOOL open = pControl->GetCommandBar() && pControl->GetCommandBar()->GetSafeHwnd() &&
                      pControl->GetCommandBar()->IsWindowVisible();
    const COLORREF clr = type == cbControlSplitButtonPopup && selected && open ? GetColor(18) : GetColor(textColor);
    const int x = rc.right - 11, y = rc.CenterPoint().y;
    Triangle(pDC, CPoint(x, y - 3), CPoint(x, y + 3), CPoint(x + 3, y), clr);
    if (type == cbControlSplitButtonPopup && enabled)
      Line(pDC, rc.right - 20, rc.top + 2, rc.right - 20, rc.bottom - 2, 16);
  }
  return size;
}

CSize CCbDefaultTheme::DrawComboControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbFontDC font(pDC, &m_fontIcon);
  const int th = pDC->GetTextExtent(" ", 1).cy;
  auto* combo = dynamic_cast<CCbControlComboBox*>(pControl);
  if (combo) combo->SetDropDownWidth(th + 2);
  const CSize size(combo ? combo->GetWidth() : std::max(pControl->GetRect().Width(), 60), th + 8);
  if (!bDraw) return size;
  const CRect rc = pControl->GetRect();
  const BOOL enabled = pControl->GetEnabled();
  FillSolid(pDC, rc, enabled ? 5 : 15);
  Draw3dRect(pDC, rc, 16, 20);
  CRect drop(rc.right - th - 2, rc.top + 2, rc.right - 2, rc.bottom - 2);
  FillSolid(pDC, drop, 15);
  const BOOL open = combo ? combo->IsOpen() : pControl->GetPressed() != 0;
  Draw3dRect(pDC, drop, open ? 16 : 20, open ? 20 : 16);
  pDC->SetTextColor(GetColor(enabled ? 8 : 17));
  pDC->SetBkMode(TRANSPARENT);
  CRect rt(rc.left + 3, rc.top, drop.left, rc.bottom);
  // The field shows the combo's text; an edit window draws its own.
  const CString text = combo ? (combo->GetEditCtrl() ? CString() : combo->GetShownText()) : pControl->GetCaption();
  pDC->DrawText(text, &rt, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  DropArrow(pDC, drop.CenterPoint(), GetColor(enabled ? 18 : 17));
  return size;
}

CSize CCbDefaultTheme::DrawEditControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbFontDC font(pDC, &m_fontIcon);
  const int th = pDC->GetTextExtent(" ", 1).cy;
  const CSize size(std::max(pControl->GetRect().Width(), 60), th + 8);
  if (bDraw) {
    FillSolid(pDC, pControl->GetRect(), pControl->GetEnabled() ? 5 : 15);
    Draw3dRect(pDC, pControl->GetRect(), 16, 20);
  }
  return size;
}

CSize CCbDefaultTheme::DrawPopupFieldControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  return DrawMenuItem(pDC, pControl, bDraw);
}

}  // namespace CbPaintThemes
