// The tooltip control. It learns where the pointer is from relayed mouse messages (or from a
// mouse hook for TTF_SUBCLASS tools), waits the initial delay over a tool, shows the tool's
// text below the pointer, and hides it after the pop-up delay, on a click, or once the pointer
// has left the tool (checked on a short timer, as nothing may be relayed after that).
#include "platform/ui/CtlToolTip.h"
#include "platform/ui/CtlInternal.h"
#include "platform/ui/UiResources.h"

#include <algorithm>
#include <set>

namespace {

enum : UINT_PTR { kShowTimer = 1, kPopTimer = 2, kLeaveTimer = 3 };
const int kLeaveCheck = 100;  // ms
const COLORREF kDefault = 0xFF000000;

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  HINSTANCE hinst = nullptr;
  QString text;
  bool callback = false;
  LPARAM lParam = 0;
};

struct TipState : AfxCtlState {
  std::vector<Tool> tools;
  bool active = true;
  int current = -1;                             // the tool under the pointer, as last relayed
  int shown = -1;                               // the tool whose tip is showing
  bool clicked = false;                         // a click hides the tip until the pointer leaves the tool
  int initial = -1, autopop = -1, reshow = -1;  // -1: from the double-click time
  int maxWidth = -1;
  COLORREF bk = kDefault, fg = kDefault;
  RECT margin{};
  QString shownText;
  POINT trackPos{};
  int tracking = -1;  // a TTF_TRACK tool shown by TTM_TRACKACTIVATE
};

TipState* st(HWND h) { return AfxCtlStateAs<TipState>(h); }

std::set<HWND>& subclassers() {
  static std::set<HWND> s;
  return s;
}
HHOOK g_hook = nullptr;

int initialDelay(TipState* s) { return s->initial >= 0 ? s->initial : (int)GetDoubleClickTime(); }
int autopopDelay(TipState* s) { return s->autopop >= 0 ? s->autopop : 10 * initialDelay(s); }
int reshowDelay(TipState* s) { return s->reshow >= 0 ? s->reshow : initialDelay(s) / 5; }

int findTool(TipState* s, HWND hwnd, UINT_PTR id) {
  for (size_t i = 0; i < s->tools.size(); ++i)
    if (s->tools[i].hwnd == hwnd && s->tools[i].id == id) return (int)i;
  return -1;
}

int findTool(TipState* s, const TOOLINFO* ti) { return ti ? findTool(s, ti->hwnd, ti->uId) : -1; }

QString textOf(HINSTANCE hinst, LPCTSTR p) {
  if (!p) return QString();
  if (IS_INTRESOURCE(p)) {
    CString r;
    AfxLoadString((UINT)(ULONG_PTR)p, r);
    (void)hinst;
    return AfxQStr(r.GetString());
  }
  return AfxQStr(p);
}

void setText(Tool& t, const TOOLINFO* ti) {
  t.hinst = ti->hinst;
  t.callback = ti->lpszText == LPSTR_TEXTCALLBACK;
  t.text = t.callback ? QString() : textOf(ti->hinst, ti->lpszText);
}

// The tool's area in screen coordinates.
CRect screenRect(const Tool& t) {
  CRect r;
  if (t.flags & TTF_IDISHWND) {
    ::GetClientRect((HWND)t.id, &r);
    ::MapWindowPoints((HWND)t.id, nullptr, (LPPOINT)&r, 2);
  } else {
    r = t.rect;
    ::MapWindowPoints(t.hwnd, nullptr, (LPPOINT)&r, 2);
  }
  return r;
}

// The tool at a client point of a window.
int hitTool(TipState* s, HWND hwnd, POINT pt) {
  for (size_t i = 0; i < s->tools.size(); ++i) {
    const Tool& t = s->tools[i];
    if (t.flags & TTF_TRACK) continue;
    if (t.flags & TTF_IDISHWND) {
      if ((HWND)t.id != hwnd) continue;
      RECT rc;
      ::GetClientRect(hwnd, &rc);
      if (PtInRect(&rc, pt)) return (int)i;
    } else if (t.hwnd == hwnd && PtInRect(&t.rect, pt)) {
      return (int)i;
    }
  }
  return -1;
}

void notifyTool(HWND h, const Tool& t, NMHDR* nm) {
  nm->hwndFrom = h;
  nm->idFrom = t.id;
  if (t.hwnd) ::SendMessage(t.hwnd, WM_NOTIFY, (WPARAM)t.id, (LPARAM)nm);
}

// The text to show: the tool's own or, for a callback tool, what its window answers.
QString toolText(HWND h, TipState* s, int i) {
  Tool t = s->tools[(size_t)i];
  if (!t.callback) return t.text;
  NMTTDISPINFO di{};
  di.hdr.code = TTN_GETDISPINFO;
  di.lpszText = di.szText;
  di.uFlags = t.flags;
  di.lParam = t.lParam;
  notifyTool(h, t, &di.hdr);
  if (!AfxRec(h) || !(s = st(h)) || i >= (int)s->tools.size()) return QString();
  QString text;
  if (di.lpszText == di.szText)
    text = QString::fromUtf8(di.szText, (qsizetype)strnlen(di.szText, sizeof(di.szText)));
  else if (di.lpszText && di.lpszText != LPSTR_TEXTCALLBACK)
    text = textOf(di.hinst, di.lpszText);
  if (di.uFlags & TTF_DI_SETITEM) {
    s->tools[(size_t)i].callback = false;
    s->tools[(size_t)i].text = text;
  }
  return text;
}

COLORREF bkColour(TipState* s) { return s->bk == kDefault ? GetSysColor(COLOR_INFOBK) : s->bk; }
COLORREF fgColour(TipState* s) { return s->fg == kDefault ? GetSysColor(COLOR_INFOTEXT) : s->fg; }

UINT textFormat(HWND h, TipState* s) {
  UINT f = DT_EXPANDTABS | ((AfxCtlStyle(h) & TTS_NOPREFIX) ? DT_NOPREFIX : 0);
  return f | (s->maxWidth >= 0 ? DT_WORDBREAK : DT_SINGLELINE);
}

// Frame, padding and margins round the text.
const int kPadX = 3, kPadY = 1;

CSize tipSize(HWND h, TipState* s, const QString& text) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* old = dc.SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  std::string u = AfxStdStr(text);
  CRect r(0, 0, s->maxWidth >= 0 ? std::max(1, s->maxWidth) : 0x7FFF, 0);
  dc.DrawText(u.c_str(), (int)u.size(), &r, textFormat(h, s) | DT_CALCRECT);
  dc.SelectObject(old);
  return CSize(r.Width() + 2 * (1 + kPadX) + s->margin.left + s->margin.right,
               std::max(r.Height(), AfxCtlLineHeight(h)) + 2 * (1 + kPadY) + s->margin.top + s->margin.bottom);
}

void pop(HWND h, TipState* s) {
  ::KillTimer(h, kShowTimer);
  ::KillTimer(h, kPopTimer);
  if (s->shown < 0) return;
  Tool t = s->tools[(size_t)s->shown];
  s->shown = -1;
  ::ShowWindow(h, SW_HIDE);
  NMHDR nm{nullptr, 0, TTN_POP};
  notifyTool(h, t, &nm);
}

void placeAndShow(HWND h, TipState* s, int i, const QString& text, POINT at, bool keepPlace) {
  CSize sz = tipSize(h, s, text);
  const Tool& t = s->tools[(size_t)i];
  int x = at.x, y = at.y;
  if (keepPlace) {
    RECT wr;
    ::GetWindowRect(h, &wr);
    x = wr.left;
    y = wr.top;
  } else if (t.flags & TTF_CENTERTIP) {
    CRect tr = screenRect(t);
    x = tr.CenterPoint().x - sz.cx / 2;
    y = tr.bottom;
  }
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  if (GetMonitorInfo(MonitorFromPoint(at, 2), &mi)) {
    if (x + sz.cx > mi.rcWork.right) x = std::max((int)mi.rcWork.left, (int)mi.rcWork.right - sz.cx);
    if (y + sz.cy > mi.rcWork.bottom) y = std::max((int)mi.rcWork.top, (int)at.y - sz.cy - 4);
    x = std::max(x, (int)mi.rcWork.left);
  }
  s->shownText = text;
  AfxCtlSetText(h, text);  // the window text is what the tip shows
  ::SetWindowPos(h, HWND_TOPMOST, x, y, sz.cx, sz.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  AfxCtlInvalidate(h);
}

void show(HWND h, TipState* s, int i) {
  if (i < 0 || i >= (int)s->tools.size() || !s->active) return;
  QString text = toolText(h, s, i);
  if (!AfxRec(h) || !(s = st(h)) || text.isEmpty()) return;
  s->shown = i;
  NMHDR nm{nullptr, 0, TTN_SHOW};
  notifyTool(h, s->tools[(size_t)i], &nm);
  if (!AfxRec(h) || s->shown != i) return;
  POINT cur;
  GetCursorPos(&cur);
  // Below the pointer, clear of the arrow.
  placeAndShow(h, s, i, text, POINT{cur.x, cur.y + 20}, false);
  if (!(s->tools[(size_t)i].flags & TTF_TRACK)) ::SetTimer(h, kPopTimer, (UINT)autopopDelay(s), nullptr);
}

bool pointerOver(TipState* s, int i) {
  if (i < 0 || i >= (int)s->tools.size()) return false;
  POINT cur;
  GetCursorPos(&cur);
  return screenRect(s->tools[(size_t)i]).PtInRect(cur);
}

void relay(HWND h, TipState* s, const MSG* m) {
  if (!m || !s->active) return;
  UINT msg = m->message;
  bool press = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
               msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  bool release = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  if (msg != WM_MOUSEMOVE && !press && !release) return;
  POINT pt{GET_X_LPARAM(m->lParam), GET_Y_LPARAM(m->lParam)};
  int t = hitTool(s, m->hwnd, pt);
  if (press) {
    pop(h, s);
    s->clicked = true;
    s->current = t;
    if (t >= 0) ::SetTimer(h, kLeaveTimer, kLeaveCheck, nullptr);
    return;
  }
  if (t == s->current) return;
  bool wasShown = s->shown >= 0;
  pop(h, s);
  s->current = t;
  s->clicked = false;
  if (t < 0) {
    ::KillTimer(h, kLeaveTimer);
    return;
  }
  ::SetTimer(h, kShowTimer, (UINT)(wasShown ? reshowDelay(s) : initialDelay(s)), nullptr);
  ::SetTimer(h, kLeaveTimer, kLeaveCheck, nullptr);
}

LRESULT subclassHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && lp) {
    auto* mh = (MOUSEHOOKSTRUCT*)lp;
    POINT c = mh->pt;
    ::ScreenToClient(mh->hwnd, &c);
    MSG m{mh->hwnd, (UINT)wp, 0, MAKELPARAM((WORD)(short)c.x, (WORD)(short)c.y), 0, mh->pt};
    for (HWND tip : std::vector<HWND>(subclassers().begin(), subclassers().end())) {
      TipState* s = st(tip);
      if (!s) continue;
      bool mine = false;
      for (const Tool& t : s->tools)
        mine |= (t.flags & TTF_SUBCLASS) && (t.flags & TTF_IDISHWND ? (HWND)t.id == mh->hwnd : t.hwnd == mh->hwnd);
      if (mine || s->current >= 0) relay(tip, s, &m);
    }
  }
  return CallNextHookEx(g_hook, code, wp, lp);
}

void noteSubclass(HWND h, TipState* s) {
  bool any = std::any_of(s->tools.begin(), s->tools.end(), [](const Tool& t) { return (t.flags & TTF_SUBCLASS) != 0; });
  if (any)
    subclassers().insert(h);
  else
    subclassers().erase(h);
  if (!subclassers().empty() && !g_hook)
    g_hook = SetWindowsHookEx(WH_MOUSE, subclassHook, nullptr, GetCurrentThreadId());
  if (subclassers().empty() && g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}

void fillInfo(const Tool& t, TOOLINFO* ti) {
  ti->uFlags = t.flags;
  ti->hwnd = t.hwnd;
  ti->uId = t.id;
  ti->rect = t.rect;
  ti->hinst = t.hinst;
  ti->lParam = t.lParam;
  if (t.callback) ti->lpszText = LPSTR_TEXTCALLBACK;
  // The caller's buffer, if any, receives the text; it is taken to hold 80 bytes as on the platform.
  else if (ti->lpszText && ti->lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(ti->lpszText)) {
    std::string u = AfxStdStr(t.text);
    size_t n = std::min<size_t>(u.size(), 79);
    std::copy(u.begin(), u.begin() + (long)n, ti->lpszText);
    ti->lpszText[n] = 0;
  }
}

void paint(HWND h, TipState* s, WPARAM given) {
  AfxCtlPaintDC paintDc(h, given);
  CDC* dc = paintDc.dc();
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  dc->FillSolidRect(&rc, bkColour(s));
  CBrush frame(GetSysColor(COLOR_WINDOWFRAME));
  dc->FrameRect(&rc, &frame);
  CFont* old = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(fgColour(s));
  CRect t(rc.left + 1 + kPadX + s->margin.left, rc.top + 1 + kPadY + s->margin.top,
          rc.right - 1 - kPadX - s->margin.right, rc.bottom - 1 - kPadY - s->margin.bottom);
  std::string u = AfxStdStr(s->shownText);
  dc->DrawText(u.c_str(), (int)u.size(), &t, textFormat(h, s));
  dc->SelectObject(old);
}

// ---- One handler per message ----

LRESULT OnTtDestroy(HWND h, TipState* s) {
  s->tools.clear();
  noteSubclass(h, s);
  return 0;
}

LRESULT OnTtTimer(HWND h, TipState* s, WPARAM wp) {
  switch (wp) {
    case kShowTimer:
      ::KillTimer(h, kShowTimer);
      if (s->current >= 0 && !s->clicked && pointerOver(s, s->current)) show(h, s, s->current);
      break;
    case kPopTimer:
      pop(h, s);
      s->clicked = true;  // no second showing until the pointer leaves the tool
      break;
    case kLeaveTimer:
      if (!pointerOver(s, s->current)) {
        ::KillTimer(h, kLeaveTimer);
        pop(h, s);
        s->current = -1;
        s->clicked = false;
      }
      break;
  }
  return 0;
}

LRESULT OnTtActivate(HWND h, TipState* s, WPARAM wp) {
  s->active = wp != 0;
  if (!s->active) {
    pop(h, s);
    s->current = -1;
  }
  return 0;
}

LRESULT OnTtSetDelayTime(TipState* s, WPARAM wp, LPARAM lp) {
  int v = (short)LOWORD(lp);
  int given = v < 0 ? -1 : v;
  switch (wp) {
    case TTDT_AUTOMATIC:
      s->initial = given;
      s->autopop = s->reshow = -1;
      break;
    case TTDT_INITIAL: s->initial = given; break;
    case TTDT_AUTOPOP: s->autopop = given; break;
    case TTDT_RESHOW: s->reshow = given; break;
  }
  return 0;
}

LRESULT OnTtGetDelayTime(TipState* s, WPARAM wp) {
  switch (wp) {
    case TTDT_INITIAL:
    case TTDT_AUTOMATIC: return initialDelay(s);
    case TTDT_AUTOPOP: return autopopDelay(s);
    case TTDT_RESHOW: return reshowDelay(s);
  }
  return 0;
}

LRESULT OnTtAddTool(HWND h, TipState* s, const TOOLINFO* ti) {
  if (!ti) return FALSE;
  Tool t;
  t.flags = ti->uFlags;
  t.hwnd = ti->hwnd;
  t.id = ti->uId;
  t.rect = ti->rect;
  t.lParam = ti->lParam;
  setText(t, ti);
  int i = findTool(s, ti);
  if (i >= 0)
    s->tools[(size_t)i] = t;
  else
    s->tools.push_back(t);
  noteSubclass(h, s);
  return TRUE;
}

LRESULT OnTtDelTool(HWND h, TipState* s, const TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (i < 0) return 0;
  if (s->shown == i) pop(h, s);
  s->tools.erase(s->tools.begin() + i);
  auto fix = [i](int& k) { k = k == i ? -1 : k > i ? k - 1 : k; };
  fix(s->current);
  fix(s->shown);
  fix(s->tracking);
  noteSubclass(h, s);
  return 0;
}

LRESULT OnTtNewToolRect(TipState* s, const TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (i >= 0) s->tools[(size_t)i].rect = ti->rect;
  return 0;
}

LRESULT OnTtGetToolInfo(TipState* s, TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (i < 0) return FALSE;
  fillInfo(s->tools[(size_t)i], ti);
  return TRUE;
}

LRESULT OnTtSetToolInfo(HWND h, TipState* s, const TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (i < 0) return 0;
  Tool& t = s->tools[(size_t)i];
  t.flags = ti->uFlags;
  t.rect = ti->rect;
  t.lParam = ti->lParam;
  setText(t, ti);
  noteSubclass(h, s);
  return 0;
}

LRESULT OnTtHitTest(TipState* s, TTHITTESTINFO* hi) {
  if (!hi) return FALSE;
  int i = hitTool(s, hi->hwnd, hi->pt);
  if (i < 0) return FALSE;
  fillInfo(s->tools[(size_t)i], &hi->ti);
  return TRUE;
}

LRESULT OnTtGetText(TipState* s, WPARAM wp, TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (i < 0 || !ti->lpszText) return 0;
  std::string u = AfxStdStr(s->tools[(size_t)i].callback ? QString() : s->tools[(size_t)i].text);
  size_t cap = wp ? (size_t)wp : 80;
  size_t n = std::min(u.size(), cap - 1);
  std::copy(u.begin(), u.begin() + (long)n, ti->lpszText);
  ti->lpszText[n] = 0;
  return (LRESULT)n;
}

LRESULT OnTtUpdateTipText(HWND h, TipState* s, const TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (i < 0) return 0;
  setText(s->tools[(size_t)i], ti);
  // A tip on show takes the new text where it stands.
  if (s->shown == i) {
    QString text = toolText(h, s, i);
    if (!AfxRec(h)) return 0;
    if (text.isEmpty())
      pop(h, s);
    else
      placeAndShow(h, s, i, text, POINT{}, true);
  }
  return 0;
}

LRESULT OnTtEnumTools(TipState* s, WPARAM wp, LPARAM lp) {
  if ((int)wp < 0 || (int)wp >= (int)s->tools.size() || !lp) return FALSE;
  fillInfo(s->tools[(size_t)wp], (TOOLINFO*)lp);
  return TRUE;
}

LRESULT OnTtGetCurrentTool(TipState* s, LPARAM lp) {
  if (s->shown < 0) return FALSE;
  if (lp) fillInfo(s->tools[(size_t)s->shown], (TOOLINFO*)lp);
  return TRUE;
}

LRESULT OnTtTrackActivate(HWND h, TipState* s, WPARAM wp, const TOOLINFO* ti) {
  int i = findTool(s, ti);
  if (wp && i >= 0) {
    s->tracking = i;
    QString text = toolText(h, s, i);
    if (!AfxRec(h) || text.isEmpty()) return 0;
    s->shown = i;
    placeAndShow(h, s, i, text, s->trackPos, false);
  } else if (!wp && s->tracking >= 0) {
    if (s->shown == s->tracking) pop(h, s);
    s->tracking = -1;
  }
  return 0;
}

LRESULT OnTtTrackPosition(HWND h, TipState* s, LPARAM lp) {
  s->trackPos = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (s->tracking >= 0 && s->shown == s->tracking)
    ::SetWindowPos(h, HWND_TOPMOST, s->trackPos.x, s->trackPos.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}

// Sets one of the colours; the tip draws with it from its next paint.
LRESULT setColour(HWND h, COLORREF* c, WPARAM wp) {
  *c = (COLORREF)wp;
  AfxCtlInvalidate(h);
  return 0;
}

LRESULT OnTtSetMaxTipWidth(TipState* s, LPARAM lp) {
  int old = s->maxWidth;
  s->maxWidth = (int)lp;
  return old;
}

LRESULT OnTtUpdate(HWND h, TipState* s) {
  if (s->shown >= 0) {
    int i = s->shown;
    QString text = toolText(h, s, i);
    if (AfxRec(h) && !text.isEmpty()) placeAndShow(h, s, i, text, POINT{}, true);
  }
  return 0;
}

}  // namespace

AfxCtlState* AfxNewToolTipState() { return new TipState; }

LRESULT AfxToolTipProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TipState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE:
      // The tip shows itself when it has something to show.
      if (AfxWndRec* r = AfxRec(h)) r->style &= ~WS_VISIBLE;
      return 0;
    case WM_DESTROY: return OnTtDestroy(h, s);
    case WM_PAINT:
    case WM_PRINTCLIENT: paint(h, s, wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // The pointer on the tip itself: the tip goes, so that it never hides what is under it.
      pop(h, s);
      return 0;
    case WM_TIMER: return OnTtTimer(h, s, wp);
    case TTM_ACTIVATE: return OnTtActivate(h, s, wp);
    case TTM_SETDELAYTIME: return OnTtSetDelayTime(s, wp, lp);
    case TTM_GETDELAYTIME: return OnTtGetDelayTime(s, wp);
    case TTM_ADDTOOL: return OnTtAddTool(h, s, (const TOOLINFO*)lp);
    case TTM_DELTOOL: return OnTtDelTool(h, s, (const TOOLINFO*)lp);
    case TTM_NEWTOOLRECT: return OnTtNewToolRect(s, (const TOOLINFO*)lp);
    case TTM_GETTOOLINFO: return OnTtGetToolInfo(s, (TOOLINFO*)lp);
    case TTM_SETTOOLINFO: return OnTtSetToolInfo(h, s, (const TOOLINFO*)lp);
    case TTM_HITTEST: return OnTtHitTest(s, (TTHITTESTINFO*)lp);
    case TTM_GETTEXT: return OnTtGetText(s, wp, (TOOLINFO*)lp);
    case TTM_UPDATETIPTEXT: return OnTtUpdateTipText(h, s, (const TOOLINFO*)lp);
    case TTM_GETTOOLCOUNT: return (LRESULT)s->tools.size();
    case TTM_ENUMTOOLS: return OnTtEnumTools(s, wp, lp);
    case TTM_GETCURRENTTOOL: return OnTtGetCurrentTool(s, lp);
    case TTM_RELAYEVENT: relay(h, s, (const MSG*)lp); return 0;
    case TTM_WINDOWFROMPOINT: return (LRESULT)::WindowFromPoint(*(POINT*)lp);
    case TTM_TRACKACTIVATE: return OnTtTrackActivate(h, s, wp, (const TOOLINFO*)lp);
    case TTM_TRACKPOSITION: return OnTtTrackPosition(h, s, lp);
    case TTM_SETTIPBKCOLOR: return setColour(h, &s->bk, wp);
    case TTM_SETTIPTEXTCOLOR: return setColour(h, &s->fg, wp);
    case TTM_GETTIPBKCOLOR: return bkColour(s);
    case TTM_GETTIPTEXTCOLOR: return fgColour(s);
    case TTM_SETMAXTIPWIDTH: return OnTtSetMaxTipWidth(s, lp);
    case TTM_GETMAXTIPWIDTH: return s->maxWidth;
    case TTM_SETMARGIN:
      if (lp) s->margin = *(const RECT*)lp;
      return 0;
    case TTM_GETMARGIN:
      if (lp) *(RECT*)lp = s->margin;
      return 0;
    case TTM_POP: pop(h, s); return 0;
    case TTM_POPUP:
      if (s->current >= 0) show(h, s, s->current);
      return 0;
    case TTM_UPDATE: return OnTtUpdate(h, s);
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CToolTipCtrl, CControlWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) { return CreateEx(pParentWnd, dwStyle, 0); }

BOOL CToolTipCtrl::CreateEx(CWnd* pParentWnd, DWORD dwStyle, DWORD dwStyleEx) {
  AfxInitControlClasses();
  return CWnd::CreateEx(dwStyleEx | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, TOOLTIPS_CLASS, nullptr,
                        (WS_POPUP | dwStyle) & ~(WS_CHILD | WS_VISIBLE), 0, 0, 0, 0,
                        pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr, nullptr, nullptr);
}

namespace {
// The tool of a window: by id within it, or the window itself when the id is 0.
TOOLINFO toolOf(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO ti{sizeof(TOOLINFO), 0, nullptr, 0, {}, nullptr, nullptr, 0, nullptr};
  HWND hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  if (nIDTool == 0) {
    ti.hwnd = ::GetParent(hwnd);
    ti.uFlags = TTF_IDISHWND;
    ti.uId = (UINT_PTR)hwnd;
  } else {
    ti.hwnd = hwnd;
    ti.uId = nIDTool;
  }
  return ti;
}
}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TOOLINFO ti = toolOf(pWnd, nIDTool);
  if (lpRectTool) ti.rect = *lpRectTool;
  ti.lpszText = const_cast<LPTSTR>(lpszText);
  return (BOOL)SendMessage(TTM_ADDTOOL, 0, (LPARAM)&ti);
}
BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  return AddTool(pWnd, MAKEINTRESOURCE(nIDText), lpRectTool, nIDTool);
}
void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO ti = toolOf(pWnd, nIDTool);
  SendMessage(TTM_DELTOOL, 0, (LPARAM)&ti);
}
void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFO ti = toolOf(pWnd, nIDTool);
  ti.lpszText = const_cast<LPTSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXT, 0, (LPARAM)&ti);
}
void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool) {
  UpdateTipText(MAKEINTRESOURCE(nIDText), pWnd, nIDTool);
}
void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TOOLINFO ti = toolOf(pWnd, nIDTool);
  if (lpRect) ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECT, 0, (LPARAM)&ti);
}
void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const {
  TOOLINFO ti = toolOf(pWnd, nIDTool);
  char buf[1024] = {};
  ti.lpszText = buf;
  SendMessage(TTM_GETTEXT, sizeof(buf), (LPARAM)&ti);
  str = buf;
}
BOOL CToolTipCtrl::GetToolInfo(CToolInfo& info, CWnd* pWnd, UINT_PTR nIDTool) const {
  TOOLINFO ti = toolOf(pWnd, nIDTool);
  info.hwnd = ti.hwnd;
  info.uId = ti.uId;
  info.lpszText = info.m_szText;
  return (BOOL)SendMessage(TTM_GETTOOLINFO, 0, (LPARAM) static_cast<TOOLINFO*>(&info));
}
void CToolTipCtrl::SetToolInfo(LPTOOLINFO lpToolInfo) { SendMessage(TTM_SETTOOLINFO, 0, (LPARAM)lpToolInfo); }
BOOL CToolTipCtrl::HitTest(CWnd* pWnd, CPoint pt, LPTOOLINFO lpToolInfo) const {
  TTHITTESTINFO hi{pWnd ? pWnd->GetSafeHwnd() : nullptr, pt, {}};
  hi.ti.cbSize = sizeof(TOOLINFO);
  if (lpToolInfo) hi.ti.lpszText = lpToolInfo->lpszText;
  BOOL ok = (BOOL)SendMessage(TTM_HITTEST, 0, (LPARAM)&hi);
  if (ok && lpToolInfo) *lpToolInfo = hi.ti;
  return ok;
}
int CToolTipCtrl::GetToolCount() const { return (int)SendMessage(TTM_GETTOOLCOUNT); }
void CToolTipCtrl::Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
int CToolTipCtrl::SetMaxTipWidth(int iWidth) { return (int)SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth); }
int CToolTipCtrl::GetMaxTipWidth() const { return (int)SendMessage(TTM_GETMAXTIPWIDTH); }
void CToolTipCtrl::SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, (LPARAM)nDelay); }
void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime) {
  SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
}
int CToolTipCtrl::GetDelayTime(DWORD dwDuration) const { return (int)SendMessage(TTM_GETDELAYTIME, dwDuration); }
void CToolTipCtrl::SetTipBkColor(COLORREF clr) { SendMessage(TTM_SETTIPBKCOLOR, clr); }
void CToolTipCtrl::SetTipTextColor(COLORREF clr) { SendMessage(TTM_SETTIPTEXTCOLOR, clr); }
COLORREF CToolTipCtrl::GetTipBkColor() const { return (COLORREF)SendMessage(TTM_GETTIPBKCOLOR); }
COLORREF CToolTipCtrl::GetTipTextColor() const { return (COLORREF)SendMessage(TTM_GETTIPTEXTCOLOR); }
void CToolTipCtrl::SetMargin(LPRECT lprc) { SendMessage(TTM_SETMARGIN, 0, (LPARAM)lprc); }
void CToolTipCtrl::GetMargin(LPRECT lprc) const { SendMessage(TTM_GETMARGIN, 0, (LPARAM)lprc); }
void CToolTipCtrl::Pop() { SendMessage(TTM_POP); }
void CToolTipCtrl::Update() { SendMessage(TTM_UPDATE); }
