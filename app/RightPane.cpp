#include "app/RightPane.h"

#include "app/AppShared.h"
#include "app/LeftPane.h"
#include "app/MainFrm.h"
#include "app/Resource.h"

IMPLEMENT_DYNCREATE(CRightPane, CPaneWnd)

BEGIN_MESSAGE_MAP(CRightPane, CPaneWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

int CRightPane::OnCreate(LPCREATESTRUCT lpcs) {
  if (CPaneWnd::OnCreate(lpcs) == -1) return -1;
  const CRect view(404, 65, 796, 396);
  if (!m_table.Create(this, view, IDC_TABLE)) return -1;
  m_table.ShowWindow(SW_HIDE);
  m_table.SetCalculated(0);
  if (!m_graph.Create(this, view, IDC_GRAPH)) return -1;
  m_graph.SetHasData(0);
  if (!m_tideLog.Create(this, view, IDC_TIDELOG)) return -1;
  m_tideLog.ShowWindow(SW_HIDE);
  if (!m_heightFind.Create(this, view, IDC_HEIGHTFIND)) return -1;
  m_heightFind.ShowWindow(SW_HIDE);
  if (!m_map.Create(this, view, IDC_MAP)) return -1;
  m_map.ShowWindow(SW_HIDE);
  if (!m_aground.Create(this, view, IDC_AGROUND)) return -1;
  if (!m_title.Create(CRect(400, 40, 800, 400), this, IDC_PAGE_TITLE)) return -1;
  m_title.SetMenuMode();
  CString s;
  AfxLoadString(IDS_PAGE_GRAPH, s);
  m_title.SetText(s);
  return 0;
}

CMainFrame* CRightPane::Frame() const { return dynamic_cast<CMainFrame*>(GetTopLevelParent()); }

CLeftPane* CRightPane::Left() const {
  CMainFrame* f = Frame();
  return f ? f->GetLeftPane() : nullptr;
}

void CRightPane::Layout(int w, int h) {
  const UINT f = SWP_NOOWNERZORDER | SWP_NOZORDER;
  for (CWnd* v : {(CWnd*)&m_table, (CWnd*)&m_heightFind, (CWnd*)&m_tideLog, (CWnd*)&m_map})
    v->SetWindowPos(nullptr, 1, 27, w - 2, h - 28, f);
  // The graph draws to its size: a new size repaints all of it, not just the part uncovered.
  CRect before;
  m_graph.GetClientRect(&before);
  if (m_bAgroundShown) {
    m_graph.SetWindowPos(nullptr, 0, 26, w, h - 91, f);
    m_aground.SetWindowPos(nullptr, 0, h - 66, w, 66, f);
  } else {
    m_graph.SetWindowPos(nullptr, 0, 26, w, h - 26, f);
  }
  CRect after;
  m_graph.GetClientRect(&after);
  if (after.Width() != before.Width() || after.Height() != before.Height()) m_graph.Invalidate(FALSE);
  m_title.SetWindowPos(nullptr, 0, 2, w, 24, f);
}

void CRightPane::OnSize(UINT, int cx, int cy) {
  if (m_title.m_hWnd) Layout(cx, cy);
}

void CRightPane::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, ThemeBackColour());
  if (!Shown(m_graph)) {
    CRect frame(0, 26, rc.right, rc.bottom);
    CBrush border(ThemeBorderColour());
    dc.FrameRect(&frame, &border);
  }
}

void CRightPane::RecalcLayout() {
  if (!RelayoutAtClientSize()) return;
  const UINT f = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
  if (Shown(m_graph)) {
    m_graph.RedrawWindow(nullptr, nullptr, f);
    if (m_bAgroundShown) m_aground.RedrawWindow(nullptr, nullptr, f);
  }
  for (CWnd* v : {(CWnd*)&m_table, (CWnd*)&m_heightFind, (CWnd*)&m_tideLog})
    if (Shown(*v)) v->RedrawWindow(nullptr, nullptr, f);
  m_title.RedrawWindow(nullptr, nullptr, f);
}

void CRightPane::SetAgroundShown(int b) {
  m_bAgroundShown = b ? 1 : 0;
  m_aground.ShowWindow(m_bAgroundShown && Shown(m_graph) ? SW_SHOW : SW_HIDE);
  RecalcLayout();
}

IRightPage* CRightPane::GetVisiblePage() {
  if (Shown(m_graph)) return &m_graph;
  if (Shown(m_table)) return &m_table;
  if (Shown(m_heightFind)) return &m_heightFind;
  if (Shown(m_tideLog)) return &m_tideLog;
  if (Shown(m_map)) return &m_mapPage;
  return nullptr;
}

void CRightPane::ShowGraph() { ShowPage(kGraph); }
void CRightPane::ShowTable() { ShowPage(kTable); }
void CRightPane::ShowHeightFind() { ShowPage(kHeightFind); }
void CRightPane::ShowTideLog() { ShowPage(kTideLog); }
void CRightPane::ShowMap() { ShowPage(kMap); }

void CRightPane::ShowPage(Page page) {
  static const UINT kTitles[] = {IDS_PAGE_GRAPH, IDS_PAGE_TABLE, IDS_PAGE_HEIGHTFIND, IDS_PAGE_TIDELOG, IDS_PAGE_MAP};
  // Show the new page before hiding the others, so the pane never flashes empty.
  CWnd* pages[] = {&m_graph, &m_table, &m_heightFind, &m_tideLog, &m_map};
  pages[page]->ShowWindow(SW_SHOW);
  for (int i = 0; i < 5; ++i)
    if (i != page) pages[i]->ShowWindow(SW_HIDE);
  m_aground.ShowWindow(page == kGraph && m_bAgroundShown ? SW_SHOW : SW_HIDE);
  CString title;
  AfxLoadString(kTitles[page], title);
  m_title.SetText(title);
  m_title.SetOptionFlag(page);

  CMainFrame* frame = Frame();
  CLeftPane* left = Left();
  auto* splitter = dynamic_cast<CFrameSplitter*>(GetParent());
  if (frame) {
    frame->EnableDateCombos(page != kTideLog);
    frame->ShowMapToolbar(page == kMap);
  }
  if (!left) return;

  if (page == kTideLog) {
    left->PortsTree().EnableWindow(FALSE);
    left->PortName().EnableWindow(FALSE);
    left->GpsCaption().ShowWindow(SW_HIDE);
    left->GpsWnd().ShowWindow(SW_HIDE);
    if (Shown(*left) && splitter) {
      left->ShowWindow(SW_HIDE);
      splitter->SetThinBar();
      splitter->GetColumnInfo(0, m_nSavedColumnWidth, m_nSavedColumnMin);
      splitter->SetColumnInfo(0, 0, 0);
      splitter->RecalcLayout();
      splitter->m_bLocked = TRUE;
    }
    return;
  }

  if (!Shown(*left) && splitter) {
    left->ShowWindow(SW_SHOW);
    splitter->RestoreBar();
    splitter->SetColumnInfo(0, m_nSavedColumnWidth, m_nSavedColumnMin);
    splitter->RecalcLayout();
    splitter->m_bLocked = FALSE;
  }
  if (page == kMap) {
    left->RoutesTree().EnableWindow(TRUE);
    left->RoutesTree().ShowWindow(SW_SHOW);
    left->PortsTree().ShowWindow(SW_HIDE);
    left->TideTimes().ShowWindow(SW_HIDE);
    left->PortName().EnableWindow(TRUE);
    left->PortName().SetStatic(1);
    if (left->IsGpsShown()) {
      left->GpsCaption().ShowWindow(SW_SHOW);
      left->GpsWnd().ShowWindow(SW_SHOW);
    }
    if (frame) m_map.OnDateChanged(frame->GetSelectedDate());
  } else {
    left->PortsTree().EnableWindow(TRUE);
    left->PortName().EnableWindow(TRUE);
    left->PortName().SetStatic(0);
    left->RoutesTree().EnableWindow(FALSE);
    left->RoutesTree().ShowWindow(SW_HIDE);
    if (left->IsGpsShown()) {
      left->GpsCaption().ShowWindow(SW_HIDE);
      left->GpsWnd().ShowWindow(SW_HIDE);
    }
    left->PortsTree().ShowWindow(SW_SHOW);
    if (left->TideTimes().IsWindowEnabled()) left->TideTimes().ShowWindow(SW_SHOW);
  }
  left->RecalcLayout();
}
