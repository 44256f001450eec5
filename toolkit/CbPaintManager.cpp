#include "toolkit/CbPaintManager.h"

#include "platform/ui/SysInfo.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbDefaultTheme.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbGradientTheme.h"
#include "toolkit/CbImageManager.h"
#include "toolkit/CbNativeTheme.h"
#include "toolkit/CbPaintThemes.h"
#include "toolkit/CbStatusBar.h"
#include "toolkit/CbStudioTheme.h"

#include <algorithm>
#include <cstring>
#include <new>

IMPLEMENT_DYNAMIC(CCbPaintManager, CCmdTarget)

namespace {
void CopyFace(char* dst, const char* src) {
  std::strncpy(dst, src, LF_FACESIZE - 1);
  dst[LF_FACESIZE - 1] = 0;
}
CCbPaintManager*& Current() {
  static CCbPaintManager* p = nullptr;
  return p;
}
struct ReleaseAtExit {
  ~ReleaseAtExit() { CCbPaintManager::Done(); }
} g_releaseAtExit;
}  // namespace

CCbPaintManager* CbPaintManagerIfAny() { return Current(); }
CCbPaintManager* CbPaintManager() {
  if (!Current()) CCbPaintManager::SetTheme(1);
  return Current();
}

CCbPaintManager::CCbPaintManager() {
  std::fill(std::begin(m_arrStd), std::end(m_arrStd), (COLORREF)-1);
  std::fill(std::begin(m_arrOverride), std::end(m_arrOverride), (COLORREF)-1);
}

CCbPaintManager::~CCbPaintManager() = default;

BOOL CCbPaintManager::SetTheme(int nTheme) {
  CCbPaintManager* p = CreateTheme(nTheme);
  if (!p) return FALSE;
  CCbPaintManager* old = Current();
  Current() = p;
  if (old) old->InternalRelease();
  return TRUE;
}

CCbPaintManager* CCbPaintManager::CreateTheme(int nTheme) {
  using namespace CbPaintThemes;
  CCbPaintManager* p = nullptr;
  switch (nTheme) {
    case 0: p = new (std::nothrow) CCbFlatTheme; break;
    case 2: p = new (std::nothrow) CCbGradientTheme; break;
    case 3: p = new (std::nothrow) CCbNativeTheme; break;
    case 4: p = new (std::nothrow) CCbStudioTheme; break;
    default: p = new (std::nothrow) CCbDefaultTheme; break;
  }
  if (!p) return nullptr;
  p->m_nTheme = nTheme;
  p->UpdateMetrics();
  return p;
}

CCbPaintManager* CCbPaintManager::GetPaintManager() { return CbPaintManager(); }

void CCbPaintManager::Done() {
  CCbPaintManager* p = Current();
  Current() = nullptr;
  if (p) p->InternalRelease();
}

COLORREF CCbPaintManager::GetColor(int nIndex) const {
  if (nIndex < 0) return 0;
  if (nIndex >= kColors) return (COLORREF)nIndex;
  return m_arrOverride[nIndex] != (COLORREF)-1 ? m_arrOverride[nIndex] : m_arrStd[nIndex];
}

void CCbPaintManager::SetColor(int nIndex, COLORREF clr) {
  if (nIndex >= 0 && nIndex < kColors) m_arrOverride[nIndex] = clr;
}

void CCbPaintManager::UpdateMetrics() {
  CreateFonts();
  CCbColorManager* cm = CbColorManager();
  cm->RefreshColors(TRUE);
  for (int i = 0; i < kColors; ++i) m_arrStd[i] = cm->GetColor(i);
  m_clrShadow = 0;
  m_clrStatusTextColor = GetColor(18);
}

void CCbPaintManager::CreateFonts() {
  for (CFont* f : {&m_fontRegular, &m_fontRegularBold, &m_fontVert, &m_fontVertBold, &m_fontSmCaption, &m_fontIcon,
                   &m_fontGlyph, &m_fontIconBold})
    f->DeleteObject();
  NONCLIENTMETRICS ncm{};
  ncm.cbSize = sizeof ncm;
  ::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  LOGFONT lf = ncm.lfMenuFont;
  if (lf.lfHeight < 0 && lf.lfHeight > -11) lf.lfHeight = -11;
  if (lf.lfCharSet == ANSI_CHARSET || lf.lfCharSet == DEFAULT_CHARSET || lf.lfCharSet == SYMBOL_CHARSET) {
    m_bUseSystemFont = TRUE;
    if (CbDrawHelpers()->FontExists("Tahoma")) {
      m_bUseTahoma = TRUE;
      CopyFace(lf.lfFaceName, "Tahoma");
    }
  }
  m_fontRegular.CreateFontIndirect(&lf);
  LOGFONT bold = lf;
  bold.lfWeight = FW_BOLD;
  m_fontRegularBold.CreateFontIndirect(&bold);
  LOGFONT vert = lf;
  vert.lfEscapement = 2700;
  vert.lfOrientation = 900;
  CopyFace(vert.lfFaceName, CbDrawHelpers()->GetVerticalFontName(m_bUseTahoma));
  m_fontVert.CreateFontIndirect(&vert);
  vert.lfWeight = FW_BOLD;
  m_fontVertBold.CreateFontIndirect(&vert);
  m_fontSmCaption.CreateFontIndirect(&ncm.lfSmCaptionFont);
  LOGFONT icon{};
  ::SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0);
  m_fontIcon.CreateFontIndirect(&icon);
  LOGFONT glyph{};
  glyph.lfHeight = icon.lfHeight;
  glyph.lfCharSet = DEFAULT_CHARSET;
  CopyFace(glyph.lfFaceName, "Marlett");
  m_fontGlyph.CreateFontIndirect(&glyph);
  icon.lfWeight = FW_BOLD;
  m_fontIconBold.CreateFontIndirect(&icon);

  // The control height: one space in the regular font, plus 6.
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* old = dc.SelectObject(&m_fontRegular);
  m_nControlHeight = dc.GetTextExtent(" ", 1).cy + 6;
  dc.SelectObject(old);
}

CFont* CCbPaintManager::GetControlFont(int nBarPosition, BOOL bBold) {
  if (CbIsVerticalPosition(nBarPosition)) return bBold ? &m_fontVertBold : &m_fontVert;
  return bBold ? &m_fontRegularBold : &m_fontRegular;
}

// ---- Shared drawing ----

void CCbPaintManager::Rectangle(CDC* pDC, CRect rc, int nFill, int nFrame) {
  if (nFill >= 0) FillSolid(pDC, rc, nFill);
  if (nFrame >= 0) pDC->Draw3dRect(&rc, GetColor(nFrame), GetColor(nFrame));
}

void CCbPaintManager::Draw3dRect(CDC* pDC, CRect rc, int nLight, int nDark) {
  pDC->Draw3dRect(&rc, GetColor(nLight), GetColor(nDark));
}

void CCbPaintManager::Line(CDC* pDC, int x0, int y0, int x1, int y1, int nColor) {
  CCbPenDC pen(pDC, GetColor(nColor));
  pDC->MoveTo(x0, y0);
  pDC->LineTo(x1, y1);
}

void CCbPaintManager::Triangle(CDC* pDC, CPoint p0, CPoint p1, CPoint p2, COLORREF clr) {
  CCbPenDC pen(pDC, clr);
  CCbBrushDC brush(pDC, clr);
  POINT pts[3] = {p0, p1, p2};
  pDC->Polygon(pts, 3);
}

void CCbPaintManager::BarSeparatorLine(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, int k, COLORREF clr) {
  const CRect rc = pControl->GetRect();
  const CRect row = pControl->GetRowRect();
  CCbPenDC pen(pDC, clr);
  CPoint a, b;
  if (CbIsVerticalPosition(pBar->GetPosition())) {
    a = pControl->GetWrap() ? CPoint(row.left - 4 + k, row.top + 4) : CPoint(row.left + 4, rc.top - 4 + k);
    b = pControl->GetWrap() ? CPoint(row.left - 4 + k, row.bottom - 4) : CPoint(row.right - 4, rc.top - 4 + k);
  } else {
    a = pControl->GetWrap() ? CPoint(row.left + 4, row.top - 4 + k) : CPoint(rc.left - 4 + k, row.top + 4);
    b = pControl->GetWrap() ? CPoint(row.right - 4, row.top - 4 + k) : CPoint(rc.left - 4 + k, row.bottom - 4);
  }
  pDC->MoveTo(a);
  pDC->LineTo(b);
}

void CCbPaintManager::EtchedBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, COLORREF clrDark) {
  CRect client;
  pBar->GetClientRect(&client);
  const int top = pControl->GetRect().top;
  for (int k = 0; k < 2; ++k) {
    const COLORREF clr = k ? GetColor(20) : clrDark;
    if (pBar->GetPosition() == cbBarPopup) {
      CCbPenDC pen(pDC, clr);
      pDC->MoveTo(client.left + 3, top - 3 + k);
      pDC->LineTo(client.right - 3, top - 3 + k);
    } else {
      BarSeparatorLine(pDC, pBar, pControl, k, clr);
    }
  }
}

CRect CCbPaintManager::ExpandButtonRect(const CRect& client, BOOL bVertical) {
  CRect rc = bVertical ? CRect(client.left + 2, client.bottom - 13, client.right - 2, client.bottom - 2)
                       : CRect(client.right - 13, client.top + 2, client.right - 2, client.bottom - 2);
  rc.right = std::max(rc.right, rc.left);
  rc.bottom = std::max(rc.bottom, rc.top);
  return rc;
}

void CCbPaintManager::ExpandArrow(CDC* pDC, CRect rc, BOOL bVertical, COLORREF clr) {
  if (!bVertical) {
    const int cx = rc.CenterPoint().x;
    Triangle(pDC, CPoint(cx - 2, rc.bottom - 6), CPoint(cx + 2, rc.bottom - 6), CPoint(cx, rc.bottom - 4), clr);
  } else {
    const int cy = rc.CenterPoint().y;
    Triangle(pDC, CPoint(rc.right - 6, cy - 2), CPoint(rc.right - 6, cy + 2), CPoint(rc.right - 4, cy), clr);
  }
}

void CCbPaintManager::HiddenMarks(CDC* pDC, CPoint pt, BOOL bVertical) {
  for (int k = 0; k < 2; ++k) {
    if (!bVertical) {
      const int x = pt.x + 3 * k;
      pDC->MoveTo(x, pt.y);
      pDC->LineTo(x + 2, pt.y + 2);
      pDC->LineTo(x - 1, pt.y + 5);
    } else {
      const int y = pt.y + 3 * k;
      pDC->MoveTo(pt.x, y);
      pDC->LineTo(pt.x + 2, y + 2);
      pDC->LineTo(pt.x + 5, y - 1);
    }
  }
}

BOOL CCbPaintManager::HasHiddenControls(CCbCommandBar* pBar) {
  for (int i = 0; i < pBar->GetControlCount(); ++i)
    if (pBar->GetControl(i)->GetHideFlags() & cbHideWrap) return TRUE;
  return FALSE;
}

void CCbPaintManager::DropArrow(CDC* pDC, CPoint c, COLORREF clr) {
  Triangle(pDC, CPoint(c.x - 3, c.y - 1), CPoint(c.x + 3, c.y - 1), CPoint(c.x, c.y + 2), clr);
}

void CCbPaintManager::CloseCross(CDC* pDC, CPoint c, COLORREF clr) {
  // Drawn: no glyph font here.
  CCbPenDC pen(pDC, clr);
  for (int d = 0; d < 2; ++d) {
    pDC->MoveTo(c.x - 3 + d, c.y - 3);
    pDC->LineTo(c.x + 4 + d, c.y + 4);
    pDC->MoveTo(c.x + 3 + d, c.y - 3);
    pDC->LineTo(c.x - 4 + d, c.y + 4);
  }
}

int CCbPaintManager::FloatingCaption(CDC* pDC, CCbCommandBar* pBar, COLORREF clrFill, BOOL bDraw) {
  CCbFontDC font(pDC, &GetSmallCaptionFont());
  const int h = std::max<int>(18, pDC->GetTextExtent(" ", 1).cy + 3);
  if (bDraw) {
    CRect rc;
    pBar->GetClientRect(&rc);
    CRect cap(3, 3, rc.right - 3, 3 + h);
    pDC->FillSolidRect(&cap, clrFill);
    pDC->SetTextColor(GetColor(20));
    pDC->SetBkMode(TRANSPARENT);
    cap.left = 5;
    pDC->DrawText(pBar->GetTitle(), &cap, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  return h;
}

void CCbPaintManager::Chevrons(CDC* pDC, CPoint c, COLORREF clr) {
  CCbPenDC pen(pDC, clr);
  for (int k = 0; k < 2; ++k) {
    pDC->MoveTo(c.x - 3, c.y - 3 + 3 * k);
    pDC->LineTo(c.x, c.y + 3 * k);
    pDC->LineTo(c.x + 4, c.y - 4 + 3 * k);
  }
}

BOOL CCbPaintManager::DrawDisabledPicture(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon) {
  if (!m_bDisabledIcons && !pIcon->HasImage(CCbImageManagerIcon::disabled)) return FALSE;
  pIcon->GetDisabledIcon();
  pIcon->Draw(pDC, pt, CCbImageManagerIcon::disabled, sz);
  return TRUE;
}

void CCbPaintManager::DrawPlainPicture(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bIdle) {
  if (bIdle && m_bFadedIcons) {
    pIcon->GetFadedIcon();
    pIcon->Draw(pDC, pt, CCbImageManagerIcon::faded, sz);
    return;
  }
  pIcon->Draw(pDC, pt, CCbImageManagerIcon::normal, sz);
}

void CCbPaintManager::DrawCheckMark(CDC* pDC, CRect rc, COLORREF clr, BOOL bMenu) {
  // A two-pixel-thick tick centred in the rectangle.
  const int cx = rc.CenterPoint().x, cy = rc.CenterPoint().y;
  const int s = bMenu ? 3 : 2;
  for (int d = 0; d < 2; ++d) {
    for (int i = 0; i <= s; ++i) pDC->SetPixel(cx - s + i, cy - 1 + i + d, clr);
    for (int i = 0; i <= s + 2; ++i) pDC->SetPixel(cx + i, cy + s - 1 - i + d, clr);
  }
}

CString CCbPaintManager::StripMnemonics(const CString& strText) {
  CString out;
  for (int i = 0; i < strText.GetLength(); ++i) {
    if (strText[i] == '&') {
      if (i + 1 < strText.GetLength() && strText[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += strText[i];
  }
  return out;
}

CSize CCbPaintManager::GetTextSize(CDC* pDC, const CString& strText) {
  const CString s = StripMnemonics(strText);
  return pDC->GetTextExtent(s);
}

void CCbPaintManager::DrawControlText(CDC* pDC, CCbControl* pControl, CRect rc, BOOL bDraw, BOOL bVertical,
                                      BOOL bCentered, BOOL bTriangle) {
  if (!bDraw) return;
  const CString caption = pControl->GetCaption();
  pDC->SetBkMode(TRANSPARENT);
  if (bVertical) {
    const CString s = StripMnemonics(caption);
    const CSize sz = pDC->GetTextExtent(s);
    const int x = rc.left + (rc.Width() + sz.cy) / 2;
    pDC->TextOut(x, bCentered ? rc.top + (rc.Height() - sz.cx) / 2 : rc.top, s);
  } else {
    pDC->DrawText(caption, &rc, DT_SINGLELINE | DT_VCENTER | (bCentered ? DT_CENTER : DT_LEFT));
  }
  if (bTriangle) {
    const CSize sz = GetTextSize(pDC, caption);
    const int x = bCentered ? rc.CenterPoint().x + sz.cx / 2 + 5 : rc.left + sz.cx + 5, y = rc.CenterPoint().y;
    Triangle(pDC, CPoint(x, y - 1), CPoint(x + 4, y - 1), CPoint(x + 2, y + 1), pDC->GetTextColor());
  }
}

// ---- Controls ----

CSize CCbPaintManager::DrawControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  if (!pControl) return CSize(0, 0);
  CCbCommandBar* bar = pControl->GetParent();
  switch (pControl->GetType()) {
    case cbControlEdit: return DrawEditControl(pDC, pControl, bDraw);
    case cbControlComboBox: return DrawComboControl(pDC, pControl, bDraw);
    default:
      if (bar && bar->GetType() == 2) return DrawMenuItem(pDC, pControl, bDraw);
      return DrawToolbarControl(pDC, pControl, bDraw);
  }
}

void CCbPaintManager::DrawControlBackground(CDC* pDC, CCbControl* pControl, CRect rc) {
  CCbCommandBar* bar = pControl->GetParent();
  const BOOL popuped = CbIsPopupType(pControl->GetType()) && pControl->GetCommandBar() &&
                       pControl->GetCommandBar()->GetSafeHwnd() && pControl->GetCommandBar()->IsWindowVisible();
  DrawButtonBackground(pDC, rc, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                       pControl->GetChecked(), popuped, bar ? bar->GetType() : 1, bar ? bar->GetPosition() : cbBarTop);
}

CSize CCbPaintManager::DrawToolbarControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) {
  CCbCommandBar* bar = pControl->GetParent();
  const int position = bar ? bar->GetPosition() : cbBarTop;
  const BOOL vertical = CbIsVerticalPosition(position);
  CCbFontDC font(pDC, GetControlFont(position, pControl->IsDefaultItem()));
  const CSize szIcon = bar ? bar->GetIconSize() : CSize(16, 16);
  const int type = pControl->GetType();
  const DWORD style = pControl->GetStyle();  // display style: 0 automatic, 1 caption, 2 icon, 3 both
  CCbImageManagerIcon* icon = nullptr;
  if ((style == 0 && type != cbControlPopup) || style == 2 || style == 3) icon = pControl->GetIcon(szIcon.cx);
  CSize szImage = szIcon;
  if (icon && icon->GetWidth() > 0) szImage.cy = szIcon.cx * icon->GetHeight() / icon->GetWidth();
  const CString caption = pControl->GetCaption();
  const BOOL showCaption =
      !caption.IsEmpty() && type != cbControlLabel && (style == 1 || style == 3 || (style == 0 && !icon));
  const BOOL hasIcon = icon != nullptr;
  // A menu bar's popups are menu titles: their caption alone says they open a menu.
  const BOOL popupMark = CbIsPopupType(type) && !(bar && bar->GetType() == 0);

  CSize size;
  if (!showCaption) {
    size = hasIcon || type != cbControlButton ? CSize(szIcon.cx + 7, szIcon.cy + 7) : CSize(23, 23);
    if (type == cbControlPopup && !vertical) size.cx += 7;
    if (type == cbControlSplitButtonPopup) size.cx += 11;
  } else {
    const CSize text = GetTextSize(pDC, caption);
    const int lead = hasIcon ? szIcon.cx + 7 : 4;
    const int along = lead + text.cx + (hasIcon ? 3 : 7) + (popupMark ? 9 : 0);
    const int across = std::max<int>(text.cy + 6, szIcon.cy + 7);
    size = vertical ? CSize(across, along) : CSize(along, across);
    if (type == cbControlSplitButtonPopup) (vertical ? size.cy : size.cx) += 11;
  }
  if (!bDraw) return size;

  CRect rc = pControl->GetRect();
  if (type == cbControlSplitButtonPopup)
    DrawSplitDropArrow(pDC, pControl, rc);
  else
    DrawControlBackground(pDC, pControl, rc);
  if (hasIcon) {
    CPoint pt = vertical ? CPoint(rc.left + (rc.Width() - szImage.cx) / 2, rc.top + 4)
                         : CPoint(rc.left + 3 +
                                      (showCaption ? 1
                                                   : (rc.Width() - 6 - szImage.cx -
                                                      (type == cbControlSplitButtonPopup ? 11
                                                       : type == cbControlPopup          ? 7
                                                                                         : 0)) /
                                                             2 -
                                                         0),
                                  rc.top + (rc.Height() - szImage.cy) / 2);
    const BOOL popuped = pControl->GetCommandBar() != nullptr && pControl->GetCommandBar()->GetSafeHwnd() &&
                         pControl->GetCommandBar()->IsWindowVisible();
    DrawImage(pDC, pt, szImage, icon, pControl->GetSelected() != 0, pControl->GetPressed() != 0, pControl->GetEnabled(),
              pControl->GetChecked() != 0, popuped);
  }
  if (showCaption) {
    CRect rt = rc;
    if (vertical)
      rt.top += hasIcon ? szIcon.cy + 7 : 4;
    else
      rt.left += hasIcon ? szIcon.cx + 7 : 4;
    DrawControlText(pDC, pControl, rt, TRUE, vertical, FALSE, popupMark);
  } else if (type == cbControlPopup && !vertical) {
    const int x = rc.right - 9, y = rc.CenterPoint().y;
    Triangle(pDC, CPoint(x, y - 1), CPoint(x + 4, y - 1), CPoint(x + 2, y + 1), pDC->GetTextColor());
  }
  return size;
}

void CCbPaintManager::DrawSplitDropArrow(CDC* pDC, CCbControl* pControl, CRect rc) {
  CCbCommandBar* bar = pControl->GetParent();
  const int type = bar ? bar->GetType() : 1, position = bar ? bar->GetPosition() : 0;
  const BOOL popuped = pControl->GetCommandBar() && pControl->GetCommandBar()->GetSafeHwnd() &&
                       pControl->GetCommandBar()->IsWindowVisible();
  CRect button = rc;
  if (!popuped) button.right -= 11;
  DrawButtonBackground(pDC, button, pControl->GetEnabled(), pControl->GetSelected(), pControl->GetPressed(),
                       pControl->GetChecked(), popuped, type, position);
  if ((pControl->GetSelected() || pControl->GetPressed()) && !popuped) {
    CRect drop(rc.right - 12, rc.top, rc.right, rc.bottom);
    DrawButtonBackground(pDC, drop, pControl->GetEnabled(), 1, 1, 0, FALSE, type, position);
  }
  const int y = rc.CenterPoint().y;
  Triangle(pDC, CPoint(rc.right - 9, y - 1), CPoint(rc.right - 5, y - 1), CPoint(rc.right - 7, y + 1),
           pDC->GetTextColor());
}

// ---- Bars ----

CRect CCbPaintManager::GetBarBorders(CCbCommandBar*) { return CRect(2, 2, 2, 2); }

void CCbPaintManager::FillDockBar(CDC* pDC, CCbDockBar* pBar) {
  CRect rc;
  ((CWnd*)pBar)->GetClientRect(&rc);
  FillSolid(pDC, rc, 15);
}

void CCbPaintManager::FillStatusBar(CDC* pDC, CCbStatusBar* pBar) {
  CRect rc;
  pBar->GetClientRect(&rc);
  FillSolid(pDC, rc, 15);
}

void CCbPaintManager::DrawPaneBorder(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, 16, 20); }

void CCbPaintManager::DrawStatusPaneText(CDC* pDC, CCbStatusBar* pBar, int nIndex) {
  CB_STATUSPANE pane{};
  if (!pBar->GetPaneInfo(nIndex, &pane)) return;
  CRect rc;
  pBar->GetItemRect(nIndex, &rc);
  if (nIndex == pBar->GetCount() - 1) {
    CRect client;
    pBar->GetClientRect(&client);
    if (pane.nStyle & SBPS_STRETCH)
      rc.right =
          client.right - (pBar->HasSizeGrip() ? ::GetSystemMetrics(SM_CXSMICON) + ::GetSystemMetrics(SM_CXEDGE) : 0);
    else
      rc.right = rc.left + 3 * ::GetSystemMetrics(SM_CXEDGE) + pane.cxText;
  }
  if (rc.right < rc.left) rc.right = rc.left;
  if (!(pane.nStyle & SBPS_NOBORDERS)) DrawPaneBorder(pDC, rc);
  if (!(pane.nStyle & SBPS_DISABLED)) {
    CRect rt = rc;
    rt.DeflateRect(2, 1);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_clrStatusTextColor);
    pDC->DrawText(pane.strText, &rt, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

void CCbPaintManager::DrawStatusGripper(CDC* pDC, CRect rcClient) {
  // Three pairs of shadow lines and three light lines, 4 pixels apart, in the corner.
  const int r = rcClient.right - 1, b = rcClient.bottom - 1;
  for (int k = 0; k < 3; ++k) {
    const int d = 4 * k + 2;
    for (int line = 0; line < 3; ++line) {
      const int n = d + line;
      const int color = line == 0 ? 20 : 16;
      Line(pDC, r - n, b, r + 1, b - n - 1, color);
    }
  }
}

CSize CCbPaintManager::DrawSpecialControl(CDC*, int, CCbControl*, CCbCommandBar*, BOOL, BOOL) { return CSize(0, 0); }
