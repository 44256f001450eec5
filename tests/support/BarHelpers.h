// Where tests press and look on the toolkit's bars.
#pragma once

#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"

namespace test_support {

inline CRect Screen(CWnd* w) {
  CRect r;
  w->GetWindowRect(&r);
  return r;
}

// A point of the bar outside its controls, in screen coordinates: its left border, or its
// caption while it floats.
inline POINT Grip(CCbToolBar* bar) {
  POINT p{1, 3};
  if (bar->IsFloating()) p = POINT{bar->GetCaptionRect().left + 6, bar->GetCaptionRect().CenterPoint().y};
  bar->ClientToScreen(&p);
  return p;
}

// A double click at the point, the first press held until the bar's drag loop has run; false
// where the loop never let the release through.
inline bool DoubleClick(POINT p) {
  CTestCallLater up(0, [&] { AfxTestMouse(WM_LBUTTONUP, p); });
  AfxTestMouse(WM_LBUTTONDOWN, p);
  if (!up.Wait()) return false;
  AfxTestMouse(WM_LBUTTONDBLCLK, p);
  AfxTestMouse(WM_LBUTTONUP, p);
  return true;
}

// Docks bar in the row of the docked bar beside, just after it.
inline void DockAfter(CCbCommandBars* bars, CCbToolBar* bar, CCbToolBar* beside) {
  CRect rc;
  beside->GetWindowRect(&rc);
  rc.OffsetRect(rc.Width(), 0);
  bars->DockCommandBar(bar, &rc, beside->GetDockBar());
}

}  // namespace test_support
