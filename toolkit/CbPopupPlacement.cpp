#include "toolkit/CbPopupPlacement.h"

#include <algorithm>
#include <climits>

CRect CbWorkAreaFor(const std::vector<CRect>& workAreas, const CRect& rcExclude, CPoint pt) {
  if (workAreas.empty()) return CRect(0, 0, 0, 0);
  const bool bare = rcExclude.IsRectEmpty();
  const CRect* best = nullptr;
  long bestShare = 0;
  if (!bare) {
    for (const CRect& w : workAreas) {
      CRect i;
      if (!::IntersectRect(&i, &w, &rcExclude)) continue;
      long share = (long)i.Width() * i.Height();
      if (share > bestShare) {
        bestShare = share;
        best = &w;
      }
    }
    if (!best) pt = rcExclude.CenterPoint();
  } else {
    for (const CRect& w : workAreas)
      if (w.PtInRect(pt)) {
        best = &w;
        break;
      }
  }
  if (best) return *best;
  long nearest = LONG_MAX;
  for (const CRect& w : workAreas) {
    long dx = pt.x < w.left ? w.left - pt.x : pt.x >= w.right ? pt.x - w.right + 1 : 0;
    long dy = pt.y < w.top ? w.top - pt.y : pt.y >= w.bottom ? pt.y - w.bottom + 1 : 0;
    long d = dx * dx + dy * dy;
    if (d < nearest) {
      nearest = d;
      best = &w;
    }
  }
  return *best;
}

CB_POPUP_PLACED CbPlacePopup(const CB_POPUP_PLACEMENT& p, const CRect& W) {
  const CRect& E = p.rcExclude;
  const bool bare = E.IsRectEmpty();
  int cx = p.szPopup.cx, cy = p.szPopup.cy;
  int x = p.ptAnchor.x, y = p.ptAnchor.y;
  bool left = p.bLeft != 0, scroll = false;
  const int B = W.bottom - 5;
  // Half-way down this work area (not the screen's origin: a monitor may start below y = 0).
  const int half = W.top + (B - W.top) / 2;

  if (left) {
    if (bare)
      x = x - cx;
    else
      x = p.bBelow ? E.right - cx : E.left - cx;
  }

  if (bare && y > B) {
    y = y - cy;
  } else if (y + cy > B) {
    if (bare) {
      y = y < half ? B - cy : y - cy;
    } else if (p.bBelow) {
      y = E.top - cy;
      if (y < W.top) {
        scroll = true;
        if (half < (E.top + E.bottom) / 2) {
          y = W.top;
          cy = E.top - W.top;
        } else {
          y = E.bottom;
          cy = B - E.bottom;
        }
      }
    } else {
      y = B - cy;
    }
  }
  y = std::max(y, (int)W.top);
  if (y + cy > B) {
    cy = B - y;
    scroll = true;
  }

  if (x + cx > W.right) {
    if (bare)
      x = x > W.right ? x - cx : W.right - cx;
    else {
      x = (p.bBelow ? W.right : E.left) - cx;
      left = true;
    }
  }
  if (x < W.left) {
    if (!bare) {
      x = p.bBelow ? W.left : E.right;
      left = false;
    } else if (left) {
      x = W.left;  // this monitor's left edge, not the primary screen's
      left = false;
    }
  }
  CB_POPUP_PLACED r;
  r.rcWindow = CRect(x, y, x + cx, y + std::max(cy, 0));
  r.bScroll = scroll;
  r.bLeft = left;
  return r;
}
