#include "app/PortNameWnd.h"

#include "app/MainFrm.h"
#include "app/Resource.h"

IMPLEMENT_DYNAMIC(CPortNameWnd, CWnd)

BEGIN_MESSAGE_MAP(CPortNameWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONUP()
  ON_WM_ENABLE()
END_MESSAGE_MAP()

BOOL CPortNameWnd::Create(const RECT& rect, CWnd* pParent, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CPortNameWnd::SetText(LPCTSTR lpszText) {
  m_strText = lpszText;
  if (m_hWnd) Invalidate();
}

void CPortNameWnd::SetStatic(int b) {
  m_bStatic = b;
  if (m_hWnd) Invalidate();
}

void CPortNameWnd::OnEnable(BOOL) { Invalidate(); }

void CPortNameWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(0x4A, 0x6E, 0xA8));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(IsWindowEnabled() ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
  CFont font;
  font.CreatePointFont(90, "Arial");
  CFont* old = dc.SelectObject(&font);
  CRect text = rc;
  text.left += 6;
  text.right -= 16;
  dc.DrawText(m_bStatic && !m_bMenuMode ? CString("Routes") : m_strText, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  dc.SelectObject(old);
  if (IsWindowEnabled() && !m_bStatic) {
    POINT tri[3] = {{rc.right - 13, rc.Height() / 2 - 2}, {rc.right - 5, rc.Height() / 2 - 2},
                    {rc.right - 9, rc.Height() / 2 + 2}};
    CBrush white(RGB(255, 255, 255));
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CBrush* ob = dc.SelectObject(&white);
    CPen* op = dc.SelectObject(&pen);
    dc.Polygon(tri, 3);
    dc.SelectObject(ob);
    dc.SelectObject(op);
  }
}

void CPortNameWnd::OnLButtonUp(UINT, CPoint) {
  if (m_bStatic || !IsWindowEnabled()) return;
  auto* frame = dynamic_cast<CMainFrame*>(GetTopLevelParent());
  if (!frame) return;
  CRect rc;
  GetWindowRect(&rc);
  CMenu menu;
  if (m_bMenuMode) {
    if (!menu.LoadMenu(IDR_PAGE_POPUP)) return;
    menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN, rc.left, rc.bottom + 2, frame);
    return;
  }
  CPortHistory& history = frame->GetPortHistory();
  if (history.GetCount() == 0) return;
  menu.CreatePopupMenu();
  for (int i = 0; i < history.GetCount(); ++i) {
    int port;
    CString name, s;
    history.GetEntry(i, port, name);
    s.Format("&%d %s", i + 1, (LPCTSTR)name);
    menu.AppendMenu(MF_STRING, ID_RECENT_PORT_FIRST + i, s);
  }
  menu.TrackPopupMenu(TPM_LEFTALIGN, rc.left, rc.bottom + 2, frame);
}
