#include "toolkit/CbPaintThemes.h"

#include "toolkit/CbControlComboBox.h"

#include "toolkit/CbCommandBar.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbImageManager.h"

#include <algorithm>

namespace CbPaintThemes {

IMPLEMENT_DYNAMIC(CCbFlatTheme, CCbPaintManager)

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
  if (pBar->GetPosition() == cbBarPopup) {
    const CRect rc = pControl->GetRect();
    CRect client;
    pBar->GetClientRect(&client);
    Line(pDC, rc.left + 9, rc.top - 2, client.right - 1, rc.top - 2, 39);
  } else {
    BarSeparatorLine(pDC, pBar, pControl, 0, GetColor(39));
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
    if (bLayout) pControl->SetRect(ExpandButtonRect(client, vertical));
    if (!bDraw) return CSize(11, 11);
    const CRect rc = pControl->GetRect();
    DrawButtonBackground(pDC, rc, TRUE, pControl->GetSelected(), pControl->GetPressed(), 0, FALSE, pBar->GetType(),
                         pBar->GetPosition());
    const COLORREF clr = pDC->GetTextColor();
    ExpandArrow(pDC, rc, vertical, clr);
    if (HasHiddenControls(pBar)) {
      CCbPenDC pen(pDC, clr);
      HiddenMarks(pDC,
                  vertical ? CPoint(rc.left + 4, rc.CenterPoint().y - 3) : CPoint(rc.CenterPoint().x - 3, rc.top + 4),
                  vertical);
    }
    return CSize(11, 11);
  }
  if (!bDraw || !pControl) return CSize(12, 12);
  const CRect rc = pControl->GetRect();
  DrawButtonBackground(pDC, rc, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(), 0, FALSE,
                       pBar ? pBar->GetType() : 1, pBar ? pBar->GetPosition() : 0);
  const COLORREF clr = pControl->GetEnabled() || pControl->GetSelected() ? pDC->GetTextColor() : GetColor(14);
  const CPoint c = rc.CenterPoint();
  if (nKind == 2)
    CloseCross(pDC, c, clr);
  else if (nKind == 3)
    DropArrow(pDC, c, clr);
  else if (nKind == 1)
    Chevrons(pDC, c, clr);
  return CSize(12, 12);
}

void CCbFlatTheme::TearOffFrame(CDC* pDC, CRect rc, BOOL bSelected) {
  FillSolid(pDC, rc, 41);
  CRect in = rc;
  in.DeflateRect(1, 1);
  if (bSelected)
    Rectangle(pDC, in, 31, 32);
  else
    FillSolid(pDC, in, 30);
}

CSize CCbFlatTheme::DrawPopupTearOff(CDC* pDC, CCbCommandBar*, CRect rc, BOOL bSelected, BOOL bDraw) {
  if (bDraw) {
    TearOffFrame(pDC, rc, bSelected);
    const int half = std::min<int>(32, rc.Width() / 2);
    for (int x = rc.CenterPoint().x - half + 2; x < rc.CenterPoint().x + half - 2; x += 4)
      pDC->FillSolidRect(x, rc.CenterPoint().y - 1, 2, 2, GetColor(38));
  }
  return CSize(0, 9);
}

void CCbFlatTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bSelected, BOOL bPressed,
                             BOOL bEnabled, BOOL bChecked, BOOL bPopuped) {
  if (!pIcon) return;
  if (!bEnabled) {
    if (!DrawDisabledPicture(pDC, pt, sz, pIcon)) pIcon->DrawMono(pDC, pt, GetColor(40), sz);
    return;
  }
  if (bSelected && !bPressed && !bPopuped && m_bIconsWithShadow) {
    pIcon->GetShadowIcon();
    pIcon->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), CCbImageManagerIcon::shadow, sz);
    pIcon->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), CCbImageManagerIcon::normal, sz);
    return;
  }
  DrawPlainPicture(pDC, pt, sz, pIcon, !bSelected && !bPressed && !bChecked && !bPopuped);
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
  if (pControl->GetSelected()) DrawStateRect(pDC, rc, enabled, enabled ? 1 : 2, 0, 0, FALSE, 2, cbBarPopup);
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
  auto* combo = dynamic_cast<CCbControlComboBox*>(pControl);
  if (combo) combo->SetDropDownWidth(th + 2);
  const CSize size(combo ? combo->GetWidth() : std::max(pControl->GetRect().Width(), 60), th + 8);
  if (!bDraw) return size;
  CRect rc = pControl->GetRect();
  const BOOL enabled = pControl->GetEnabled();
  const BOOL open = combo && combo->IsOpen();
  CRect drop(rc.right - th - 2, rc.top, rc.right, rc.bottom);
  if (enabled) {
    Rectangle(pDC, rc, 5, pControl->GetSelected() || open ? 32 : 5);
    if (pControl->GetSelected() || open) Rectangle(pDC, drop, open ? 33 : 31, 32);
  } else {
    Rectangle(pDC, rc, 15, pControl->GetSelected() == 2 ? 32 : 40);
  }
  pDC->SetTextColor(GetColor(8));
  pDC->SetBkMode(TRANSPARENT);
  CRect rt(rc.left + 3, rc.top, drop.left, rc.bottom);
  // The field shows the combo's text; an edit window draws its own.
  const CString text = combo ? (combo->GetEditCtrl() ? CString() : combo->GetShownText()) : pControl->GetCaption();
  pDC->DrawText(text, &rt, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  DropArrow(pDC, drop.CenterPoint(), GetColor(!enabled ? 40 : open ? 47 : pControl->GetSelected() ? 45 : 46));
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
