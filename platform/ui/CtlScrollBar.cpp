// The scroll-bar control: two arrows, a track and a thumb. Pressing an arrow or the track
// steps and repeats while held; dragging the thumb reports the track position, then the final
// one; every press ends with SB_ENDSCROLL. The keys do the same for a focused bar.
#include "platform/ui/CtlScrollBar.h"
#include "platform/ui/CtlInternal.h"

#include <algorithm>

namespace {

enum Part { None, ArrowUp, PageUp, Thumb, PageDown, ArrowDown };
const UINT_PTR kRepeatTimer = 1;
const int kFirstRepeat = 350, kRepeat = 50, kMinThumb = 8;

struct BarState : AfxCtlState {
  int min = 0, max = 100, pos = 0;
  UINT page = 0;
  UINT disabled = 0;  // ESB_DISABLE_* arrows
  Part pressed = None;
  bool over = false;  // the pointer is over the pressed part
  int trackPos = 0;
  int grab = 0;  // pointer offset into the thumb while dragging
  POINT last{};
  bool keyScrolled = false;
};

BarState* st(HWND h) { return AfxCtlStateAs<BarState>(h); }
bool vert(HWND h) { return (AfxCtlStyle(h) & SBS_VERT) != 0; }

struct Geo {
  int len = 0, thick = 0, arrow = 0, track0 = 0, track1 = 0, thumb0 = 0, thumb1 = 0;
  bool hasThumb = false;
};

int maxPos(BarState* s) { return std::max(s->min, s->max - std::max(0, (int)s->page - 1)); }

Geo geo(HWND h, BarState* s) {
  Geo g;
  RECT rc;
  ::GetClientRect(h, &rc);
  g.len = vert(h) ? rc.bottom : rc.right;
  g.thick = vert(h) ? rc.right : rc.bottom;
  g.arrow = std::min(g.thick, g.len / 2);
  g.track0 = g.arrow;
  g.track1 = g.len - g.arrow;
  int trackLen = g.track1 - g.track0;
  int range = s->max - s->min + 1;
  if (range <= 0 || trackLen < kMinThumb || (s->page && (int)s->page >= range) || !::IsWindowEnabled(h)) return g;
  int thumb = s->page ? std::max(kMinThumb, (int)((long long)trackLen * s->page / range)) : std::min(g.thick, trackLen);
  thumb = std::min(thumb, trackLen);
  int span = maxPos(s) - s->min;
  int p = s->pressed == Thumb ? s->trackPos : s->pos;
  int off = span > 0 ? (int)((long long)(trackLen - thumb) * (p - s->min) / span) : 0;
  g.thumb0 = g.track0 + off;
  g.thumb1 = g.thumb0 + thumb;
  g.hasThumb = true;
  return g;
}

int along(HWND h, POINT pt) { return vert(h) ? pt.y : pt.x; }

Part partAt(HWND h, BarState* s, POINT pt) {
  RECT rc;
  ::GetClientRect(h, &rc);
  if (!PtInRect(&rc, pt)) return None;
  Geo g = geo(h, s);
  int a = along(h, pt);
  if (a < g.track0) return ArrowUp;
  if (a >= g.track1) return ArrowDown;
  if (!g.hasThumb) return None;
  if (a < g.thumb0) return PageUp;
  if (a >= g.thumb1) return PageDown;
  return Thumb;
}

CRect partRect(HWND h, const Geo& g, int a, int b) {
  return vert(h) ? CRect(0, a, g.thick, b) : CRect(a, 0, b, g.thick);
}

void send(HWND h, UINT code, int pos = 0) {
  HWND p = AfxCtlParent(h);
  if (p) ::SendMessage(p, vert(h) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, (WORD)(short)pos), (LPARAM)h);
}

bool arrowEnabled(HWND h, BarState* s, Part p) {
  if (!::IsWindowEnabled(h) || s->max <= s->min) return false;
  if (p == ArrowUp) return !(s->disabled & ESB_DISABLE_LTUP);
  return !(s->disabled & ESB_DISABLE_RTDN);
}

// One step of the pressed part; false when there is nothing more to do.
bool step(HWND h, BarState* s) {
  switch (s->pressed) {
    case ArrowUp:
      if (arrowEnabled(h, s, ArrowUp)) send(h, SB_LINEUP);
      return true;
    case ArrowDown:
      if (arrowEnabled(h, s, ArrowDown)) send(h, SB_LINEDOWN);
      return true;
    case PageUp:
    case PageDown: {
      // Paging stops once the thumb has reached the pointer.
      if (partAt(h, s, s->last) != s->pressed) return true;
      send(h, s->pressed == PageUp ? SB_PAGEUP : SB_PAGEDOWN);
      return true;
    }
    default: return false;
  }
}

void setPos(BarState* s, int p) { s->pos = std::clamp(p, s->min, maxPos(s)); }

void paint(HWND h, BarState* s, WPARAM given) {
  AfxCtlPaintDC paintDc(h, given);
  CDC* dc = paintDc.dc();
  if (!dc) return;
  Geo g = geo(h, s);
  CRect rc;
  ::GetClientRect(h, &rc);
  // The classic track: a fine checker of the highlight and the face colours.
  auto rgb = [](COLORREF c) { return (DWORD)((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c)); };
  DWORD lite = rgb(GetSysColor(COLOR_3DHILIGHT)), face = rgb(GetSysColor(COLOR_SCROLLBAR));
  const DWORD bits[4] = {lite, face, face, lite};
  CBitmap checker;
  CBrush track;
  if (checker.CreateBitmap(2, 2, 1, 32, bits) && track.CreatePatternBrush(&checker))
    dc->FillRect(&rc, &track);
  else
    dc->FillSolidRect(&rc, GetSysColor(COLOR_SCROLLBAR));
  if (s->pressed == PageUp || s->pressed == PageDown) {
    CRect pr = s->pressed == PageUp ? partRect(h, g, g.track0, g.thumb0) : partRect(h, g, g.thumb1, g.track1);
    if (s->over) dc->FillSolidRect(&pr, GetSysColor(COLOR_3DDKSHADOW));
  }
  CRect up = partRect(h, g, 0, g.arrow), down = partRect(h, g, g.len - g.arrow, g.len);
  AfxDrawPushFrame(dc, up, s->pressed == ArrowUp && s->over, false, false);
  AfxDrawPushFrame(dc, down, s->pressed == ArrowDown && s->over, false, false);
  CRect ua = up, da = down;
  if (s->pressed == ArrowUp && s->over) ua.OffsetRect(1, 1);
  if (s->pressed == ArrowDown && s->over) da.OffsetRect(1, 1);
  AfxDrawArrow(dc, ua, vert(h) ? 0 : 2, arrowEnabled(h, s, ArrowUp));
  AfxDrawArrow(dc, da, vert(h) ? 1 : 3, arrowEnabled(h, s, ArrowDown));
  if (g.hasThumb) {
    CRect th = partRect(h, g, g.thumb0, g.thumb1);
    AfxDrawPushFrame(dc, th, false, false, false);
    if (AfxCtlHasFocus(h)) {
      CRect f = th;
      f.DeflateRect(3, 3);
      dc->DrawFocusRect(&f);
    }
  }
}

// ---- One handler per message ----

LRESULT OnSbButtonDown(HWND h, BarState* s, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if ((AfxCtlStyle(h) & WS_TABSTOP) && ::GetFocus() != h) ::SetFocus(h);
  if (!AfxRec(h) || !(s = st(h))) return 0;
  Part p = partAt(h, s, pt);
  if (p == None) return 0;
  s->trackPos = s->pos;
  s->pressed = p;
  s->over = true;
  s->last = pt;
  ::SetCapture(h);
  if (p == Thumb) {
    Geo g = geo(h, s);
    s->grab = along(h, pt) - g.thumb0;
  } else {
    step(h, s);
    if (!AfxRec(h)) return 0;
    ::SetTimer(h, kRepeatTimer, kFirstRepeat, nullptr);
  }
  AfxCtlInvalidate(h);
  return 0;
}

// The thumb follows the pointer, telling the owner of each new position.
void dragThumb(HWND h, BarState* s, POINT pt) {
  Geo g = geo(h, s);
  int trackLen = g.track1 - g.track0, thumb = g.thumb1 - g.thumb0;
  int span = maxPos(s) - s->min;
  if (trackLen - thumb <= 0 || span <= 0) return;
  int off = std::clamp(along(h, pt) - s->grab - g.track0, 0, trackLen - thumb);
  int np = s->min + (int)(((long long)off * span + (trackLen - thumb) / 2) / (trackLen - thumb));
  if (np != s->trackPos) {
    s->trackPos = np;
    AfxCtlInvalidate(h);
    send(h, SB_THUMBTRACK, np);
  }
}

LRESULT OnSbMouseMove(HWND h, BarState* s, LPARAM lp) {
  if (s->pressed == None) return 0;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  s->last = pt;
  if (s->pressed == Thumb) {
    dragThumb(h, s, pt);
    return 0;
  }
  bool over = partAt(h, s, pt) == s->pressed;
  if (over != s->over) {
    s->over = over;
    AfxCtlInvalidate(h);
  }
  return 0;
}

LRESULT OnSbTimer(HWND h, BarState* s, WPARAM wp) {
  if (wp == kRepeatTimer) {
    if (s->pressed == None || s->pressed == Thumb) {
      ::KillTimer(h, kRepeatTimer);
      return 0;
    }
    ::SetTimer(h, kRepeatTimer, kRepeat, nullptr);
    if (s->over || s->pressed == PageUp || s->pressed == PageDown) step(h, s);
  }
  return 0;
}

LRESULT OnSbButtonUp(HWND h, BarState* s) {
  if (s->pressed == None) return 0;
  Part p = s->pressed;
  int track = s->trackPos;
  s->pressed = None;
  ::KillTimer(h, kRepeatTimer);
  if (::GetCapture() == h) ::ReleaseCapture();
  AfxCtlInvalidate(h);
  if (p == Thumb) send(h, SB_THUMBPOSITION, track);
  if (AfxRec(h)) send(h, SB_ENDSCROLL);
  return 0;
}

LRESULT OnSbCaptureChanged(HWND h, BarState* s, LPARAM lp) {
  if (s->pressed != None && (HWND)lp != h) {
    s->pressed = None;
    ::KillTimer(h, kRepeatTimer);
    AfxCtlInvalidate(h);
  }
  return 0;
}

LRESULT OnSbKeyDown(HWND h, BarState* s, WPARAM wp) {
  UINT code;
  switch (wp) {
    case VK_UP:
    case VK_LEFT: code = SB_LINEUP; break;
    case VK_DOWN:
    case VK_RIGHT: code = SB_LINEDOWN; break;
    case VK_PRIOR: code = SB_PAGEUP; break;
    case VK_NEXT: code = SB_PAGEDOWN; break;
    case VK_HOME: code = SB_TOP; break;
    case VK_END: code = SB_BOTTOM; break;
    default: return 0;
  }
  s->keyScrolled = true;
  send(h, code);
  return 0;
}

LRESULT OnSbKeyUp(HWND h, BarState* s) {
  if (s->keyScrolled) {
    s->keyScrolled = false;
    send(h, SB_ENDSCROLL);
  }
  return 0;
}

LRESULT OnSbSetScrollInfo(HWND h, BarState* s, WPARAM wp, const SCROLLINFO* si) {
  if (!si) return s->pos;
  if (si->fMask & SIF_RANGE) {
    s->min = si->nMin;
    s->max = si->nMax;
  }
  if (si->fMask & SIF_PAGE) s->page = std::min<UINT>(si->nPage, (UINT)std::max(0, s->max - s->min + 1));
  if (si->fMask & SIF_POS) s->pos = si->nPos;
  setPos(s, s->pos);
  if (wp) AfxCtlInvalidate(h);
  return s->pos;
}

LRESULT OnSbGetScrollInfo(BarState* s, SCROLLINFO* si) {
  if (!si) return FALSE;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->min;
    si->nMax = s->max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->page;
  if (si->fMask & SIF_POS) si->nPos = s->pos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->pressed == Thumb ? s->trackPos : s->pos;
  return TRUE;
}

LRESULT OnSbSetPos(HWND h, BarState* s, WPARAM wp, LPARAM lp) {
  int old = s->pos;
  setPos(s, (int)wp);
  if (lp) AfxCtlInvalidate(h);
  return old;
}

LRESULT OnSbSetRange(HWND h, BarState* s, UINT msg, WPARAM wp, LPARAM lp) {
  int old = s->pos;
  s->min = (int)wp;
  s->max = (int)lp;
  setPos(s, s->pos);
  if (msg == SBM_SETRANGEREDRAW) AfxCtlInvalidate(h);
  return old;
}

LRESULT OnSbGetRange(BarState* s, WPARAM wp, LPARAM lp) {
  if (wp) *(LPINT)wp = s->min;
  if (lp) *(LPINT)lp = s->max;
  return 0;
}

}  // namespace

AfxCtlState* AfxNewScrollBarState() { return new BarState; }

LRESULT AfxScrollBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  BarState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: paint(h, s, wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE: AfxCtlInvalidate(h); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnSbButtonDown(h, s, lp);
    case WM_MOUSEMOVE: return OnSbMouseMove(h, s, lp);
    case WM_TIMER: return OnSbTimer(h, s, wp);
    case WM_LBUTTONUP: return OnSbButtonUp(h, s);
    case WM_CAPTURECHANGED: return OnSbCaptureChanged(h, s, lp);
    case WM_KEYDOWN: return OnSbKeyDown(h, s, wp);
    case WM_KEYUP: return OnSbKeyUp(h, s);

    case SBM_SETSCROLLINFO: return OnSbSetScrollInfo(h, s, wp, (const SCROLLINFO*)lp);
    case SBM_GETSCROLLINFO: return OnSbGetScrollInfo(s, (SCROLLINFO*)lp);
    case SBM_SETPOS: return OnSbSetPos(h, s, wp, lp);
    case SBM_GETPOS: return s->pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: return OnSbSetRange(h, s, msg, wp, lp);
    case SBM_GETRANGE: return OnSbGetRange(s, wp, lp);
    case SBM_ENABLE_ARROWS:
      s->disabled = (UINT)wp & ESB_DISABLE_BOTH;
      AfxCtlInvalidate(h);
      return TRUE;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CScrollBar, CControlWnd)

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_SCROLLBAR, "", dwStyle, rect, pParentWnd, nID);
}
int CScrollBar::GetScrollPos() const { return (int)SendMessage(SBM_GETPOS); }
int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw) { return (int)SendMessage(SBM_SETPOS, (WPARAM)nPos, bRedraw); }
void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const {
  SendMessage(SBM_GETRANGE, (WPARAM)lpMinPos, (LPARAM)lpMaxPos);
}
void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw) {
  SendMessage(bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, (WPARAM)nMinPos, nMaxPos);
}
void CScrollBar::ShowScrollBar(BOOL bShow) { ShowWindow(bShow ? SW_SHOW : SW_HIDE); }
BOOL CScrollBar::EnableScrollBar(UINT nArrowFlags) { return (BOOL)SendMessage(SBM_ENABLE_ARROWS, nArrowFlags); }
BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
  SendMessage(SBM_SETSCROLLINFO, bRedraw, (LPARAM)lpScrollInfo);
  return TRUE;
}
BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask) {
  if (!lpScrollInfo) return FALSE;
  lpScrollInfo->fMask = nMask;
  return (BOOL)SendMessage(SBM_GETSCROLLINFO, 0, (LPARAM)lpScrollInfo);
}
int CScrollBar::GetScrollLimit() {
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
  GetScrollInfo(&si, SIF_RANGE | SIF_PAGE);
  return std::max(si.nMin, si.nMax - std::max(0, (int)si.nPage - 1));
}
