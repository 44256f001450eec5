#include "platform/ui/Splitter.h"

#include "platform/ui/Gdi.h"

#include <algorithm>

namespace {

// The ghost bar shown while a bar is dragged: a halftone over whatever lies below.
class CGhostBar : public CWnd {
 public:
  void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    COLORREF dark = ::GetSysColor(COLOR_3DDKSHADOW), light = ::GetSysColor(COLOR_BTNFACE);
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right; ++x) dc.SetPixel(x, y, ((x + y) & 1) ? dark : light);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CGhostBar, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

constexpr int kMaxPanes = 16;

}  // namespace

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_SETCURSOR()
  ON_WM_CAPTURECHANGED()
  ON_WM_KEYDOWN()
  AFX_WM(WM_CANCELMODE, p_->OnCancelMode();)
  ON_WM_ERASEBKGND()
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() {
  if (m_hWnd) DestroyWindow();
  DeleteGhosts();
  for (CWnd* p : m_ownedPanes) delete p;
  m_ownedPanes.clear();
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID) {
  if (m_hWnd || !pParentWnd || nRows < 1 || nCols < 1 || nRows > kMaxPanes || nCols > kMaxPanes) return FALSE;
  m_nRows = nRows;
  m_nCols = nCols;
  m_rowInfo.assign(nRows, CRowColInfo{});
  m_colInfo.assign(nCols, CRowColInfo{});
  m_rowSpan.assign(nRows, Span{});
  m_colSpan.assign(nCols, Span{});
  m_panes.assign(kMaxPanes * kMaxPanes, nullptr);
  LPCTSTR cls =
      AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1));
  CRect rc;
  pParentWnd->GetClientRect(&rc);
  return CWnd::CreateEx(0, cls, nullptr, (dwStyle | WS_CHILD) & ~WS_BORDER, rc.left, rc.top, rc.Width(), rc.Height(),
                        pParentWnd->GetSafeHwnd(), (HMENU)(UINT_PTR)nID);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext) {
  if (!m_hWnd || row < 0 || col < 0 || row >= m_nRows || col >= m_nCols || !pViewClass) return FALSE;
  if (GetPane(row, col)) return FALSE;
  if (!pViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd))) return FALSE;
  CObject* obj = pViewClass->CreateObject();
  CWnd* pane = dynamic_cast<CWnd*>(obj);
  if (!pane) {
    delete obj;
    return FALSE;
  }
  CCreateContext ctx;
  if (pContext) ctx = *pContext;
  ctx.m_pNewViewClass = pViewClass;
  if (!pane->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IdFromRowCol(row, col), &ctx)) {
    delete pane;
    return FALSE;
  }
  m_ownedPanes.push_back(pane);
  m_panes[row * kMaxPanes + col] = pane;
  m_colInfo[col].nIdealSize = sizeInit.cx;
  m_rowInfo[row].nIdealSize = sizeInit.cy;
  RecalcLayout();
  return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, CWnd* pWnd, SIZE sizeInit) {
  if (!m_hWnd || row < 0 || col < 0 || row >= m_nRows || col >= m_nCols || !pWnd || !pWnd->GetSafeHwnd()) return FALSE;
  if (GetPane(row, col)) return FALSE;
  if (pWnd->GetParent() != this) pWnd->SetParent(this);
  pWnd->ModifyStyle(WS_POPUP, WS_CHILD);
  pWnd->SetDlgCtrlID(IdFromRowCol(row, col));
  m_panes[row * kMaxPanes + col] = pWnd;
  m_colInfo[col].nIdealSize = sizeInit.cx;
  m_rowInfo[row].nIdealSize = sizeInit.cy;
  pWnd->ShowWindow(SW_SHOWNA);
  RecalcLayout();
  return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
  if (row < 0 || col < 0 || row >= m_nRows || col >= m_nCols || m_panes.empty()) return nullptr;
  CWnd* p = m_panes[row * kMaxPanes + col];
  return p && p->GetSafeHwnd() ? p : nullptr;
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol) {
  for (int r = 0; r < m_nRows; ++r)
    for (int c = 0; c < m_nCols; ++c)
      if (pWnd && GetPane(r, c) == pWnd) {
        if (pRow) *pRow = r;
        if (pCol) *pCol = c;
        return TRUE;
      }
  return FALSE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const {
  if (row < 0 || row >= m_nRows) return;
  cyCur = m_rowInfo[row].nCurSize;
  cyMin = m_rowInfo[row].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin) {
  if (row < 0 || row >= m_nRows) return;
  m_rowInfo[row].nIdealSize = std::max(0, cyIdeal);
  m_rowInfo[row].nMinSize = std::max(0, cyMin);
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
  if (col < 0 || col >= m_nCols) return;
  cxCur = m_colInfo[col].nCurSize;
  cxMin = m_colInfo[col].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin) {
  if (col < 0 || col >= m_nCols) return;
  m_colInfo[col].nIdealSize = std::max(0, cxIdeal);
  m_colInfo[col].nMinSize = std::max(0, cxMin);
}

void CSplitterWnd::GetInsideRect(CRect& rect) const { GetClientRect(&rect); }

// Every row or column but the last gets its ideal size while there is room; the last takes
// what remains. A size of 0 hides the pane and its border, leaving only the bar.
void CSplitterWnd::LayoutSpans(std::vector<CRowColInfo>& info, std::vector<Span>& spans, int total, int border,
                               int bar) {
  int pos = 0, n = (int)info.size();
  for (int i = 0; i < n; ++i) {
    int avail = std::max(0, total - pos);
    int cell;
    if (i == n - 1)
      cell = avail;
    else
      cell = info[i].nIdealSize > 0 ? std::min(avail, info[i].nIdealSize + 2 * border) : 0;
    spans[i].start = pos;
    spans[i].size = cell;
    info[i].nCurSize = std::max(0, cell - 2 * border);
    pos += cell + (i < n - 1 ? bar : 0);
  }
}

CRect CSplitterWnd::CellRect(int row, int col) const {
  CRect inside;
  GetInsideRect(inside);
  const Span& r = m_rowSpan[row];
  const Span& c = m_colSpan[col];
  return CRect(inside.left + c.start, inside.top + r.start, inside.left + c.start + c.size,
               inside.top + r.start + r.size);
}

void CSplitterWnd::RecalcLayout() {
  if (!m_hWnd || m_nRows == 0) return;
  CRect inside;
  GetInsideRect(inside);
  LayoutSpans(m_colInfo, m_colSpan, inside.Width(), m_cxBorder, m_cxSplitter);
  LayoutSpans(m_rowInfo, m_rowSpan, inside.Height(), m_cyBorder, m_cySplitter);
  for (int r = 0; r < m_nRows; ++r) {
    for (int c = 0; c < m_nCols; ++c) {
      CWnd* pane = GetPane(r, c);
      if (!pane) continue;
      CRect cell = CellRect(r, c);
      if (m_colInfo[c].nCurSize == 0 || m_rowInfo[r].nCurSize == 0)
        cell = CRect(cell.left, cell.top, cell.left, cell.top);
      else
        cell.DeflateRect(m_cxBorder, m_cyBorder);
      CRect now;
      pane->GetWindowRect(&now);
      ScreenToClient(&now);
      if (now != cell) pane->MoveWindow(&cell, TRUE);
    }
  }
  Invalidate(TRUE);
}

int CSplitterWnd::HitTest(CPoint pt) const {
  CRect inside;
  GetInsideRect(inside);
  if (!inside.PtInRect(pt)) return noHit;
  int col = -1, row = -1;
  for (int c = 0; c + 1 < m_nCols; ++c) {
    int x = inside.left + m_colSpan[c].start + m_colSpan[c].size;
    if (pt.x >= x && pt.x < x + m_cxSplitter) col = c;
  }
  for (int r = 0; r + 1 < m_nRows; ++r) {
    int y = inside.top + m_rowSpan[r].start + m_rowSpan[r].size;
    if (pt.y >= y && pt.y < y + m_cySplitter) row = r;
  }
  if (col >= 0 && row >= 0) return splitterIntersection1 + row * 15 + col;
  if (col >= 0) return hSplitterBar1 + col;
  if (row >= 0) return vSplitterBar1 + row;
  return noHit;
}

void CSplitterWnd::GetHitRect(int ht, CRect& rect) {
  CRect inside;
  GetInsideRect(inside);
  auto colBar = [&](int c) {
    int x = inside.left + m_colSpan[c].start + m_colSpan[c].size;
    return CRect(x, inside.top, x + m_cxSplitter, inside.bottom);
  };
  auto rowBar = [&](int r) {
    int y = inside.top + m_rowSpan[r].start + m_rowSpan[r].size;
    return CRect(inside.left, y, inside.right, y + m_cySplitter);
  };
  if (ht >= hSplitterBar1 && ht <= hSplitterBar15)
    rect = colBar(ht - hSplitterBar1);
  else if (ht >= vSplitterBar1 && ht <= vSplitterBar15)
    rect = rowBar(ht - vSplitterBar1);
  else if (ht >= splitterIntersection1 && ht <= splitterIntersection225) {
    int i = ht - splitterIntersection1;
    rect.IntersectRect(colBar(i % 15), rowBar(i / 15));
  } else
    rect.SetRectEmpty();
}

// Where the tracker's top left may go: each row or column keeps at least its minimum.
void CSplitterWnd::TrackLimits(int ht) {
  CRect inside;
  GetInsideRect(inside);
  m_rectLimit = inside;
  auto limits = [&](const std::vector<CRowColInfo>& info, const std::vector<Span>& spans, int index, int origin,
                    int end, int border, int bar, LONG& lo, LONG& hi) {
    int minHere = info[index].nMinSize > 0 ? info[index].nMinSize + 2 * border : 0;
    lo = origin + spans[index].start + minHere;
    int n = (int)info.size();
    int reserve = 0;
    if (index + 1 == n - 1 && info[n - 1].nMinSize > 0) reserve = info[n - 1].nMinSize + 2 * border;
    hi = std::max<LONG>(lo, end - bar - reserve);
  };
  if (ht >= hSplitterBar1 && ht <= hSplitterBar15)
    limits(m_colInfo, m_colSpan, ht - hSplitterBar1, inside.left, inside.right, m_cxBorder, m_cxSplitter,
           m_rectLimit.left, m_rectLimit.right);
  if (ht >= vSplitterBar1 && ht <= vSplitterBar15)
    limits(m_rowInfo, m_rowSpan, ht - vSplitterBar1, inside.top, inside.bottom, m_cyBorder, m_cySplitter,
           m_rectLimit.top, m_rectLimit.bottom);
  if (ht >= splitterIntersection1 && ht <= splitterIntersection225) {
    int i = ht - splitterIntersection1;
    limits(m_colInfo, m_colSpan, i % 15, inside.left, inside.right, m_cxBorder, m_cxSplitter, m_rectLimit.left,
           m_rectLimit.right);
    limits(m_rowInfo, m_rowSpan, i / 15, inside.top, inside.bottom, m_cyBorder, m_cySplitter, m_rectLimit.top,
           m_rectLimit.bottom);
  }
}

void CSplitterWnd::StartTracking(int ht) {
  if (ht == noHit || m_bTracking) return;
  m_htTrack = ht;
  m_bTracking2 = FALSE;
  if (ht >= splitterIntersection1 && ht <= splitterIntersection225) {
    int i = ht - splitterIntersection1;
    GetHitRect(hSplitterBar1 + i % 15, m_rectTracker);
    GetHitRect(vSplitterBar1 + i / 15, m_rectTracker2);
    m_bTracking2 = TRUE;
  } else {
    GetHitRect(ht, m_rectTracker);
  }
  TrackLimits(ht);
  m_hFocusBefore = ::GetFocus();
  SetCapture();
  SetFocus();  // Esc cancels the drag
  m_bTracking = TRUE;
  OnInvertTracker(m_rectTracker);
  if (m_bTracking2) OnInvertTracker(m_rectTracker2);
  SetSplitCursor(ht);
}

void CSplitterWnd::StopTracking(BOOL bAccept) {
  if (!m_bTracking) return;
  m_bTracking = FALSE;  // first: releasing the capture comes back here
  OnInvertTracker(m_rectTracker);
  if (m_bTracking2) OnInvertTracker(m_rectTracker2);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_hFocusBefore && ::IsWindow(m_hFocusBefore) && ::GetFocus() == m_hWnd) ::SetFocus(m_hFocusBefore);
  m_hFocusBefore = nullptr;
  if (!bAccept || !m_hWnd) return;
  CRect inside;
  GetInsideRect(inside);
  int ht = m_htTrack;
  if (ht >= hSplitterBar1 && ht <= hSplitterBar15) {
    TrackColumnSize(m_rectTracker.left, ht - hSplitterBar1);
  } else if (ht >= vSplitterBar1 && ht <= vSplitterBar15) {
    TrackRowSize(m_rectTracker.top, ht - vSplitterBar1);
  } else if (ht >= splitterIntersection1 && ht <= splitterIntersection225) {
    int i = ht - splitterIntersection1;
    TrackColumnSize(m_rectTracker.left, i % 15);
    TrackRowSize(m_rectTracker2.top, i / 15);
  }
  RecalcLayout();
}

void CSplitterWnd::TrackColumnSize(int x, int col) {
  CRect inside;
  GetInsideRect(inside);
  int size = x - inside.left - m_colSpan[col].start - 2 * m_cxBorder;
  m_colInfo[col].nIdealSize = std::max({size, m_colInfo[col].nMinSize, 0});
}

void CSplitterWnd::TrackRowSize(int y, int row) {
  CRect inside;
  GetInsideRect(inside);
  int size = y - inside.top - m_rowSpan[row].start - 2 * m_cyBorder;
  m_rowInfo[row].nIdealSize = std::max({size, m_rowInfo[row].nMinSize, 0});
}

void CSplitterWnd::OnInvertTracker(const CRect& rect) {
  if (!m_hWnd || rect.IsRectEmpty()) return;
  // Shown again at the same place means taken away, as an inverted bar would be.
  for (CWnd*& g : m_pGhost) {
    if (g && g->IsWindowVisible()) {
      CRect now;
      g->GetWindowRect(&now);
      ScreenToClient(&now);
      if (now == rect) {
        g->ShowWindow(SW_HIDE);
        return;
      }
    }
  }
  for (CWnd*& g : m_pGhost) {
    if (!g) {
      g = new CGhostBar;
      if (!g->CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_CLIPSIBLINGS, rect, this, 0xFFFF)) {
        delete g;
        g = nullptr;
        return;
      }
    }
    if (g->IsWindowVisible()) continue;
    ::SetWindowPos(g->m_hWnd, HWND_TOP, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    g->UpdateWindow();
    return;
  }
}

void CSplitterWnd::DeleteGhosts() {
  for (CWnd*& g : m_pGhost) {
    delete g;
    g = nullptr;
  }
}

void CSplitterWnd::SetSplitCursor(int ht) {
  LPCTSTR id = IDC_ARROW;
  if (ht >= hSplitterBar1 && ht <= hSplitterBar15)
    id = IDC_SIZEWE;
  else if (ht >= vSplitterBar1 && ht <= vSplitterBar15)
    id = IDC_SIZENS;
  else if (ht >= splitterIntersection1 && ht <= splitterIntersection225)
    id = IDC_SIZEALL;
  ::SetCursor(::LoadCursor(nullptr, id));
}

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) {
  if (!pDC) {
    RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    return;
  }
  CRect r = rect;
  switch (nType) {
    case splitBorder:
      pDC->Draw3dRect(&r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
      r.DeflateRect(1, 1);
      pDC->Draw3dRect(&r, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_3DLIGHT));
      break;
    case splitBar:
      pDC->FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE));
      pDC->Draw3dRect(&r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
      break;
    case splitIntersection:
    case splitBox: pDC->FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE)); break;
  }
}

void CSplitterWnd::DrawAllSplitBars(CDC* pDC, int cxInside, int cyInside) {
  CRect inside;
  GetInsideRect(inside);
  for (int c = 0; c + 1 < m_nCols; ++c) {
    int x = inside.left + m_colSpan[c].start + m_colSpan[c].size;
    OnDrawSplitter(pDC, splitBar, CRect(x, inside.top, x + m_cxSplitter, inside.top + cyInside));
  }
  for (int r = 0; r + 1 < m_nRows; ++r) {
    int y = inside.top + m_rowSpan[r].start + m_rowSpan[r].size;
    OnDrawSplitter(pDC, splitBar, CRect(inside.left, y, inside.left + cxInside, y + m_cySplitter));
  }
  for (int r = 0; r + 1 < m_nRows; ++r)
    for (int c = 0; c + 1 < m_nCols; ++c) {
      CRect rc;
      GetHitRect(splitterIntersection1 + r * 15 + c, rc);
      OnDrawSplitter(pDC, splitIntersection, rc);
    }
  if (m_cxBorder > 0 || m_cyBorder > 0)
    for (int r = 0; r < m_nRows; ++r)
      for (int c = 0; c < m_nCols; ++c)
        if (m_colInfo[c].nCurSize > 0 && m_rowInfo[r].nCurSize > 0) OnDrawSplitter(pDC, splitBorder, CellRect(r, c));
}

void CSplitterWnd::OnPaint() {
  CPaintDC dc(this);
  CRect inside;
  GetInsideRect(inside);
  DrawAllSplitBars(&dc, inside.Width(), inside.Height());
}

BOOL CSplitterWnd::OnEraseBkgnd(CDC* pDC) {
  // Bars and borders are painted; what the panes cover needs nothing.
  CRect rc;
  GetClientRect(&rc);
  pDC->FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
  return TRUE;
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (m_bTracking) StopTracking(FALSE);
  RecalcLayout();
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint pt) {
  if (m_bTracking) return;
  StartTracking(HitTest(pt));
  if (m_bTracking) m_ptTrackOffset = pt - m_rectTracker.TopLeft();
  if (m_bTracking && m_bTracking2) m_ptTrackOffset.y = pt.y - m_rectTracker2.top;
}

void CSplitterWnd::OnMouseMove(UINT, CPoint pt) {
  if (!m_bTracking) {
    SetSplitCursor(HitTest(pt));
    return;
  }
  CPoint at = pt - m_ptTrackOffset;
  at.x = std::clamp<LONG>(at.x, m_rectLimit.left, std::max(m_rectLimit.left, m_rectLimit.right));
  at.y = std::clamp<LONG>(at.y, m_rectLimit.top, std::max(m_rectLimit.top, m_rectLimit.bottom));
  int ht = m_htTrack;
  BOOL moveX = (ht >= hSplitterBar1 && ht <= hSplitterBar15) || m_bTracking2;
  BOOL moveY = (ht >= vSplitterBar1 && ht <= vSplitterBar15);
  if (moveX && at.x != m_rectTracker.left) {
    OnInvertTracker(m_rectTracker);
    m_rectTracker.OffsetRect(at.x - m_rectTracker.left, 0);
    OnInvertTracker(m_rectTracker);
  }
  if (moveY && at.y != m_rectTracker.top) {
    OnInvertTracker(m_rectTracker);
    m_rectTracker.OffsetRect(0, at.y - m_rectTracker.top);
    OnInvertTracker(m_rectTracker);
  }
  if (m_bTracking2 && at.y != m_rectTracker2.top) {
    OnInvertTracker(m_rectTracker2);
    m_rectTracker2.OffsetRect(0, at.y - m_rectTracker2.top);
    OnInvertTracker(m_rectTracker2);
  }
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint) {
  if (m_bTracking) StopTracking(TRUE);
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  // Over the splitter itself the cursor follows the bar under the mouse (set on mouse moves).
  if (nHitTest == HTCLIENT && pWnd == this && !m_bTracking) return TRUE;
  return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnCaptureChanged(CWnd* pWnd) {
  if (m_bTracking && pWnd != this) StopTracking(FALSE);
}

void CSplitterWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (m_bTracking && nChar == VK_ESCAPE) {
    StopTracking(FALSE);
    return;
  }
  if (m_bTracking && nChar == VK_RETURN) {
    StopTracking(TRUE);
    return;
  }
  CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CSplitterWnd::OnCancelMode() {
  if (m_bTracking) StopTracking(FALSE);
}

void CSplitterWnd::OnDestroy() {
  if (m_bTracking) StopTracking(FALSE);
  CWnd::OnDestroy();
}

void CSplitterWnd::OnNcDestroy() {
  // The panes' windows are gone; the objects made from a class go with them.
  std::vector<CWnd*> owned;
  owned.swap(m_ownedPanes);
  for (CWnd* p : owned) delete p;
  std::fill(m_panes.begin(), m_panes.end(), nullptr);
  DeleteGhosts();
  CWnd::OnNcDestroy();
}
