#include "toolkit/CbNativeTheme.h"

#include "toolkit/CbCommandBar.h"
#include "toolkit/CbDockBar.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbStatusBar.h"

#include <algorithm>

namespace CbPaintThemes {

IMPLEMENT_DYNAMIC(CCbNativeTheme, CCbDefaultTheme)

namespace {
// Visual-style properties asked for.
constexpr int kEdgeShadowColor = 3806, kTextColor = 3803, kFillColorHint = 3821;
}  // namespace

CCbNativeTheme::CCbNativeTheme() {
  m_nTheme = 3;
  m_bFadedIcons = TRUE;
}

void CCbNativeTheme::UpdateMetrics() {
  CCbDefaultTheme::UpdateMetrics();
  HWND main = AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr;
  m_themeToolbar.OpenThemeData(main, "TOOLBAR");
  m_themeRebar.OpenThemeData(main, "REBAR");
  m_themeComboBox.OpenThemeData(main, "COMBOBOX");
  m_themeStatusBar.OpenThemeData(main, "STATUS");
  COLORREF clr = 0;
  m_clrSeparator = m_themeRebar.GetThemeColor(3, 0, kEdgeShadowColor, &clr) == S_OK ? clr : GetColor(16);
  if (m_themeToolbar.GetThemeColor(0, 0, kTextColor, &clr) == S_OK) m_arrStd[18] = clr;
  if (m_themeRebar.GetThemeColor(0, 0, kFillColorHint, &clr) == S_OK) m_arrStd[15] = clr;
  if (m_themeStatusBar.GetThemeColor(1, 0, kTextColor, &clr) == S_OK) m_clrStatusTextColor = clr;
}

void CCbNativeTheme::FillBarBackground(CDC* pDC, CCbCommandBar* pBar) {
  CRect rc;
  pBar->GetClientRect(&rc);
  if (m_themeRebar.IsAppThemed() && pBar->GetPosition() <= cbBarRight &&
      m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rc, nullptr) == S_OK)
    return;
  CCbDefaultTheme::FillBarBackground(pDC, pBar);
}

void CCbNativeTheme::DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                   BOOL bPopuped, int nBarType, int nBarPosition) {
  if (m_themeToolbar.IsAppThemed() && nBarPosition != cbBarPopup) {
    const int state = !bEnabled ? 4 : bPopuped || nPressed ? 3 : nChecked ? (nSelected ? 6 : 5) : nSelected ? 2 : 1;
    if (m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), 1, state, &rc, nullptr) == S_OK) return;
  }
  CCbDefaultTheme::DrawStateRect(pDC, rc, bEnabled, nSelected, nPressed, nChecked, bPopuped, nBarType, nBarPosition);
}

CSize CCbNativeTheme::DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  const int position = pBar->GetPosition();
  if (position != cbBarFloating && m_themeRebar.IsAppThemed()) {
    CRect rc;
    pBar->GetClientRect(&rc);
    const BOOL vertical = CbIsVerticalPosition(position);
    CRect g = vertical ? CRect(2, 2, rc.right - 2, 10) : CRect(2, 2, 10, rc.bottom - 2);
    if (!bDraw || m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), vertical ? 2 : 1, 0, &g, nullptr) == S_OK)
      return vertical ? CSize(0, 8) : CSize(8, 0);
  }
  const CSize size = CCbDefaultTheme::DrawBarGripper(pDC, pBar, bDraw);
  if (position == cbBarFloating) return size;
  return CbIsVerticalPosition(position) ? CSize(0, 8) : CSize(8, 0);
}

CSize CCbNativeTheme::DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) {
  const CSize size = CCbDefaultTheme::DrawCompactGripper(pDC, pBar, bDraw);
  return CSize(8, size.cy);
}

CSize CCbNativeTheme::DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) {
  // The etched line, its dark half in the separator colour.
  if (bDraw) EtchedBarSeparator(pDC, pBar, pControl, m_clrSeparator);
  return CSize(6, 6);
}

void CCbNativeTheme::DrawStatusGripper(CDC* pDC, CRect rcClient) {
  if (m_themeStatusBar.IsAppThemed()) {
    CRect rc(rcClient.right - 18, rcClient.top, rcClient.right, rcClient.bottom);
    if (m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 3, 0, &rc, nullptr) == S_OK) return;
  }
  CCbDefaultTheme::DrawStatusGripper(pDC, rcClient);
}

void CCbNativeTheme::FillStatusBar(CDC* pDC, CCbStatusBar* pBar) {
  CRect rc;
  pBar->GetClientRect(&rc);
  if (m_themeStatusBar.IsAppThemed() &&
      m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, &rc, nullptr) == S_OK)
    return;
  CCbDefaultTheme::FillStatusBar(pDC, pBar);
}

void CCbNativeTheme::DrawPaneBorder(CDC* pDC, CRect rc) {
  if (m_themeStatusBar.IsAppThemed() &&
      m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 1, 0, &rc, nullptr) == S_OK)
    return;
  CCbDefaultTheme::DrawPaneBorder(pDC, rc);
}

}  // namespace CbPaintThemes
