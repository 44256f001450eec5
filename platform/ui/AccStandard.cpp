// What the standard controls tell a screen reader: role, name, value, states, items and
// actions, read through the controls' own messages.
#include "platform/ui/Accessible.h"

#include "platform/ui/CtlInternal.h"
#include "platform/ui/CtlScrollBar.h"
#include "platform/ui/CtlTab.h"
#include "platform/ui/CtlTree.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/PropSheet.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

CString windowText(HWND h) {
  AfxWndRec* r = AfxRec(h);
  return r ? CString(r->text.c_str()) : CString();
}

bool visible(HWND h) { return ::IsWindowVisible(h) != FALSE; }

// The windows before h among its siblings, nearest first: the layer keeps siblings in the
// tab order.
std::vector<HWND> before(HWND h) {
  std::vector<HWND> out;
  AfxWndRec* r = AfxRec(h);
  AfxWndRec* p = r && (r->style & WS_CHILD) ? AfxRec(r->parent) : nullptr;
  if (!p) return out;
  auto it = std::find(p->children.begin(), p->children.end(), h);
  while (it != p->children.begin()) out.push_back(*--it);
  return out;
}

// A label before the control in the tab order names it, as the platform's readers take it.
CString labelBefore(HWND h) {
  // A combo's edit is named as its combo.
  if (AfxCtlKindOf(h) == AfxCtlKind::Edit && AfxCtlKindOf(AfxCtlParent(h)) == AfxCtlKind::ComboBox)
    return labelBefore(AfxCtlParent(h));
  for (HWND p : before(h)) {
    AfxCtlKind k = AfxCtlKindOf(p);
    if (k == AfxCtlKind::Static) {
      DWORD t = AfxCtlStyle(p) & SS_TYPEMASK;
      if (t == SS_ICON || t == SS_BITMAP || (t >= SS_BLACKRECT && t <= SS_WHITEFRAME) || t >= SS_ETCHEDHORZ) continue;
      return AfxAccStripMnemonic(windowText(p));
    }
    if (k == AfxCtlKind::Button && (AfxCtlStyle(p) & BS_TYPEMASK) == BS_GROUPBOX)
      return AfxAccStripMnemonic(windowText(p));
    // An up-down's buddy edit keeps the label of the pair; a row of fields of one kind
    // (a date's day, month and year) shares the label before the first.
    if (k == AfxCtlKind::UpDown || k == AfxCtlKindOf(h)) continue;
    return CString();
  }
  return CString();
}

// The tree's items whose parents are all expanded, in the order shown.
std::vector<HTREEITEM> shownTreeItems(HWND h) {
  std::vector<HTREEITEM> out;
  std::vector<HTREEITEM> stack;
  HTREEITEM i = (HTREEITEM)::SendMessage(h, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  while (i) {
    out.push_back(i);
    HTREEITEM child = nullptr;
    if (::SendMessage(h, TVM_GETITEMSTATE, (WPARAM)i, TVIS_EXPANDED) & TVIS_EXPANDED)
      child = (HTREEITEM)::SendMessage(h, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)i);
    if (child) {
      stack.push_back(i);
      i = child;
      continue;
    }
    HTREEITEM next = (HTREEITEM)::SendMessage(h, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)i);
    while (!next && !stack.empty()) {
      next = (HTREEITEM)::SendMessage(h, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)stack.back());
      stack.pop_back();
    }
    i = next;
  }
  return out;
}

CString listText(HWND h, UINT lenMsg, UINT textMsg, int i) {
  LRESULT n = ::SendMessage(h, lenMsg, i, 0);
  if (n < 0) return CString();
  std::string buf((size_t)n + 1, '\0');
  ::SendMessage(h, textMsg, i, (LPARAM)buf.data());
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return CString(buf.c_str());
}

int levelOf(HWND h, HTREEITEM i) {
  int level = 0;
  for (; i; i = (HTREEITEM)::SendMessage(h, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)i)) ++level;
  return level;
}

CString numberText(double v) { return CString(std::to_string((long long)v).c_str()); }

void describeButton(HWND h, AFXACCQUERY* q) {
  AFXACCINFO& a = q->info;
  DWORD s = AfxCtlStyle(h);
  UINT t = s & BS_TYPEMASK;
  LRESULT check = ::SendMessage(h, BM_GETCHECK, 0, 0);
  switch (t) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      a.nRole = ROLE_SYSTEM_CHECKBUTTON;
      a.strActions = "Toggle";
      break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      a.nRole = ROLE_SYSTEM_RADIOBUTTON;
      a.strActions = "Press";
      break;
    case BS_GROUPBOX: a.nRole = ROLE_SYSTEM_GROUPING; break;
    default:
      a.nRole = ROLE_SYSTEM_PUSHBUTTON;
      a.strActions = "Press";
      if (t == BS_DEFPUSHBUTTON) a.dwState |= STATE_SYSTEM_DEFAULT;
      if (::SendMessage(h, BM_GETSTATE, 0, 0) & BST_PUSHED) a.dwState |= STATE_SYSTEM_PRESSED;
      break;
  }
  if (a.nRole == ROLE_SYSTEM_CHECKBUTTON || a.nRole == ROLE_SYSTEM_RADIOBUTTON) {
    if (check == BST_CHECKED) a.dwState |= STATE_SYSTEM_CHECKED;
    if (check == BST_INDETERMINATE) a.dwState |= STATE_SYSTEM_MIXED;
  }
  a.strName = AfxAccStripMnemonic(windowText(h));
}

void describeWindow(HWND h, AFXACCQUERY* q) {
  AFXACCINFO& a = q->info;
  AfxWndRec* r = AfxRec(h);
  const DWORD style = r->style;
  if (!visible(h)) a.dwState |= STATE_SYSTEM_INVISIBLE;
  if (!::IsWindowEnabled(h)) a.dwState |= STATE_SYSTEM_UNAVAILABLE;
  if (::GetFocus() == h) a.dwState |= STATE_SYSTEM_FOCUSED;
  switch (AfxCtlKindOf(h)) {
    case AfxCtlKind::Button:
      describeButton(h, q);
      a.dwState |= STATE_SYSTEM_FOCUSABLE;
      return;
    case AfxCtlKind::Static:
      a.nRole = ((style & SS_TYPEMASK) == SS_ICON || (style & SS_TYPEMASK) == SS_BITMAP) ? ROLE_SYSTEM_GRAPHIC
                                                                                         : ROLE_SYSTEM_STATICTEXT;
      a.strName = AfxAccStripMnemonic(windowText(h));
      a.dwState |= STATE_SYSTEM_READONLY;
      return;
    case AfxCtlKind::Edit:
      a.nRole = ROLE_SYSTEM_TEXT;
      a.strName = labelBefore(h);
      a.dwState |= STATE_SYSTEM_FOCUSABLE;
      if (style & ES_READONLY) a.dwState |= STATE_SYSTEM_READONLY;
      if (style & ES_PASSWORD)
        a.dwState |= STATE_SYSTEM_PROTECTED;
      else
        a.strValue = windowText(h);
      a.nValueKind = AFXACCVAL_TEXT;
      return;
    case AfxCtlKind::ListBox:
    case AfxCtlKind::ComboList: {
      a.nRole = ROLE_SYSTEM_LIST;
      a.strName = labelBefore(h);
      a.dwState |= STATE_SYSTEM_FOCUSABLE;
      if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) a.dwState |= STATE_SYSTEM_MULTISELECTABLE;
      int sel = (int)::SendMessage(h, LB_GETCURSEL, 0, 0);
      if (sel >= 0) a.strValue = listText(h, LB_GETTEXTLEN, LB_GETTEXT, sel);
      return;
    }
    case AfxCtlKind::ComboBox: {
      a.nRole = ROLE_SYSTEM_COMBOBOX;
      a.strName = labelBefore(h);
      a.dwState |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HASPOPUP;
      a.dwState |= ::SendMessage(h, CB_GETDROPPEDSTATE, 0, 0) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
      int sel = (int)::SendMessage(h, CB_GETCURSEL, 0, 0);
      int n = (int)::SendMessage(h, CB_GETCOUNT, 0, 0);
      a.strValue = sel >= 0 ? listText(h, CB_GETLBTEXTLEN, CB_GETLBTEXT, sel) : windowText(h);
      a.nValueKind = AFXACCVAL_NUMBER;
      a.dMin = 0;
      a.dMax = n > 0 ? n - 1 : 0;
      a.dValue = sel;
      a.strActions = "ShowMenu";
      return;
    }
    case AfxCtlKind::Tree:
      a.nRole = ROLE_SYSTEM_OUTLINE;
      a.strName = labelBefore(h);
      a.dwState |= STATE_SYSTEM_FOCUSABLE;
      return;
    case AfxCtlKind::Tab:
      a.nRole = ROLE_SYSTEM_PAGETABLIST;
      a.dwState |= STATE_SYSTEM_FOCUSABLE;
      return;
    case AfxCtlKind::Slider:
    case AfxCtlKind::UpDown:
    case AfxCtlKind::ScrollBar: {
      AfxCtlKind k = AfxCtlKindOf(h);
      if (k == AfxCtlKind::Slider) {
        a.nRole = ROLE_SYSTEM_SLIDER;
        a.dMin = (double)::SendMessage(h, TBM_GETRANGEMIN, 0, 0);
        a.dMax = (double)::SendMessage(h, TBM_GETRANGEMAX, 0, 0);
        a.dValue = (double)::SendMessage(h, TBM_GETPOS, 0, 0);
        a.dwState |= STATE_SYSTEM_FOCUSABLE;
      } else if (k == AfxCtlKind::UpDown) {
        a.nRole = ROLE_SYSTEM_SPINBUTTON;
        int lo = 0, hi = 0;
        ::SendMessage(h, UDM_GETRANGE32, (WPARAM)&lo, (LPARAM)&hi);
        a.dMin = std::min(lo, hi);
        a.dMax = std::max(lo, hi);
        a.dValue = (double)(int)::SendMessage(h, UDM_GETPOS32, 0, 0);
        // Named as its buddy, or as the edit just before it.
        HWND buddy = (HWND)::SendMessage(h, UDM_GETBUDDY, 0, 0);
        if (!buddy) {
          std::vector<HWND> prev = before(h);
          if (!prev.empty() && AfxCtlKindOf(prev[0]) == AfxCtlKind::Edit) buddy = prev[0];
        }
        a.strName = labelBefore(buddy ? buddy : h);
      } else {
        a.nRole = ROLE_SYSTEM_SCROLLBAR;
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        ::SendMessage(h, SBM_GETSCROLLINFO, 0, (LPARAM)&si);
        a.dMin = si.nMin;
        a.dMax = std::max(si.nMin, si.nMax - std::max(0, (int)si.nPage - 1));
        a.dValue = si.nPos;
      }
      if (a.strName.IsEmpty() && k != AfxCtlKind::UpDown) a.strName = labelBefore(h);
      a.nValueKind = AFXACCVAL_NUMBER;
      a.strValue = numberText(a.dValue);
      return;
    }
    case AfxCtlKind::ToolTip:
      a.nRole = ROLE_SYSTEM_TOOLTIP;
      a.strName = windowText(h);
      return;
    case AfxCtlKind::None: break;
  }
  a.strName = windowText(h);
  CWnd* w = r->wnd;
  if (dynamic_cast<CPropertyPage*>(w))
    a.nRole = ROLE_SYSTEM_PROPERTYPAGE;
  else if (dynamic_cast<CDialog*>(w) || dynamic_cast<CPropertySheet*>(w))
    a.nRole = ROLE_SYSTEM_DIALOG;
  else if (!(style & WS_CHILD))
    a.nRole = ROLE_SYSTEM_WINDOW;
  else
    a.nRole = ROLE_SYSTEM_CLIENT;
}

int itemCount(HWND h) {
  switch (AfxCtlKindOf(h)) {
    case AfxCtlKind::ListBox:
    case AfxCtlKind::ComboList: return std::max(0, (int)::SendMessage(h, LB_GETCOUNT, 0, 0));
    case AfxCtlKind::Tree: return (int)shownTreeItems(h).size();
    case AfxCtlKind::Tab: return std::max(0, (int)::SendMessage(h, TCM_GETITEMCOUNT, 0, 0));
    default: return 0;
  }
}

void describeItem(HWND h, AFXACCQUERY* q) {
  AFXACCINFO& a = q->info;
  const int i = q->nChild - 1;
  switch (AfxCtlKindOf(h)) {
    case AfxCtlKind::ListBox:
    case AfxCtlKind::ComboList:
      a.nRole = ROLE_SYSTEM_LISTITEM;
      a.strName = listText(h, LB_GETTEXTLEN, LB_GETTEXT, i);
      a.dwState |= STATE_SYSTEM_SELECTABLE;
      if (::SendMessage(h, LB_GETSEL, i, 0) > 0 || ::SendMessage(h, LB_GETCURSEL, 0, 0) == i)
        a.dwState |= STATE_SYSTEM_SELECTED;
      ::SendMessage(h, LB_GETITEMRECT, i, (LPARAM)&a.rect);
      a.strActions = "Press";
      return;
    case AfxCtlKind::Tree: {
      std::vector<HTREEITEM> items = shownTreeItems(h);
      if (i < 0 || i >= (int)items.size()) return;
      HTREEITEM it = items[i];
      char buf[512] = {};
      TVITEM tv{};
      tv.mask = TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN | TVIF_HANDLE;
      tv.hItem = it;
      tv.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
      tv.pszText = buf;
      tv.cchTextMax = sizeof buf;
      ::SendMessage(h, TVM_GETITEM, 0, (LPARAM)&tv);
      a.nRole = ROLE_SYSTEM_OUTLINEITEM;
      a.strName = buf;
      a.nLevel = levelOf(h, it);
      a.dwState |= STATE_SYSTEM_SELECTABLE;
      if (tv.state & TVIS_SELECTED) a.dwState |= STATE_SYSTEM_SELECTED;
      if (::GetFocus() == h && (tv.state & TVIS_SELECTED)) a.dwState |= STATE_SYSTEM_FOCUSED;
      bool kids = tv.cChildren != 0 || ::SendMessage(h, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)it);
      if (kids) {
        bool open = (tv.state & TVIS_EXPANDED) != 0;
        a.dwState |= open ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        a.strActions = open ? "Collapse\nSelect" : "Expand\nSelect";
      } else {
        a.strActions = "Select";
      }
      // The rectangle is asked for with the item's handle in its first bytes.
      union {
        RECT rc;
        HTREEITEM item;
      } place{};
      place.item = it;
      if (::SendMessage(h, TVM_GETITEMRECT, TRUE, (LPARAM)&place.rc)) a.rect = place.rc;
      return;
    }
    case AfxCtlKind::Tab: {
      char buf[256] = {};
      TCITEM tc{};
      tc.mask = TCIF_TEXT;
      tc.pszText = buf;
      tc.cchTextMax = sizeof buf;
      ::SendMessage(h, TCM_GETITEM, i, (LPARAM)&tc);
      a.nRole = ROLE_SYSTEM_PAGETAB;
      a.strName = AfxAccStripMnemonic(buf);
      a.dwState |= STATE_SYSTEM_SELECTABLE;
      if (::SendMessage(h, TCM_GETCURSEL, 0, 0) == i) a.dwState |= STATE_SYSTEM_SELECTED;
      ::SendMessage(h, TCM_GETITEMRECT, i, (LPARAM)&a.rect);
      a.strActions = "Press";
      return;
    }
    default: return;
  }
}

// The standard controls' actions and values.
BOOL doStandard(HWND h, AFXACCQUERY* q) {
  const AfxCtlKind k = AfxCtlKindOf(h);
  const CString act = q->strAction;
  if (q->nAsk == AFXACC_SETVALUE) {
    AFXACCQUERY d;
    d.nChild = q->nChild;
    AfxAccQuery(h, &d);
    if (d.info.nValueKind == AFXACCVAL_NUMBER) {
      int v = (int)std::lround(std::clamp(q->dValue, d.info.dMin, d.info.dMax));
      if (k == AfxCtlKind::Slider) {
        ::SendMessage(h, TBM_SETPOS, TRUE, v);
        ::SendMessage(::GetParent(h), (AfxCtlStyle(h) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL,
                      MAKEWPARAM(SB_THUMBPOSITION, v), (LPARAM)h);
        ::SendMessage(::GetParent(h), (AfxCtlStyle(h) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL,
                      MAKEWPARAM(SB_ENDSCROLL, 0), (LPARAM)h);
      } else if (k == AfxCtlKind::UpDown) {
        ::SendMessage(h, UDM_SETPOS32, 0, v);
        ::SendMessage(::GetParent(h), (AfxCtlStyle(h) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                      MAKEWPARAM(SB_THUMBPOSITION, v), (LPARAM)h);
      } else if (k == AfxCtlKind::ComboBox) {
        ::SendMessage(h, CB_SETCURSEL, v, 0);
        AfxCtlCommand(h, CBN_SELCHANGE);
      } else if (k == AfxCtlKind::ScrollBar) {
        ::SendMessage(::GetParent(h), (AfxCtlStyle(h) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL,
                      MAKEWPARAM(SB_THUMBPOSITION, v), (LPARAM)h);
      } else {
        return FALSE;
      }
      NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, h, OBJID_CLIENT, CHILDID_SELF);
      return TRUE;
    }
    if (d.info.nValueKind == AFXACCVAL_TEXT && !(d.info.dwState & STATE_SYSTEM_READONLY)) {
      ::SetWindowText(h, q->strValue);
      if (k == AfxCtlKind::Edit) AfxCtlCommand(h, EN_CHANGE);
      return TRUE;
    }
    return FALSE;
  }
  if (q->nChild == CHILDID_SELF) {
    if (k == AfxCtlKind::Button && (act == "Press" || act == "Toggle")) {
      ::SendMessage(h, BM_CLICK, 0, 0);
      return TRUE;
    }
    if (k == AfxCtlKind::ComboBox && act == "ShowMenu") {
      ::SendMessage(h, CB_SHOWDROPDOWN, !::SendMessage(h, CB_GETDROPPEDSTATE, 0, 0), 0);
      return TRUE;
    }
    return FALSE;
  }
  const int i = q->nChild - 1;
  if (k == AfxCtlKind::Tree) {
    std::vector<HTREEITEM> items = shownTreeItems(h);
    if (i < 0 || i >= (int)items.size()) return FALSE;
    if (act == "Expand" || act == "Collapse") {
      AfxTreeExpandByUser(h, items[i], act == "Expand" ? TVE_EXPAND : TVE_COLLAPSE);
      NotifyWinEvent(EVENT_OBJECT_REORDER, h, OBJID_CLIENT, CHILDID_SELF);
      return TRUE;
    }
    if (act == "Select") return ::SendMessage(h, TVM_SELECTITEM, TVGN_CARET, (LPARAM)items[i]) ? TRUE : FALSE;
    return FALSE;
  }
  if ((k == AfxCtlKind::ListBox || k == AfxCtlKind::ComboList) && act == "Press") {
    ::SendMessage(h, LB_SETCURSEL, i, 0);
    AfxCtlCommand(h, LBN_SELCHANGE);
    return TRUE;
  }
  if (k == AfxCtlKind::Tab && act == "Press") {
    NMHDR nm{};
    nm.code = TCN_SELCHANGING;
    if (AfxCtlNotify(h, &nm)) return FALSE;
    ::SendMessage(h, TCM_SETCURSEL, i, 0);
    nm.code = TCN_SELCHANGE;
    AfxCtlNotify(h, &nm);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void AfxAccSelectionMoved(HWND h) {
  if (!AfxAccIsActive() || !AfxRec(h)) return;
  int index = -1;
  switch (AfxCtlKindOf(h)) {
    case AfxCtlKind::ListBox:
    case AfxCtlKind::ComboList: index = (int)::SendMessage(h, LB_GETCURSEL, 0, 0); break;
    case AfxCtlKind::Tab: index = (int)::SendMessage(h, TCM_GETCURSEL, 0, 0); break;
    case AfxCtlKind::Tree: {
      HTREEITEM sel = (HTREEITEM)::SendMessage(h, TVM_GETNEXTITEM, TVGN_CARET, 0);
      std::vector<HTREEITEM> items = shownTreeItems(h);
      auto it = std::find(items.begin(), items.end(), sel);
      if (sel && it != items.end()) index = (int)(it - items.begin());
      break;
    }
    default: break;
  }
  if (index < 0) return;
  NotifyWinEvent(EVENT_OBJECT_SELECTION, h, OBJID_CLIENT, index + 1);
  if (::GetFocus() == h) NotifyWinEvent(EVENT_OBJECT_FOCUS, h, OBJID_CLIENT, index + 1);
}

CString AfxAccStripMnemonic(LPCTSTR lpsz) {
  std::string out;
  for (const char* p = lpsz ? lpsz : ""; *p; ++p) {
    if (*p == '&') {
      if (p[1] == '&') out += *++p;
      continue;
    }
    if (*p == '\t') break;  // a menu text's keys follow a tab
    out += *p;
  }
  return CString(out.c_str());
}

BOOL AfxAccQuery(HWND hWnd, AFXACCQUERY* q) {
  if (!q || !AfxRec(hWnd)) return FALSE;
  switch (q->nAsk) {
    case AFXACC_DESCRIBE:
      q->info = AFXACCINFO();
      if (q->nChild == CHILDID_SELF)
        describeWindow(hWnd, q);
      else
        describeItem(hWnd, q);
      ::SendMessage(hWnd, WM_GETOBJECT, (WPARAM)q, OBJID_AFXQUERY);
      return TRUE;
    case AFXACC_COUNT:
      q->nCount = itemCount(hWnd);
      ::SendMessage(hWnd, WM_GETOBJECT, (WPARAM)q, OBJID_AFXQUERY);
      return TRUE;
    default:
      // The window's own handling goes first.
      if (::SendMessage(hWnd, WM_GETOBJECT, (WPARAM)q, OBJID_AFXQUERY)) return TRUE;
      return AfxRec(hWnd) ? doStandard(hWnd, q) : FALSE;
  }
}
