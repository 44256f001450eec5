#include "toolkit/CbStatusBar.h"

#include "platform/ui/Icons.h"
#include "platform/ui/SysInfo.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbPaintManager.h"

#include <algorithm>

#ifndef CS_BYTEALIGNCLIENT
#define CS_BYTEALIGNCLIENT 0x1000
#endif

IMPLEMENT_DYNAMIC(CCbStatusBar, CStatusBar)
IMPLEMENT_DYNAMIC(CCbStatusBarBasePane, CWnd)
IMPLEMENT_DYNAMIC(CCbStatusBarIconPane, CCbStatusBarBasePane)

BEGIN_MESSAGE_MAP(CCbStatusBar, CStatusBar)
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_SETTEXT, OnSetTextHere)
END_MESSAGE_MAP()

CCbStatusBar::CCbStatusBar() {
  NONCLIENTMETRICS ncm{};
  ncm.cbSize = sizeof ncm;
  if (::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
    m_fontStatus.CreateFontIndirect(&ncm.lfStatusFont);
}

CCbStatusBar::~CCbStatusBar() {
  for (CB_STATUSPANE_CTRL& c : m_arrControls)
    if (c.bAutoDelete) delete c.pWnd;
  m_arrControls.clear();
}

void CCbStatusBar::OnDestroy() {
  for (CB_STATUSPANE_CTRL& c : m_arrControls)
    if (c.pWnd && c.pWnd->GetSafeHwnd()) c.pWnd->DestroyWindow();
  CStatusBar::OnDestroy();
}

BOOL CCbStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  if (GetSafeHwnd() && m_fontStatus.GetSafeHandle())
    SendMessage(WM_SETFONT, (WPARAM)m_fontStatus.GetSafeHandle(), FALSE);
  if (!CStatusBar::SetIndicators(lpIDArray, nIDCount)) return FALSE;
  if (GetSafeHwnd()) SendMessage(SB_SETMINHEIGHT, 20, 0);
  PositionControls();
  return TRUE;
}

LRESULT CCbStatusBar::OnSetTextHere(WPARAM, LPARAM lParam) {
  // Only a message pane (id 0) takes the frame's message text; the first pane here may be
  // a pane of the program's own.
  const int i = CommandToIndex(ID_SEPARATOR);
  return i >= 0 ? SetPaneText(i, (LPCTSTR)lParam) : FALSE;
}

BOOL CCbStatusBar::AddPane(UINT nID, int nIndex) {
  if (nIndex < 0 || nIndex > GetCount() || CommandToIndex(nID) >= 0) return FALSE;
  Pane p;
  p.nID = nID;
  m_panes.insert(m_panes.begin() + nIndex, p);
  PositionControls();
  if (GetSafeHwnd()) Invalidate();
  return TRUE;
}

BOOL CCbStatusBar::RemovePane(UINT nID) {
  const int i = CommandToIndex(nID);
  if (i < 0) return FALSE;
  for (auto it = m_arrControls.begin(); it != m_arrControls.end();) {
    if (it->nID == nID) {
      if (it->pWnd && it->pWnd->GetSafeHwnd()) it->pWnd->DestroyWindow();
      if (it->bAutoDelete) delete it->pWnd;
      it = m_arrControls.erase(it);
    } else {
      ++it;
    }
  }
  m_panes.erase(m_panes.begin() + i);
  PositionControls();
  if (GetSafeHwnd()) Invalidate();
  return TRUE;
}

BOOL CCbStatusBar::AddControl(CWnd* pWnd, UINT nID, BOOL bAutoDelete) {
  if (!pWnd || CommandToIndex(nID) < 0) return FALSE;
  m_arrControls.push_back(CB_STATUSPANE_CTRL{pWnd, nID, bAutoDelete});
  PositionControls();
  return TRUE;
}

BOOL CCbStatusBar::SetPaneWidth(int nIndex, int nWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  m_panes[(size_t)nIndex].cxText = std::max(0, nWidth);
  PositionControls();
  if (GetSafeHwnd()) Invalidate();
  return TRUE;
}

BOOL CCbStatusBar::GetPaneInfo(int nIndex, CB_STATUSPANE* pPane) const {
  if (!pPane || nIndex < 0 || nIndex >= GetCount()) return FALSE;
  const Pane& p = m_panes[(size_t)nIndex];
  pPane->nID = p.nID;
  pPane->cxText = p.cxText;
  pPane->nStyle = p.nStyle;
  pPane->nFlags = 0;
  pPane->strText = p.strText;
  return TRUE;
}

BOOL CCbStatusBar::SetPaneInfo(int nIndex, const CB_STATUSPANE* pPane) {
  if (!pPane || nIndex < 0 || nIndex >= GetCount()) return FALSE;
  CStatusBar::SetPaneInfo(nIndex, pPane->nID, pPane->nStyle, pPane->cxText);
  SetPaneText(nIndex, pPane->strText, TRUE);
  PositionControls();
  return TRUE;
}

CRect CCbStatusBar::GetPaneControlRect(int nIndex) const {
  CRect rc;
  if (nIndex < 0 || nIndex >= GetCount() || !GetSafeHwnd()) return rc;
  GetItemRect(nIndex, &rc);
  const Pane& p = m_panes[(size_t)nIndex];
  if (nIndex == GetCount() - 1) {
    CRect client;
    GetClientRect(&client);
    const int edge = ::GetSystemMetrics(SM_CXEDGE);
    if (p.nStyle & SBPS_STRETCH)
      rc.right = client.right - (HasGrip() ? ::GetSystemMetrics(SM_CXSMICON) + edge : 0);
    else
      rc.right = rc.left + 3 * edge + p.cxText;
  }
  if (!(p.nStyle & SBPS_NOBORDERS)) rc.DeflateRect(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE));
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  return rc;
}

void CCbStatusBar::PositionControls() {
  if (!GetSafeHwnd()) return;
  for (CB_STATUSPANE_CTRL& c : m_arrControls) {
    const int i = CommandToIndex(c.nID);
    if (i < 0 || !c.pWnd || !c.pWnd->GetSafeHwnd()) continue;
    const CRect rc = GetPaneControlRect(i);
    c.pWnd->MoveWindow(&rc);
  }
  Invalidate(FALSE);
}

void CCbStatusBar::OnSize(UINT nType, int cx, int cy) {
  CStatusBar::OnSize(nType, cx, cy);
  PositionControls();
}

void CCbStatusBar::DrawBar(CDC* pDC) {
  CCbPaintManager* painter = CbPaintManagerIfAny();
  if (!painter) {
    CStatusBar::DrawBar(pDC);
    return;
  }
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  CCbBufferDC buffer(pDC, client);
  painter->FillStatusBar(&buffer, this);
  CFont* old = nullptr;
  SelectBarFont(&buffer, old);
  for (int i = 0; i < GetCount(); ++i) painter->DrawStatusPaneText(&buffer, this, i);
  if (old) buffer.SelectObject(old);
  CWnd* parent = GetParent();
  if (HasGrip() && parent && !parent->IsZoomed()) painter->DrawStatusGripper(&buffer, client);
}

// ======================================================================================
// Pane windows
// ======================================================================================

BEGIN_MESSAGE_MAP(CCbStatusBarBasePane, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_ENABLE()
END_MESSAGE_MAP()

BOOL CCbStatusBarBasePane::Create(LPCTSTR lpszText, CWnd* pParent, DWORD dwStyle, UINT nID) {
  m_strText = lpszText ? lpszText : "";
  const CString cls = AfxRegisterWndClass(CS_BYTEALIGNCLIENT, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  return CreateEx(0, cls, m_strText, dwStyle, CRect(0, 0, 0, 0), pParent, nID);
}

void CCbStatusBarBasePane::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) return;
  CCbBufferDC buffer(&dc, rc);
  buffer.FillSolidRect(&rc, CbColorManager()->GetColor(COLOR_BTNFACE));
  DrawPane(&buffer, rc);
}

void CCbStatusBarBasePane::OnEnable(BOOL) {
  Invalidate(TRUE);
  UpdateWindow();
}

CCbStatusBarIconPane::CCbStatusBarIconPane()
    : m_szIcon(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)) {}

CCbStatusBarIconPane::~CCbStatusBarIconPane() {
  if (m_hIcon) ::DestroyIcon(m_hIcon);
}

void CCbStatusBarIconPane::SetIcon(UINT nIDResource) {
  HICON h =
      (HICON)::LoadImage(nullptr, MAKEINTRESOURCE(nIDResource), IMAGE_ICON, m_szIcon.cx, m_szIcon.cy, LR_DEFAULTCOLOR);
  if (m_hIcon) ::DestroyIcon(m_hIcon);
  m_hIcon = h;
  if (GetSafeHwnd()) Invalidate();
}

void CCbStatusBarIconPane::DrawPane(CDC* pDC, CRect rc) {
  if (!m_hIcon) return;
  const CPoint pt(rc.left + (rc.Width() - m_szIcon.cx) / 2, rc.top + (rc.Height() - m_szIcon.cy) / 2);
  if (IsWindowEnabled()) {
    pDC->DrawState(pt, m_szIcon, m_hIcon, DST_ICON | DSS_NORMAL, (CBrush*)nullptr);
  } else {
    CBrush brush(CbColorManager()->GetColor(COLOR_BTNSHADOW));
    pDC->DrawState(pt, m_szIcon, m_hIcon, DST_ICON | DSS_MONO, &brush);
  }
}
