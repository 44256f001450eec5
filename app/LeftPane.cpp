#include "app/LeftPane.h"

#include "app/AppShared.h"
#include "app/Resource.h"

IMPLEMENT_DYNCREATE(CLeftPane, CPaneWnd)

BEGIN_MESSAGE_MAP(CLeftPane, CPaneWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_CONTROL(CTideTimesWnd::kHeightChanged, IDC_TIDE_TIMES, OnTideTimesHeight)
END_MESSAGE_MAP()

int CLeftPane::OnCreate(LPCREATESTRUCT lpcs) {
  if (CPaneWnd::OnCreate(lpcs) == -1) return -1;
  if (!m_portName.Create(CRect(0, 0, 100, 24), this, IDC_PORT_NAME)) return -1;
  if (!m_gpsCaption.Create(CRect(0, 0, 100, 24), this, IDC_GPS_CAPTION)) return -1;
  m_gpsCaption.SetText("GPS");
  m_gpsCaption.SetStatic(0);
  m_gpsCaption.ShowWindow(SW_HIDE);
  if (!m_gpsWnd.Create(this, CRect(0, 0, 100, 90), IDC_GPS_WND)) return -1;
  m_gpsWnd.ShowWindow(SW_HIDE);
  m_gpsWnd.SetFrameColour(ThemeGradientDark());
  if (!m_tideTimes.Create(this, CRect(0, 0, 100, CTideTimesWnd::HeightFor(0)), IDC_TIDE_TIMES)) return -1;
  // Sample rows until the first graph is computed.
  m_tideTimes.AddTime(0, 1.2);
  m_tideTimes.AddTime(130, 3.45);
  m_tideTimes.AddTime(730, 5.21);
  if (!m_portsTree.Create(CRect(20, 40, 380, 380), this, IDC_PORTS_TREE)) return -1;
  if (!m_routesTree.Create(CRect(20, 40, 380, 380), this, IDC_ROUTES_TREE)) return -1;
  m_routesTree.ShowWindow(SW_HIDE);
  return 0;
}

void CLeftPane::Layout(int w, int h) {
  const UINT f = SWP_NOOWNERZORDER | SWP_NOZORDER;
  // The children's own state: the pane may not be on screen yet.
  const BOOL tideTimes = Shown(m_tideTimes);
  const BOOL routes = Shown(m_routesTree);
  const int th = m_tideTimes.GetPanelHeight();  // 104, or 124 with a fifth row
  m_tideTimes.SetWindowPos(nullptr, 1, h - th, w - 2, th, f);
  m_portsTree.SetWindowPos(nullptr, 2, 27, w - 4, tideTimes ? h - th - 32 : h - 28, f);
  if (routes && m_bGpsShown) {
    m_routesTree.SetWindowPos(nullptr, 3, 27, w - 5, h - 146, f);
    m_gpsCaption.SetWindowPos(nullptr, 3, h - 114, w - 5, 24, f | SWP_SHOWWINDOW);
    m_gpsWnd.SetWindowPos(nullptr, 3, h - 90, w - 5, 90, f | SWP_SHOWWINDOW);
  } else {
    m_routesTree.SetWindowPos(nullptr, 3, 27, w - 5, h - 28, f);
    m_gpsCaption.ShowWindow(SW_HIDE);
  }
  m_portName.SetWindowPos(nullptr, 1, 2, w - 2, 24, f);
}

void CLeftPane::OnSize(UINT, int cx, int cy) {
  if (m_portName.m_hWnd) Layout(cx, cy);
}

void CLeftPane::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ThemeBackColour());
  CRect frame(1, 26, rc.right - 1, rc.bottom);
  if (Shown(m_tideTimes))
    frame.bottom = rc.bottom - m_tideTimes.GetPanelHeight() - 4;
  else if (Shown(m_routesTree) && m_bGpsShown)
    frame.bottom = rc.bottom - 118;
  CBrush border(ThemeBorderColour());
  dc.FrameRect(&frame, &border);
  m_gpsWnd.SetFrameColour(ThemeGradientDark());
}

void CLeftPane::OnTideTimesHeight() {
  if (m_portName.m_hWnd) RecalcLayout();
}

void CLeftPane::ShowGps() {
  if (m_bGpsShown) return;
  m_bGpsShown = 1;
  if (Shown(m_routesTree)) {
    m_gpsWnd.ShowWindow(SW_SHOW);
    m_gpsCaption.ShowWindow(SW_SHOW);
    RecalcLayout();
  }
}

void CLeftPane::HideGps() {
  if (!m_bGpsShown) return;
  m_bGpsShown = 0;
  m_gpsWnd.ShowWindow(SW_HIDE);
  m_gpsCaption.ShowWindow(SW_HIDE);
  RecalcLayout();
}

void CLeftPane::RecalcLayout() {
  if (!RelayoutAtClientSize()) return;
  const UINT f = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
  for (CWnd* w : {(CWnd*)&m_portsTree, (CWnd*)&m_tideTimes, (CWnd*)&m_portName, (CWnd*)&m_gpsCaption,
                  (CWnd*)&m_routesTree, (CWnd*)&m_gpsWnd})
    if (w->m_hWnd) w->RedrawWindow(nullptr, nullptr, f);
}
