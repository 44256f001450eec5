#include "views/FlatSplitter.h"

#include "views/ViewColours.h"

IMPLEMENT_DYNAMIC(CFlatSplitter, CSplitterWnd)

BEGIN_MESSAGE_MAP(CFlatSplitter, CSplitterWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

void CFlatSplitter::SetThinBar() {
  if (m_cxSplitter > 1) m_nBarWidth = m_cxSplitter;
  m_cxSplitter = 1;
}

void CFlatSplitter::RestoreBar() {
  if (m_nBarWidth > 0) m_cxSplitter = m_nBarWidth;
}

void CFlatSplitter::OnDrawSplitter(CDC* pDC, ESplitType, const CRect& rect) {
  if (!pDC) return;
  pDC->FillSolidRect(&rect, ViewThemeBackColour());
}

void CFlatSplitter::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_bLocked == 1) return;
  CSplitterWnd::OnLButtonDown(nFlags, point);
}

void CFlatSplitter::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_bLocked == 1 && !IsTracking()) {
    Default();
    return;
  }
  CSplitterWnd::OnMouseMove(nFlags, point);
}

BOOL CFlatSplitter::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_bLocked == 1 && !IsTracking() && pWnd == this && nHitTest == HTCLIENT) {
    // The bar gives no resize cursor. Our windows keep the last shape set on them, so the
    // arrow is set here rather than left as the bar's old shape.
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
  }
  return CSplitterWnd::OnSetCursor(pWnd, nHitTest, message);
}
