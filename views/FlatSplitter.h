// The main frame's splitter: bars and borders in the look's background colour, a bar that can
// be made one pixel thin, and a lock that stops the user dragging it (the tidal-log page).
#pragma once

#include "platform/ui/AfxWin.h"

class CFlatSplitter : public CSplitterWnd {
  DECLARE_DYNAMIC(CFlatSplitter)
  DECLARE_MESSAGE_MAP()
 public:
  CFlatSplitter() = default;

  // 1 while the bar must not move; set directly by the right pane.
  int m_bLocked = 0;

  // The bar becomes one pixel wide; RestoreBar brings the width it had before.
  void SetThinBar();
  void RestoreBar();

  void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

 private:
  int m_nBarWidth = 0;  // the width before SetThinBar
};
