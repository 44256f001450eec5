// The main window's client area: one row of two panes with a draggable bar between them.
// Written to the flat splitter's interface (thin bar, restore, lock), which replaces it later.
#pragma once

#include "platform/ui/AfxWin.h"

#include <memory>

class CPaneSplitter : public CWnd {
  DECLARE_DYNAMIC(CPaneSplitter)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr int kBarWidth = 6;
  BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID);
  // Creates the pane of the class (dynamic creation) at (row, col); the splitter owns it.
  BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);
  CWnd* GetPane(int row, int col) const;
  void SetColumnInfo(int col, int cxIdeal, int cxMin);
  void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
  void RecalcLayout();
  void SetThinBar() { m_nBar = 1; }
  void RestoreBar() { m_nBar = kBarWidth; }
  int GetBarWidth() const { return m_nBar; }
  BOOL m_bLocked = FALSE;

  void OnSize(UINT nType, int cx, int cy);
  void OnPaint();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

 private:
  std::unique_ptr<CWnd> m_panes[2];
  int m_cx[2] = {200, 50};
  int m_cxMin[2] = {0, 0};
  int m_nBar = kBarWidth;
  BOOL m_bDragging = FALSE;
};
