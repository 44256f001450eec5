// The slider (trackbar): a thumb on a channel with ticks, moved by dragging, by clicks on the
// channel (a page) and by the keys, reporting to the parent with WM_HSCROLL/WM_VSCROLL.
#include "platform/ui/CtlInternal.h"

#include <algorithm>
#include <set>

namespace {

struct SliderState : AfxCtlState {
  int min = 0, max = 100, pos = 0;
  int page = 20, line = 1;
  int ticFreq = 1;
  std::set<int> tics;
  bool dragging = false;
  bool keyStepped = false;
  bool paging = false;
  int grab = 0;  // pointer offset from the thumb's centre while dragging
};

const int kThumbLen = 11, kThumbThick = 20, kMargin = 8;

bool vert(HWND h) { return (AfxCtlStyle(h) & TBS_VERT) != 0; }

// The thumb's thickness across the slider: its full size when there is room, smaller in a
// narrow slider so the ticks below it still show.
int thumbThick(HWND h) {
  RECT rc;
  ::GetClientRect(h, &rc);
  int across = vert(h) ? rc.right : rc.bottom;
  int ticks = (AfxCtlStyle(h) & TBS_NOTICKS) ? 0 : 6;
  return std::clamp(across - 4 - ticks, 8, kThumbThick);
}

// The channel's usable span along the slider, in client coordinates.
void span(HWND h, int* a, int* b) {
  RECT rc;
  ::GetClientRect(h, &rc);
  int len = vert(h) ? rc.bottom : rc.right;
  *a = kMargin + kThumbLen / 2;
  *b = std::max(*a + 1, len - kMargin - kThumbLen / 2 - 1);
}

int coordOf(HWND h, SliderState* s, int p) {
  int a, b;
  span(h, &a, &b);
  if (s->max <= s->min) return a;
  return a + (int)((long long)(p - s->min) * (b - a) / (s->max - s->min));
}

int posAt(HWND h, SliderState* s, int c) {
  int a, b;
  span(h, &a, &b);
  if (s->max <= s->min) return s->min;
  long long p = s->min + ((long long)(c - a) * (s->max - s->min) + (b - a) / 2) / (b - a);
  return (int)std::clamp<long long>(p, s->min, s->max);
}

CRect thumbRect(HWND h, SliderState* s) {
  int c = coordOf(h, s, s->pos);
  int top = 4;
  int thick = thumbThick(h);
  if (vert(h)) return CRect(top, c - kThumbLen / 2, top + thick, c - kThumbLen / 2 + kThumbLen);
  return CRect(c - kThumbLen / 2, top, c - kThumbLen / 2 + kThumbLen, top + thick);
}

CRect channelRect(HWND h) {
  RECT rc;
  ::GetClientRect(h, &rc);
  int mid = 4 + thumbThick(h) / 2;
  if (vert(h)) return CRect(mid - 2, kMargin, mid + 2, rc.bottom - kMargin);
  return CRect(kMargin, mid - 2, rc.right - kMargin, mid + 2);
}

void notify(HWND h, SliderState* s, UINT code) {
  HWND p = AfxCtlParent(h);
  WORD pos = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? (WORD)(short)s->pos : 0;
  if (p) ::SendMessage(p, vert(h) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), (LPARAM)h);
}

void setPos(HWND h, SliderState* s, int p) {
  p = std::clamp(p, s->min, std::max(s->min, s->max));
  if (p == s->pos) return;
  s->pos = p;
  AfxCtlInvalidate(h);
}

void paint(HWND h, SliderState* s) {
  PAINTSTRUCT ps;
  CDC* dc = CDC::FromHandle(::BeginPaint(h, &ps));
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  HBRUSH br = AfxCtlColor(h, dc, WM_CTLCOLORSTATIC);
  dc->FillRect(&rc, CBrush::FromHandle(br));
  CRect ch = channelRect(h);
  dc->DrawEdge(&ch, EDGE_SUNKEN, BF_RECT);
  DWORD st = AfxCtlStyle(h);
  if (!(st & TBS_NOTICKS)) {
    std::set<int> marks = s->tics;
    marks.insert(s->min);
    marks.insert(s->max);
    if ((st & TBS_AUTOTICKS) && s->ticFreq > 0 && s->max > s->min && (s->max - s->min) / s->ticFreq < 2000)
      for (int p = s->min; p <= s->max; p += s->ticFreq) marks.insert(p);
    COLORREF c = GetSysColor(COLOR_BTNTEXT);
    int base = 4 + thumbThick(h) + 2;
    for (int p : marks) {
      if (p < s->min || p > s->max) continue;
      int x = coordOf(h, s, p);
      if (vert(h))
        dc->FillSolidRect(base, x, 3, 1, c);
      else
        dc->FillSolidRect(x, base, 1, 3, c);
    }
  }
  if (!(st & TBS_NOTHUMB)) AfxDrawPushFrame(dc, thumbRect(h, s), false, false, false);
  if (AfxCtlHasFocus(h)) {
    CRect f = rc;
    dc->DrawFocusRect(&f);
  }
  ::EndPaint(h, &ps);
}

// ---- One handler per message ----

LRESULT OnSlButtonDown(HWND h, SliderState* s, LPARAM lp) {
  if (::GetFocus() != h) ::SetFocus(h);
  if (!AfxRec(h)) return 0;
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  CRect th = thumbRect(h, s);
  int along = vert(h) ? pt.y : pt.x;
  ::SetCapture(h);
  if (th.PtInRect(pt)) {
    s->dragging = true;
    s->grab = along - coordOf(h, s, s->pos);
  } else {
    // A click beside the thumb moves it a page towards the click.
    s->paging = true;
    bool before = along < coordOf(h, s, s->pos);
    setPos(h, s, s->pos + (before ? -s->page : s->page));
    notify(h, s, before ? TB_PAGEUP : TB_PAGEDOWN);
  }
  return 0;
}

LRESULT OnSlMouseMove(HWND h, SliderState* s, LPARAM lp) {
  if (s->dragging) {
    int along = vert(h) ? GET_Y_LPARAM(lp) : GET_X_LPARAM(lp);
    int old = s->pos;
    setPos(h, s, posAt(h, s, along - s->grab));
    if (s->pos != old) notify(h, s, TB_THUMBTRACK);
  }
  return 0;
}

LRESULT OnSlButtonUp(HWND h, SliderState* s) {
  if (s->dragging || s->paging) {
    bool dragged = s->dragging;
    s->dragging = s->paging = false;
    if (::GetCapture() == h) ::ReleaseCapture();
    if (dragged) notify(h, s, TB_THUMBPOSITION);
    if (AfxRec(h)) notify(h, s, TB_ENDTRACK);
  }
  return 0;
}

LRESULT OnSlKeyDown(HWND h, SliderState* s, WPARAM wp) {
  UINT code;
  int np;
  switch (wp) {
    case VK_LEFT:
    case VK_UP:
      code = TB_LINEUP;
      np = s->pos - s->line;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      code = TB_LINEDOWN;
      np = s->pos + s->line;
      break;
    case VK_PRIOR:
      code = TB_PAGEUP;
      np = s->pos - s->page;
      break;
    case VK_NEXT:
      code = TB_PAGEDOWN;
      np = s->pos + s->page;
      break;
    case VK_HOME:
      code = TB_TOP;
      np = s->min;
      break;
    case VK_END:
      code = TB_BOTTOM;
      np = s->max;
      break;
    default: return 0;
  }
  setPos(h, s, np);
  s->keyStepped = true;
  notify(h, s, code);
  return 0;
}

LRESULT OnSlKeyUp(HWND h, SliderState* s) {
  if (s->keyStepped) {
    s->keyStepped = false;
    notify(h, s, TB_ENDTRACK);
  }
  return 0;
}

// The range or position changed by the program: redrawn only when asked.
LRESULT redrawIf(HWND h, WPARAM redraw) {
  if (redraw) AfxCtlInvalidate(h);
  return 0;
}

LRESULT OnSlSetPos(HWND h, SliderState* s, WPARAM wp, LPARAM lp) {
  s->pos = std::clamp((int)lp, s->min, std::max(s->min, s->max));
  return redrawIf(h, wp);
}

LRESULT OnSlSetRange(HWND h, SliderState* s, WPARAM wp, LPARAM lp) {
  s->min = (short)LOWORD(lp);
  s->max = (short)HIWORD(lp);
  s->pos = std::clamp(s->pos, s->min, std::max(s->min, s->max));
  return redrawIf(h, wp);
}

LRESULT OnSlSetRangeMin(HWND h, SliderState* s, WPARAM wp, LPARAM lp) {
  s->min = (int)lp;
  s->pos = std::max(s->pos, s->min);
  return redrawIf(h, wp);
}

LRESULT OnSlSetRangeMax(HWND h, SliderState* s, WPARAM wp, LPARAM lp) {
  s->max = (int)lp;
  s->pos = std::min(s->pos, std::max(s->min, s->max));
  return redrawIf(h, wp);
}

LRESULT OnSlSetTic(HWND h, SliderState* s, LPARAM lp) {
  if ((int)lp < s->min || (int)lp > s->max) return FALSE;
  s->tics.insert((int)lp);
  AfxCtlInvalidate(h);
  return TRUE;
}

LRESULT OnSlGetTic(SliderState* s, WPARAM wp) {
  if ((int)wp < 0 || (int)wp >= (int)s->tics.size()) return -1;
  auto it = s->tics.begin();
  std::advance(it, (int)wp);
  return *it;
}

LRESULT OnSlGetNumTics(HWND h, SliderState* s) {
  if (AfxCtlStyle(h) & TBS_NOTICKS) return 0;
  int n = 2 + (int)s->tics.size();
  if ((AfxCtlStyle(h) & TBS_AUTOTICKS) && s->ticFreq > 0 && s->max > s->min)
    n = 2 + std::max(0, (s->max - s->min - 1) / s->ticFreq);
  return n;
}

// Sets a step size and returns the one it replaces.
LRESULT setStep(int* step, LPARAM lp) {
  int o = *step;
  *step = (int)lp;
  return o;
}

}  // namespace

AfxCtlState* AfxNewSliderState() { return new SliderState; }

LRESULT AfxSliderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = AfxCtlStateAs<SliderState>(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_PAINT: paint(h, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: AfxCtlInvalidate(h); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: return OnSlButtonDown(h, s, lp);
    case WM_MOUSEMOVE: return OnSlMouseMove(h, s, lp);
    case WM_LBUTTONUP: return OnSlButtonUp(h, s);
    case WM_CAPTURECHANGED: s->dragging = s->paging = false; return 0;
    case WM_KEYDOWN: return OnSlKeyDown(h, s, wp);
    case WM_KEYUP: return OnSlKeyUp(h, s);
    case TBM_GETPOS: return s->pos;
    case TBM_GETRANGEMIN: return s->min;
    case TBM_GETRANGEMAX: return s->max;
    case TBM_SETPOS: return OnSlSetPos(h, s, wp, lp);
    case TBM_SETRANGE: return OnSlSetRange(h, s, wp, lp);
    case TBM_SETRANGEMIN: return OnSlSetRangeMin(h, s, wp, lp);
    case TBM_SETRANGEMAX: return OnSlSetRangeMax(h, s, wp, lp);
    case TBM_SETTICFREQ:
      s->ticFreq = std::max(1, (int)wp);
      AfxCtlInvalidate(h);
      return 0;
    case TBM_SETTIC: return OnSlSetTic(h, s, lp);
    case TBM_GETTIC: return OnSlGetTic(s, wp);
    case TBM_CLEARTICS: s->tics.clear(); return redrawIf(h, wp);
    case TBM_GETNUMTICS: return OnSlGetNumTics(h, s);
    case TBM_SETPAGESIZE: return setStep(&s->page, lp);
    case TBM_GETPAGESIZE: return s->page;
    case TBM_SETLINESIZE: return setStep(&s->line, lp);
    case TBM_GETLINESIZE: return s->line;
    case TBM_GETTHUMBRECT:
      if (lp) *(RECT*)lp = thumbRect(h, s);
      return 0;
    case TBM_GETCHANNELRECT:
      if (lp) *(RECT*)lp = channelRect(h);
      return 0;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CSliderCtrl, CControlWnd)

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(TRACKBAR_CLASS, "", dwStyle, rect, pParentWnd, nID);
}
int CSliderCtrl::GetPos() const { return (int)SendMessage(TBM_GETPOS); }
void CSliderCtrl::SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) {
  SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
  SendMessage(TBM_SETRANGEMAX, bRedraw, nMax);
}
void CSliderCtrl::GetRange(int& nMin, int& nMax) const {
  nMin = GetRangeMin();
  nMax = GetRangeMax();
}
int CSliderCtrl::GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
int CSliderCtrl::GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }
void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
void CSliderCtrl::SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, (WPARAM)nFreq); }
BOOL CSliderCtrl::SetTic(int nTic) { return (BOOL)SendMessage(TBM_SETTIC, 0, nTic); }
void CSliderCtrl::ClearTics(BOOL bRedraw) { SendMessage(TBM_CLEARTICS, bRedraw); }
int CSliderCtrl::GetNumTics() const { return (int)SendMessage(TBM_GETNUMTICS); }
int CSliderCtrl::SetPageSize(int n) { return (int)SendMessage(TBM_SETPAGESIZE, 0, n); }
int CSliderCtrl::GetPageSize() const { return (int)SendMessage(TBM_GETPAGESIZE); }
int CSliderCtrl::SetLineSize(int n) { return (int)SendMessage(TBM_SETLINESIZE, 0, n); }
int CSliderCtrl::GetLineSize() const { return (int)SendMessage(TBM_GETLINESIZE); }
void CSliderCtrl::GetThumbRect(LPRECT lprc) const { SendMessage(TBM_GETTHUMBRECT, 0, (LPARAM)lprc); }
void CSliderCtrl::GetChannelRect(LPRECT lprc) const { SendMessage(TBM_GETCHANNELRECT, 0, (LPARAM)lprc); }
