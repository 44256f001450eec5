#include "views/LogHeaderCtrl.h"

#include "views/ViewDrawing.h"

IMPLEMENT_DYNAMIC(CLogHeaderCtrl, CWnd)

BEGIN_MESSAGE_MAP(CLogHeaderCtrl, CWnd)
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CLogHeaderCtrl::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
  return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CLogHeaderCtrl::AddLabel(LPCTSTR lpszLabel, int nWidth) {
  LABEL_INFO info;
  info.label = lpszLabel;
  info.width = nWidth;
  m_labels.Add(info);
  if (m_hWnd) Invalidate(FALSE);
}

int CLogHeaderCtrl::GetColumnWidth(int i) const { return (i >= 0 && i < GetColumnCount()) ? m_labels[i].width : 0; }

int CLogHeaderCtrl::GetTotalWidth() const {
  int total = 0;
  for (int i = 0; i < GetColumnCount(); ++i) total += m_labels[i].width;
  return total;
}

int CLogHeaderCtrl::GetColumnLeft(int nColumn) const {
  int x = 0;
  for (int i = 0; i < nColumn && i < GetColumnCount(); ++i) x += m_labels[i].width;
  return x;
}

int CLogHeaderCtrl::EdgeAt(int x) const {
  int right = 0;
  for (int i = 0; i < GetColumnCount(); ++i) {
    right += m_labels[i].width;
    if (x >= right - kGrip && x <= right + kGrip) return i;
  }
  return -1;
}

void CLogHeaderCtrl::Draw(CDC* dc, const CRect& rc) {
  ViewMakeSmallFont(m_font, dc);
  dc->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
  CRect border(rc);
  dc->DrawEdge(&border, BDR_RAISEDINNER, BF_RECT);
  CFont* old = dc->SelectObject(&m_font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  int left = rc.left;
  for (int i = 0; i < GetColumnCount(); ++i) {
    const int right = left + m_labels[i].width;
    CRect text(left + 4, rc.top + 2, right - 5, rc.bottom - 2);
    dc->DrawText(m_labels[i].label, &text, DT_VCENTER | DT_SINGLELINE);
    CRect cell(left, rc.top, right, rc.bottom);
    dc->DrawEdge(&cell, EDGE_ETCHED, BF_RIGHT);
    left = right;
  }
  dc->SelectObject(old);
}

void CLogHeaderCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  Draw(&dc, rc);
}

void CLogHeaderCtrl::OnMouseMove(UINT, CPoint point) {
  if (m_bDragging) {
    m_bNearEdge = TRUE;
    return;
  }
  m_bNearEdge = EdgeAt(point.x) >= 0 ? TRUE : FALSE;
}

BOOL CLogHeaderCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (nHitTest == HTCLIENT && m_bNearEdge) {
    HCURSOR cursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kResizeCursor));
    if (!cursor) cursor = ::LoadCursor(nullptr, IDC_SIZEWE);
    ::SetCursor(cursor);
    return TRUE;
  }
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CLogHeaderCtrl::OnLButtonDown(UINT, CPoint point) {
  const int column = EdgeAt(point.x);
  if (column < 0) return;
  m_bDragging = TRUE;
  m_bNearEdge = TRUE;
  m_nDragColumn = column;
  m_nDragLeftX = GetColumnLeft(column);
  m_nDragEdgeX = point.x;  // where the edge was taken: the width follows the mouse from there
  SetCapture();
}

void CLogHeaderCtrl::OnLButtonUp(UINT, CPoint point) {
  if (!m_bDragging) return;
  m_bDragging = FALSE;
  ::ReleaseCapture();
  if (m_nDragColumn >= 0 && m_nDragColumn < GetColumnCount()) {
    int& width = m_labels[m_nDragColumn].width;
    width += point.x - m_nDragEdgeX;
    if (width <= 5) width = 20;  // a column dragged shut stays findable
  }
  m_bNearEdge = EdgeAt(point.x) >= 0 ? TRUE : FALSE;
  Invalidate(FALSE);
  if (CWnd* parent = GetParent()) parent->SendMessage(WM_LOGHEADER_RESIZED, 0, 0);
}
