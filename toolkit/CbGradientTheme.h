// The gradient look (kind 2), the one the program shows: bars shaded from light to dark, the
// dock area shaded across the frame, and the three system colour schemes.
#pragma once

#include "toolkit/CbPaintThemes.h"
#include "toolkit/CbWinThemeWrapper.h"

namespace CbPaintThemes {

class CCbGradientTheme : public CCbFlatTheme {
  DECLARE_DYNAMIC(CCbGradientTheme)
 public:
  CCbGradientTheme();

  void UpdateMetrics() override;
  void FillBarBackground(CDC* pDC, CCbCommandBar* pBar) override;
  void DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                     int nBarType, int nBarPosition) override;
  CSize DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  CSize DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  CSize DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) override;
  CSize DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                           BOOL bLayout = FALSE) override;
  CSize DrawPopupTearOff(CDC* pDC, CCbCommandBar* pBar, CRect rc, BOOL bSelected, BOOL bDraw) override;
  void DrawStatusGripper(CDC* pDC, CRect rcClient) override;
  void FillDockBar(CDC* pDC, CCbDockBar* pBar) override;
  CRect GetBarBorders(CCbCommandBar* pBar) override;
  int GetLookKind() const override { return 2; }
  void DrawPaneBorder(CDC* pDC, CRect rc) override;

  // The menu's icon column; items shown by expansion get their own shade.
  void FillIconColumn(CDC* pDC, CRect rc, BOOL bExpanded);
  // A popup's background: rcOpen is the parent control in the popup's client coordinates
  // (empty when it has none); where it lies on the popup's edge the frame stays open.
  void FillPopupBackground(CDC* pDC, CRect rcClient, BOOL bMenu, int nIconColumn, CRect rcOpen);
  // The scheme the colours came from (0 the derived defaults, 1 blue, 2 olive, 3 silver).
  int GetAppliedScheme() const { return m_bLunaTheme ? m_nAppliedScheme : 0; }
  BOOL IsLunaTheme() const { return m_bLunaTheme; }
  // The expand picture: 16 by 16, -1 where transparent.
  COLORREF GetExpandPixel(int x, int y) const { return m_arrExpand[y * 16 + x]; }

  // The fifteen colours.
  COLORREF m_clrDockBarLight = 0, m_clrDockBarDark = 0;  // dock area, start and end
  COLORREF m_clrBarDark = 0, m_clrBarLight = 0;          // bar face, bottom and top
  COLORREF m_clrPopupLight = 0, m_clrPopupDark = 0;      // open title, start and end
  COLORREF m_clrBarShadow = 0;                           // the bar's bottom line
  COLORREF m_clrFloatingGripper = 0;                     // floating caption
  COLORREF m_clrExpandDark = 0, m_clrExpandLight = 0;    // expand button
  COLORREF m_clrExpandedColumnDark = 0, m_clrExpandedColumnLight = 0;
  COLORREF m_clrExpandPicture1 = 0, m_clrExpandPicture2 = 0;
  COLORREF m_clrStatusPane = 0;

  // The state gradients the schemes use on toolbars.
  static constexpr COLORREF kHotLight1 = RGB(255, 242, 200), kHotLight2 = RGB(255, 212, 151);
  static constexpr COLORREF kHotDark1 = RGB(254, 142, 75), kHotDark2 = RGB(255, 207, 139);
  static constexpr COLORREF kChecked1 = RGB(255, 213, 140), kChecked2 = RGB(255, 173, 85);

 protected:
  // The scheme the painter's selector names.
  int ResolveScheme() const;
  void ApplyScheme(int nScheme);
  void BuildExpandPicture();
  // The dock-area gradient as the dock bar draws it, for a rectangle whose left edge lies
  // nOffset pixels into a dock bar nDockWidth wide.
  void FillDockGradient(CDC* pDC, CRect rc, int nOffset, int nDockWidth);
  void Gradient(CDC* pDC, CRect rc, COLORREF c1, COLORREF c2, BOOL bHorz);
  void GradientRect(CDC* pDC, CRect rc, COLORREF c1, COLORREF c2, int nFrame);
  void Dots(CDC* pDC, int x, int y);

  CCbWinThemeWrapper m_themeStatusBar;
  BOOL m_bLunaTheme = FALSE;
  int m_nAppliedScheme = 0;
  COLORREF m_arrExpand[256];
};

}  // namespace CbPaintThemes
