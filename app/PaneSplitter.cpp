#include "app/PaneSplitter.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPaneSplitter, CWnd)

BEGIN_MESSAGE_MAP(CPaneSplitter, CWnd)
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CPaneSplitter::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID) {
  if (nRows != 1 || nCols != 2) return FALSE;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, cls, "", dwStyle | WS_CLIPCHILDREN, CRect(0, 0, 400, 300), pParentWnd, nID);
}

BOOL CPaneSplitter::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext*) {
  if (row != 0 || col < 0 || col > 1 || !pViewClass) return FALSE;
  CObject* obj = pViewClass->CreateObject();
  auto* wnd = dynamic_cast<CWnd*>(obj);
  if (!wnd) {
    delete obj;
    return FALSE;
  }
  m_panes[col].reset(wnd);
  m_cx[col] = sizeInit.cx;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  if (!wnd->CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, sizeInit.cx, sizeInit.cy), this,
                     AFX_IDW_PANE_FIRST + col)) {
    m_panes[col].reset();
    return FALSE;
  }
  return TRUE;
}

CWnd* CPaneSplitter::GetPane(int row, int col) const {
  return row == 0 && col >= 0 && col <= 1 ? m_panes[col].get() : nullptr;
}

void CPaneSplitter::SetColumnInfo(int col, int cxIdeal, int cxMin) {
  if (col < 0 || col > 1) return;
  m_cx[col] = std::max(0, cxIdeal);
  m_cxMin[col] = std::max(0, cxMin);
}

void CPaneSplitter::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
  cxCur = col >= 0 && col <= 1 ? m_cx[col] : 0;
  cxMin = col >= 0 && col <= 1 ? m_cxMin[col] : 0;
}

void CPaneSplitter::RecalcLayout() {
  if (!m_hWnd) return;
  CRect rc;
  GetClientRect(&rc);
  int left = std::clamp(m_cx[0], 0, std::max(0, (int)rc.Width() - m_nBar));
  if (m_cx[0] > 0 && left < m_cxMin[0]) left = std::min(m_cxMin[0], (int)rc.Width());
  m_cx[0] = left;
  if (m_panes[0] && m_panes[0]->m_hWnd) m_panes[0]->MoveWindow(0, 0, left, rc.Height());
  const int x = left + m_nBar;
  m_cx[1] = std::max(0, (int)rc.Width() - x);
  if (m_panes[1] && m_panes[1]->m_hWnd) m_panes[1]->MoveWindow(x, 0, m_cx[1], rc.Height());
  Invalidate();
}

void CPaneSplitter::OnSize(UINT, int, int) { RecalcLayout(); }

void CPaneSplitter::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(m_cx[0], 0, m_nBar, rc.Height(), ::GetSysColor(COLOR_BTNFACE));
}

void CPaneSplitter::OnLButtonDown(UINT, CPoint point) {
  if (m_bLocked) return;
  if (point.x >= m_cx[0] && point.x < m_cx[0] + m_nBar) {
    m_bDragging = TRUE;
    SetCapture();
  }
}

void CPaneSplitter::OnMouseMove(UINT, CPoint point) {
  if (!m_bDragging) return;
  CRect rc;
  GetClientRect(&rc);
  m_cx[0] = std::clamp((int)point.x, std::max(m_cxMin[0], 20), std::max(20, (int)rc.Width() - 100));
  RecalcLayout();
}

void CPaneSplitter::OnLButtonUp(UINT, CPoint) {
  if (!m_bDragging) return;
  m_bDragging = FALSE;
  ReleaseCapture();
}

BOOL CPaneSplitter::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (!m_bLocked && pWnd == this) {
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
    return TRUE;
  }
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}
