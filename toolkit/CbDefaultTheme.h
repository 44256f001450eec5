// The classic look (kind 1 and any unknown kind): raised and sunken edges on the face colour,
// no gradients and no shadow of its own.
#pragma once

#include "toolkit/CbPaintManager.h"

namespace CbPaintThemes {

class CCbDefaultTheme : public CCbPaintManager {
  DECLARE_DYNAMIC(CCbDefaultTheme)
 public:
  CCbDefaultTheme() { m_nTheme = 1; }
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
  BOOL HasOwnShadow() const override { return FALSE; }
  CSize DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                           BOOL bLayout = FALSE) override;
  CRect GetBarBorders(CCbCommandBar* pBar) override;
  CSize DrawPopupTearOff(CDC* pDC, CCbCommandBar* pBar, CRect rc, BOOL bSelected, BOOL bDraw) override;
  void DrawImage(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bSelected, BOOL bPressed,
                 BOOL bEnabled, BOOL bChecked, BOOL bPopuped) override;
  CSize DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) override;
  int GetLookKind() const override { return 1; }
  void DrawPaneBorder(CDC* pDC, CRect rc) override;

 protected:
  // The checked button's face: half face colour, half light, in an 8 by 8 pattern.
  void FillDither(CDC* pDC, CRect rc);
  // Width of the gripper along the bar (the native look's is its own).
  virtual int GripperSize() const { return 8; }
  virtual int SeparatorDark() const { return 16; }
};

}  // namespace CbPaintThemes
