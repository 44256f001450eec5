#include "platform/ui/WinDefs.h"

#include <algorithm>

BOOL SetRect(LPRECT r, int l, int t, int rr, int b) {
  if (!r) return FALSE;
  r->left = l;
  r->top = t;
  r->right = rr;
  r->bottom = b;
  return TRUE;
}
BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }
BOOL CopyRect(LPRECT dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}
BOOL InflateRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->top -= dy;
  r->right += dx;
  r->bottom += dy;
  return TRUE;
}
BOOL OffsetRect(LPRECT r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}
BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
BOOL PtInRect(const RECT* r, POINT pt) {
  return r && pt.x >= r->left && pt.x < r->right && pt.y >= r->top && pt.y < r->bottom;
}
BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    SetRectEmpty(dst);
    return FALSE;
  }
  *dst = r;
  return TRUE;
}
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    if (IsRectEmpty(b)) {
      SetRectEmpty(dst);
      return FALSE;
    }
    *dst = *b;
    return TRUE;
  }
  if (IsRectEmpty(b)) {
    *dst = *a;
    return TRUE;
  }
  RECT r{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
         std::max(a->bottom, b->bottom)};
  *dst = r;
  return TRUE;
}
BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  RECT r = *a, i;
  if (IntersectRect(&i, a, b)) {
    // Only a full-width or full-height cut leaves a rectangle.
    if (i.left <= r.left && i.right >= r.right) {
      if (i.top <= r.top)
        r.top = i.bottom;
      else if (i.bottom >= r.bottom)
        r.bottom = i.top;
    } else if (i.top <= r.top && i.bottom >= r.bottom) {
      if (i.left <= r.left)
        r.left = i.right;
      else if (i.right >= r.right)
        r.right = i.left;
    }
  }
  *dst = r;
  return !IsRectEmpty(dst);
}
