// The native look (kind 3): drawn with the system's visual styles where they exist. On this
// platform the visual-style classes never open (CCbWinThemeWrapper always fails), so every
// part falls back to the classic drawing; only the native metric rules remain: faded icons,
// the separator colour and an 8-pixel gripper.
#pragma once

#include "toolkit/CbDefaultTheme.h"
#include "toolkit/CbWinThemeWrapper.h"

namespace CbPaintThemes {

class CCbNativeTheme : public CCbDefaultTheme {
  DECLARE_DYNAMIC(CCbNativeTheme)
 public:
  CCbNativeTheme();
  void UpdateMetrics() override;
  void FillBarBackground(CDC* pDC, CCbCommandBar* pBar) override;
  void DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                     int nBarType, int nBarPosition) override;
  CSize DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  CSize DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) override;
  void DrawStatusGripper(CDC* pDC, CRect rcClient) override;
  void FillStatusBar(CDC* pDC, CCbStatusBar* pBar) override;
  CSize DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  int GetLookKind() const override { return 3; }
  void DrawPaneBorder(CDC* pDC, CRect rc) override;

 protected:
  int GripperSize() const override { return 8; }

  CCbWinThemeWrapper m_themeToolbar, m_themeRebar, m_themeComboBox, m_themeStatusBar;
  COLORREF m_clrSeparator = 0;
};

}  // namespace CbPaintThemes
