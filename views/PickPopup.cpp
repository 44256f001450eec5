#include "views/PickPopup.h"

IMPLEMENT_DYNAMIC(CPickPopup, CWnd)

namespace {
const UINT WM_PICKPOPUP_CLOSE = WM_APP + 0x2B1;
}

BEGIN_MESSAGE_MAP(CPickPopup, CWnd)
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_MESSAGE(WM_PICKPOPUP_CLOSE, OnCloseLater)
END_MESSAGE_MAP()

CPickPopup::~CPickPopup() {
  if (m_hWnd) DestroyWindow();
}

BOOL CPickPopup::CreatePopup(CWnd* pNotify, int x, int y, int cx, int cy) {
  if (m_hWnd) DestroyWindow();
  m_pNotify = pNotify;
  m_size = CSize(cx, cy);
  m_nHot = m_nPressed = -1;
  m_bClosing = FALSE;
  LPCTSTR cls = AfxRegisterWndClass(0x823, ::LoadCursor(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
  // Not activated: a picker leaves its owner active (and the platform layer's activation of a
  // second top-level window is not settled yet).
  if (!CreateEx(WS_EX_WINDOWEDGE | WS_EX_NOACTIVATE, cls, "Hello", WS_POPUP | WS_VISIBLE, x, y, cx, cy,
                pNotify ? pNotify->GetSafeHwnd() : nullptr, nullptr))
    return FALSE;
  SetCapture();
  return TRUE;
}

void CPickPopup::CloseLater() {
  if (m_bClosing || !m_hWnd) return;
  m_bClosing = TRUE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  ShowWindow(SW_HIDE);
  PostMessage(WM_PICKPOPUP_CLOSE);
}

LRESULT CPickPopup::OnCloseLater(WPARAM, LPARAM) {
  DestroyWindow();
  return 0;
}

void CPickPopup::DrawItemEdge(CDC* dc, int i) {
  CRect r = ItemRect(i);
  if (i == m_nPressed && m_nHot == i) {
    dc->DrawEdge(&r, BDR_SUNKENOUTER, BF_RECT);
  } else if (i == m_nHot && m_nPressed < 0) {
    dc->DrawEdge(&r, BDR_RAISEDINNER, BF_RECT);
  } else {
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    dc->FrameRect(&r, &face);
  }
}

void CPickPopup::OnPaint() {
  CPaintDC dc(this);
  if (m_bClosing) return;
  DrawContent(&dc);
}

void CPickPopup::OnMouseMove(UINT, CPoint pt) {
  if (m_bClosing) return;
  int hot = ItemAt(pt);
  if (hot != m_nHot) {
    m_nHot = hot;
    Invalidate(FALSE);
  }
}

void CPickPopup::OnLButtonDown(UINT, CPoint pt) {
  if (m_bClosing) return;
  m_nPressed = m_nHot = ItemAt(pt);
  Invalidate(FALSE);
}

void CPickPopup::OnLButtonUp(UINT, CPoint pt) {
  if (m_bClosing) return;
  if ((unsigned)pt.x > (unsigned)m_size.cx || pt.y < 0 || pt.y > m_size.cy) {
    CloseLater();  // a click outside
    return;
  }
  int item = ItemAt(pt), pressed = m_nPressed;
  m_nPressed = -1;
  Invalidate(FALSE);
  if (item >= 0 && item == pressed) OnPicked(item);
}
