// Where a popup bar goes on its monitor's work area: beside or below the control that opened it
// (kept clear of the control's rectangle), or at a bare point, scrolled when it cannot fit.
// A pure function of the work areas so every monitor arrangement can be tried.
#pragma once

#include "platform/ui/AfxWin.h"

#include <vector>

struct CB_POPUP_PLACEMENT {
  CRect rcExclude;  // the opening control in screen coordinates; empty for a bare point
  CPoint ptAnchor;  // (left, bottom) of the control when opening below, else (right, top)
  CSize szPopup;
  BOOL bLeft = FALSE;   // opens leftward
  BOOL bBelow = FALSE;  // opens below the control rather than beside it
};

struct CB_POPUP_PLACED {
  CRect rcWindow;
  BOOL bScroll = FALSE;  // too tall: the popup scrolls within this height
  BOOL bLeft = FALSE;    // counts as leftward after fitting (its submenus go on that way)
};

// The work area of the monitor holding the control (its largest share), or the point's monitor;
// the nearest one when none holds it.
CRect CbWorkAreaFor(const std::vector<CRect>& workAreas, const CRect& rcExclude, CPoint pt);

CB_POPUP_PLACED CbPlacePopup(const CB_POPUP_PLACEMENT& p, const CRect& rcWork);
