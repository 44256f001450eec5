// The static splitter window: a grid of panes separated by bars the user drags with the mouse.
//
// Pane sizes are the sizes of the pane windows; each pane sits inside a drawn border, and the
// panes are separated by bars. A drag shows a ghost bar until the button is released; only then
// do the panes move. A derived class draws the bars its own way through OnDrawSplitter and
// can refuse or change the drag through the mouse handlers and the tracking hooks.
#pragma once

#include "platform/ui/FrameWnd.h"

#include <vector>

class CSplitterWnd : public CWnd {
  DECLARE_DYNAMIC(CSplitterWnd)
  DECLARE_MESSAGE_MAP()
 public:
  CSplitterWnd();
  ~CSplitterWnd() override;

  // A splitter of fixed rows and columns (1..16 each); the panes are made with CreateView.
  virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                            UINT nID = AFX_IDW_PANE_FIRST);
  // Creates the pane at (row, col) from a window class made with dynamic creation; sizeInit is
  // the pane's ideal width and height. The splitter owns and deletes such pane objects.
  virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);
  // Makes an existing window the pane at (row, col); it stays its owner's object.
  BOOL CreateView(int row, int col, CWnd* pWnd, SIZE sizeInit);

  int GetRowCount() const { return m_nRows; }
  int GetColumnCount() const { return m_nCols; }
  // Current size and minimum of a row or column.
  void GetRowInfo(int row, int& cyCur, int& cyMin) const;
  void SetRowInfo(int row, int cyIdeal, int cyMin);
  void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
  void SetColumnInfo(int col, int cxIdeal, int cxMin);

  CWnd* GetPane(int row, int col) const;
  BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
  int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }

  // Places the panes from the ideal sizes and repaints the bars.
  virtual void RecalcLayout();

  enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
  // Draws one bar, pane border or bar crossing; without a device context, asks for it to be
  // redrawn instead.
  virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
  // Shows the ghost bar at rect, or takes it away when it is shown there.
  virtual void OnInvertTracker(const CRect& rect);

  BOOL IsTracking() const { return m_bTracking; }

  // ---- Mouse and keyboard (the derived class's message map may take these over) ----
  void OnPaint();
  void OnSize(UINT nType, int cx, int cy);
  void OnLButtonDown(UINT nFlags, CPoint pt);
  void OnLButtonUp(UINT nFlags, CPoint pt);
  void OnMouseMove(UINT nFlags, CPoint pt);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnCaptureChanged(CWnd* pWnd);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnCancelMode();
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnDestroy();
  void OnNcDestroy();

 protected:
  struct CRowColInfo {
    int nMinSize = 0;
    int nIdealSize = 0;
    int nCurSize = 0;
  };
  // Hit-test values: a bar between row r and r+1, between column c and c+1, and their crossing.
  enum HitTestValue {
    noHit = 0,
    vSplitterBar1 = 101,
    vSplitterBar15 = 115,
    hSplitterBar1 = 201,
    hSplitterBar15 = 215,
    splitterIntersection1 = 301,
    splitterIntersection225 = 525
  };

  virtual int HitTest(CPoint pt) const;
  virtual void GetInsideRect(CRect& rect) const;
  // The rectangle of a bar (or crossing) the hit-test value names, in client coordinates.
  virtual void GetHitRect(int ht, CRect& rect);
  virtual void StartTracking(int ht);
  virtual void StopTracking(BOOL bAccept);
  // Sets the ideal size of the row or column that ends where the bar was dropped.
  virtual void TrackRowSize(int y, int row);
  virtual void TrackColumnSize(int x, int col);
  virtual void DrawAllSplitBars(CDC* pDC, int cxInside, int cyInside);
  virtual void SetSplitCursor(int ht);

  // The cell of a pane (the pane with its border), as the last layout placed it.
  CRect CellRect(int row, int col) const;

  int m_nRows = 0;
  int m_nCols = 0;
  std::vector<CRowColInfo> m_rowInfo;
  std::vector<CRowColInfo> m_colInfo;

  int m_cxSplitter = 6;  // width of a bar between columns
  int m_cySplitter = 6;  // height of a bar between rows
  int m_cxBorder = 2;    // border drawn around every pane
  int m_cyBorder = 2;

  BOOL m_bTracking = FALSE;
  int m_htTrack = noHit;
  CPoint m_ptTrackOffset;
  CRect m_rectLimit;     // where the tracker's top left may go
  CRect m_rectTracker;   // the ghost bar now
  CRect m_rectTracker2;  // the second ghost bar of a crossing
  BOOL m_bTracking2 = FALSE;

 private:
  struct Span {
    int start = 0;
    int size = 0;
  };
  std::vector<Span> m_rowSpan, m_colSpan;  // cells of the last layout
  std::vector<CWnd*> m_panes;              // row * 16 + col
  std::vector<CWnd*> m_ownedPanes;         // made from a window class; deleted with the splitter
  CWnd* m_pGhost[2] = {nullptr, nullptr};
  HWND m_hFocusBefore = nullptr;
  void LayoutSpans(std::vector<CRowColInfo>& info, std::vector<Span>& spans, int total, int border, int bar);
  void TrackLimits(int ht);
  void DeleteGhosts();
};
