#include "views/TideLogWnd.h"

IMPLEMENT_DYNAMIC(CTideLogWnd, CWnd)

BEGIN_MESSAGE_MAP(CTideLogWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CTideLogWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CTideLogWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(CString("Tidal Log"), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
