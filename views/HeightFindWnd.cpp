#include "views/HeightFindWnd.h"

IMPLEMENT_DYNAMIC(CHeightFindWnd, CWnd)

BEGIN_MESSAGE_MAP(CHeightFindWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CHeightFindWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CHeightFindWnd::SetPortName(LPCTSTR lpszName) {
  m_strPortName = lpszName;
  if (m_hWnd) Invalidate();
}

void CHeightFindWnd::Find() {
  ++m_nFinds;
  m_bCalculated = 1;
  m_bResults = 1;
  if (m_hWnd) Invalidate();
}

void CHeightFindWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(CString("Tide Height Finder - ") + m_strPortName, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
