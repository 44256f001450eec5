// The column strip above the tidal log: labels, etched column edges, and column widths the
// user drags with the mouse. The parent hears of a new width through WM_LOGHEADER_RESIZED.
#pragma once

#include "platform/ui/AfxWin.h"
#include "resources/ResourceIds.h"

// Sent to the parent after a column was resized (wParam 0, lParam 0).
#define WM_LOGHEADER_RESIZED (WM_USER + 1182)

class CLogHeaderCtrl : public CWnd {
  DECLARE_DYNAMIC(CLogHeaderCtrl)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kDefaultId = 182;
  static constexpr int kHeight = 20;
  static constexpr int kGrip = 3;  // pixels either side of an edge that grab it
  static constexpr UINT kResizeCursor = IDC_RESIZE_COLUMN;

  struct LABEL_INFO {
    CString label;
    int width = 0;
  };

  CLogHeaderCtrl() = default;
  using CWnd::Create;
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);
  void AddLabel(LPCTSTR lpszLabel, int nWidth);

  int GetColumnCount() const { return static_cast<int>(m_labels.GetSize()); }
  int GetColumnWidth(int nColumn) const;
  int GetTotalWidth() const;
  // Edges in strip coordinates: left of column i, and its right edge (left + width).
  int GetColumnLeft(int nColumn) const;
  int GetColumnRight(int nColumn) const { return GetColumnLeft(nColumn) + GetColumnWidth(nColumn); }
  BOOL IsDragging() const { return m_bDragging; }

  void Draw(CDC* pDC, const CRect& rect);

  void OnPaint();
  void OnMouseMove(UINT nFlags, CPoint point);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);

 private:
  int EdgeAt(int x) const;  // the first column whose right edge is within kGrip of x, or -1

  BOOL m_bNearEdge = FALSE;
  BOOL m_bDragging = FALSE;
  int m_nDragColumn = -1;
  int m_nDragEdgeX = 0;  // x of the press that took the edge
  int m_nDragLeftX = 0;  // the column's left edge
  CArray<LABEL_INFO, const LABEL_INFO&> m_labels;
  CFont m_font;
};
