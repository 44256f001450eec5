// The up-down control: arrows that step a position in a range, with or without a buddy
// window, UDN_DELTAPOS (which the parent may refuse) and WM_VSCROLL/WM_HSCROLL after a step.
// The up (or right) arrow moves the position towards the upper bound, so with the default
// range (lower 100, upper 0) it counts down, and iDelta carries the sign of the change.
#include "platform/ui/CtlInternal.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

struct UpDownState : AfxCtlState {
  int lower = 100, upper = 0, pos = 0;
  int base = 10;
  HWND buddy = nullptr;
  int pressed = 0;  // +1 up arrow, -1 down arrow
  bool tracking = false;
};

std::map<HWND, HWND>& buddies() {  // buddy -> up-down
  static std::map<HWND, HWND> m;
  return m;
}

bool horz(HWND h) { return (AfxCtlStyle(h) & UDS_HORZ) != 0; }

void buddyText(HWND h, UpDownState* s) {
  if (!s->buddy || !(AfxCtlStyle(h) & UDS_SETBUDDYINT) || !::IsWindow(s->buddy)) return;
  CString t;
  if (s->base == 16)
    t.Format("0x%X", s->pos);
  else
    t.Format("%d", s->pos);
  if (!(AfxCtlStyle(h) & UDS_NOTHOUSANDS) && s->base != 16) {
    std::string d = t.GetStdString(), out;
    size_t start = (!d.empty() && d[0] == '-') ? 1 : 0;
    for (size_t i = 0; i < d.size(); ++i) {
      out += d[i];
      size_t left = d.size() - 1 - i;
      if (i >= start && left > 0 && left % 3 == 0) out += ',';
    }
    t = out;
  }
  ::SetWindowText(s->buddy, t);
}

// The position from the buddy's text; false when it holds no number in the range.
bool readBuddy(HWND h, UpDownState* s) {
  if (!s->buddy || !(AfxCtlStyle(h) & UDS_SETBUDDYINT)) return true;
  std::string t = AfxStdStr(AfxCtlText(s->buddy));
  t.erase(std::remove(t.begin(), t.end(), ','), t.end());
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, s->base == 16 ? 16 : 10);
  if (t.empty() || !end || *end) return false;
  int lo = std::min(s->lower, s->upper), hi = std::max(s->lower, s->upper);
  if (v < lo || v > hi) return false;
  s->pos = (int)v;
  return true;
}

void attachBuddy(HWND h, UpDownState* s, HWND b) {
  if (s->buddy) buddies().erase(s->buddy);
  s->buddy = b;
  if (!b) return;
  buddies()[b] = h;
  DWORD st = AfxCtlStyle(h);
  if (st & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
    // The arrows sit inside the buddy's rectangle, which narrows to make room.
    RECT br, ur;
    ::GetWindowRect(b, &br);
    ::GetWindowRect(h, &ur);
    HWND p = AfxCtlParent(b);
    POINT tl{br.left, br.top}, rb{br.right, br.bottom};
    ::ScreenToClient(p, &tl);
    ::ScreenToClient(p, &rb);
    int w = std::max<int>(ur.right - ur.left, 12);
    int hgt = rb.y - tl.y;
    if (st & UDS_ALIGNRIGHT) {
      ::MoveWindow(b, tl.x, tl.y, rb.x - tl.x - w + 2, hgt, TRUE);
      ::MoveWindow(h, rb.x - w, tl.y, w, hgt, TRUE);
    } else {
      ::MoveWindow(b, tl.x + w - 2, tl.y, rb.x - tl.x - w + 2, hgt, TRUE);
      ::MoveWindow(h, tl.x, tl.y, w, hgt, TRUE);
    }
  }
  buddyText(h, s);
}

void step(HWND h, UpDownState* s, int dir) {
  readBuddy(h, s);
  int delta = dir;
  if (s->upper < s->lower) delta = -delta;
  NMUPDOWN nm{};
  nm.hdr.code = UDN_DELTAPOS;
  nm.iPos = s->pos;
  nm.iDelta = delta;
  if (AfxCtlNotify(h, &nm.hdr)) return;  // refused
  if (!AfxRec(h)) return;
  int lo = std::min(s->lower, s->upper), hi = std::max(s->lower, s->upper);
  long long np = (long long)s->pos + nm.iDelta;
  if (np > hi) np = (AfxCtlStyle(h) & UDS_WRAP) ? lo : hi;
  if (np < lo) np = (AfxCtlStyle(h) & UDS_WRAP) ? hi : lo;
  if ((int)np == s->pos) return;
  s->pos = (int)np;
  buddyText(h, s);
  if (HWND p = AfxCtlParent(h))
    ::SendMessage(p, horz(h) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (WORD)(short)s->pos), (LPARAM)h);
}

// +1 over the up (right) arrow, -1 over the down (left) one.
int arrowAt(HWND h, int x, int y) {
  RECT rc;
  ::GetClientRect(h, &rc);
  if (!PtInRect(&rc, POINT{x, y})) return 0;
  if (horz(h)) return x >= rc.right / 2 ? 1 : -1;
  return y < rc.bottom / 2 ? 1 : -1;
}

void drawArrow(CDC* dc, CRect r, int dir, bool horizontal, bool enabled) {
  CPoint c = r.CenterPoint();
  COLORREF col = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (int i = 0; i < 3; ++i) {
    int len = 1 + 2 * i;
    if (!horizontal) {
      int y = dir > 0 ? c.y - 1 + i : c.y + 1 - i;
      dc->FillSolidRect(c.x - i, y, len, 1, col);
    } else {
      int x = dir > 0 ? c.x - 1 + i : c.x + 1 - i;
      dc->FillSolidRect(x, c.y - i, 1, len, col);
    }
  }
}

void paint(HWND h, UpDownState* s) {
  PAINTSTRUCT ps;
  CDC* dc = CDC::FromHandle(::BeginPaint(h, &ps));
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  CRect up = rc, down = rc;
  if (horz(h)) {
    down.right = rc.Width() / 2;
    up.left = down.right;
  } else {
    up.bottom = rc.Height() / 2;
    down.top = up.bottom;
  }
  bool en = ::IsWindowEnabled(h);
  AfxDrawPushFrame(dc, up, s->pressed > 0, false, false);
  AfxDrawPushFrame(dc, down, s->pressed < 0, false, false);
  drawArrow(dc, up, 1, horz(h), en);
  drawArrow(dc, down, -1, horz(h), en);
  ::EndPaint(h, &ps);
}

}  // namespace

AfxCtlState* AfxNewUpDownState() { return new UpDownState; }

HWND AfxUpDownOfBuddy(HWND buddy) {
  auto it = buddies().find(buddy);
  if (it == buddies().end()) return nullptr;
  if (!::IsWindow(it->second) || !(AfxCtlStyle(it->second) & UDS_ARROWKEYS)) return nullptr;
  return it->second;
}

LRESULT AfxUpDownProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* s = AfxCtlStateAs<UpDownState>(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE:
      if (AfxCtlStyle(h) & UDS_AUTOBUDDY) {
        // The window made just before this one.
        AfxWndRec* p = AfxRec(AfxCtlParent(h));
        if (p) {
          auto it = std::find(p->children.begin(), p->children.end(), h);
          if (it != p->children.end() && it != p->children.begin()) attachBuddy(h, s, *(it - 1));
        }
      }
      return 0;
    case WM_NCDESTROY:
      if (s->buddy) buddies().erase(s->buddy);
      break;
    case WM_PAINT: paint(h, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE: AfxCtlInvalidate(h); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      int a = arrowAt(h, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      if (!a) return 0;
      if (s->buddy && ::IsWindow(s->buddy) && ::GetFocus() != s->buddy) ::SetFocus(s->buddy);
      s->pressed = a;
      s->tracking = true;
      ::SetCapture(h);
      AfxCtlInvalidate(h);
      step(h, s, a);
      return 0;
    }
    case WM_LBUTTONUP:
      if (s->tracking) {
        s->tracking = false;
        s->pressed = 0;
        if (::GetCapture() == h) ::ReleaseCapture();
        AfxCtlInvalidate(h);
        if (HWND p = AfxCtlParent(h))
          ::SendMessage(p, horz(h) ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, (WORD)(short)s->pos), (LPARAM)h);
      }
      return 0;
    case WM_CAPTURECHANGED:
      s->tracking = false;
      s->pressed = 0;
      AfxCtlInvalidate(h);
      return 0;
    case WM_KEYDOWN:
      if ((AfxCtlStyle(h) & UDS_ARROWKEYS) && (wp == VK_UP || wp == VK_DOWN || wp == VK_LEFT || wp == VK_RIGHT)) {
        step(h, s, (wp == VK_UP || wp == VK_RIGHT) ? 1 : -1);
        return 0;
      }
      return 0;
    case UDM_SETRANGE:
      s->upper = (short)LOWORD(lp);
      s->lower = (short)HIWORD(lp);
      return 0;
    case UDM_SETRANGE32:
      s->lower = (int)wp;
      s->upper = (int)lp;
      return 0;
    case UDM_GETRANGE: return MAKELONG((WORD)(short)s->upper, (WORD)(short)s->lower);
    case UDM_GETRANGE32:
      if (wp) *(int*)wp = s->lower;
      if (lp) *(int*)lp = s->upper;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = s->pos;
      int v = msg == UDM_SETPOS ? (short)LOWORD(lp) : (int)lp;
      s->pos = std::clamp(v, std::min(s->lower, s->upper), std::max(s->lower, s->upper));
      buddyText(h, s);
      return old;
    }
    case UDM_GETPOS: {
      bool ok = readBuddy(h, s);
      return MAKELONG((WORD)(short)s->pos, ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
      bool ok = readBuddy(h, s);
      if (lp) *(BOOL*)lp = ok ? FALSE : TRUE;
      return s->pos;
    }
    case UDM_SETBUDDY: {
      HWND old = s->buddy;
      attachBuddy(h, s, (HWND)wp);
      return (LRESULT)old;
    }
    case UDM_GETBUDDY: return (LRESULT)s->buddy;
    case UDM_SETBASE: {
      int old = s->base;
      if (wp == 10 || wp == 16)
        s->base = (int)wp;
      else
        return 0;
      buddyText(h, s);
      return old;
    }
    case UDM_GETBASE: return s->base;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CControlWnd)

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(UPDOWN_CLASS, "", dwStyle, rect, pParentWnd, nID);
}
void CSpinButtonCtrl::SetRange32(int nLower, int nUpper) {
  SendMessage(UDM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper);
}
DWORD CSpinButtonCtrl::GetRange() const { return (DWORD)SendMessage(UDM_GETRANGE); }
void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
  SendMessage(UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper);
}
int CSpinButtonCtrl::SetPos(int nPos) {
  return (int)(short)LOWORD(SendMessage(UDM_SETPOS, 0, MAKELPARAM((WORD)(short)nPos, 0)));
}
int CSpinButtonCtrl::GetPos() const { return (int)SendMessage(UDM_GETPOS); }
int CSpinButtonCtrl::SetPos32(int nPos) { return (int)SendMessage(UDM_SETPOS32, 0, (LPARAM)nPos); }
int CSpinButtonCtrl::GetPos32(BOOL* lpbError) const { return (int)SendMessage(UDM_GETPOS32, 0, (LPARAM)lpbError); }
CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy) {
  return CWnd::FromHandle((HWND)SendMessage(UDM_SETBUDDY, (WPARAM)(pWndBuddy ? pWndBuddy->GetSafeHwnd() : nullptr)));
}
CWnd* CSpinButtonCtrl::GetBuddy() const { return CWnd::FromHandle((HWND)SendMessage(UDM_GETBUDDY)); }
int CSpinButtonCtrl::SetBase(int nBase) { return (int)SendMessage(UDM_SETBASE, (WPARAM)nBase); }
int CSpinButtonCtrl::GetBase() const { return (int)SendMessage(UDM_GETBASE); }
