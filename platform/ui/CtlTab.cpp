// The tab control: one row of tabs along the top of a raised page. The selected tab stands
// two pixels proud and joins the page. Tabs that do not fit are cut off at the right edge.
#include "platform/ui/CtlTab.h"
#include "platform/ui/CtlInternal.h"

#include <algorithm>

namespace {

struct TabItem {
  QString text;
  int image = -1;
  LPARAM param = 0;
  DWORD state = 0;
};

struct TabState : AfxCtlState {
  std::vector<TabItem> items;
  int cur = -1;
  int focus = -1;
  CSize fixed{0, 0};  // TCM_SETITEMSIZE
  CSize padding{6, 3};
  int minWidth = -1;
  LPARAM images = 0;
  bool keyDown = false;
};

TabState* st(HWND h) { return AfxCtlStateAs<TabState>(h); }
int count(TabState* s) { return (int)s->items.size(); }

int rowHeight(HWND h, TabState* s) {
  if (s->fixed.cy > 0) return s->fixed.cy + 2;
  return AfxCtlLineHeight(h) + 2 * s->padding.cy + 2;
}

int textWidth(HWND h, const QString& t) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CFont* old = dc.SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  std::string u = AfxStdStr(t);
  CSize sz = dc.GetTextExtent(u.c_str(), (int)u.size());
  dc.SelectObject(old);
  return sz.cx;
}

// The tab's own rectangle, before the selected one is raised.
CRect tabRect(HWND h, TabState* s, int i) {
  int x = 2;
  int th = rowHeight(h, s);
  for (int k = 0; k <= i && k < count(s); ++k) {
    int w;
    if ((AfxCtlStyle(h) & TCS_FIXEDWIDTH) && s->fixed.cx > 0)
      w = s->fixed.cx;
    else
      w = textWidth(h, s->items[(size_t)k].text) + 2 * s->padding.cx;
    w = std::max(w, s->minWidth >= 0 ? s->minWidth : 40);
    if (k == i) return CRect(x, 2, x + w, th);
    x += w;
  }
  return CRect();
}

int hit(HWND h, TabState* s, POINT pt) {
  for (int i = 0; i < count(s); ++i) {
    CRect r = tabRect(h, s, i);
    if (i == s->cur) r.InflateRect(2, 2, 2, 0);
    if (r.PtInRect(pt)) return i;
  }
  return -1;
}

LRESULT notify(HWND h, UINT code) {
  NMHDR nm{nullptr, 0, code};
  return AfxCtlNotify(h, &nm);
}

// The user's switch: the parent may refuse it.
void userSelect(HWND h, TabState* s, int i) {
  if (i < 0 || i >= count(s) || i == s->cur) return;
  if (notify(h, TCN_SELCHANGING)) return;
  if (!AfxRec(h) || !(s = st(h)) || i >= count(s)) return;
  s->cur = s->focus = i;
  AfxCtlInvalidate(h);
  AfxAccSelectionMoved(h);
  notify(h, TCN_SELCHANGE);
}

void paint(HWND h, TabState* s, WPARAM given) {
  AfxCtlPaintDC paintDc(h, given);
  CDC* dc = paintDc.dc();
  if (!dc) return;
  CRect rc;
  ::GetClientRect(h, &rc);
  HBRUSH br = AfxCtlColor(h, dc, WM_CTLCOLORSTATIC);
  dc->FillRect(&rc, CBrush::FromHandle(br));
  int th = rowHeight(h, s);
  COLORREF hi = GetSysColor(COLOR_3DHILIGHT), sh = GetSysColor(COLOR_3DSHADOW), dk = GetSysColor(COLOR_3DDKSHADOW);
  // The page.
  CRect page(0, th, rc.right, rc.bottom);
  dc->FillSolidRect(page.left, page.top, page.Width(), 1, hi);
  dc->FillSolidRect(page.left, page.top, 1, page.Height(), hi);
  dc->FillSolidRect(page.right - 1, page.top, 1, page.Height(), dk);
  dc->FillSolidRect(page.right - 2, page.top + 1, 1, page.Height() - 2, sh);
  dc->FillSolidRect(page.left, page.bottom - 1, page.Width(), 1, dk);
  dc->FillSolidRect(page.left + 1, page.bottom - 2, page.Width() - 2, 1, sh);
  CFont* old = dc->SelectObject(CFont::FromHandle(AfxCtlFont(h)));
  dc->SetBkMode(TRANSPARENT);
  bool enabled = ::IsWindowEnabled(h);
  dc->SetTextColor(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  // Unselected tabs first, then the selected one over its neighbours.
  auto drawTab = [&](int i) {
    CRect r = tabRect(h, s, i);
    bool sel = i == s->cur;
    if (sel) r.InflateRect(2, 2, 2, 1);
    if (r.left >= rc.right) return;
    dc->FillSolidRect(r.left + 1, r.top + 1, r.Width() - 2, r.Height() - 1, GetSysColor(COLOR_3DFACE));
    dc->FillSolidRect(r.left, r.top + 2, 1, r.Height() - 2, hi);
    dc->FillSolidRect(r.left + 1, r.top + 1, 1, 1, hi);
    dc->FillSolidRect(r.left + 2, r.top, r.Width() - 4, 1, hi);
    dc->FillSolidRect(r.right - 2, r.top + 1, 1, 1, dk);
    dc->FillSolidRect(r.right - 1, r.top + 2, 1, r.Height() - 2, dk);
    dc->FillSolidRect(r.right - 2, r.top + 2, 1, r.Height() - 2, sh);
    if (sel) dc->FillSolidRect(r.left + 1, th, r.Width() - 3, 1, GetSysColor(COLOR_3DFACE));  // joins the page
    CRect t = r;
    t.top += sel ? 1 : 2;
    std::string u = AfxStdStr(s->items[(size_t)i].text);
    dc->DrawText(u.c_str(), (int)u.size(), &t, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    if (sel && AfxCtlHasFocus(h)) {
      CRect f = r;
      f.DeflateRect(3, 3, 3, 2);
      dc->DrawFocusRect(&f);
    }
  };
  for (int i = 0; i < count(s); ++i)
    if (i != s->cur) drawTab(i);
  if (s->cur >= 0 && s->cur < count(s)) drawTab(s->cur);
  dc->SelectObject(old);
}

void fillItem(TabItem& it, const TCITEM* ti) {
  if (ti->mask & TCIF_TEXT)
    it.text = ti->pszText && ti->pszText != LPSTR_TEXTCALLBACK ? AfxQStr(ti->pszText) : QString();
  if (ti->mask & TCIF_IMAGE) it.image = ti->iImage;
  if (ti->mask & TCIF_PARAM) it.param = ti->lParam;
  if (ti->mask & TCIF_STATE) it.state = (it.state & ~ti->dwStateMask) | (ti->dwState & ti->dwStateMask);
}

// ---- One handler per message ----

LRESULT OnTabButtonDown(HWND h, TabState* s, LPARAM lp) {
  int i = hit(h, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
  if (i < 0) return 0;
  if (!(AfxCtlStyle(h) & TCS_FOCUSNEVER) && ::GetFocus() != h) ::SetFocus(h);
  if (!AfxRec(h) || !(s = st(h))) return 0;
  userSelect(h, s, i);
  return 0;
}

LRESULT OnTabKeyDown(HWND h, TabState* s, WPARAM wp, LPARAM lp) {
  NMTCKEYDOWN kd{{nullptr, 0, TCN_KEYDOWN}, (WORD)wp, (UINT)lp};
  AfxCtlNotify(h, &kd.hdr);
  if (!AfxRec(h) || !(s = st(h)) || count(s) == 0) return 0;
  int c = s->cur < 0 ? 0 : s->cur;
  switch (wp) {
    case VK_LEFT:
    case VK_UP: userSelect(h, s, std::max(0, c - 1)); break;
    case VK_RIGHT:
    case VK_DOWN: userSelect(h, s, std::min(count(s) - 1, c + 1)); break;
    case VK_HOME: userSelect(h, s, 0); break;
    case VK_END: userSelect(h, s, count(s) - 1); break;
  }
  return 0;
}

LRESULT OnTabInsertItem(HWND h, TabState* s, WPARAM wp, const TCITEM* ti) {
  int at = (int)wp;
  if (!ti || at < 0) return -1;
  at = std::min(at, count(s));
  TabItem it;
  fillItem(it, ti);
  s->items.insert(s->items.begin() + at, it);
  if (s->cur >= at) ++s->cur;
  if (s->cur < 0 && count(s) == 1) s->cur = 0;  // the first tab comes selected
  if (s->focus >= at) ++s->focus;
  AfxCtlInvalidate(h);
  return at;
}

LRESULT OnTabSetItem(HWND h, TabState* s, WPARAM wp, const TCITEM* ti) {
  if (!ti || (int)wp < 0 || (int)wp >= count(s)) return FALSE;
  fillItem(s->items[(size_t)wp], ti);
  AfxCtlInvalidate(h);
  return TRUE;
}

LRESULT OnTabGetItem(TabState* s, WPARAM wp, TCITEM* ti) {
  if (!ti || (int)wp < 0 || (int)wp >= count(s)) return FALSE;
  const TabItem& it = s->items[(size_t)wp];
  if ((ti->mask & TCIF_TEXT) && ti->pszText && ti->cchTextMax > 0) {
    std::string u = AfxStdStr(it.text);
    size_t n = std::min(u.size(), (size_t)ti->cchTextMax - 1);
    std::copy(u.begin(), u.begin() + (long)n, ti->pszText);
    ti->pszText[n] = 0;
  }
  if (ti->mask & TCIF_IMAGE) ti->iImage = it.image;
  if (ti->mask & TCIF_PARAM) ti->lParam = it.param;
  if (ti->mask & TCIF_STATE) ti->dwState = it.state & ti->dwStateMask;
  return TRUE;
}

LRESULT OnTabDeleteItem(HWND h, TabState* s, WPARAM wp) {
  int i = (int)wp;
  if (i < 0 || i >= count(s)) return FALSE;
  s->items.erase(s->items.begin() + i);
  if (s->cur == i)
    s->cur = -1;
  else if (s->cur > i)
    --s->cur;
  if (s->focus == i)
    s->focus = -1;
  else if (s->focus > i)
    --s->focus;
  AfxCtlInvalidate(h);
  return TRUE;
}

LRESULT OnTabDeleteAllItems(HWND h, TabState* s) {
  s->items.clear();
  s->cur = s->focus = -1;
  AfxCtlInvalidate(h);
  return TRUE;
}

LRESULT OnTabGetItemRect(HWND h, TabState* s, WPARAM wp, LPARAM lp) {
  int i = (int)wp;
  if (i < 0 || i >= count(s) || !lp) return FALSE;
  *(RECT*)lp = tabRect(h, s, i);
  return TRUE;
}

LRESULT OnTabSetCurSel(HWND h, TabState* s, WPARAM wp) {
  int old = s->cur;
  int i = (int)wp;
  if (i < -1 || i >= count(s)) return -1;
  s->cur = s->focus = i;
  AfxCtlInvalidate(h);
  return old;
}

LRESULT OnTabHitTest(HWND h, TabState* s, TCHITTESTINFO* hi) {
  if (!hi) return -1;
  int i = hit(h, s, hi->pt);
  hi->flags = i < 0 ? TCHT_NOWHERE : TCHT_ONITEMLABEL;
  return i;
}

LRESULT OnTabAdjustRect(HWND h, TabState* s, WPARAM wp, RECT* r) {
  if (!r) return 0;
  int th = rowHeight(h, s);
  if (wp) {
    r->left -= 4;
    r->top -= th + 2;
    r->right += 4;
    r->bottom += 4;
  } else {
    r->left += 4;
    r->top += th + 2;
    r->right -= 4;
    r->bottom -= 4;
  }
  return 0;
}

LRESULT OnTabSetItemSize(HWND h, TabState* s, LPARAM lp) {
  CSize old = s->fixed;
  s->fixed = CSize(LOWORD(lp), HIWORD(lp));
  AfxCtlInvalidate(h);
  return MAKELONG(old.cx, old.cy);
}

LRESULT OnTabSetMinTabWidth(HWND h, TabState* s, LPARAM lp) {
  int old = s->minWidth < 0 ? 40 : s->minWidth;
  s->minWidth = (int)lp;
  AfxCtlInvalidate(h);
  return old;
}

LRESULT OnTabSetImageList(TabState* s, LPARAM lp) {
  LPARAM old = s->images;
  s->images = lp;
  return (LRESULT)old;
}

}  // namespace

AfxCtlState* AfxNewTabState() { return new TabState; }

LRESULT AfxTabProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  TabState* s = st(h);
  if (!s) return ::DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: paint(h, s, wp); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE: AfxCtlInvalidate(h); return 0;
    case WM_SETFONT:
      ::DefWindowProc(h, msg, wp, lp);
      AfxCtlInvalidate(h);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnTabButtonDown(h, s, lp);
    case WM_LBUTTONUP:
      if (hit(h, s, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}) >= 0) notify(h, NM_CLICK);
      return 0;
    case WM_RBUTTONUP:
      if (!notify(h, NM_RCLICK)) return ::DefWindowProc(h, msg, wp, lp);
      return 0;
    case WM_KEYDOWN: return OnTabKeyDown(h, s, wp, lp);

    case TCM_GETITEMCOUNT: return count(s);
    case TCM_INSERTITEM: return OnTabInsertItem(h, s, wp, (const TCITEM*)lp);
    case TCM_SETITEM: return OnTabSetItem(h, s, wp, (const TCITEM*)lp);
    case TCM_GETITEM: return OnTabGetItem(s, wp, (TCITEM*)lp);
    case TCM_DELETEITEM: return OnTabDeleteItem(h, s, wp);
    case TCM_DELETEALLITEMS: return OnTabDeleteAllItems(h, s);
    case TCM_GETITEMRECT: return OnTabGetItemRect(h, s, wp, lp);
    case TCM_GETCURSEL: return s->cur;
    case TCM_SETCURSEL: return OnTabSetCurSel(h, s, wp);
    case TCM_GETCURFOCUS: return s->focus >= 0 ? s->focus : s->cur;
    case TCM_SETCURFOCUS:
      // With tabs (not buttons) the focus is the selection, and moving it is a user's switch.
      userSelect(h, s, (int)wp);
      return 0;
    case TCM_HITTEST: return OnTabHitTest(h, s, (TCHITTESTINFO*)lp);
    case TCM_ADJUSTRECT: return OnTabAdjustRect(h, s, wp, (RECT*)lp);
    case TCM_SETITEMSIZE: return OnTabSetItemSize(h, s, lp);
    case TCM_SETPADDING:
      s->padding = CSize(LOWORD(lp), HIWORD(lp));
      AfxCtlInvalidate(h);
      return 0;
    case TCM_GETROWCOUNT: return 1;
    case TCM_SETMINTABWIDTH: return OnTabSetMinTabWidth(h, s, lp);
    case TCM_SETIMAGELIST: return OnTabSetImageList(s, lp);
    case TCM_GETIMAGELIST: return (LRESULT)s->images;
  }
  return ::DefWindowProc(h, msg, wp, lp);
}

// ======================================================================================
IMPLEMENT_DYNAMIC(CTabCtrl, CControlWnd)

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(WC_TABCONTROL, "", dwStyle, rect, pParentWnd, nID);
}
int CTabCtrl::GetItemCount() const { return (int)SendMessage(TCM_GETITEMCOUNT); }
BOOL CTabCtrl::GetItem(int nItem, TCITEM* p) const { return (BOOL)SendMessage(TCM_GETITEM, (WPARAM)nItem, (LPARAM)p); }
BOOL CTabCtrl::SetItem(int nItem, TCITEM* p) { return (BOOL)SendMessage(TCM_SETITEM, (WPARAM)nItem, (LPARAM)p); }
LONG CTabCtrl::InsertItem(int nItem, TCITEM* p) { return (LONG)SendMessage(TCM_INSERTITEM, (WPARAM)nItem, (LPARAM)p); }
LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) { return InsertItem(TCIF_TEXT, nItem, lpszItem, 0, 0); }
LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  return InsertItem(TCIF_TEXT | TCIF_IMAGE, nItem, lpszItem, nImage, 0);
}
LONG CTabCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam) {
  TCITEM ti{nMask, 0, 0, const_cast<LPTSTR>(lpszItem), 0, nImage, lParam};
  return InsertItem(nItem, &ti);
}
BOOL CTabCtrl::DeleteItem(int nItem) { return (BOOL)SendMessage(TCM_DELETEITEM, (WPARAM)nItem); }
BOOL CTabCtrl::DeleteAllItems() { return (BOOL)SendMessage(TCM_DELETEALLITEMS); }
BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const {
  return (BOOL)SendMessage(TCM_GETITEMRECT, (WPARAM)nItem, (LPARAM)lpRect);
}
int CTabCtrl::GetCurSel() const { return (int)SendMessage(TCM_GETCURSEL); }
int CTabCtrl::SetCurSel(int nItem) { return (int)SendMessage(TCM_SETCURSEL, (WPARAM)nItem); }
int CTabCtrl::GetCurFocus() const { return (int)SendMessage(TCM_GETCURFOCUS); }
void CTabCtrl::SetCurFocus(int nItem) { SendMessage(TCM_SETCURFOCUS, (WPARAM)nItem); }
int CTabCtrl::HitTest(TCHITTESTINFO* p) const { return (int)SendMessage(TCM_HITTEST, 0, (LPARAM)p); }
void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, bLarger, (LPARAM)lpRect); }
CSize CTabCtrl::SetItemSize(CSize size) {
  DWORD r = (DWORD)SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
  return CSize(LOWORD(r), HIWORD(r));
}
void CTabCtrl::SetPadding(CSize size) { SendMessage(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
int CTabCtrl::GetRowCount() const { return (int)SendMessage(TCM_GETROWCOUNT); }
int CTabCtrl::SetMinTabWidth(int cx) { return (int)SendMessage(TCM_SETMINTABWIDTH, 0, cx); }
