#include "platform/ui/ControlBar.h"

#include "platform/ui/Accessible.h"

#include "platform/ui/SysInfo.h"
#include "platform/ui/UiResources.h"

#include <algorithm>

namespace {
constexpr int kPaneGap = 2;      // between two panes
constexpr int kTextMarginX = 3;  // text to pane border
constexpr int kTextMarginY = 2;
constexpr int kTopMargin = 2;  // above the panes
}  // namespace

// ======================================================================================
// Laying out bars
// ======================================================================================
void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch) {
  if (!m_hWnd) return;
  AFX_SIZEPARENTPARAMS layout{};
  if (lpRectClient)
    layout.rect = *lpRectClient;
  else
    GetClientRect(&layout.rect);
  layout.bStretch = bStretch;
  // From the bottom of the z-order up: the bar made first takes the outermost strip.
  std::vector<HWND> kids;
  for (HWND h = ::GetWindow(m_hWnd, GW_CHILD) ? ::GetWindow(::GetWindow(m_hWnd, GW_CHILD), GW_HWNDLAST) : nullptr; h;
       h = ::GetWindow(h, GW_HWNDPREV))
    kids.push_back(h);
  // The status bar stays the bottom-most strip across the whole width, whenever it was made.
  std::stable_partition(kids.begin(), kids.end(),
                        [](HWND h) { return (UINT)::GetDlgCtrlID(h) == (UINT)AFX_IDW_STATUS_BAR; });
  HWND leftOver = nullptr;
  for (HWND h : kids) {
    UINT id = (UINT)::GetDlgCtrlID(h);
    if (id == nIDLeftOver)
      leftOver = h;
    else if (id >= nIDFirst && id <= nIDLast)
      ::SendMessage(h, WM_SIZEPARENT, 0, (LPARAM)&layout);
  }
  if (nFlag == reposQuery) {
    if (lpRectParam) *lpRectParam = layout.rect;
    return;
  }
  CRect rc = layout.rect;
  if (nFlag == reposExtra && lpRectParam) {
    rc.left += lpRectParam->left;
    rc.top += lpRectParam->top;
    rc.right -= lpRectParam->right;
    rc.bottom -= lpRectParam->bottom;
  }
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  if (leftOver) {
    CRect now;
    ::GetWindowRect(leftOver, &now);
    ScreenToClient(&now);
    if (now != rc) ::MoveWindow(leftOver, rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
  }
}

// ======================================================================================
// CControlBar
// ======================================================================================
IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_WM_SHOWWINDOW()
  ON_MESSAGE(WM_RECALCPARENT, OnRecalcParent)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;
CControlBar::~CControlBar() {
  if (m_hWnd) DestroyWindow();
}

void CControlBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
  if (m_dwStyle == dwStyle) return;
  m_dwStyle = dwStyle;
  if (m_hWnd) {
    Invalidate();
    RecalcParentLayout();
  }
}

BOOL CControlBar::CreateBar(LPCTSTR lpszClass, DWORD dwStyle, DWORD dwCtrlStyle, CWnd* pParentWnd, UINT nID) {
  if (m_hWnd || !pParentWnd || !pParentWnd->GetSafeHwnd()) return FALSE;
  // The bar styles share their bits with the control's own: they are kept apart.
  m_dwStyle = dwStyle & CBRS_ALL;
  DWORD wndStyle = ((dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD) & ~WS_POPUP;
  if (!CWnd::CreateEx(0, lpszClass, nullptr, wndStyle, 0, 0, 0, 0, pParentWnd->GetSafeHwnd(), (HMENU)(UINT_PTR)nID))
    return FALSE;
  RecalcParentLayout();
  return TRUE;
}

void CControlBar::RecalcParentLayout() {
  CWnd* parent = GetParent();
  if (!parent) return;
  if (parent->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    static_cast<CFrameWnd*>(parent)->RecalcLayout();
  else
    parent->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size;
  size.cx = (bStretch && bHorz) ? 32767 : 0;
  size.cy = (bStretch && !bHorz) ? 32767 : 0;
  size.cx += m_cxLeftBorder + m_cxRightBorder;
  size.cy += m_cyTopBorder + m_cyBottomBorder;
  return size;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = (AFX_SIZEPARENTPARAMS*)lParam;
  if (!layout || !(GetStyle() & WS_VISIBLE)) return 0;
  DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
  if (!align) return 0;
  BOOL horz = (align & CBRS_ORIENT_HORZ) != 0;
  CSize size = CalcFixedLayout(layout->bStretch, horz);
  CRect free = layout->rect;
  CRect place;
  if (align & CBRS_ALIGN_TOP) {
    size.cy = std::min<LONG>(size.cy, free.Height());
    place = CRect(free.left, free.top, free.right, free.top + size.cy);
    layout->rect.top += size.cy;
    layout->sizeTotal.cy += size.cy;
  } else if (align & CBRS_ALIGN_BOTTOM) {
    size.cy = std::min<LONG>(size.cy, free.Height());
    place = CRect(free.left, free.bottom - size.cy, free.right, free.bottom);
    layout->rect.bottom -= size.cy;
    layout->sizeTotal.cy += size.cy;
  } else if (align & CBRS_ALIGN_LEFT) {
    size.cx = std::min<LONG>(size.cx, free.Width());
    place = CRect(free.left, free.top, free.left + size.cx, free.bottom);
    layout->rect.left += size.cx;
    layout->sizeTotal.cx += size.cx;
  } else {
    size.cx = std::min<LONG>(size.cx, free.Width());
    place = CRect(free.right - size.cx, free.top, free.right, free.bottom);
    layout->rect.right -= size.cx;
    layout->sizeTotal.cx += size.cx;
  }
  CRect now;
  GetWindowRect(&now);
  GetParent()->ScreenToClient(&now);
  if (now != place) MoveWindow(&place, TRUE);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!(GetStyle() & WS_VISIBLE)) return 0;
  CWnd* target = GetOwner();
  if (!target || !target->IsKindOf(RUNTIME_CLASS(CFrameWnd))) target = GetParentFrame();
  if (target) OnUpdateCmdUI(target, (BOOL)wParam);
  return 0;
}

void CControlBar::OnUpdateCmdUI(CWnd*, BOOL) {}

void CControlBar::OnShowWindow(BOOL bShow, UINT nStatus) {
  CWnd::OnShowWindow(bShow, nStatus);
  // Shown or hidden by someone else than the frame: the frame lays out again once the change
  // is complete.
  PostMessage(WM_RECALCPARENT);
}

LRESULT CControlBar::OnRecalcParent(WPARAM, LPARAM) {
  RecalcParentLayout();
  return 0;
}

// ======================================================================================
// CStatusBar
// ======================================================================================
namespace {

// A pane's state during an idle update: enabled (text shown), checked (popped out), text.
class CStatusCmdUI : public CCmdUI {
 public:
  CStatusBar* bar = nullptr;
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    UINT style = bar->GetPaneStyle((int)m_nIndex);
    UINT now = bOn ? (style & ~SBPS_DISABLED) : (style | SBPS_DISABLED);
    if (now != style) bar->SetPaneStyle((int)m_nIndex, now);
  }
  void SetCheck(int nCheck) override {
    UINT style = bar->GetPaneStyle((int)m_nIndex);
    UINT now = nCheck ? (style | SBPS_POPOUT) : (style & ~SBPS_POPOUT);
    if (now != style) bar->SetPaneStyle((int)m_nIndex, now);
  }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR lpszText) override { bar->SetPaneText((int)m_nIndex, lpszText ? lpszText : ""); }
};

}  // namespace

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
  ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CStatusBar::CStatusBar() { m_cyTopBorder = kTopMargin; }
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  // A frame the user can size gets the size grip.
  DWORD ctrl = (pParentWnd && (pParentWnd->GetStyle() & WS_THICKFRAME)) ? SBARS_SIZEGRIP : 0;
  return CreateEx(pParentWnd, ctrl, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  if (!(dwStyle & CBRS_ALIGN_ANY)) dwStyle |= CBRS_ALIGN_BOTTOM;
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1));
  return CreateBar(cls, dwStyle, dwCtrlStyle, pParentWnd, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray)) return FALSE;
  std::vector<Pane> panes(nIDCount);
  BOOL ok = TRUE;
  for (int i = 0; i < nIDCount; ++i) {
    Pane& p = panes[i];
    p.nID = lpIDArray[i];
    if (p.nID == ID_SEPARATOR) {
      if (i == 0) p.nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
      continue;
    }
    CString text;
    if (!AfxLoadString(p.nID, text)) {
      ok = FALSE;  // the pane stays, empty, as the platform's bar leaves it
      continue;
    }
    p.strText = text;
    p.cxText = TextWidth(text);
  }
  m_panes.swap(panes);
  if (m_hWnd) {
    Invalidate();
    RecalcParentLayout();
  }
  return ok;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (int i = 0; i < (int)m_panes.size(); ++i)
    if (m_panes[i].nID == nIDFind) return i;
  return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetCount()) return 0;
  return m_panes[nIndex].nID;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  nID = m_panes[nIndex].nID;
  nStyle = m_panes[nIndex].nStyle;
  cxWidth = m_panes[nIndex].cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  Pane& p = m_panes[nIndex];
  p.nID = nID;
  p.nStyle = nStyle;
  p.cxText = std::max(0, cxWidth);
  if (m_hWnd) Invalidate();
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetCount()) return 0;
  return m_panes[nIndex].nStyle;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  if (nIndex < 0 || nIndex >= GetCount() || m_panes[nIndex].nStyle == nStyle) return;
  m_panes[nIndex].nStyle = nStyle;
  if (m_hWnd) Invalidate();
}

CString CStatusBar::GetPaneText(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetCount()) return CString();
  return m_panes[nIndex].strText;
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  CString text = lpszNewText ? lpszNewText : "";
  Pane& p = m_panes[nIndex];
  if (p.strText == text) return TRUE;
  p.strText = text;
  if (bUpdate && m_hWnd) {
    CRect rc;
    GetItemRect(nIndex, &rc);
    InvalidateRect(&rc, TRUE);
  }
  if (m_hWnd) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, nIndex + 1);
  return TRUE;
}

LRESULT CStatusBar::OnGetObject(WPARAM wParam, LPARAM lParam) {
  if ((LONG)lParam != OBJID_AFXQUERY || !wParam) return Default();
  auto* q = (AFXACCQUERY*)wParam;
  if (q->nAsk == AFXACC_COUNT) {
    q->nCount = GetCount();
    return TRUE;
  }
  if (q->nAsk != AFXACC_DESCRIBE) return FALSE;
  if (q->nChild == CHILDID_SELF) {
    q->info.nRole = ROLE_SYSTEM_STATUSBAR;
    q->info.strName.Empty();
    return TRUE;
  }
  const int i = q->nChild - 1;
  if (i < 0 || i >= GetCount()) return FALSE;
  q->info = AFXACCINFO();
  q->info.nRole = ROLE_SYSTEM_STATICTEXT;
  q->info.strName = m_panes[(size_t)i].strText;
  q->info.dwState = STATE_SYSTEM_READONLY;
  if (m_panes[(size_t)i].nStyle & SBPS_DISABLED) q->info.strName.Empty();
  CRect rc;
  GetItemRect(i, &rc);
  q->info.rect = rc;
  return TRUE;
}

BOOL CStatusBar::HasGrip() const {
  if (!(GetStyle() & SBARS_SIZEGRIP)) return FALSE;
  CWnd* parent = GetParent();
  return !(parent && parent->IsZoomed());
}

int CStatusBar::GripWidth() const { return HasGrip() ? ::GetSystemMetrics(SM_CXVSCROLL) : 0; }

void CStatusBar::SelectBarFont(CDC* pDC, CFont*& pOld) const {
  CFont* font = m_hWnd ? GetFont() : nullptr;
  if (!font || !font->m_hObject) font = CFont::FromHandle((HFONT)::GetStockObject(DEFAULT_GUI_FONT));
  pOld = pDC->SelectObject(font);
}

int CStatusBar::TextHeight() const {
  CClientDC dc(nullptr);
  CFont* old = nullptr;
  SelectBarFont(&dc, old);
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  dc.SelectObject(old);
  return tm.tmHeight;
}

int CStatusBar::TextWidth(const CString& text) const {
  CClientDC dc(nullptr);
  CFont* old = nullptr;
  SelectBarFont(&dc, old);
  CSize e = dc.GetTextExtent(text, text.GetLength());
  dc.SelectObject(old);
  return e.cx;
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
  int h = TextHeight() + 2 * kTextMarginY + 2 + m_cyTopBorder + m_cyBottomBorder;
  size.cy = std::max(h, m_nMinHeight);
  return size;
}

// Panes left to right, gaps between them; what the panes leave of the width (less the grip)
// goes to the stretching pane.
void CStatusBar::LayoutItems(std::vector<CRect>& rects) const {
  rects.assign(m_panes.size(), CRect());
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  int n = GetCount();
  int used = 0;
  for (int i = 0; i < n; ++i) used += m_panes[i].cxText + 2 * kTextMarginX + (i ? kPaneGap : 0);
  int extra = client.Width() - m_cxLeftBorder - m_cxRightBorder - GripWidth() - used;
  int stretch = -1;
  for (int i = 0; i < n && stretch < 0; ++i)
    if (m_panes[i].nStyle & SBPS_STRETCH) stretch = i;
  int x = client.left + m_cxLeftBorder;
  int top = client.top + m_cyTopBorder, bottom = client.bottom - m_cyBottomBorder;
  for (int i = 0; i < n; ++i) {
    if (i) x += kPaneGap;
    int w = m_panes[i].cxText + 2 * kTextMarginX;
    if (i == stretch && extra > 0) w += extra;
    rects[i] = CRect(x, top, x + w, bottom);
    x += w;
  }
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!lpRect) return;
  if (nIndex < 0 || nIndex >= GetCount()) {
    *lpRect = CRect();
    return;
  }
  std::vector<CRect> rects;
  LayoutItems(rects);
  *lpRect = rects[nIndex];
}

void CStatusBar::DrawPane(CDC* pDC, int nIndex, const CRect& rect) {
  const Pane& p = m_panes[nIndex];
  CRect r = rect;
  if (!(p.nStyle & SBPS_NOBORDERS))
    pDC->DrawEdge(&r, (p.nStyle & SBPS_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  if (p.nStyle & SBPS_DISABLED) return;
  if (p.nStyle & SBPS_OWNERDRAW) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = 0;
    dis.CtlID = GetDlgCtrlID();
    dis.itemID = (UINT)nIndex;
    dis.hDC = pDC->GetSafeHdc();
    dis.rcItem = rect;
    dis.hwndItem = m_hWnd;
    DrawItem(&dis);
    return;
  }
  r.DeflateRect(kTextMarginX, 1);
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  pDC->DrawText(p.strText, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CStatusBar::DrawBar(CDC* pDC) {
  CRect client;
  GetClientRect(&client);
  pDC->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
  if (m_dwStyle & CBRS_BORDER_TOP) {
    pDC->FillSolidRect(client.left, client.top, client.Width(), 1, ::GetSysColor(COLOR_BTNSHADOW));
    pDC->FillSolidRect(client.left, client.top + 1, client.Width(), 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  CFont* old = nullptr;
  SelectBarFont(pDC, old);
  std::vector<CRect> rects;
  LayoutItems(rects);
  for (int i = 0; i < GetCount(); ++i) DrawPane(pDC, i, rects[i]);
  pDC->SelectObject(old);
  if (HasGrip()) {
    // Three pairs of diagonal lines in the bottom right corner.
    CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)), dark(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CPen* oldPen = pDC->SelectObject(&dark);
    int right = client.right - 1, bottom = client.bottom - 1;
    for (int k = 0; k < 3; ++k) {
      int d = 4 * k + 3;
      for (int j = 0; j < 2; ++j) {
        pDC->MoveTo(right - d - j, bottom);
        pDC->LineTo(right + 1, bottom - d - j - 1);
      }
      pDC->SelectObject(&light);
      pDC->MoveTo(right - d - 2, bottom);
      pDC->LineTo(right + 1, bottom - d - 3);
      pDC->SelectObject(&dark);
    }
    pDC->SelectObject(oldPen);
  }
}

void CStatusBar::OnPaint() {
  CPaintDC dc(this);
  DrawBar(&dc);
}

BOOL CStatusBar::OnEraseBkgnd(CDC*) { return TRUE; }  // the paint fills everything

void CStatusBar::OnSize(UINT nType, int cx, int cy) {
  CControlBar::OnSize(nType, cx, cy);
  Invalidate();
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam) {
  // The window text is the first pane's (the frame's messages go there).
  return GetCount() > 0 ? SetPaneText(0, (LPCTSTR)lParam) : FALSE;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) {
  CString text = GetPaneText(0);
  int cch = (int)wParam;
  auto* buf = (LPTSTR)lParam;
  if (!buf || cch <= 0) return 0;
  int n = std::min(cch - 1, text.GetLength());
  std::copy((LPCTSTR)text, (LPCTSTR)text + n, buf);
  buf[n] = 0;
  return n;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM) { return GetPaneText(0).GetLength(); }

LRESULT CStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM) {
  m_nMinHeight = (int)wParam;
  if (m_hWnd) RecalcParentLayout();
  return 0;
}

LRESULT CStatusBar::OnSetFont(WPARAM wParam, LPARAM lParam) {
  LRESULT r = Default();
  (void)wParam;
  (void)lParam;
  if (m_hWnd && GetParent()) RecalcParentLayout();
  return r;
}

void CStatusBar::OnUpdateCmdUI(CWnd* pTarget, BOOL) {
  CStatusCmdUI state;
  state.bar = this;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)GetCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
    state.m_nID = m_panes[state.m_nIndex].nID;
    if (state.m_nID == ID_SEPARATOR) continue;
    // A pane without an update handler keeps its state.
    state.DoUpdate(pTarget, FALSE);
    state.m_nIndexMax = (UINT)GetCount();
  }
}
