// The list box: a scrolling column of strings with item data, single, multiple or extended
// selection, sorting, owner-drawn items of fixed height, and LBN_* notifications for the user's
// changes only. The same behaviour serves the drop-down list of a combo box, which reports to
// its combo instead of its parent and follows the pointer while it holds the mouse.
#include "platform/ui/CtlInternal.h"

#include <algorithm>

namespace {

struct Item {
  QString text;
  ULONG_PTR data = 0;
  bool sel = false;
};

struct ListState : AfxCtlState {
  std::vector<Item> items;
  int cur = -1;     // the selection (single) or the caret (multiple)
  int anchor = -1;  // start of an extended range
  int top = 0;
  int itemHeight = 0;  // 0: from the font
  bool tracking = false;
  bool changedWhileTracking = false;
  HWND combo = nullptr;  // set for a combo box's drop-down list
  bool thumbDrag = false;
  int thumbGrab = 0;
};

ListState* st(HWND h) { return AfxCtlStateAs<ListState>(h); }

DWORD style(HWND h) { return AfxCtlStyle(h); }
bool multiSel(HWND h) { return (style(h) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
bool extSel(HWND h) { return (style(h) & LBS_EXTENDEDSEL) != 0; }
bool ownerDraw(HWND h) { return (style(h) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
bool hasStrings(HWND h) { return !ownerDraw(h) || (style(h) & LBS_HASSTRINGS); }

int itemHeight(HWND h, ListState* s) {
  if (s->itemHeight > 0) return s->itemHeight;
  int lh = AfxCtlLineHeight(h);
  if (ownerDraw(h)) {
    // Asked once, as the platform does for fixed-height owner-drawn lists.
    MEASUREITEMSTRUCT mis{
        s->combo ? (UINT)ODT_COMBOBOX : (UINT)ODT_LISTBOX, AfxCtlId(s->combo ? s->combo : h), 0, 0, (UINT)lh, 0};
    AfxCtlMeasureItem(s->combo ? s->combo : h, &mis);
    s->itemHeight = std::max(1, (int)mis.itemHeight);
    return s->itemHeight;
  }
  return std::max(1, lh);
}

int visibleRows(HWND h, ListState* s) {
  RECT rc;
  ::GetClientRect(h, &rc);
  return std::max(1, (int)rc.bottom / itemHeight(h, s));
}

int count(ListState* s) { return (int)s->items.size(); }

void updateScrollBar(HWND h, ListState* s) {
  if (!(style(h) & WS_VSCROLL)) return;
  AfxWndRec* r = AfxRec(h);
  if (!r) return;
  // Showing the bar narrows the client area but leaves its height, so rows are counted once.
  int rows = visibleRows(h, s);
  bool need = count(s) > rows || (style(h) & LBS_DISABLENOSCROLL);
  if (r->sb[SB_VERT].visible != need) ::ShowScrollBar(h, SB_VERT, need);
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, count(s) - 1), (UINT)rows, s->top, 0};
  ::SetScrollInfo(h, SB_VERT, &si, TRUE);
}

void setTop(HWND h, ListState* s, int top) {
  int maxTop = std::max(0, count(s) - visibleRows(h, s));
  top = std::clamp(top, 0, maxTop);
  if (top == s->top) return;
  s->top = top;
  updateScrollBar(h, s);
  AfxCtlInvalidate(h);
}

void ensureVisible(HWND h, ListState* s, int i) {
  if (i < 0 || i >= count(s)) return;
  int rows = visibleRows(h, s);
  if (i < s->top)
    setTop(h, s, i);
  else if (i >= s->top + rows)
    setTop(h, s, i - rows + 1);
}

void changed(HWND h, ListState* s) {
  s->top = std::clamp(s->top, 0, std::max(0, count(s) - visibleRows(h, s)));
  updateScrollBar(h, s);
  AfxCtlInvalidate(h);
}

// LBN_* to the parent; a combo's list tells its combo nothing this way.
void notify(HWND h, ListState* s, UINT code) {
  if (code == LBN_SELCHANGE) AfxAccSelectionMoved(h);
  if (s->combo) return;
  if (code == LBN_SELCHANGE || code == LBN_DBLCLK || code == LBN_SELCANCEL) {
    if (!(style(h) & LBS_NOTIFY)) return;
  }
  AfxCtlCommand(h, code);
}

int compareText(const QString& a, const QString& b) {
  return QString::localeAwareCompare(a.toCaseFolded(), b.toCaseFolded());
}

int insertAt(HWND h, ListState* s, int at, const QString& text, ULONG_PTR data) {
  Item it;
  if (hasStrings(h))
    it.text = text;
  else
    it.data = data;
  if (at < 0 || at > count(s)) at = count(s);
  s->items.insert(s->items.begin() + at, it);
  if (s->cur >= at) ++s->cur;
  if (s->anchor >= at) ++s->anchor;
  changed(h, s);
  return at;
}

int sortedPlace(HWND h, ListState* s, const QString& text) {
  if (!(style(h) & LBS_SORT) || !hasStrings(h)) return count(s);
  auto it = std::upper_bound(s->items.begin(), s->items.end(), text,
                             [](const QString& t, const Item& i) { return compareText(t, i.text) < 0; });
  return (int)(it - s->items.begin());
}

// Searches from the item after start, round to the start; prefix or whole text, without case.
int find(ListState* s, int start, const QString& text, bool exact) {
  int n = count(s);
  if (n == 0) return LB_ERR;
  if (start < -1 || start >= n) start = -1;
  QString t = text.toCaseFolded();
  for (int k = 1; k <= n; ++k) {
    int i = (start + k) % n;
    QString it = s->items[(size_t)i].text.toCaseFolded();
    if (exact ? it == t : it.startsWith(t)) return i;
  }
  return LB_ERR;
}

CRect itemRect(HWND h, ListState* s, int i) {
  RECT rc;
  ::GetClientRect(h, &rc);
  int ih = itemHeight(h, s);
  int y = (i - s->top) * ih;
  return CRect(0, y, rc.right, y + ih);
}

// Item under a client point, and whether the point lies outside the items.
int itemAt(HWND h, ListState* s, POINT pt, bool* outside) {
  RECT rc;
  ::GetClientRect(h, &rc);
  int ih = itemHeight(h, s);
  bool out = !PtInRect(&rc, pt);
  int row = pt.y < 0 ? -1 : pt.y / ih;
  int i = s->top + row;
  if (i >= count(s)) {
    i = count(s) - 1;
    out = true;
  }
  if (i < 0) {
    i = count(s) ? 0 : -1;
    out = true;
  }
  if (outside) *outside = out;
  return i;
}

bool isSelected(HWND h, ListState* s, int i) {
  if (i < 0 || i >= count(s)) return false;
  return multiSel(h) ? s->items[(size_t)i].sel : i == s->cur;
}

void paintItem(HWND h, ListState* s, CDC* dc, int i, const CRect& r, bool focus) {
  bool sel = isSelected(h, s, i);
  bool enabled = ::IsWindowEnabled(h) && ::IsWindowEnabled(s->combo ? s->combo : h);
  if (ownerDraw(h)) {
    HWND owner = s->combo ? s->combo : h;
    DRAWITEMSTRUCT dis{s->combo ? (UINT)ODT_COMBOBOX : (UINT)ODT_LISTBOX,
                       AfxCtlId(owner),
                       (UINT)i,
                       ODA_DRAWENTIRE,
                       (UINT)((sel ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED)),
                       owner,
                       dc->GetSafeHdc(),
                       r,
                       s->items[(size_t)i].data};
    AfxCtlDrawItem(owner, &dis);
    return;
  }
  if (sel && enabled) {
    dc->FillSolidRect(&r, GetSysColor(COLOR_HIGHLIGHT));
    dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    dc->SetTextColor(enabled ? dc->GetTextColor() : GetSysColor(COLOR_GRAYTEXT));
  }
  CRect t = r;
  t.left += 2;
  std::string u = AfxStdStr(s->items[(size_t)i].text);
  UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | ((style(h) & LBS_USETABSTOPS) ? DT_EXPANDTABS : 0);
  dc->DrawText(u.c_str(), (int)u.size(), &t, fmt);
  if (focus) dc->DrawFocusRect(&r);
}

void paint(HWND h, ListState* s, WPARAM given) {
  AfxCtlPaintDC paintDc(h, given);
  CDC* dc = paintDc.dc();
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  HBRUSH br = AfxCtlColor(s->combo ? s->combo : h, dc, WM_CTLCOLORLISTBOX);
  dc->FillRect(&rc, CBrush::FromHandle(br));
  COLORREF text = dc->GetTextColor();
  CFont* oldFont = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  dc->SetBkMode(TRANSPARENT);
  bool focus = !s->combo && AfxCtlHasFocus(h);
  int rows = visibleRows(h, s) + 1;
  for (int i = s->top; i < count(s) && i < s->top + rows; ++i) {
    dc->SetTextColor(text);
    paintItem(h, s, dc, i, itemRect(h, s, i), focus && i == s->cur && !(style(h) & LBS_NOSEL));
  }
  if (focus && count(s) == 0) {
    // An empty list with the focus shows where the caret would be.
    CRect f = itemRect(h, s, 0);
    dc->DrawFocusRect(&f);
  }
  dc->SelectObject(oldFont);
}

void selectOnly(ListState* s, int i) {
  for (size_t k = 0; k < s->items.size(); ++k) s->items[k].sel = (int)k == i;
}

// Moves the selection (or caret) by the user; true when the selection changed.
bool userSelect(HWND h, ListState* s, int i, bool shift, bool ctrl, bool toggle) {
  if (i < 0 || i >= count(s) || (style(h) & LBS_NOSEL)) return false;
  bool changed = false;
  if (!multiSel(h)) {
    changed = s->cur != i;
    s->cur = i;
  } else if (extSel(h)) {
    std::vector<bool> before;
    for (auto& it : s->items) before.push_back(it.sel);
    if (shift && s->anchor >= 0) {
      int a = std::min(s->anchor, i), b = std::max(s->anchor, i);
      if (!ctrl) selectOnly(s, -1);
      for (int k = a; k <= b; ++k) s->items[(size_t)k].sel = true;
    } else if (ctrl || toggle) {
      s->items[(size_t)i].sel = !s->items[(size_t)i].sel;
      s->anchor = i;
    } else {
      selectOnly(s, i);
      s->anchor = i;
    }
    s->cur = i;
    for (size_t k = 0; k < s->items.size(); ++k) changed |= before[k] != s->items[k].sel;
  } else {
    if (toggle) {
      s->items[(size_t)i].sel = !s->items[(size_t)i].sel;
      changed = true;
    }
    s->cur = i;
  }
  ensureVisible(h, s, i);
  AfxCtlInvalidate(h);
  return changed;
}

// ---- The vertical scroll bar in the frame ----
struct BarGeo {
  CRect bar;  // client coordinates (right of the client area)
  int track0 = 0, track1 = 0, thumb0 = 0, thumb1 = 0;
};

BarGeo barGeo(HWND h) {
  BarGeo g;
  RECT rc;
  ::GetClientRect(h, &rc);
  g.bar = CRect(rc.right, 0, rc.right + 16, rc.bottom);
  SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ::GetScrollInfo(h, SB_VERT, &si);
  int range = std::max(1, si.nMax - si.nMin + 1);
  int track = std::max(0, g.bar.Height() - 32);
  int thumb = si.nPage ? std::max(8, (int)((long long)track * si.nPage / range)) : 16;
  int pos = track > thumb ? (int)((long long)(track - thumb) * (si.nPos - si.nMin) /
                                  std::max(1, range - (int)std::max<UINT>(si.nPage, 1)))
                          : 0;
  g.track0 = 16;
  g.track1 = 16 + track;
  g.thumb0 = 16 + pos;
  g.thumb1 = g.thumb0 + thumb;
  return g;
}

void scrollBy(HWND h, ListState* s, UINT code, int thumb = 0) {
  int rows = visibleRows(h, s);
  switch (code) {
    case SB_LINEUP: setTop(h, s, s->top - 1); break;
    case SB_LINEDOWN: setTop(h, s, s->top + 1); break;
    case SB_PAGEUP: setTop(h, s, s->top - std::max(1, rows - 1)); break;
    case SB_PAGEDOWN: setTop(h, s, s->top + std::max(1, rows - 1)); break;
    case SB_TOP: setTop(h, s, 0); break;
    case SB_BOTTOM: setTop(h, s, count(s)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: setTop(h, s, thumb); break;
  }
}

// A press on the frame's scroll bar; y in client coordinates.
void barPress(HWND h, ListState* s, int y) {
  BarGeo g = barGeo(h);
  if (y < g.track0)
    scrollBy(h, s, SB_LINEUP);
  else if (y >= g.track1)
    scrollBy(h, s, SB_LINEDOWN);
  else if (y < g.thumb0)
    scrollBy(h, s, SB_PAGEUP);
  else if (y >= g.thumb1)
    scrollBy(h, s, SB_PAGEDOWN);
  else {
    s->thumbDrag = true;
    s->thumbGrab = y - g.thumb0;
    ::SetCapture(h);
  }
}

void thumbMove(HWND h, ListState* s, int y) {
  BarGeo g = barGeo(h);
  int span = (g.track1 - g.track0) - (g.thumb1 - g.thumb0);
  int maxTop = std::max(0, count(s) - visibleRows(h, s));
  if (span <= 0 || maxTop == 0) return;
  int at = std::clamp(y - s->thumbGrab - g.track0, 0, span);
  setTop(h, s, (int)(((long long)at * maxTop + span / 2) / span));
}

bool onBar(HWND h, POINT client) {
  if (!(style(h) & WS_VSCROLL)) return false;
  AfxWndRec* r = AfxRec(h);
  if (!r || !r->sb[SB_VERT].visible) return false;
  BarGeo g = barGeo(h);
  return g.bar.PtInRect(client);
}

bool keyNav(HWND h, ListState* s, UINT vk, int* to) {
  int rows = visibleRows(h, s);
  int n = count(s);
  int c = s->cur;
  switch (vk) {
    case VK_UP:
    case VK_LEFT: *to = c < 0 ? 0 : c - 1; break;
    case VK_DOWN:
    case VK_RIGHT: *to = c < 0 ? 0 : c + 1; break;
    case VK_PRIOR: *to = c < 0 ? 0 : c - std::max(1, rows - 1); break;
    case VK_NEXT: *to = c < 0 ? 0 : c + std::max(1, rows - 1); break;
    case VK_HOME: *to = 0; break;
    case VK_END: *to = n - 1; break;
    default: return false;
  }
  *to = std::clamp(*to, 0, std::max(0, n - 1));
  return n > 0;
}

// ---- One handler per message ----

LRESULT OnLbCreate(HWND h, ListState* s) {
  // Whole rows only, unless asked otherwise: the window shrinks to the last full row.
  if (!s->combo && !(style(h) & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE))) {
    RECT wr, cr;
    ::GetWindowRect(h, &wr);
    ::GetClientRect(h, &cr);
    int ih = itemHeight(h, s);
    int extra = (int)cr.bottom % ih;
    if (extra && cr.bottom > ih)
      ::SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top - extra,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  updateScrollBar(h, s);
  return 0;
}

LRESULT OnLbSetFont(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  ::DefWindowProc(h, WM_SETFONT, wp, lp);
  if (!ownerDraw(h)) s->itemHeight = 0;
  changed(h, s);
  return 0;
}

LRESULT OnLbFocus(HWND h, ListState* s, UINT code) {
  AfxCtlInvalidate(h);
  notify(h, s, code);
  return 0;
}

LRESULT OnLbMouseWheel(HWND h, ListState* s, WPARAM wp) {
  int steps = (short)HIWORD(wp) / 120;
  setTop(h, s, s->top - 3 * steps);
  return 0;
}

LRESULT OnLbNcButtonDown(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  if (wp == HTVSCROLL) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::ScreenToClient(h, &pt);
    barPress(h, s, pt.y);
  }
  return 0;
}

// A press in a combo box's open list: outside closes it, on an item marks that item.
LRESULT comboListButtonDown(HWND h, ListState* s, POINT pt) {
  RECT wr;
  ::GetWindowRect(h, &wr);
  POINT sp = pt;
  ::ClientToScreen(h, &sp);
  if (!PtInRect(&wr, sp)) {
    AfxComboListDone(s->combo, false);  // a press outside closes the list
    return 0;
  }
  if (onBar(h, pt)) {
    barPress(h, s, pt.y);
    return 0;
  }
  s->tracking = true;
  bool out = false;
  int i = itemAt(h, s, pt, &out);
  if (!out && i != s->cur) {
    s->cur = i;
    AfxCtlInvalidate(h);
  }
  return 0;
}

LRESULT OnLbButtonDown(HWND h, ListState* s, UINT msg, WPARAM wp, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (s->combo) return comboListButtonDown(h, s, pt);
  if (::GetFocus() != h) ::SetFocus(h);
  if (!AfxRec(h)) return 0;
  bool out = false;
  int i = itemAt(h, s, pt, &out);
  if (i < 0 || out) return 0;
  bool shift = (wp & MK_SHIFT) != 0, ctrl = (wp & MK_CONTROL) != 0;
  bool ch = userSelect(h, s, i, shift, ctrl, (style(h) & LBS_MULTIPLESEL) != 0);
  if (msg == WM_LBUTTONDBLCLK) {
    if (ch) notify(h, s, LBN_SELCHANGE);
    if (AfxRec(h)) notify(h, s, LBN_DBLCLK);
    return 0;
  }
  s->tracking = true;
  s->changedWhileTracking = ch;
  ::SetCapture(h);
  return 0;
}

// The open list of a combo box follows the pointer.
LRESULT comboListMouseMove(HWND h, ListState* s, POINT pt) {
  bool out = false;
  int i = itemAt(h, s, pt, &out);
  RECT rc;
  ::GetClientRect(h, &rc);
  if (PtInRect(&rc, pt) && i >= 0 && i != s->cur) {
    s->cur = i;
    AfxCtlInvalidate(h);
  } else if (s->tracking && !PtInRect(&rc, pt) && count(s)) {
    // Dragging past the ends scrolls.
    if (pt.y < 0 && s->top > 0) {
      setTop(h, s, s->top - 1);
      s->cur = s->top;
    }
    if (pt.y >= rc.bottom) {
      setTop(h, s, s->top + 1);
      s->cur = std::min(count(s) - 1, s->top + visibleRows(h, s) - 1);
    }
    AfxCtlInvalidate(h);
  }
  return 0;
}

LRESULT OnLbMouseMove(HWND h, ListState* s, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (s->thumbDrag) {
    thumbMove(h, s, pt.y);
    return 0;
  }
  if (s->combo) return comboListMouseMove(h, s, pt);
  if (!s->tracking || ::GetCapture() != h || (multiSel(h) && !extSel(h))) return 0;
  bool out = false;
  int i = itemAt(h, s, pt, &out);
  RECT rc;
  ::GetClientRect(h, &rc);
  if (pt.y < 0)
    i = std::max(0, s->top - 1);
  else if (pt.y >= rc.bottom)
    i = std::min(count(s) - 1, s->top + visibleRows(h, s));
  if (i >= 0 && i != s->cur) s->changedWhileTracking |= userSelect(h, s, i, extSel(h), false, false);
  return 0;
}

LRESULT OnLbButtonUp(HWND h, ListState* s, LPARAM lp) {
  if (s->thumbDrag) {
    s->thumbDrag = false;
    if (::GetCapture() == h && !s->combo) ::ReleaseCapture();
    return 0;
  }
  if (s->combo) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT rc;
    ::GetClientRect(h, &rc);
    s->tracking = false;
    bool out = false;
    int i = itemAt(h, s, pt, &out);
    // The release that ends the opening click lands outside; a release on an item picks it.
    if (PtInRect(&rc, pt) && !out && i >= 0) {
      s->cur = i;
      AfxComboListDone(s->combo, true);
    }
    return 0;
  }
  if (!s->tracking) return 0;
  s->tracking = false;
  if (::GetCapture() == h) ::ReleaseCapture();
  if (s->changedWhileTracking) notify(h, s, LBN_SELCHANGE);
  s->changedWhileTracking = false;
  return 0;
}

LRESULT OnLbCaptureChanged(HWND h, ListState* s, LPARAM lp) {
  s->thumbDrag = false;
  if (!s->combo) s->tracking = false;
  if (s->combo && (HWND)lp != h) AfxComboListCaptureLost(s->combo);
  return 0;
}

// Moves only the caret, selecting nothing.
void moveCaret(HWND h, ListState* s, int to) {
  s->cur = to;
  ensureVisible(h, s, to);
  AfxCtlInvalidate(h);
}

LRESULT OnLbKeyDown(HWND h, ListState* s, WPARAM wp) {
  if (style(h) & LBS_NOSEL) return 0;
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0, ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (wp == VK_SPACE && multiSel(h)) {
    if (s->cur >= 0 && userSelect(h, s, s->cur, false, true, true)) notify(h, s, LBN_SELCHANGE);
    return 0;
  }
  int to = -1;
  if (!keyNav(h, s, (UINT)wp, &to)) return 0;
  if (s->combo) {
    moveCaret(h, s, to);
    return 0;
  }
  bool ch;
  if (multiSel(h) && !extSel(h)) {
    moveCaret(h, s, to);
    ch = false;
  } else if (extSel(h) && ctrl && !shift) {
    moveCaret(h, s, to);  // Ctrl moves only the caret
    ch = false;
  } else {
    ch = userSelect(h, s, to, shift, false, false);
  }
  if (ch) notify(h, s, LBN_SELCHANGE);
  return 0;
}

LRESULT OnLbChar(HWND h, ListState* s, WPARAM wp) {
  if ((style(h) & LBS_NOSEL) || !hasStrings(h) || wp < 0x20) return 0;
  QString c(QChar((uint)wp));
  int i = find(s, s->cur, c, false);
  if (i < 0) return 0;
  if (s->combo) {
    moveCaret(h, s, i);
    return 0;
  }
  if (userSelect(h, s, i, false, false, false) || multiSel(h)) notify(h, s, LBN_SELCHANGE);
  return 0;
}

// ---- Items ----

bool validIndex(ListState* s, int i) { return i >= 0 && i < count(s); }

QString givenText(HWND h, LPARAM lp) { return hasStrings(h) ? AfxQStr((LPCTSTR)lp) : QString(); }

LRESULT OnLbAddString(HWND h, ListState* s, LPARAM lp) {
  QString t = givenText(h, lp);
  return insertAt(h, s, sortedPlace(h, s, t), t, (ULONG_PTR)lp);
}

LRESULT OnLbInsertString(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  QString t = givenText(h, lp);
  int at = (int)wp;
  if (at > count(s)) return LB_ERR;
  return insertAt(h, s, at, t, (ULONG_PTR)lp);
}

LRESULT OnLbDeleteString(HWND h, ListState* s, WPARAM wp) {
  int i = (int)wp;
  if (!validIndex(s, i)) return LB_ERR;
  s->items.erase(s->items.begin() + i);
  if (s->cur == i)
    s->cur = multiSel(h) ? std::min(i, count(s) - 1) : -1;
  else if (s->cur > i)
    --s->cur;
  if (s->anchor == i)
    s->anchor = -1;
  else if (s->anchor > i)
    --s->anchor;
  changed(h, s);
  return count(s);
}

LRESULT OnLbResetContent(HWND h, ListState* s) {
  s->items.clear();
  s->cur = s->anchor = -1;
  s->top = 0;
  changed(h, s);
  return 0;
}

LRESULT OnLbGetText(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  int i = (int)wp;
  if (!validIndex(s, i) || !lp) return LB_ERR;
  if (!hasStrings(h)) {
    *(ULONG_PTR*)lp = s->items[(size_t)i].data;
    return sizeof(ULONG_PTR);
  }
  std::string u = AfxStdStr(s->items[(size_t)i].text);
  std::copy(u.begin(), u.end(), (char*)lp);
  ((char*)lp)[u.size()] = 0;
  return (LRESULT)u.size();
}

LRESULT OnLbGetTextLen(HWND h, ListState* s, WPARAM wp) {
  int i = (int)wp;
  if (!validIndex(s, i)) return LB_ERR;
  return hasStrings(h) ? (LRESULT)AfxStdStr(s->items[(size_t)i].text).size() : (LRESULT)sizeof(ULONG_PTR);
}

LRESULT OnLbGetItemData(ListState* s, WPARAM wp) {
  int i = (int)wp;
  if (!validIndex(s, i)) return LB_ERR;
  return (LRESULT)s->items[(size_t)i].data;
}

LRESULT OnLbSetItemData(ListState* s, WPARAM wp, LPARAM lp) {
  int i = (int)wp;
  if (!validIndex(s, i)) return LB_ERR;
  s->items[(size_t)i].data = (ULONG_PTR)lp;
  return TRUE;
}

LRESULT OnLbFindString(HWND h, ListState* s, UINT msg, WPARAM wp, LPARAM lp) {
  if (!hasStrings(h)) {
    for (int i = 0; i < count(s); ++i)
      if (s->items[(size_t)i].data == (ULONG_PTR)lp) return i;
    return LB_ERR;
  }
  return find(s, (int)wp, AfxQStr((LPCTSTR)lp), msg == LB_FINDSTRINGEXACT);
}

// ---- Selection ----

LRESULT OnLbSetCurSel(HWND h, ListState* s, WPARAM wp) {
  if (multiSel(h)) return LB_ERR;
  int i = (int)wp;
  if (!validIndex(s, i)) {
    s->cur = -1;
    AfxCtlInvalidate(h);
    return LB_ERR;
  }
  moveCaret(h, s, i);
  return i;
}

LRESULT OnLbSelectString(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  int i = find(s, (int)wp, AfxQStr((LPCTSTR)lp), false);
  if (i < 0) return LB_ERR;
  if (multiSel(h)) s->items[(size_t)i].sel = true;
  moveCaret(h, s, i);
  return i;
}

LRESULT OnLbSetSel(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  if (!multiSel(h)) return LB_ERR;
  int i = (int)lp;
  if (i == -1) {
    for (auto& it : s->items) it.sel = wp != 0;
  } else {
    if (!validIndex(s, i)) return LB_ERR;
    s->items[(size_t)i].sel = wp != 0;
    s->cur = i;
  }
  AfxCtlInvalidate(h);
  return LB_OKAY;
}

LRESULT OnLbGetSel(HWND h, ListState* s, WPARAM wp) {
  int i = (int)wp;
  if (!validIndex(s, i)) return LB_ERR;
  return isSelected(h, s, i) ? 1 : 0;
}

LRESULT OnLbGetSelCount(HWND h, ListState* s) {
  if (!multiSel(h)) return LB_ERR;
  return std::count_if(s->items.begin(), s->items.end(), [](const Item& i) { return i.sel; });
}

LRESULT OnLbGetSelItems(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  if (!multiSel(h) || !lp) return LB_ERR;
  int n = 0;
  for (int i = 0; i < count(s) && n < (int)wp; ++i)
    if (s->items[(size_t)i].sel) ((int*)lp)[n++] = i;
  return n;
}

LRESULT OnLbSetCaretIndex(HWND h, ListState* s, WPARAM wp) {
  if (!validIndex(s, (int)wp)) return LB_ERR;
  if (multiSel(h)) s->cur = (int)wp;  // a single selection has no caret of its own
  ensureVisible(h, s, (int)wp);
  AfxCtlInvalidate(h);
  return LB_OKAY;
}

// ---- Geometry ----

LRESULT OnLbSetTopIndex(HWND h, ListState* s, WPARAM wp) {
  if ((int)wp < 0 || ((int)wp >= count(s) && count(s) > 0)) return LB_ERR;
  setTop(h, s, (int)wp);
  return LB_OKAY;
}

LRESULT OnLbSetItemHeight(HWND h, ListState* s, LPARAM lp) {
  if (LOWORD(lp) == 0 || LOWORD(lp) > 255) return LB_ERR;
  s->itemHeight = LOWORD(lp);
  changed(h, s);
  return LB_OKAY;
}

LRESULT OnLbGetItemRect(HWND h, ListState* s, WPARAM wp, LPARAM lp) {
  int i = (int)wp;
  if (!lp || i < 0 || (i >= count(s) && !(i == 0 && count(s) == 0))) return LB_ERR;
  *(RECT*)lp = itemRect(h, s, i);
  return 1;
}

LRESULT OnLbItemFromPoint(HWND h, ListState* s, LPARAM lp) {
  bool out = false;
  int i = itemAt(h, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, &out);
  if (i < 0) return MAKELONG(0, 1);
  return MAKELONG(i, out ? 1 : 0);
}

}  // namespace

AfxCtlState* AfxNewListBoxState() { return new ListState; }

void AfxListSetCombo(HWND list, HWND combo) {
  if (ListState* s = st(list)) s->combo = combo;
}

LRESULT AfxListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  ListState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE: return OnLbCreate(h, s);
    case WM_SIZE: changed(h, s); return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: paint(h, s, wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE: AfxCtlInvalidate(h); return 0;
    case WM_SETFONT: return OnLbSetFont(h, s, wp, lp);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: return OnLbFocus(h, s, LBN_SETFOCUS);
    case WM_KILLFOCUS: return OnLbFocus(h, s, LBN_KILLFOCUS);
    case WM_MOUSEWHEEL: return OnLbMouseWheel(h, s, wp);
    case WM_VSCROLL: scrollBy(h, s, LOWORD(wp), (short)HIWORD(wp)); return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return OnLbNcButtonDown(h, s, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnLbButtonDown(h, s, msg, wp, lp);
    case WM_MOUSEMOVE: return OnLbMouseMove(h, s, lp);
    case WM_LBUTTONUP: return OnLbButtonUp(h, s, lp);
    case WM_CAPTURECHANGED: return OnLbCaptureChanged(h, s, lp);
    case WM_KEYDOWN: return OnLbKeyDown(h, s, wp);
    case WM_CHAR: return OnLbChar(h, s, wp);

    case LB_ADDSTRING: return OnLbAddString(h, s, lp);
    case LB_INSERTSTRING: return OnLbInsertString(h, s, wp, lp);
    case LB_DELETESTRING: return OnLbDeleteString(h, s, wp);
    case LB_RESETCONTENT: return OnLbResetContent(h, s);
    case LB_GETCOUNT: return count(s);
    case LB_GETTEXT: return OnLbGetText(h, s, wp, lp);
    case LB_GETTEXTLEN: return OnLbGetTextLen(h, s, wp);
    case LB_GETITEMDATA: return OnLbGetItemData(s, wp);
    case LB_SETITEMDATA: return OnLbSetItemData(s, wp, lp);
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: return OnLbFindString(h, s, msg, wp, lp);

    case LB_SETCURSEL: return OnLbSetCurSel(h, s, wp);
    case LB_GETCURSEL: return validIndex(s, s->cur) ? s->cur : LB_ERR;
    case LB_SELECTSTRING: return OnLbSelectString(h, s, wp, lp);
    case LB_SETSEL: return OnLbSetSel(h, s, wp, lp);
    case LB_GETSEL: return OnLbGetSel(h, s, wp);
    case LB_GETSELCOUNT: return OnLbGetSelCount(h, s);
    case LB_GETSELITEMS: return OnLbGetSelItems(h, s, wp, lp);
    case LB_SETCARETINDEX: return OnLbSetCaretIndex(h, s, wp);
    case LB_GETCARETINDEX: return s->cur >= 0 ? s->cur : 0;

    case LB_GETTOPINDEX: return s->top;
    case LB_SETTOPINDEX: return OnLbSetTopIndex(h, s, wp);
    case LB_GETITEMHEIGHT: return itemHeight(h, s);
    case LB_SETITEMHEIGHT: return OnLbSetItemHeight(h, s, lp);
    case LB_GETITEMRECT: return OnLbGetItemRect(h, s, wp, lp);
    case LB_ITEMFROMPOINT: return OnLbItemFromPoint(h, s, lp);
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CListBox, CControlWnd)

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_LISTBOX, "", dwStyle, rect, pParentWnd, nID);
}
BOOL CListBox::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_LISTBOX, "", dwStyle, rect, pParentWnd, nID, dwExStyle);
}
int CListBox::GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
int CListBox::AddString(LPCTSTR s) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)s); }
int CListBox::InsertString(int nIndex, LPCTSTR s) {
  return (int)SendMessage(LB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)s);
}
int CListBox::DeleteString(UINT nIndex) { return (int)SendMessage(LB_DELETESTRING, nIndex); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const {
  return (int)SendMessage(LB_GETTEXT, (WPARAM)nIndex, (LPARAM)lpszBuffer);
}
void CListBox::GetText(int nIndex, CString& rString) const {
  rString.Empty();
  int n = GetTextLen(nIndex);
  if (n < 0) return;
  std::string buf((size_t)n + 1, '\0');
  GetText(nIndex, buf.data());
  rString = buf.c_str();
}
int CListBox::GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, (WPARAM)nIndex); }
DWORD_PTR CListBox::GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, (WPARAM)nIndex); }
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  return (int)SendMessage(LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
}
void* CListBox::GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
int CListBox::SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
int CListBox::GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
int CListBox::SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, (WPARAM)nSelect); }
int CListBox::GetSel(int nIndex) const { return (int)SendMessage(LB_GETSEL, (WPARAM)nIndex); }
int CListBox::SetSel(int nIndex, BOOL bSelect) { return (int)SendMessage(LB_SETSEL, bSelect, nIndex); }
int CListBox::GetSelCount() const { return (int)SendMessage(LB_GETSELCOUNT); }
int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const {
  return (int)SendMessage(LB_GETSELITEMS, (WPARAM)nMaxItems, (LPARAM)rgIndex);
}
int CListBox::FindString(int nStartAfter, LPCTSTR s) const {
  return (int)SendMessage(LB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)s);
}
int CListBox::FindStringExact(int nIndexStart, LPCTSTR s) const {
  return (int)SendMessage(LB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)s);
}
int CListBox::SelectString(int nStartAfter, LPCTSTR s) {
  return (int)SendMessage(LB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)s);
}
int CListBox::GetTopIndex() const { return (int)SendMessage(LB_GETTOPINDEX); }
int CListBox::SetTopIndex(int nIndex) { return (int)SendMessage(LB_SETTOPINDEX, (WPARAM)nIndex); }
int CListBox::GetItemRect(int nIndex, LPRECT lpRect) const {
  return (int)SendMessage(LB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}
int CListBox::GetItemHeight(int) const { return (int)SendMessage(LB_GETITEMHEIGHT); }
int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight) {
  return (int)SendMessage(LB_SETITEMHEIGHT, (WPARAM)nIndex, MAKELPARAM(cyItemHeight, 0));
}
int CListBox::GetCaretIndex() const { return (int)SendMessage(LB_GETCARETINDEX); }
int CListBox::SetCaretIndex(int nIndex, BOOL bScroll) {
  return (int)SendMessage(LB_SETCARETINDEX, (WPARAM)nIndex, bScroll);
}
UINT CListBox::ItemFromPoint(CPoint pt, BOOL& bOutside) const {
  DWORD r = (DWORD)SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  bOutside = HIWORD(r) != 0;
  return LOWORD(r);
}
