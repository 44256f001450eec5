#include "toolkit/CbDockBar.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbPaintManager.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CCbDockBar, CWnd)

BEGIN_MESSAGE_MAP(CCbDockBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

CCbDockBar::CCbDockBar() { m_arrBars.push_back(nullptr); }
CCbDockBar::~CCbDockBar() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CCbDockBar::Create(CWnd* pParent, DWORD dwStyle, UINT nID) {
  m_dwBarStyle = dwStyle & CBRS_ALL;
  const CString cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  const DWORD style = (dwStyle & ~CBRS_ALL) | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return CreateEx(0, cls, nullptr, style, CRect(0, 0, 0, 0), pParent, nID);
}

void CCbDockBar::OnRButtonDown(UINT, CPoint point) {
  if (!m_pCommandBars) return;
  ClientToScreen(&point);
  m_pCommandBars->ContextMenu(point.x, point.y);
}

int CCbDockBar::GetPosition() const {
  if (m_dwBarStyle & (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)) return cbBarTop;
  if (m_dwBarStyle & (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)) return cbBarBottom;
  if (m_dwBarStyle & (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)) return cbBarLeft;
  return cbBarRight;
}

int CCbDockBar::FindBar(CCbToolBar* pBar, int nPosExclude) const {
  for (int i = 0; i < (int)m_arrBars.size(); ++i)
    if (m_arrBars[(size_t)i] == pBar && i != nPosExclude) return i;
  return -1;
}

int CCbDockBar::GetRowCount() const {
  int rows = 0;
  BOOL any = FALSE;
  for (CCbToolBar* b : m_arrBars) {
    if (b)
      any = TRUE;
    else if (any) {
      ++rows;
      any = FALSE;
    }
  }
  return rows + (any ? 1 : 0);
}

void CCbDockBar::NormaliseRows() {
  // No empty rows: a row end never follows another, and the array ends with one.
  std::vector<CCbToolBar*> out;
  for (CCbToolBar* b : m_arrBars) {
    if (!b && (out.empty() || !out.back())) continue;
    out.push_back(b);
  }
  if (out.empty() || out.back()) out.push_back(nullptr);
  m_arrBars.swap(out);
}

void CCbDockBar::MarkFrameLayout() {
  if (m_pCommandBars) m_pCommandBars->RecalcFrameLayout(TRUE);
}

void CCbDockBar::DockCommandBar(CCbToolBar* pBar, LPCRECT lpRect) {
  if (!pBar) return;
  if (CCbDockBar* old = pBar->GetDockBar(); old && old != this)
    old->RemoveCommandBar(pBar);
  else if (old == this)
    RemoveCommandBar(pBar);
  CCbDockContext* ctx = pBar->GetDockContext();
  if (lpRect) {
    CRect rc(lpRect);
    ScreenToClient(&rc);
    if (ctx) ctx->m_rcDocked = rc;
    const BOOL horz = IsHorizontal();
    const int centre = horz ? rc.CenterPoint().y : rc.CenterPoint().x;
    // Scan the rows for the first whose far edge lies beyond the centre.
    int prevEdge = 0;
    size_t rowStart = 0;
    size_t insertAt = m_arrBars.size() - 1;  // before the last row end: a new last row
    BOOL newRow = TRUE, placed = FALSE;
    for (size_t i = 0; i < m_arrBars.size() && !placed; ++i) {
      if (m_arrBars[i]) continue;
      if (i == rowStart) {
        rowStart = i + 1;
        continue;
      }
      int far = prevEdge;
      for (size_t k = rowStart; k < i; ++k) {
        CCbToolBar* b = m_arrBars[k];
        if (!b->GetSafeHwnd() || !b->IsVisible()) continue;
        CRect w;
        b->GetWindowRect(&w);
        ScreenToClient(&w);
        far = std::max<int>(far, horz ? w.bottom : w.right);
      }
      if (centre == prevEdge || centre < 0) {
        insertAt = rowStart;
        newRow = TRUE;
        placed = TRUE;
      } else if (far > centre) {
        insertAt = i;
        newRow = FALSE;
        placed = TRUE;
      }
      prevEdge = far;
      rowStart = i + 1;
    }
    if (newRow) {
      if (placed)
        m_arrBars.insert(m_arrBars.begin() + (long)insertAt, {pBar, nullptr});
      else
        m_arrBars.insert(m_arrBars.end(), {pBar, nullptr});
    } else {
      m_arrBars.insert(m_arrBars.begin() + (long)insertAt, pBar);
    }
  } else {
    if (ctx) ctx->m_rcDocked.SetRectEmpty();
    m_arrBars.insert(m_arrBars.end(), {pBar, nullptr});
  }
  // Stretched bars stand alone in their rows.
  for (size_t i = 0; i < m_arrBars.size(); ++i) {
    CCbToolBar* b = m_arrBars[i];
    if (!b || !(b->GetFlags() & cbFlagStretched)) continue;
    if (i > 0 && m_arrBars[i - 1]) m_arrBars.insert(m_arrBars.begin() + (long)i++, nullptr);
    if (i + 1 < m_arrBars.size() && m_arrBars[i + 1]) m_arrBars.insert(m_arrBars.begin() + (long)i + 1, nullptr);
  }
  NormaliseRows();
  if (pBar->GetSafeHwnd() && pBar->GetParent() != this) pBar->SetParent(this);
  pBar->SetDockBar(this);
  pBar->SetPosition(GetPosition());
  MarkFrameLayout();
}

BOOL CCbDockBar::RemoveCommandBar(CCbToolBar* pBar, int nPosExclude) {
  const int i = FindBar(pBar, nPosExclude);
  if (i < 0) return FALSE;
  m_arrBars.erase(m_arrBars.begin() + i);
  NormaliseRows();
  pBar->SetDockBar(nullptr);
  MarkFrameLayout();
  return TRUE;
}

void CCbDockBar::GetVisibleRow(int nPos, std::vector<CCbToolBar*>& list) const {
  list.clear();
  if (nPos < 0 || nPos >= (int)m_arrBars.size()) return;
  int a = nPos, b = nPos;
  while (a > 0 && m_arrBars[(size_t)a - 1]) --a;
  while (b < (int)m_arrBars.size() && m_arrBars[(size_t)b]) ++b;
  for (int i = a; i < b; ++i)
    if (m_arrBars[(size_t)i]->IsVisible() && m_arrBars[(size_t)i]->GetType() == 1) list.push_back(m_arrBars[(size_t)i]);
  const BOOL horz = IsHorizontal();
  std::stable_sort(list.begin(), list.end(), [horz](CCbToolBar* x, CCbToolBar* y) {
    CRect rx, ry;
    if (x->GetSafeHwnd()) x->GetWindowRect(&rx);
    if (y->GetSafeHwnd()) y->GetWindowRect(&ry);
    return horz ? rx.left < ry.left : rx.top < ry.top;
  });
}

int CCbDockBar::LayoutRow(std::vector<CB_DOCK_INFO>& row, int nLength, int nOffset, BOOL bCommit,
                          std::vector<CCbToolBar*>& overflow) {
  const BOOL horz = IsHorizontal();
  const BOOL customize = m_pCommandBars && m_pCommandBars->IsCustomizeMode();
  if (nLength < 0) nLength = 0;
  // 1. Each bar's size for the whole length, from where it was dropped.
  for (CB_DOCK_INFO& d : row) {
    d.dwMode = horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    if (d.pBar->GetFlags() & cbFlagStretched) d.dwMode |= LM_STRETCH;
    if ((d.pBar->GetFlags() & cbFlagHideWrap) && !customize) d.dwMode |= LM_HIDEWRAP;
    const CSize sz = d.pBar->CalcDockingLayout(nLength, d.dwMode);
    const int len = horz ? sz.cx : sz.cy;
    CCbDockContext* ctx = d.pBar->GetDockContext();
    const int start = ctx && !ctx->m_rcDocked.IsRectEmpty() ? (horz ? ctx->m_rcDocked.left : ctx->m_rcDocked.top) : 0;
    d.rcBar = CRect(start, 0, start + len, horz ? sz.cy : sz.cx);
    d.rcMRU = d.rcBar;
    if (d.dwMode & LM_HIDEWRAP) {
      const CSize m = d.pBar->CalcDockingLayout(1, d.dwMode);
      d.nMinLength = horz ? m.cx : m.cy;
    } else {
      d.nMinLength = nLength;
    }
  }
  // 2. By their left edge.
  std::stable_sort(row.begin(), row.end(),
                   [](const CB_DOCK_INFO& a, const CB_DOCK_INFO& b) { return a.rcMRU.left < b.rcMRU.left; });
  const int n = (int)row.size();
  // 3. Overlaps push right.
  for (int i = 1; i < n; ++i)
    if (row[(size_t)i].rcMRU.left < row[(size_t)i - 1].rcMRU.right)
      row[(size_t)i].rcMRU.OffsetRect(row[(size_t)i - 1].rcMRU.right - row[(size_t)i].rcMRU.left, 0);
  // 4. Past the end pulls left.
  int limit = nLength;
  for (int i = n - 1; i >= 0; --i) {
    CRect& r = row[(size_t)i].rcMRU;
    if (r.right > limit) r.OffsetRect(limit - r.right, 0);
    limit = r.left;
  }
  // 5. Nothing before its neighbour's end, or before 0.
  int edge = 0;
  for (int i = 0; i < n; ++i) {
    CRect& r = row[(size_t)i].rcMRU;
    if (r.left < edge) r.OffsetRect(edge - r.left, 0);
    edge = r.right;
  }
  // 6. Too long: the bars shrink, down to their minimums; what still does not fit moves to
  // a row of its own.
  if (n > 0 && row.back().rcMRU.right > nLength) {
    for (;;) {
      int sumMin = 0;
      for (const CB_DOCK_INFO& d : row) sumMin += std::min(d.nMinLength, nLength);
      if (sumMin <= nLength || row.size() <= 1) break;
      overflow.insert(overflow.begin(), row.back().pBar);
      row.pop_back();
    }
    std::vector<int> minBefore(row.size(), 0);
    for (size_t i = 1; i < row.size(); ++i) minBefore[i] = minBefore[i - 1] + std::min(row[i - 1].nMinLength, nLength);
    int end = nLength;
    for (int i = (int)row.size() - 1; i >= 0; --i) {
      CRect& r = row[(size_t)i].rcMRU;
      int left = std::min<int>(r.left, end - std::min(row[(size_t)i].nMinLength, nLength));
      left = std::max(left, minBefore[(size_t)i]);
      if (left > end) left = end;
      r.left = left;
      r.right = end;
      end = left;
    }
  }
  // 7. Measured for their final length and moved there.
  int thickness = 0;
  for (CB_DOCK_INFO& d : row) {
    const int len = std::max(0, (int)d.rcMRU.Width());
    const CSize sz = d.pBar->CalcDockingLayout(len, d.dwMode | (bCommit ? LM_COMMIT : 0));
    const int across = horz ? sz.cy : sz.cx;
    thickness = std::max(thickness, across);
    if (bCommit && d.pBar->GetSafeHwnd()) {
      const int along = std::min<int>(horz ? sz.cx : sz.cy, len > 0 ? len : 0);
      CRect rc =
          horz ? CRect(d.rcMRU.left, nOffset, d.rcMRU.left + std::max(along, (int)d.rcMRU.Width()), nOffset + across)
               : CRect(nOffset, d.rcMRU.left, nOffset + across, d.rcMRU.left + std::max(along, (int)d.rcMRU.Width()));
      if (rc.right < rc.left) rc.right = rc.left;
      if (rc.bottom < rc.top) rc.bottom = rc.top;
      d.pBar->MoveWindow(&rc);
      d.pBar->Invalidate(FALSE);
      if (CCbDockContext* ctx = d.pBar->GetDockContext()) ctx->m_nDockBar = GetPosition();
    }
  }
  return thickness;
}

CSize CCbDockBar::CalcDockBarLayout(int nLength, DWORD dwMode, BOOL bCommit) {
  const BOOL horz = IsHorizontal();
  int across = 0, longest = (dwMode & LM_STRETCH) ? 32767 : 0;
  std::vector<CCbToolBar*> pending;
  size_t i = 0;
  auto layoutOne = [&](std::vector<CCbToolBar*> bars) {
    while (!bars.empty()) {
      std::vector<CB_DOCK_INFO> row;
      for (size_t k = 0; k < bars.size(); ++k) row.push_back(CB_DOCK_INFO{bars[k], {}, {}, (int)k, 0, 0});
      std::vector<CCbToolBar*> overflow;
      const int t = LayoutRow(row, nLength, across, bCommit, overflow);
      across += t;
      for (const CB_DOCK_INFO& d : row) longest = std::max<int>(longest, d.rcMRU.right);
      bars = overflow;
    }
  };
  std::vector<CCbToolBar*> rowBars;
  for (i = 0; i < m_arrBars.size(); ++i) {
    CCbToolBar* b = m_arrBars[i];
    if (b) {
      if (b->IsVisible() && b->GetSafeHwnd()) rowBars.push_back(b);
      continue;
    }
    if (!rowBars.empty()) layoutOne(rowBars);
    rowBars.clear();
  }
  if (!rowBars.empty()) layoutOne(rowBars);
  if (!(dwMode & LM_STRETCH)) longest = std::min(longest, std::max(nLength, 0));
  return horz ? CSize(longest, across) : CSize(across, longest);
}

LRESULT CCbDockBar::OnSizeParent(WPARAM, LPARAM lParam) {
  if (!(GetStyle() & WS_VISIBLE)) return 0;
  auto* p = (AFX_SIZEPARENTPARAMS*)lParam;
  CRect space = p->rect;
  const BOOL horz = IsHorizontal();
  DWORD mode = horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
  if (p->bStretch) mode |= LM_STRETCH;
  const int length = std::max(0, horz ? (int)space.Width() : (int)space.Height());
  CSize size = CalcDockBarLayout(length, mode, TRUE);
  size.cx = std::min<int>(size.cx, space.Width());
  size.cy = std::min<int>(size.cy, space.Height());
  if (size.cx < 0) size.cx = 0;
  if (size.cy < 0) size.cy = 0;
  CRect rc = space;
  switch (GetPosition()) {
    case cbBarTop:
      rc.bottom = rc.top + size.cy;
      p->rect.top += size.cy;
      break;
    case cbBarBottom:
      rc.top = rc.bottom - size.cy;
      p->rect.bottom -= size.cy;
      break;
    case cbBarLeft:
      rc.right = rc.left + size.cx;
      p->rect.left += size.cx;
      break;
    default:
      rc.left = rc.right - size.cx;
      p->rect.right -= size.cx;
      break;
  }
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  MoveWindow(&rc);
  Invalidate(FALSE);
  return 0;
}

void CCbDockBar::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) return;
  CCbBufferDC buffer(&dc, rc);
  (m_pCommandBars ? m_pCommandBars->GetPaintManager() : CbPaintManager())->FillDockBar(&buffer, this);
}
