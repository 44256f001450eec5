// The combo box: a field (an edit window for CBS_DROPDOWN, drawn text for CBS_DROPDOWNLIST)
// with a button that drops a list. The list is a pop-up list-box window owned by the combo.
// The user's changes of the selection are reported with CBN_SELCHANGE; the program's (SetCurSel,
// SelectString, SetWindowText) are not, as on the platform.
#include "platform/ui/CtlInternal.h"

#include <algorithm>

namespace {

const int kButton = 16;   // width of the drop-down button
const int kFieldPad = 8;  // field height over its item height: the sunken edge and a margin
const UINT kEditId = 1001, kListId = 1000;

struct ComboState : AfxCtlState {
  HWND edit = nullptr;
  HWND list = nullptr;
  bool dropped = false;
  bool closing = false;
  int selAtDrop = -1;
  int dropHeight = 0;  // the height given at creation: field and list together
  int fieldItemHeight = 0;
  int droppedWidth = 0;
  int quiet = 0;        // edit notifications of the combo's own text changes are not passed on
  bool bounce = false;  // the focus passes from the edit to the combo and straight back
};

ComboState* st(HWND h) { return AfxCtlStateAs<ComboState>(h); }

bool dropList(HWND h) { return (AfxCtlStyle(h) & 3) == CBS_DROPDOWNLIST; }
bool ownerDraw(HWND h) { return (AfxCtlStyle(h) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }

int fieldItemHeight(HWND h, ComboState* s) {
  if (s->fieldItemHeight > 0) return s->fieldItemHeight;
  int lh = AfxCtlLineHeight(h);
  if (ownerDraw(h)) {
    MEASUREITEMSTRUCT mis{ODT_COMBOBOX, AfxCtlId(h), (UINT)-1, 0, (UINT)lh, 0};
    AfxCtlMeasureItem(h, &mis);
    s->fieldItemHeight = std::max(1, (int)mis.itemHeight);
    return s->fieldItemHeight;
  }
  return lh;
}

int fieldHeight(HWND h, ComboState* s) { return fieldItemHeight(h, s) + kFieldPad; }

int cur(ComboState* s) { return s->list ? (int)::SendMessage(s->list, LB_GETCURSEL, 0, 0) : -1; }
int count(ComboState* s) { return s->list ? (int)::SendMessage(s->list, LB_GETCOUNT, 0, 0) : 0; }

QString itemText(ComboState* s, int i) {
  if (!s->list || i < 0) return QString();
  int n = (int)::SendMessage(s->list, LB_GETTEXTLEN, (WPARAM)i, 0);
  if (n < 0) return QString();
  std::string buf((size_t)n + 1, '\0');
  ::SendMessage(s->list, LB_GETTEXT, (WPARAM)i, (LPARAM)buf.data());
  return QString::fromUtf8(buf.c_str());
}

QString editText(ComboState* s) { return s->edit ? AfxCtlText(s->edit) : QString(); }

CRect buttonRect(HWND h) {
  RECT rc;
  ::GetClientRect(h, &rc);
  return CRect(rc.right - 2 - kButton, 2, rc.right - 2, rc.bottom - 2);
}

void placeEdit(HWND h, ComboState* s) {
  if (!s->edit) return;
  RECT rc;
  ::GetClientRect(h, &rc);
  CRect b = buttonRect(h);
  ::SetWindowPos(s->edit, nullptr, 3, 3, std::max(0, b.left - 1 - 3), std::max(0, (int)rc.bottom - 6),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window text follows what the field shows.
void syncText(HWND h, ComboState* s) { AfxCtlSetText(h, dropList(h) ? itemText(s, cur(s)) : editText(s)); }

// Shows item i in the field, as the combo does after any change of the selection.
void showSelection(HWND h, ComboState* s) {
  if (s->edit) {
    ++s->quiet;
    ::SetWindowText(s->edit, AfxStdStr(itemText(s, cur(s))).c_str());
    --s->quiet;
    if (!AfxRec(h)) return;
    if (s->edit && AfxCtlHasFocus(s->edit)) ::SendMessage(s->edit, EM_SETSEL, 0, -1);
  }
  syncText(h, s);
  AfxCtlInvalidate(h);
}

void notify(HWND h, UINT code) { AfxCtlCommand(h, code); }

void drop(HWND h, ComboState* s) {
  if (s->dropped || !s->list) return;
  notify(h, CBN_DROPDOWN);  // the program may fill the list now
  if (!AfxRec(h) || !(s = st(h)) || s->dropped) return;
  if (s->edit) {
    // An editable combo opens at the item its text names.
    int i = (int)::SendMessage(s->list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)AfxStdStr(editText(s)).c_str());
    ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)i, 0);
  }
  s->selAtDrop = cur(s);
  RECT wr;
  ::GetWindowRect(h, &wr);
  int ih = std::max(1, (int)::SendMessage(s->list, LB_GETITEMHEIGHT, 0, 0));
  int avail = std::max(ih, s->dropHeight - (int)(wr.bottom - wr.top) - 2);
  int rows = std::clamp(count(s), 1, std::max(1, avail / ih));
  int height = rows * ih + 2;
  int width = std::max((int)(wr.right - wr.left), s->droppedWidth);
  int x = wr.left, y = wr.bottom;
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  if (GetMonitorInfo(MonitorFromRect(&wr, 2), &mi)) {
    // Above the field when there is no room below.
    if (y + height > mi.rcWork.bottom && wr.top - height >= mi.rcWork.top) y = wr.top - height;
    if (x + width > mi.rcWork.right) x = std::max((int)mi.rcWork.left, (int)mi.rcWork.right - width);
  }
  ::SetWindowPos(s->list, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (!AfxRec(h)) return;
  int c = cur(s);
  if (c >= 0) ::SendMessage(s->list, LB_SETTOPINDEX, (WPARAM)std::max(0, c - rows + 1), 0);
  s->dropped = true;
  ::SetCapture(s->list);
  AfxCtlInvalidate(h);
}

enum class Close { Quiet, Ok, Cancel };

void closeUp(HWND h, ComboState* s, Close how) {
  if (!s->dropped) return;
  s->dropped = false;
  s->closing = true;
  if (::GetCapture() == s->list) ::ReleaseCapture();
  ::ShowWindow(s->list, SW_HIDE);
  s->closing = false;
  AfxCtlInvalidate(h);
  bool changed = false;
  if (how == Close::Ok) {
    changed = cur(s) != s->selAtDrop || (s->edit && cur(s) >= 0 && editText(s) != itemText(s, cur(s)));
    if (changed) showSelection(h, s);
  } else {
    // Following the pointer chose nothing: the selection goes back.
    if (cur(s) != s->selAtDrop) ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)s->selAtDrop, 0);
  }
  if (how == Close::Ok)
    notify(h, CBN_SELENDOK);
  else if (how == Close::Cancel)
    notify(h, CBN_SELENDCANCEL);
  if (!AfxRec(h)) return;
  notify(h, CBN_CLOSEUP);
  if (changed && AfxRec(h)) notify(h, CBN_SELCHANGE);
}

// The user moved the selection (keys): shown at once and reported.
void userSelect(HWND h, ComboState* s, int i) {
  if (i < 0 || i >= count(s) || i == cur(s)) return;
  ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)i, 0);
  if (s->dropped) s->selAtDrop = i;
  showSelection(h, s);
  notify(h, CBN_SELCHANGE);
}

int navTarget(ComboState* s, UINT vk) {
  int c = cur(s), n = count(s);
  int page = 8;
  if (s->dropped) {
    RECT rc;
    ::GetClientRect(s->list, &rc);
    page = std::max(1, (int)rc.bottom / std::max(1, (int)::SendMessage(s->list, LB_GETITEMHEIGHT, 0, 0)) - 1);
  }
  int to;
  switch (vk) {
    case VK_UP:
    case VK_LEFT: to = c < 0 ? 0 : c - 1; break;
    case VK_DOWN:
    case VK_RIGHT: to = c < 0 ? 0 : c + 1; break;
    case VK_PRIOR: to = c < 0 ? 0 : c - page; break;
    case VK_NEXT: to = c < 0 ? 0 : c + page; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = n - 1; break;
    default: return -2;
  }
  return std::clamp(to, 0, std::max(0, n - 1));
}

// Keys of the combo, its own or handed on by its edit window; true when used.
bool key(HWND h, ComboState* s, UINT vk, bool alt, bool fromEdit) {
  if (vk == VK_F4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    if (s->dropped)
      closeUp(h, s, Close::Ok);
    else
      drop(h, s);
    return true;
  }
  if (s->dropped && vk == VK_RETURN) {
    closeUp(h, s, Close::Ok);
    return true;
  }
  if (s->dropped && vk == VK_ESCAPE) {
    closeUp(h, s, Close::Cancel);
    return true;
  }
  // In the edit window, left, right, Home and End move the caret.
  if (fromEdit && (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END)) return false;
  int to = navTarget(s, vk);
  if (to == -2) return false;
  if (count(s) > 0) userSelect(h, s, to);
  return true;
}

void paint(HWND h, ComboState* s, WPARAM given) {
  AfxCtlPaintDC paintDc(h, given);
  CDC* dc = paintDc.dc();
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  bool enabled = ::IsWindowEnabled(h);
  HBRUSH br = AfxCtlColor(h, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  COLORREF textCol = dc->GetTextColor();
  dc->FillRect(&rc, CBrush::FromHandle(br));
  CRect edge = rc;
  dc->DrawEdge(&edge, EDGE_SUNKEN, BF_RECT);
  CRect b = buttonRect(h);
  AfxDrawPushFrame(dc, b, s->dropped, false, false);
  AfxDrawArrow(dc, b, 1, enabled);
  if (dropList(h)) {
    CRect f(3, 3, b.left - 1, rc.bottom - 3);
    bool focus = AfxCtlHasFocus(h) && !s->dropped;
    int i = s->dropped ? s->selAtDrop : cur(s);  // the pointer over the open list chooses nothing yet
    if (ownerDraw(h)) {
      DRAWITEMSTRUCT dis{
          ODT_COMBOBOX,
          AfxCtlId(h),
          (UINT)i,
          ODA_DRAWENTIRE,
          (UINT)(0x1000 /* the field */ | (focus ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED)),
          h,
          dc->GetSafeHdc(),
          f,
          i >= 0 ? (ULONG_PTR)::SendMessage(s->list, LB_GETITEMDATA, (WPARAM)i, 0) : 0};
      AfxCtlDrawItem(h, &dis);
    } else {
      CFont* oldFont = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
      dc->SetBkMode(TRANSPARENT);
      if (focus) {
        dc->FillSolidRect(&f, GetSysColor(COLOR_HIGHLIGHT));
        dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
      } else {
        dc->SetTextColor(enabled ? textCol : GetSysColor(COLOR_GRAYTEXT));
      }
      CRect t = f;
      t.left += 2;
      std::string u = AfxStdStr(itemText(s, i));
      dc->DrawText(u.c_str(), (int)u.size(), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      if (focus) dc->DrawFocusRect(&f);
      dc->SelectObject(oldFont);
    }
  }
}

int forward(ComboState* s, UINT msg, WPARAM wp, LPARAM lp) {
  return s->list ? (int)::SendMessage(s->list, msg, wp, lp) : CB_ERR;
}

}  // namespace

void AfxDrawArrow(CDC* dc, const RECT& rc, int dir, bool enabled) {
  CRect r(rc);
  CPoint c = r.CenterPoint();
  COLORREF col = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  auto draw = [&](int ox, int oy, COLORREF k) {
    for (int i = 0; i < 4; ++i) {
      int len = 7 - 2 * i;
      switch (dir) {
        case 0: dc->FillSolidRect(c.x - 3 + i + ox, c.y + 1 - i + oy, len, 1, k); break;
        case 1: dc->FillSolidRect(c.x - 3 + i + ox, c.y - 2 + i + oy, len, 1, k); break;
        case 2: dc->FillSolidRect(c.x + 1 - i + ox, c.y - 3 + i + oy, 1, len, k); break;
        default: dc->FillSolidRect(c.x - 2 + i + ox, c.y - 3 + i + oy, 1, len, k); break;
      }
    }
  };
  if (!enabled) draw(1, 1, GetSysColor(COLOR_3DHILIGHT));
  draw(0, 0, col);
}

AfxCtlState* AfxNewComboState() { return new ComboState; }

void AfxComboListDone(HWND combo, bool pick) {
  if (ComboState* s = st(combo)) closeUp(combo, s, pick ? Close::Ok : Close::Cancel);
}

void AfxComboListCaptureLost(HWND combo) {
  ComboState* s = st(combo);
  if (s && s->dropped && !s->closing) closeUp(combo, s, Close::Cancel);
}

bool AfxComboEditFilter(HWND edit, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND h = AfxCtlParent(edit);
  if (AfxCtlKindOf(h) != AfxCtlKind::ComboBox) return false;
  ComboState* s = st(h);
  if (!s || s->edit != edit) return false;
  switch (msg) {
    case WM_GETDLGCODE:
      *result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
                (s->dropped && (wp == VK_RETURN || wp == VK_ESCAPE) ? DLGC_WANTALLKEYS : 0);
      return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      bool alt = msg == WM_SYSKEYDOWN && (lp & (1 << 29));
      if (msg == WM_SYSKEYDOWN && !alt) return false;
      if (!key(h, s, (UINT)wp, alt, true)) return false;
      *result = 0;
      return true;
    }
    case WM_KILLFOCUS:
      if ((HWND)wp == h) s->bounce = true;
      return false;
    case WM_CHAR:
      if (s->dropped && (wp == '\r' || wp == 27)) {
        *result = 0;
        return true;
      }
      return false;
  }
  return false;
}

namespace {

// ---- One handler per message ----

LRESULT OnCbCreate(HWND h, ComboState* s, const CREATESTRUCT* cs) {
  DWORD style = AfxCtlStyle(h);
  s->dropHeight = cs ? cs->cy : 0;
  DWORD ls = WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
  if (style & CBS_SORT) ls |= LBS_SORT;
  if (style & CBS_OWNERDRAWFIXED) ls |= LBS_OWNERDRAWFIXED;
  if (style & CBS_OWNERDRAWVARIABLE) ls |= LBS_OWNERDRAWFIXED;
  if (!(style & CBS_HASSTRINGS) && ownerDraw(h)) ls &= ~LBS_HASSTRINGS;
  if (style & CBS_DISABLENOSCROLL) ls |= LBS_DISABLENOSCROLL;
  AfxInitControlClasses();
  s->list = ::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WC_COMBOLBOX, "", ls, 0, 0, 100, 100,
                             h, (HMENU)(UINT_PTR)kListId, nullptr, nullptr);
  if (!s->list) return -1;
  AfxListSetCombo(s->list, h);
  ::SendMessage(s->list, WM_SETFONT, (WPARAM)AfxCtlFont(h), FALSE);
  if (!dropList(h)) {
    DWORD es = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (style & CBS_UPPERCASE) es |= ES_UPPERCASE;
    if (style & CBS_LOWERCASE) es |= ES_LOWERCASE;
    s->edit = ::CreateWindowEx(0, WC_EDIT, cs && cs->lpszName ? cs->lpszName : "", es, 0, 0, 10, 10, h,
                               (HMENU)(UINT_PTR)kEditId, nullptr, nullptr);
    if (!s->edit) return -1;
    ::SendMessage(s->edit, WM_SETFONT, (WPARAM)AfxCtlFont(h), FALSE);
    if (!(style & CBS_AUTOHSCROLL)) ::SendMessage(s->edit, EM_LIMITTEXT, 0x7FFFFFFE, 0);
  } else {
    AfxCtlSetText(h, QString());
  }
  // The scroll bar styles belong to the list, not to the field.
  if (AfxWndRec* r = AfxRec(h)) r->style &= ~(WS_VSCROLL | WS_HSCROLL);
  RECT wr;
  ::GetWindowRect(h, &wr);
  ::SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, fieldHeight(h, s),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  placeEdit(h, s);
  return 0;
}

LRESULT OnCbDestroy(ComboState* s) {
  if (s->list) {
    s->dropped = false;
    HWND l = s->list;
    s->list = nullptr;
    ::DestroyWindow(l);
  }
  return 0;
}

LRESULT OnCbWindowPosChanging(HWND h, ComboState* s, WINDOWPOS* wpos) {
  // The height given is the dropped height; the window keeps the field's height.
  int fh = fieldHeight(h, s);
  if (wpos && !(wpos->flags & SWP_NOSIZE) && wpos->cy != fh) {
    s->dropHeight = wpos->cy;
    wpos->cy = fh;
  }
  return 0;
}

LRESULT OnCbEnable(HWND h, ComboState* s, WPARAM wp) {
  if (s->edit) ::EnableWindow(s->edit, (BOOL)wp);
  if (!wp && s->dropped) closeUp(h, s, Close::Cancel);
  AfxCtlInvalidate(h);
  return 0;
}

// Gives the window the field's height again, keeping the dropped height it was given.
void fitField(HWND h, ComboState* s) {
  RECT wr;
  ::GetWindowRect(h, &wr);
  int keep = s->dropHeight;
  ::SetWindowPos(h, nullptr, 0, 0, wr.right - wr.left, fieldHeight(h, s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  s->dropHeight = keep;
  placeEdit(h, s);
}

LRESULT OnCbSetFont(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  ::DefWindowProc(h, WM_SETFONT, wp, lp);
  if (s->edit) ::SendMessage(s->edit, WM_SETFONT, wp, lp);
  if (s->list) ::SendMessage(s->list, WM_SETFONT, wp, lp);
  if (!ownerDraw(h)) s->fieldItemHeight = 0;
  fitField(h, s);
  return 0;
}

LRESULT OnCbSetFocus(HWND h, ComboState* s, WPARAM wp) {
  if (s->edit) {
    if ((HWND)wp != s->edit) s->bounce = false;
    ::SetFocus(s->edit);  // the edit reports the focus as CBN_SETFOCUS
    ::SendMessage(s->edit, EM_SETSEL, 0, -1);
    return 0;
  }
  AfxCtlInvalidate(h);
  notify(h, CBN_SETFOCUS);
  return 0;
}

LRESULT OnCbKillFocus(HWND h, ComboState* s) {
  if (s->edit) return 0;
  if (s->dropped) closeUp(h, s, Close::Cancel);
  if (!AfxRec(h)) return 0;
  AfxCtlInvalidate(h);
  notify(h, CBN_KILLFOCUS);
  return 0;
}

void onEditChange(HWND h, ComboState* s) {
  syncText(h, s);
  if (s->quiet) return;
  if (s->dropped) {
    // Typing while the list is open shows the first item that begins with the text.
    QString t = editText(s);
    int i = t.isEmpty() ? -1 : (int)::SendMessage(s->list, LB_FINDSTRING, (WPARAM)-1, (LPARAM)AfxStdStr(t).c_str());
    ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)i, 0);
    if (i >= 0) ::SendMessage(s->list, LB_SETTOPINDEX, (WPARAM)i, 0);
    s->selAtDrop = i;
  }
  notify(h, CBN_EDITCHANGE);
}

// The edit field's notifications become the combo's.
LRESULT OnCbCommand(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  if ((HWND)lp != s->edit || !s->edit) return 0;
  switch (HIWORD(wp)) {
    case EN_SETFOCUS:
      if (s->bounce)
        s->bounce = false;
      else
        notify(h, CBN_SETFOCUS);
      break;
    case EN_KILLFOCUS:
      if (s->bounce) break;
      if (s->dropped) closeUp(h, s, Close::Cancel);
      if (AfxRec(h)) notify(h, CBN_KILLFOCUS);
      break;
    case EN_UPDATE:
      // The combo's text is the field's by now, as the parent reads it on this notification.
      syncText(h, s);
      if (!s->quiet) notify(h, CBN_EDITUPDATE);
      break;
    case EN_CHANGE: onEditChange(h, s); break;
    case EN_MAXTEXT: break;
  }
  return 0;
}

LRESULT OnCbButtonDown(HWND h, ComboState* s, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (::GetFocus() != (s->edit ? s->edit : h)) ::SetFocus(h);
  if (!AfxRec(h) || !(s = st(h))) return 0;
  if (dropList(h) || buttonRect(h).PtInRect(pt)) {
    if (s->dropped)
      closeUp(h, s, Close::Cancel);
    else
      drop(h, s);
  }
  return 0;
}

LRESULT OnCbMouseWheel(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  if (!s->dropped && ::IsWindowEnabled(h) && (AfxCtlHasFocus(h) || (s->edit && AfxCtlHasFocus(s->edit)))) {
    int steps = (short)HIWORD(wp) / 120;
    if (steps) userSelect(h, s, std::clamp(cur(s) - steps, 0, std::max(0, count(s) - 1)));
    return 0;
  }
  if (s->dropped) return ::SendMessage(s->list, WM_MOUSEWHEEL, wp, lp);
  return ::DefWindowProc(h, WM_MOUSEWHEEL, wp, lp);
}

LRESULT OnCbSysKeyDown(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  if ((lp & (1 << 29)) && (wp == VK_DOWN || wp == VK_UP)) {
    key(h, s, (UINT)wp, true, false);
    return 0;
  }
  return ::DefWindowProc(h, WM_SYSKEYDOWN, wp, lp);
}

LRESULT OnCbChar(HWND h, ComboState* s, WPARAM wp) {
  if (dropList(h) && wp >= 0x20) {
    std::string c = AfxStdStr(QString(QChar((uint)wp)));
    int i = (int)::SendMessage(s->list, LB_FINDSTRING, (WPARAM)cur(s), (LPARAM)c.c_str());
    if (i >= 0) userSelect(h, s, i);
  }
  return 0;
}

// Sets the edit field's text without passing its notifications on.
void setEditQuietly(ComboState* s, const char* text) {
  ++s->quiet;
  ::SetWindowText(s->edit, text);
  --s->quiet;
}

LRESULT OnCbSetText(HWND h, ComboState* s, LPARAM lp) {
  QString t = AfxQStr((LPCTSTR)lp);
  int i = (int)::SendMessage(s->list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)AfxStdStr(t).c_str());
  if (dropList(h)) {
    if (i < 0) return CB_ERR;
    ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)i, 0);
    syncText(h, s);
    AfxCtlInvalidate(h);
    return TRUE;
  }
  ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)i, 0);
  setEditQuietly(s, AfxStdStr(t).c_str());
  syncText(h, s);
  return TRUE;
}

// ---- Items ----

LRESULT OnCbDeleteString(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  bool wasCur = (int)wp == cur(s);
  int r = forward(s, LB_DELETESTRING, wp, lp);
  if (wasCur && dropList(h)) {
    syncText(h, s);
    AfxCtlInvalidate(h);
  }
  return r;
}

LRESULT OnCbResetContent(HWND h, ComboState* s) {
  forward(s, LB_RESETCONTENT, 0, 0);
  if (s->edit) setEditQuietly(s, "");
  syncText(h, s);
  AfxCtlInvalidate(h);
  return CB_OKAY;
}

// The program's choice of item: shown, and remembered as the choice a cancelled list goes back to.
void setSelection(HWND h, ComboState* s, int i) {
  ::SendMessage(s->list, LB_SETCURSEL, (WPARAM)i, 0);
  if (s->dropped) s->selAtDrop = i;
  showSelection(h, s);
}

LRESULT OnCbSetCurSel(HWND h, ComboState* s, WPARAM wp) {
  int i = (int)wp;
  if (i < -1 || i >= count(s)) i = -1;
  setSelection(h, s, i);
  return i < 0 ? CB_ERR : i;
}

LRESULT OnCbSelectString(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  int i = forward(s, LB_FINDSTRING, wp, lp);
  if (i < 0) return CB_ERR;
  setSelection(h, s, i);
  return i;
}

// ---- The edit field ----

LRESULT OnCbLimitText(ComboState* s, WPARAM wp) {
  if (!s->edit) return CB_ERR;
  ::SendMessage(s->edit, EM_LIMITTEXT, wp, 0);
  return TRUE;
}

LRESULT OnCbGetEditSel(ComboState* s, WPARAM wp, LPARAM lp) {
  if (!s->edit) return CB_ERR;
  DWORD a = 0, b = 0;
  ::SendMessage(s->edit, EM_GETSEL, (WPARAM)&a, (LPARAM)&b);
  if (wp) *(DWORD*)wp = a;
  if (lp) *(DWORD*)lp = b;
  return MAKELONG(std::min<DWORD>(a, 0xFFFF), std::min<DWORD>(b, 0xFFFF));
}

LRESULT OnCbSetEditSel(ComboState* s, LPARAM lp) {
  if (!s->edit) return CB_ERR;
  ::SendMessage(s->edit, EM_SETSEL, (WPARAM)(int)(short)LOWORD(lp), (LPARAM)(int)(short)HIWORD(lp));
  return TRUE;
}

// ---- The list ----

LRESULT OnCbShowDropDown(HWND h, ComboState* s, WPARAM wp) {
  if (wp)
    drop(h, s);
  else
    closeUp(h, s, Close::Quiet);
  return TRUE;
}

LRESULT OnCbGetDroppedControlRect(HWND h, ComboState* s, LPARAM lp) {
  if (!lp) return CB_ERR;
  RECT wr;
  ::GetWindowRect(h, &wr);
  wr.right = wr.left + std::max((int)(wr.right - wr.left), s->droppedWidth);
  wr.bottom = wr.top + std::max((int)(wr.bottom - wr.top), s->dropHeight);
  *(RECT*)lp = wr;
  return TRUE;
}

LRESULT OnCbGetDroppedWidth(HWND h, ComboState* s) {
  RECT wr;
  ::GetWindowRect(h, &wr);
  return std::max((int)(wr.right - wr.left), s->droppedWidth);
}

LRESULT OnCbGetItemHeight(HWND h, ComboState* s, WPARAM wp) {
  if ((int)wp == -1) return fieldItemHeight(h, s);
  return forward(s, LB_GETITEMHEIGHT, 0, 0);
}

LRESULT OnCbSetItemHeight(HWND h, ComboState* s, WPARAM wp, LPARAM lp) {
  if (lp <= 0 || lp > 255) return CB_ERR;
  if ((int)wp == -1) {
    s->fieldItemHeight = (int)lp;
    fitField(h, s);
    return CB_OKAY;
  }
  return forward(s, LB_SETITEMHEIGHT, 0, lp);
}

}  // namespace

LRESULT AfxComboProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  ComboState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE: return OnCbCreate(h, s, (const CREATESTRUCT*)lp);
    case WM_DESTROY: return OnCbDestroy(s);
    case WM_WINDOWPOSCHANGING: return OnCbWindowPosChanging(h, s, (WINDOWPOS*)lp);
    case WM_SIZE:
      placeEdit(h, s);
      AfxCtlInvalidate(h);
      return 0;
    case WM_MOVE:
      if (s->dropped) closeUp(h, s, Close::Cancel);
      return 0;
    case WM_SHOWWINDOW:
      if (!wp && s->dropped) closeUp(h, s, Close::Cancel);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: paint(h, s, wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE: return OnCbEnable(h, s, wp);
    case WM_SETFONT: return OnCbSetFont(h, s, wp, lp);
    case WM_GETDLGCODE:
      // While the list is open, Enter and Esc are the list's, not the dialog's.
      return DLGC_WANTARROWS | DLGC_WANTCHARS |
             (s->dropped && (wp == VK_RETURN || wp == VK_ESCAPE) ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS: return OnCbSetFocus(h, s, wp);
    case WM_KILLFOCUS: return OnCbKillFocus(h, s);
    case WM_COMMAND: return OnCbCommand(h, s, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnCbButtonDown(h, s, lp);
    case WM_MOUSEWHEEL: return OnCbMouseWheel(h, s, wp, lp);
    case WM_KEYDOWN: key(h, s, (UINT)wp, false, false); return 0;
    case WM_SYSKEYDOWN: return OnCbSysKeyDown(h, s, wp, lp);
    case WM_CHAR: return OnCbChar(h, s, wp);
    case WM_SETTEXT: return OnCbSetText(h, s, lp);
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO: return s->edit ? ::SendMessage(s->edit, msg, wp, lp) : 0;

    // ---- Items: the list's own messages ----
    case CB_ADDSTRING: return forward(s, LB_ADDSTRING, wp, lp);
    case CB_INSERTSTRING: return forward(s, LB_INSERTSTRING, wp, lp);
    case CB_DELETESTRING: return OnCbDeleteString(h, s, wp, lp);
    case CB_RESETCONTENT: return OnCbResetContent(h, s);
    case CB_GETCOUNT: return count(s);
    case CB_GETLBTEXT: return forward(s, LB_GETTEXT, wp, lp);
    case CB_GETLBTEXTLEN: return forward(s, LB_GETTEXTLEN, wp, lp);
    case CB_GETITEMDATA: return forward(s, LB_GETITEMDATA, wp, lp);
    case CB_SETITEMDATA: return forward(s, LB_SETITEMDATA, wp, lp);
    case CB_FINDSTRING: return forward(s, LB_FINDSTRING, wp, lp);
    case CB_FINDSTRINGEXACT: return forward(s, LB_FINDSTRINGEXACT, wp, lp);
    case CB_GETCURSEL: return cur(s);
    case CB_SETCURSEL: return OnCbSetCurSel(h, s, wp);
    case CB_SELECTSTRING: return OnCbSelectString(h, s, wp, lp);

    case CB_LIMITTEXT: return OnCbLimitText(s, wp);
    case CB_GETEDITSEL: return OnCbGetEditSel(s, wp, lp);
    case CB_SETEDITSEL: return OnCbSetEditSel(s, lp);

    case CB_SHOWDROPDOWN: return OnCbShowDropDown(h, s, wp);
    case CB_GETDROPPEDSTATE: return s->dropped;
    case CB_GETDROPPEDCONTROLRECT: return OnCbGetDroppedControlRect(h, s, lp);
    case CB_GETDROPPEDWIDTH: return OnCbGetDroppedWidth(h, s);
    case CB_SETDROPPEDWIDTH: s->droppedWidth = (int)wp; return std::max(s->droppedWidth, 0);
    case CB_GETITEMHEIGHT: return OnCbGetItemHeight(h, s, wp);
    case CB_SETITEMHEIGHT: return OnCbSetItemHeight(h, s, wp, lp);
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CComboBox, CControlWnd)

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_COMBOBOX, "", dwStyle, rect, pParentWnd, nID);
}
BOOL CComboBox::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_COMBOBOX, "", dwStyle, rect, pParentWnd, nID, dwExStyle);
}
int CComboBox::GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
int CComboBox::AddString(LPCTSTR s) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)s); }
int CComboBox::InsertString(int nIndex, LPCTSTR s) {
  return (int)SendMessage(CB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)s);
}
int CComboBox::DeleteString(UINT nIndex) { return (int)SendMessage(CB_DELETESTRING, nIndex); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::FindString(int nStartAfter, LPCTSTR s) const {
  return (int)SendMessage(CB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)s);
}
int CComboBox::FindStringExact(int nIndexStart, LPCTSTR s) const {
  return (int)SendMessage(CB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)s);
}
int CComboBox::SelectString(int nStartAfter, LPCTSTR s) {
  return (int)SendMessage(CB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)s);
}
int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const {
  return (int)SendMessage(CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)lpszText);
}
void CComboBox::GetLBText(int nIndex, CString& rString) const {
  rString.Empty();
  int n = GetLBTextLen(nIndex);
  if (n < 0) return;
  std::string buf((size_t)n + 1, '\0');
  GetLBText(nIndex, buf.data());
  rString = buf.c_str();
}
int CComboBox::GetLBTextLen(int nIndex) const { return (int)SendMessage(CB_GETLBTEXTLEN, (WPARAM)nIndex); }
DWORD_PTR CComboBox::GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, (WPARAM)nIndex); }
int CComboBox::SetItemData(int nIndex, DWORD_PTR d) {
  return (int)SendMessage(CB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)d);
}
void* CComboBox::GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
int CComboBox::SetItemDataPtr(int nIndex, void* p) { return SetItemData(nIndex, (DWORD_PTR)p); }
int CComboBox::GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
int CComboBox::SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, (WPARAM)nSelect); }
BOOL CComboBox::LimitText(int nMaxChars) { return (BOOL)SendMessage(CB_LIMITTEXT, (WPARAM)nMaxChars); }
DWORD CComboBox::GetEditSel() const { return (DWORD)SendMessage(CB_GETEDITSEL); }
BOOL CComboBox::SetEditSel(int a, int b) { return (BOOL)SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(a, b)); }
void CComboBox::ShowDropDown(BOOL bShowIt) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
BOOL CComboBox::GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }
void CComboBox::GetDroppedControlRect(LPRECT lprect) const { SendMessage(CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect); }
int CComboBox::GetDroppedWidth() const { return (int)SendMessage(CB_GETDROPPEDWIDTH); }
int CComboBox::SetDroppedWidth(UINT nWidth) { return (int)SendMessage(CB_SETDROPPEDWIDTH, nWidth); }
int CComboBox::GetItemHeight(int nIndex) const { return (int)SendMessage(CB_GETITEMHEIGHT, (WPARAM)nIndex); }
int CComboBox::SetItemHeight(int nIndex, UINT cy) {
  return (int)SendMessage(CB_SETITEMHEIGHT, (WPARAM)nIndex, (LPARAM)cy);
}
