#include "app/PaneStatusBar.h"

IMPLEMENT_DYNAMIC(CPaneStatusBar, CWnd)

BEGIN_MESSAGE_MAP(CPaneStatusBar, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CPaneStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  if (!CreateEx(0, cls, "", dwStyle & (WS_CHILD | WS_VISIBLE), CRect(0, 0, 400, kHeight), pParentWnd, nID))
    return FALSE;
  m_font.CreatePointFont(90, "Sans Serif");
  return TRUE;
}

BOOL CPaneStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  m_panes.clear();
  CClientDC dc(this);
  CFont* old = dc.SelectObject(&m_font);
  for (int i = 0; i < nIDCount; ++i) {
    CString s;
    AfxLoadString(lpIDArray[i], s);
    m_panes.push_back(Pane{lpIDArray[i], SBPS_NORMAL, (int)dc.GetTextExtent(s).cx, s});
  }
  dc.SelectObject(old);
  if (m_hWnd) Invalidate();
  return TRUE;
}

int CPaneStatusBar::CommandToIndex(UINT nIDFind) const {
  for (size_t i = 0; i < m_panes.size(); ++i)
    if (m_panes[i].id == nIDFind) return (int)i;
  return -1;
}

UINT CPaneStatusBar::GetItemID(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[nIndex].id : 0;
}

void CPaneStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  m_panes[nIndex].id = nID;
  m_panes[nIndex].style = nStyle;
  m_panes[nIndex].cx = cxWidth;
  if (m_hWnd) Invalidate();
}

void CPaneStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  nID = GetItemID(nIndex);
  nStyle = GetPaneStyle(nIndex);
  cxWidth = nIndex >= 0 && nIndex < GetCount() ? m_panes[nIndex].cx : 0;
}

UINT CPaneStatusBar::GetPaneStyle(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[nIndex].style : 0;
}

void CPaneStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  m_panes[nIndex].style = nStyle;
  if (m_hWnd) Invalidate();
}

BOOL CPaneStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
  if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
  const CString text = lpszNewText ? lpszNewText : "";
  if (m_panes[nIndex].text == text) return TRUE;
  m_panes[nIndex].text = text;
  if (bUpdate && m_hWnd) {
    CRect r;
    GetItemRect(nIndex, &r);
    InvalidateRect(&r);
  }
  return TRUE;
}

CString CPaneStatusBar::GetPaneText(int nIndex) const {
  return nIndex >= 0 && nIndex < GetCount() ? m_panes[nIndex].text : CString();
}

void CPaneStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  *lpRect = CRect();
  if (nIndex < 0 || nIndex >= GetCount()) return;
  CRect rc;
  GetClientRect(&rc);
  // Fixed panes from the right; the stretching one takes what is left.
  int fixed = 0;
  for (const Pane& p : m_panes)
    if (!(p.style & SBPS_STRETCH)) fixed += p.cx + 8;
  int x = 2;
  for (int i = 0; i < GetCount(); ++i) {
    const Pane& p = m_panes[i];
    const int w = (p.style & SBPS_STRETCH) ? std::max(20, (int)rc.Width() - fixed - 4) : p.cx + 8;
    if (i == nIndex) {
      *lpRect = CRect(x, 2, x + w - 2, rc.bottom - 1);
      return;
    }
    x += w;
  }
}

BOOL CPaneStatusBar::AddPane(UINT nID, int cxWidth) {
  if (CommandToIndex(nID) >= 0) return FALSE;
  m_panes.push_back(Pane{nID, SBPS_NORMAL, cxWidth, CString()});
  if (m_hWnd) Invalidate();
  return TRUE;
}

BOOL CPaneStatusBar::RemovePane(UINT nID) {
  const int i = CommandToIndex(nID);
  if (i < 0) return FALSE;
  m_panes.erase(m_panes.begin() + i);
  if (m_hWnd) Invalidate();
  return TRUE;
}

void CPaneStatusBar::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  CFont* old = dc.SelectObject(&m_font);
  CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
  for (int i = 0; i < GetCount(); ++i) {
    CRect r;
    GetItemRect(i, &r);
    dc.FrameRect(&r, &shadow);
    r.DeflateRect(3, 0);
    dc.DrawText(m_panes[i].text, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  dc.SelectObject(old);
}
