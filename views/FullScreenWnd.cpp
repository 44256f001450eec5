#include "views/FullScreenWnd.h"

#include "model/Prediction.h"
#include "model/QsDateTime.h"

IMPLEMENT_DYNCREATE(CFullScreenWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CFullScreenWnd, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_KEYUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_DESTROY()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CFullScreenWnd::CFullScreenWnd() = default;
CFullScreenWnd::~CFullScreenWnd() = default;

BOOL CFullScreenWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  cs.style &= ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  // Maximised means the whole screen, whatever rectangle was asked for.
  if (cs.style & WS_MAXIMIZE) {
    cs.x = 0;
    cs.y = 0;
    cs.cx = ::GetSystemMetrics(SM_CXSCREEN);
    cs.cy = ::GetSystemMetrics(SM_CYSCREEN);
  }
  return TRUE;
}

int CFullScreenWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
  if (!m_graph.Create(this, CRect(404, 65, 796, 396), kGraphId)) return -1;
  m_graph.SetHasData(0);
  m_graph.ShowWindow(SW_SHOW);
  Compute();
  m_graph.SetFullScreen();
  ModifyStyle(WS_CAPTION, 0);
  m_graph.ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
  SetTimer(kTimerId, kTimerPeriod, nullptr);
  return 0;
}

// The day's curve and scale from the frame's prediction, as the frame computes its own graph.
void CFullScreenWnd::Compute() {
  CPrediction* prediction = m_pHost ? m_pHost->GetPrediction() : nullptr;
  if (!prediction) return;
  // The day as its clock runs, 23 or 25 hours on a change of summer time, as on the main graph.
  const CLocalDay day = m_pHost->GetLocalDayOf(m_pHost->GetSelectedDate().GetDay());
  const auto [highest, lowest] = prediction->CalcDayRange(day);
  m_graph.SetAutoRedraw(0);
  m_graph.SetLocalDay(day);
  for (int m = 0; m < day.GetMinutes(); ++m) m_graph.SetPoint(prediction->HeightAt(day, m), m);
  if (!m_pHost->IsAutoHeight() && m_pHost->GetMaxHeight() > highest)
    m_graph.SetMaxHeight(m_pHost->GetMaxHeight());
  else
    m_graph.SetMaxHeight(highest * 1.1);
  m_graph.SetMinHeight(lowest * 1.1);
  m_graph.SetTitle(m_pHost->GetCurrentPortName() + " - " + prediction->GetDate().Format("%a %#d %b %Y"));
  m_graph.SetFeet(m_pHost->IsFeet());
  m_graph.SetAutoRedraw(1);
}

void CFullScreenWnd::OnSize(UINT nType, int cx, int cy) {
  CFrameWnd::OnSize(nType, cx, cy);
  if (m_graph.GetSafeHwnd()) m_graph.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOOWNERZORDER | SWP_NOZORDER);
}

void CFullScreenWnd::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kTimerId) {
    CFrameWnd::OnTimer(nIDEvent);
    return;
  }
  if (!m_pHost || !m_pHost->IsUseCurrentTime()) return;
  const CQsDateTime now = CQsDateTime::GetCurrent();
  m_graph.SetTimeMark(now.GetHour() * 60 + now.GetMinute());
  m_graph.SetAgroundLevel(m_pHost->GetAgroundLevel());
  m_graph.Invalidate(TRUE);
}

BOOL CFullScreenWnd::PreTranslateMessage(MSG* pMsg) {
  // Esc closes the window whichever of its windows holds the focus (the graph, mostly).
  if (pMsg->message == WM_KEYUP && pMsg->wParam == VK_ESCAPE &&
      (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
    CloseLater();
    return TRUE;
  }
  return CFrameWnd::PreTranslateMessage(pMsg);
}

void CFullScreenWnd::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) {
  CFrameWnd::OnKeyUp(nChar, nRepCnt, nFlags);
  if (nChar == VK_ESCAPE) CloseLater();
}

void CFullScreenWnd::OnLButtonDblClk(UINT nFlags, CPoint point) {
  CFrameWnd::OnLButtonDblClk(nFlags, point);
  // Often sent from inside the graph's own double-click handler: the graph must outlive it.
  CloseLater();
}

void CFullScreenWnd::CloseLater() {
  if (m_bClosing || !m_hWnd) return;
  m_bClosing = TRUE;
  PostMessage(WM_CLOSE);
}

void CFullScreenWnd::OnDestroy() {
  CFrameWnd::OnDestroy();
  KillTimer(kTimerId);
}
