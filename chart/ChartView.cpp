#include "chart/ChartView.h"

IMPLEMENT_DYNAMIC(CMapView, CWnd)

BEGIN_MESSAGE_MAP(CMapView, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CMapView::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CMapView::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(200, 220, 240));
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(CString("Chart"), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
