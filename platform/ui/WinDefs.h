// Window-system types of the user-interface layer: handles, geometry, message records.
// The basic integer and text types come from the core layer.
#pragma once

#include "platform/core/AfxResource.h"
#include "platform/core/AfxTypes.h"

#include <cstdlib>

// Handles are opaque; each kind is its own type so that overloads keep them apart.
#define NEAP_DECLARE_HANDLE(name) \
  struct name##__ {               \
    int unused;                   \
  };                              \
  typedef struct name##__* name
NEAP_DECLARE_HANDLE(HWND);
NEAP_DECLARE_HANDLE(HMENU);
NEAP_DECLARE_HANDLE(HDC);
NEAP_DECLARE_HANDLE(HCURSOR);
NEAP_DECLARE_HANDLE(HHOOK);
NEAP_DECLARE_HANDLE(HACCEL);
NEAP_DECLARE_HANDLE(HIMAGELIST);
NEAP_DECLARE_HANDLE(HMONITOR);
typedef HCURSOR HICON;

// GDI handles convert to HGDIOBJ as they do on the platform the program was written for.
struct HGDIOBJ__ {
  int unused;
};
typedef HGDIOBJ__* HGDIOBJ;
struct HPEN__ : HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HFONT__ : HGDIOBJ__ {};
struct HBITMAP__ : HGDIOBJ__ {};
struct HRGN__ : HGDIOBJ__ {};
struct HPALETTE__ : HGDIOBJ__ {};
typedef HPEN__* HPEN;
typedef HBRUSH__* HBRUSH;
typedef HFONT__* HFONT;
typedef HBITMAP__* HBITMAP;
typedef HRGN__* HRGN;
typedef HPALETTE__* HPALETTE;

typedef WORD ATOM;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef LRESULT (*HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define GET_WHEEL_DELTA_WPARAM(wParam) ((short)HIWORD(wParam))
#define GET_KEYSTATE_WPARAM(wParam) (LOWORD(wParam))
#define PALETTEINDEX(i) ((COLORREF)(0x01000000 | (DWORD)(WORD)(i)))
#define CLR_INVALID 0xFFFFFFFF
#define CLR_NONE 0xFFFFFFFF
#define CLR_DEFAULT 0xFF000000

inline int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long v = (long long)number * numerator;
  // Rounds half away from zero, as the platform does.
  long long d = denominator;
  long long q = v / d, r = v % d;
  if (2 * std::llabs(r) >= std::llabs(d)) q += ((v < 0) != (d < 0)) ? -1 : 1;
  return (int)q;
}

struct POINT {
  LONG x;
  LONG y;
};
typedef POINT* LPPOINT;
struct SIZE {
  LONG cx;
  LONG cy;
};
typedef SIZE* LPSIZE;
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
struct POINTS {
  SHORT x;
  SHORT y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;

BOOL SetRect(LPRECT r, int l, int t, int rr, int b);
BOOL SetRectEmpty(LPRECT r);
BOOL CopyRect(LPRECT dst, const RECT* src);
BOOL InflateRect(LPRECT r, int dx, int dy);
BOOL OffsetRect(LPRECT r, int dx, int dy);
BOOL IsRectEmpty(const RECT* r);
BOOL PtInRect(const RECT* r, POINT pt);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b);

class CSize;
class CRect;

class CPoint : public POINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int ix, int iy) {
    x = ix;
    y = iy;
  }
  CPoint(POINT p) {
    x = p.x;
    y = p.y;
  }
  explicit CPoint(LPARAM lp) {
    x = GET_X_LPARAM(lp);
    y = GET_Y_LPARAM(lp);
  }
  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  void Offset(POINT p) {
    x += p.x;
    y += p.y;
  }
  void SetPoint(int ix, int iy) {
    x = ix;
    y = iy;
  }
  bool operator==(POINT p) const { return x == p.x && y == p.y; }
  bool operator!=(POINT p) const { return !(*this == p); }
  void operator+=(POINT p) {
    x += p.x;
    y += p.y;
  }
  void operator-=(POINT p) {
    x -= p.x;
    y -= p.y;
  }
  CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
  CPoint operator-(POINT p) const { return CPoint(x - p.x, y - p.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
  inline CPoint operator+(SIZE s) const;
  inline CPoint operator-(SIZE s) const;
  inline void operator+=(SIZE s);
  inline void operator-=(SIZE s);
};

class CSize : public SIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int x, int y) {
    cx = x;
    cy = y;
  }
  CSize(SIZE s) {
    cx = s.cx;
    cy = s.cy;
  }
  CSize(POINT p) {
    cx = p.x;
    cy = p.y;
  }
  bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(SIZE s) const { return !(*this == s); }
  void operator+=(SIZE s) {
    cx += s.cx;
    cy += s.cy;
  }
  void operator-=(SIZE s) {
    cx -= s.cx;
    cy -= s.cy;
  }
  CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
  CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
  void SetSize(int x, int y) {
    cx = x;
    cy = y;
  }
};

inline CPoint CPoint::operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
inline CPoint CPoint::operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
inline void CPoint::operator+=(SIZE s) {
  x += s.cx;
  y += s.cy;
}
inline void CPoint::operator-=(SIZE s) {
  x -= s.cx;
  y -= s.cy;
}

class CRect : public RECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& r) { ::CopyRect(this, &r); }
  CRect(const RECT* r) { ::CopyRect(this, r); }
  CRect(POINT p, SIZE s) {
    left = p.x;
    top = p.y;
    right = p.x + s.cx;
    bottom = p.y + s.cy;
  }
  CRect(POINT tl, POINT br) {
    left = tl.x;
    top = tl.y;
    right = br.x;
    bottom = br.y;
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
  const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRect(POINT tl, POINT br) { ::SetRect(this, tl.x, tl.y, br.x, br.y); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(LPCRECT r) { ::CopyRect(this, r); }
  BOOL EqualRect(LPCRECT r) const { return ::EqualRect(this, r); }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(SIZE s) { ::InflateRect(this, s.cx, s.cy); }
  void InflateRect(LPCRECT r) {
    left -= r->left;
    top -= r->top;
    right += r->right;
    bottom += r->bottom;
  }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(SIZE s) { ::InflateRect(this, -s.cx, -s.cy); }
  void DeflateRect(LPCRECT r) {
    left += r->left;
    top += r->top;
    right -= r->right;
    bottom -= r->bottom;
  }
  void DeflateRect(int l, int t, int r, int b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT p) { ::OffsetRect(this, p.x, p.y); }
  void OffsetRect(SIZE s) { ::OffsetRect(this, s.cx, s.cy); }
  void MoveToX(int x) {
    right = Width() + x;
    left = x;
  }
  void MoveToY(int y) {
    bottom = Height() + y;
    top = y;
  }
  void MoveToXY(int x, int y) {
    MoveToX(x);
    MoveToY(y);
  }
  void MoveToXY(POINT p) { MoveToXY(p.x, p.y); }
  void NormalizeRect() {
    if (left > right) {
      LONG t = left;
      left = right;
      right = t;
    }
    if (top > bottom) {
      LONG t = top;
      top = bottom;
      bottom = t;
    }
  }
  BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
  BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

  void operator=(const RECT& r) { ::CopyRect(this, &r); }
  bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != 0; }
  bool operator!=(const RECT& r) const { return !(*this == r); }
  // Two CRects compare without the reversed-operand ambiguity of C++20.
  bool operator==(const CRect& r) const { return ::EqualRect(this, &r) != 0; }
  bool operator!=(const CRect& r) const { return !(*this == r); }
  void operator+=(POINT p) { OffsetRect(p.x, p.y); }
  void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
  void operator+=(SIZE s) { OffsetRect(s.cx, s.cy); }
  void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
  void operator&=(const RECT& r) { ::IntersectRect(this, this, &r); }
  void operator|=(const RECT& r) { ::UnionRect(this, this, &r); }
  CRect operator+(POINT p) const {
    CRect r(*this);
    r.OffsetRect(p.x, p.y);
    return r;
  }
  CRect operator-(POINT p) const {
    CRect r(*this);
    r.OffsetRect(-p.x, -p.y);
    return r;
  }
  CRect operator&(const RECT& o) const {
    CRect r;
    ::IntersectRect(&r, this, &o);
    return r;
  }
  CRect operator|(const RECT& o) const {
    CRect r;
    ::UnionRect(&r, this, &o);
    return r;
  }
};
