#include "views/AgroundWnd.h"

#include "views/ViewColours.h"

IMPLEMENT_DYNAMIC(CAgroundWnd, CWnd)

BEGIN_MESSAGE_MAP(CAgroundWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CAgroundWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CAgroundWnd::UpdateResults() {
  if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CAgroundWnd::SetFeet(int b) {
  if (b == m_bFeet) return;
  m_dDepth = b ? m_dDepth * 3.2808 : m_dDepth / 3.2808;
  m_bFeet = b;
  UpdateResults();
}

void CAgroundWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ViewThemeBackColour());
  const double u = m_bFeet ? 3.2808 : 1.0;
  const char* unit = m_bFeet ? "ft" : "m";
  CString s, drop;
  if (m_bDropUnknown)
    drop = "Unknown";
  else
    drop.Format("%.2f%s", m_dDrop * u, unit);
  s.Format("Draught %.2f%s   Height %.2f%s   Drop to low water %s   Depth %.2f%s", m_dDraught * u, unit,
           m_dHeight * u, unit, (LPCTSTR)drop, m_dDepth, unit);
  dc.SetBkMode(TRANSPARENT);
  rc.left += 8;
  dc.DrawText(s, &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}
