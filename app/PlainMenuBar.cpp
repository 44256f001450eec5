#include "app/PlainMenuBar.h"

IMPLEMENT_DYNAMIC(CPlainMenuBar, CControlBar)

BEGIN_MESSAGE_MAP(CPlainMenuBar, CControlBar)
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {
CString Title(CMenu* pMenu, int i) {
  CString s;
  pMenu->GetMenuString(i, s, MF_BYPOSITION);
  CString out;
  for (int k = 0; k < s.GetLength(); ++k) {
    if (s[k] == '&' && k + 1 < s.GetLength()) ++k;
    out += s[k];
  }
  return out;
}
}  // namespace

BOOL CPlainMenuBar::Create(CWnd* pFrame, CMenu* pMenu, UINT nID) {
  m_pMenu = pMenu;
  m_pFrame = pFrame;
  if (!m_pMenu || !m_pMenu->GetSafeHmenu()) return FALSE;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  m_font.CreatePointFont(90, "Sans Serif");
  if (!CreateBar(cls, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0, pFrame, nID)) return FALSE;
  SetWindowText("Menu Bar");
  Layout();
  return TRUE;
}

CSize CPlainMenuBar::CalcFixedLayout(BOOL, BOOL) { return CSize(32767, kHeight); }

void CPlainMenuBar::Layout() {
  m_rects.clear();
  CClientDC dc(this);
  CFont* old = dc.SelectObject(&m_font);
  int x = 2;
  for (UINT i = 0; i < m_pMenu->GetMenuItemCount(); ++i) {
    const CSize sz = dc.GetTextExtent(Title(m_pMenu, (int)i));
    m_rects.emplace_back(x, 0, x + sz.cx + 16, kHeight);
    x += sz.cx + 16;
  }
  dc.SelectObject(old);
}

CRect CPlainMenuBar::GetTitleRect(int nIndex) const {
  return nIndex >= 0 && nIndex < (int)m_rects.size() ? m_rects[nIndex] : CRect();
}

void CPlainMenuBar::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
  dc.SetBkMode(TRANSPARENT);
  CFont* old = dc.SelectObject(&m_font);
  for (int i = 0; i < (int)m_rects.size(); ++i) {
    CRect r = m_rects[i];
    if (i == m_nOpen) {
      dc.FillSolidRect(&r, ::GetSysColor(COLOR_HIGHLIGHT));
      dc.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      dc.SetTextColor(::GetSysColor(COLOR_MENUTEXT));
    }
    dc.DrawText(Title(m_pMenu, i), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  dc.SelectObject(old);
}

void CPlainMenuBar::OpenPopup(int nIndex) {
  CMenu* popup = m_pMenu->GetSubMenu(nIndex);
  if (!popup) return;
  m_nOpen = nIndex;
  RedrawWindow();
  CRect r = m_rects[nIndex];
  ClientToScreen(&r);
  popup->TrackPopupMenu(TPM_LEFTALIGN, r.left, r.bottom, m_pFrame);
  m_nOpen = -1;
  if (m_hWnd) Invalidate();
}

void CPlainMenuBar::OnLButtonDown(UINT, CPoint point) {
  for (int i = 0; i < (int)m_rects.size(); ++i)
    if (m_rects[i].PtInRect(point)) {
      OpenPopup(i);
      return;
    }
}
