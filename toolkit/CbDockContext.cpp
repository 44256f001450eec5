#include "toolkit/CbDockContext.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPopupPlacement.h"

#include <algorithm>

int CCbDockContext::s_nTracking = 0;

namespace {

constexpr int kDockSlack = 20;  // a dock bar catches a dragged bar this far outside itself

BOOL CollectMonitor(HMONITOR h, HDC, LPRECT, LPARAM data) {
  MONITORINFO mi{sizeof mi, {}, {}, 0};
  if (::GetMonitorInfo(h, &mi)) reinterpret_cast<std::vector<CRect>*>(data)->push_back(CRect(mi.rcWork));
  return TRUE;
}

}  // namespace

std::vector<CRect> CbMonitorWorkAreas() {
  std::vector<CRect> areas;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, (LPARAM)&areas);
  return areas;
}

CRect CbKeepInWorkArea(const std::vector<CRect>& workAreas, const CRect& rcWindow) {
  if (workAreas.empty()) return rcWindow;
  const CRect work = CbWorkAreaFor(workAreas, rcWindow, rcWindow.TopLeft());
  CRect rc = rcWindow;
  if (rc.right > work.right) rc.OffsetRect(work.right - rc.right, 0);
  if (rc.bottom > work.bottom) rc.OffsetRect(0, work.bottom - rc.bottom);
  if (rc.left < work.left) rc.OffsetRect(work.left - rc.left, 0);
  if (rc.top < work.top) rc.OffsetRect(0, work.top - rc.top);
  return rc;
}

CCbDockContext::CCbDockContext(CCbToolBar* pBar) : m_pBar(pBar) {}
CCbDockContext::~CCbDockContext() = default;

BOOL CCbDockContext::CanDockOn(int nDockBar) const {
  static const DWORD kSide[4] = {cbFlagAlignTop, cbFlagAlignBottom, cbFlagAlignLeft, cbFlagAlignRight};
  return nDockBar >= 0 && nDockBar < 4 && (m_pBar->GetFlags() & kSide[nDockBar]) != 0;
}

CCbDockBar* CCbDockContext::DockBarUnder(CPoint pt) const {
  CCbCommandBars* bars = m_pBar->GetCommandBars();
  if (!bars) return nullptr;
  std::vector<CCbDockBar*> order;
  if (m_pBar->GetDockBar()) order.push_back(m_pBar->GetDockBar());
  for (int i = 0; i < 4; ++i)
    if (bars->GetDockBar(i) && bars->GetDockBar(i) != m_pBar->GetDockBar()) order.push_back(bars->GetDockBar(i));
  for (CCbDockBar* d : order) {
    if (!d->GetSafeHwnd() || !d->IsWindowVisible()) continue;
    CRect rc;
    d->GetWindowRect(&rc);
    rc.InflateRect(kDockSlack, kDockSlack);
    if (rc.PtInRect(pt)) return d;
  }
  return nullptr;
}

void CCbDockContext::StartDrag(CPoint pt) {
  if (!m_pBar->GetSafeHwnd()) return;
  m_nHitTest = kMove;
  m_ptLast = pt;
  m_pBar->GetWindowRect(&m_rcDragging);
  if (!m_rcDragging.PtInRect(pt)) m_rcDragging.OffsetRect(pt - m_rcDragging.CenterPoint());
  m_rcWindow = m_rcDragging;
  m_bStartedDocked = m_pBar->GetDockBar() != nullptr;
  if (m_bStartedDocked) {
    // Where it is now is where a double click brings it back, whatever the drag does.
    m_nStartDockBar = m_pBar->GetDockBar()->GetPosition();
    CRect rc = m_rcDragging;
    m_pBar->GetDockBar()->ScreenToClient(&rc);
    m_rcStartDocked = rc;
  }
  ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
  Track();
}

void CCbDockContext::StartResize(int nHitTest, CPoint pt) {
  if (!m_pBar->GetSafeHwnd() || !m_pBar->IsFloating() || nHitTest < HTLEFT || nHitTest > HTBOTTOMRIGHT) return;
  m_nHitTest = nHitTest;
  m_ptLast = pt;
  m_pBar->GetWindowRect(&m_rcWindow);
  m_rcDragging = m_rcWindow;
  m_bStartedDocked = FALSE;
  Track();
}

void CCbDockContext::CarryOutLayout() {
  CFrameWnd* frame = dynamic_cast<CFrameWnd*>(m_pBar->GetSite());
  if (frame && frame->GetSafeHwnd() && frame->IsLayoutPending()) frame->RecalcLayout();
}

BOOL CCbDockContext::Track() {
  const HWND hBar = m_pBar->GetSafeHwnd();
  if (!hBar) return FALSE;
  if (::GetCapture() && ::GetCapture() != hBar) return FALSE;
  // The loop dispatches messages that might let the bar go.
  CCbRefHolder<CCbToolBar> hold(m_pBar);
  m_pBar->SetCapture();
  ++s_nTracking;
  BOOL done = FALSE;
  AfxRunModalLoop(
      [&] {
        if (::IsWindow(hBar)) CarryOutLayout();
        // Ends on release or Esc, and as soon as someone else takes the mouse away.
        return !done && ::IsWindow(hBar) && ::GetCapture() == hBar;
      },
      [&](MSG& msg) -> BOOL {
        switch (msg.message) {
          case WM_MOUSEMOVE: {
            const CPoint pt(msg.pt);
            if (pt.x != m_ptLast.x || pt.y != m_ptLast.y) {
              if (m_nHitTest == kMove)
                Move(pt);
              else
                Stretch(pt);
            }
            return TRUE;
          }
          case WM_LBUTTONUP: done = TRUE; return TRUE;
          case WM_KEYDOWN:
          case WM_SYSKEYDOWN:
            // Esc leaves the bar where the drag has put it so far.
            if (msg.wParam == VK_ESCAPE) done = TRUE;
            return TRUE;
          case WM_KEYUP:
          case WM_SYSKEYUP:
          case WM_CHAR:
          case WM_RBUTTONDOWN:
          case WM_RBUTTONUP:
          case WM_LBUTTONDOWN:
          case WM_LBUTTONDBLCLK: return TRUE;
          default: return FALSE;
        }
      });
  --s_nTracking;
  if (::IsWindow(hBar) && ::GetCapture() == hBar) ::ReleaseCapture();
  if (!::IsWindow(hBar)) return TRUE;
  CarryOutLayout();
  if (m_nHitTest == kMove) {
    if (m_bStartedDocked && m_pBar->IsFloating()) {
      m_nDockBar = m_nStartDockBar;
      m_rcDocked = m_rcStartDocked;
    }
  } else {
    CRect rc;
    m_pBar->GetWindowRect(&rc);
    m_pBar->SetMRUWidth(rc.Width());
  }
  if (m_pBar->IsFloating()) {
    CRect rc;
    m_pBar->GetWindowRect(&rc);
    m_ptFloat = rc.TopLeft();
  }
  m_nHitTest = 0;
  if (CCbCommandBars* bars = m_pBar->GetCommandBars()) bars->GetCommandBarsOptions()->bDirty = TRUE;
  return TRUE;
}

void CCbDockContext::Move(CPoint pt) {
  const CPoint delta = pt - m_ptLast;
  m_ptLast = pt;
  m_rcDragging.OffsetRect(delta);
  m_rcWindow.OffsetRect(delta);
  CCbCommandBars* bars = m_pBar->GetCommandBars();
  if (!bars) return;
  CCbDockBar* under = DockBarUnder(pt);
  if (under && CanDockOn(under->GetPosition())) {
    const BOOL changed = under != m_pBar->GetDockBar();
    if (changed) {
      // The bar arrives in the shape it takes on that side, the pointer on the same spot of it,
      // so the row it joins is the one under the pointer.
      const BOOL horz = under->IsHorizontal();
      const CSize size = m_pBar->CalcDockingLayout(32767, horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
      CPoint grip = pt - m_rcDragging.TopLeft();
      grip.x = std::clamp<int>(grip.x, 0, std::max(0, (int)size.cx - 1));
      grip.y = std::clamp<int>(grip.y, 0, std::max(0, (int)size.cy - 1));
      m_rcDragging = CRect(pt - grip, size);
    }
    const CPoint grip = pt - m_rcDragging.TopLeft();
    bars->DockCommandBar(m_pBar, &m_rcDragging, under);
    if (changed) {
      bars->RecalcFrameLayout();
      // The bar's new size, held by the pointer at the same spot: where the row put it would
      // pull the rectangle off the pointer, and the next move into another row.
      CRect rc;
      m_pBar->GetWindowRect(&rc);
      m_rcDragging = CRect(pt - grip, rc.Size());
      if (!m_rcDragging.PtInRect(pt)) m_rcDragging.OffsetRect(pt - m_rcDragging.CenterPoint());
      m_rcWindow = m_rcDragging;
    }
    // The row shows the bar where it now is before the next move comes.
    CarryOutLayout();
    return;
  }
  if (!(m_pBar->GetFlags() & cbFlagFloating)) return;
  CRect before;
  m_pBar->GetWindowRect(&before);
  CPoint grip = pt - m_rcDragging.TopLeft();
  if (!m_pBar->IsFloating()) {
    if (!bars->FloatCommandBar(m_pBar)) return;
    bars->RecalcFrameLayout();
  }
  const CSize size = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
  // The pointer keeps its place on the bar when it can, and stays on the bar when it can't.
  grip.x = std::clamp<int>(grip.x, 0, std::max(0, (int)size.cx - 1));
  grip.y = std::clamp<int>(grip.y, 0, std::max(0, (int)size.cy - 1));
  const CRect rc(pt - grip, size);
  m_rcDragging = m_rcWindow = rc;
  m_pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  m_pBar->Invalidate(FALSE);
}

void CCbDockContext::Stretch(CPoint pt) {
  const CPoint delta = pt - m_ptLast;
  CRect want = m_rcWindow;
  const int h = m_nHitTest;
  const BOOL left = h == HTLEFT || h == HTTOPLEFT || h == HTBOTTOMLEFT;
  const BOOL right = h == HTRIGHT || h == HTTOPRIGHT || h == HTBOTTOMRIGHT;
  const BOOL top = h == HTTOP;
  const BOOL bottom = h == HTBOTTOM;
  if (left) want.left += delta.x;
  if (right) want.right += delta.x;
  if (top) want.top += delta.y;
  if (bottom) want.bottom += delta.y;
  CSize size;
  if (left || right)
    size = m_pBar->CalcDynamicLayout(std::max<int>(0, want.Width()), LM_HORZ | LM_COMMIT);
  else
    size = m_pBar->CalcDynamicLayout(std::max<int>(0, want.Height()), LM_HORZ | LM_LENGTHY | LM_COMMIT);
  m_ptLast = pt;
  CRect rc = m_rcWindow;
  if (size.cx == rc.Width() && size.cy == rc.Height()) return;
  // The opposite edge stays where it is.
  if (left)
    rc.left = rc.right - size.cx;
  else
    rc.right = rc.left + size.cx;
  if (top)
    rc.top = rc.bottom - size.cy;
  else
    rc.bottom = rc.top + size.cy;
  // Only a shape that still meets some screen is taken.
  BOOL meets = FALSE;
  for (const CRect& w : CbMonitorWorkAreas()) {
    CRect i;
    meets |= i.IntersectRect(&w, &rc);
  }
  if (!meets) return;
  m_rcWindow = m_rcDragging = rc;
  m_pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  m_pBar->Invalidate(FALSE);
}

void CCbDockContext::FloatAt(CPoint ptTopLeft) {
  CCbCommandBars* bars = m_pBar->GetCommandBars();
  if (!bars || !bars->FloatCommandBar(m_pBar)) return;
  const CSize size = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
  // A place on a monitor that has gone (or no monitor at all) is moved onto one there is.
  const CRect rc = CbKeepInWorkArea(CbMonitorWorkAreas(), CRect(ptTopLeft, size));
  m_pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  m_pBar->Invalidate(FALSE);
  m_ptFloat = rc.TopLeft();
  bars->RecalcFrameLayout();
}

void CCbDockContext::ToggleDocking() {
  CCbCommandBars* bars = m_pBar->GetCommandBars();
  if (!bars || !m_pBar->GetSafeHwnd()) return;
  if (m_pBar->IsFloating()) {
    int side = m_nDockBar;
    if (!CanDockOn(side)) {
      side = -1;
      for (int i = 0; i < 4 && side < 0; ++i)
        if (CanDockOn(i)) side = i;
      if (side < 0) return;
    }
    CCbDockBar* dock = bars->GetDockBar(side);
    if (!dock) return;
    if (side == m_nDockBar && !m_rcDocked.IsRectEmpty()) {
      CRect rc = m_rcDocked;
      dock->ClientToScreen(&rc);
      bars->DockCommandBar(m_pBar, &rc, dock);
    } else {
      bars->DockCommandBar(m_pBar, nullptr, dock);
    }
    bars->RecalcFrameLayout();
    bars->GetCommandBarsOptions()->bDirty = TRUE;
    return;
  }
  if (!(m_pBar->GetFlags() & cbFlagFloating) || !bars->GetCommandBarsOptions()->bDblClickFloat) return;
  CRect rc;
  m_pBar->GetWindowRect(&rc);
  if (CCbDockBar* dock = m_pBar->GetDockBar()) {
    m_nDockBar = dock->GetPosition();
    CRect local = rc;
    dock->ScreenToClient(&local);
    m_rcDocked = local;
  }
  FloatAt(m_ptFloat.x || m_ptFloat.y ? m_ptFloat : rc.TopLeft());
  bars->GetCommandBarsOptions()->bDirty = TRUE;
}
