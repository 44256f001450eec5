// The flat look (kind 0), the base of the gradient and studio looks. The other looks have
// their own files (CbDefaultTheme.h, CbGradientTheme.h, CbNativeTheme.h, CbStudioTheme.h).
#pragma once

#include "toolkit/CbPaintManager.h"

namespace CbPaintThemes {

class CCbFlatTheme : public CCbPaintManager {
  DECLARE_DYNAMIC(CCbFlatTheme)
 public:
  CCbFlatTheme() { m_nTheme = 0; }
  CSize DrawMenuItem(CDC* pDC, CCbControl* pControl, BOOL bDraw) override;
  CSize DrawComboControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) override;
  CSize DrawEditControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) override;
  CSize DrawPopupFieldControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) override;
  void FillBarBackground(CDC* pDC, CCbCommandBar* pBar) override;
  void DrawButtonBackground(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                            int nBarType, int nBarPosition) override;
  void DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped,
                     int nBarType, int nBarPosition) override;
  CSize DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  CSize DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) override;
  CSize DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                           BOOL bLayout = FALSE) override;
  CSize DrawPopupTearOff(CDC* pDC, CCbCommandBar* pBar, CRect rc, BOOL bSelected, BOOL bDraw) override;
  void DrawImage(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bSelected, BOOL bPressed,
                 BOOL bEnabled, BOOL bChecked, BOOL bPopuped) override;
  CSize DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  int GetLookKind() const override { return 0; }
  void DrawPaneBorder(CDC* pDC, CRect rc) override;
  // The state rectangle's fill and frame colour indexes, -1 for none (what the table gives).
  static void StateColors(BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped, int nBarType,
                          int nBarPosition, int& nFill, int& nFrame);
  static int TextColor(BOOL bEnabled, int nSelected, int nPressed, int nChecked, BOOL bPopuped, int nBarPosition);

 protected:
  // The tear-off strip's face and frame, without its dots.
  void TearOffFrame(CDC* pDC, CRect rc, BOOL bSelected);
};

}  // namespace CbPaintThemes
