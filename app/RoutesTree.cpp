#include "app/RoutesTree.h"
#include "platform/core/AfxUserNumber.h"

#include "app/PortsHost.h"
#include "app/RoutePages.h"
#include "app/RoutesResource.h"
#include "app/TreeImages.h"
#include "views/VxMenu.h"

#include <algorithm>
#include <iterator>

namespace {

const UINT kImageBitmaps[] = {IDB_ROUTE_POINT, IDB_ROUTE_POINT_SELECTED, IDB_ROUTE, IDB_NO_ROUTE};

CString TimePart(const CRoutePoint& p) {
  const CQsDateTime& t = p.GetTime();
  // The route knows its first waypoint: walking back to it from each one made a long route's
  // texts take time by the square of its length.
  const CRoutePoint* first = p.GetRoute() ? p.GetRoute()->GetFirstPoint() : nullptr;
  if (!first) {
    first = &p;
    while (first->GetPrev()) first = first->GetPrev();
  }
  int days = 0;
  try {
    days = first->GetTime().DaysBetween(t);
  } catch (CException* e) {
    e->Delete();
  }
  CString s;
  if (days >= 1)
    s.Format(" - %02d:%02d +%dd", t.GetHour(), t.GetMinute(), days);
  else if (!p.GetPrev())
    s.Format(" - %02d:%02d %skts ", t.GetHour(), t.GetMinute(),
             AfxFormatUserNumber(p.GetRoute() ? p.GetRoute()->GetSpeed() : 0.0, 1).GetString());
  else
    s.Format(" - %02d:%02d", t.GetHour(), t.GetMinute());
  return s;
}

}  // namespace

IMPLEMENT_DYNAMIC(CRoutesTree, CTreeCtrl)

BEGIN_MESSAGE_MAP(CRoutesTree, CTreeCtrl)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClk)
  ON_NOTIFY_REFLECT(NM_RCLICK, OnRClick)
  ON_NOTIFY_REFLECT(TVN_ITEMEXPANDING, OnItemExpanding)
  ON_NOTIFY_REFLECT(TVN_BEGINLABELEDIT, OnBeginLabelEdit)
  ON_NOTIFY_REFLECT(TVN_ENDLABELEDIT, OnEndLabelEdit)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CRoutesTree::CRoutesTree() = default;

CRoutesTree::~CRoutesTree() {
  // The chart must let go (and stop its worker) before the routes go.
  if (m_pChart) m_pChart->Detach();
}

CString CRoutesTree::PointText(const CRoutePoint& point, BOOL bRenamed) {
  CString s = point.GetName() + TimePart(point);
  if (point.GetNext()) {
    CString leg;
    leg = " (" + AfxFormatUserNumber(point.GetLegDistance(), 2) + "Nm  " +
          AfxFormatUserNumber(point.GetLegBearing(), 1) + (bRenamed ? "\xC2\xB0)" : "\xC2\xB0T)");
    s += leg;
  }
  return s;
}

BOOL CRoutesTree::PreCreateWindow(CREATESTRUCT& cs) {
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return CTreeCtrl::PreCreateWindow(cs);
}

BOOL CRoutesTree::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, LPCTSTR lpszRoutesFile) {
  if (!CTreeCtrl::Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                             TVS_DISABLEDRAGDROP,
                         rect, pParentWnd, nID))
    return FALSE;
  LoadTreeImages(m_images, kImageBitmaps, static_cast<int>(std::size(kImageBitmaps)));
  SetImageList(&m_images, TVSIL_NORMAL);
  m_hNoRoute = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, "No Route", kNoRouteImage,
                          kNoRouteImage, 0, 0, 0, TVI_ROOT, TVI_LAST);
  m_strFile = lpszRoutesFile ? CString(lpszRoutesFile) : CRoutesFile::GetDefaultPath();
  LoadRoutes();
  SetBold(m_hNoRoute);
  return TRUE;
}

void CRoutesTree::LoadRoutes() {
  CMapRouteList routes;
  const ROUTES_LOAD info = CRoutesFile::Load(m_strFile, routes);
  m_bFileBlocked = info.bBlocked;
  // Laid out once at the end rather than after every route.
  SetRedraw(FALSE);
  for (auto& r : routes) AddRoute(r.release());
  SetRedraw(TRUE);
  if (info.status == ROUTES_LOAD::damaged || info.status == ROUTES_LOAD::unreadable) {
    m_strProblem = info.strProblem;
    Report(m_strProblem);
  }
}

BOOL CRoutesTree::SaveRoutes() {
  if (m_strFile.IsEmpty() || m_bSaving) return FALSE;
  CString problem;
  if (m_bFileBlocked) {
    problem = "The routes were not saved: \"" + m_strFile + "\" could not be read at start-up and is left as it is.";
  } else {
    std::vector<const CMapRoute*> routes;
    for (CMapRoute* r : GetRoutes()) routes.push_back(r);
    m_bSaving = TRUE;
    CRoutesFile::Save(m_strFile, routes, &problem);
    m_bSaving = FALSE;
  }
  m_strProblem = problem;
  if (problem.IsEmpty()) {
    m_strReported.Empty();
    return TRUE;
  }
  if (problem != m_strReported) {
    m_strReported = problem;
    Report(problem);
  }
  return FALSE;
}

void CRoutesTree::Report(const CString& strText) {
  if (!strText.IsEmpty()) AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION);
}

std::vector<CMapRoute*> CRoutesTree::GetRoutes() const {
  std::vector<CMapRoute*> out;
  if (!m_hWnd) return out;
  for (HTREEITEM h = GetRootItem(); h; h = GetNextSiblingItem(h))
    if (CMapRoute* r = reinterpret_cast<CMapRoute*>(GetItemData(h))) out.push_back(r);
  return out;
}

BOOL CRoutesTree::IsRouteItem(HTREEITEM hItem) const {
  return hItem && hItem != m_hNoRoute && !GetParentItem(hItem) && GetItemData(hItem) != 0;
}

BOOL CRoutesTree::IsPointItem(HTREEITEM hItem) const { return hItem && GetParentItem(hItem) != nullptr; }

void CRoutesTree::SetBold(HTREEITEM hItem) {
  if (m_hBold && m_hBold != hItem) SetItemState(m_hBold, 0, TVIS_BOLD);
  m_hBold = hItem;
  if (hItem) SetItemState(hItem, TVIS_BOLD, TVIS_BOLD);
}

void CRoutesTree::AddRoute(CMapRoute* pRoute) {
  if (!pRoute) return;
  if (std::none_of(m_routes.begin(), m_routes.end(), [&](const auto& r) { return r.get() == pRoute; }))
    m_routes.emplace_back(pRoute);
  if (pRoute->GetTreeItem()) DeleteItem(pRoute->GetTreeItem());
  HTREEITEM item = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, pRoute->GetName(), kRouteImage,
                              kRouteImage, 0, 0, reinterpret_cast<LPARAM>(pRoute), TVI_ROOT, TVI_LAST);
  pRoute->SetTreeItem(item);
  RefreshRoute(pRoute);
  SetBold(item);
}

void CRoutesTree::RefreshRoute(CMapRoute* pRoute) {
  if (!pRoute || !pRoute->GetTreeItem()) return;
  HTREEITEM item = pRoute->GetTreeItem();
  for (HTREEITEM child = GetChildItem(item); child;) {
    HTREEITEM next = GetNextSiblingItem(child);
    DeleteItem(child);
    child = next;
  }
  for (CRoutePoint* p = pRoute->GetFirstPoint(); p; p = p->GetNext()) {
    HTREEITEM h = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, PointText(*p), kPointImage,
                             kPointImage, 0, 0, reinterpret_cast<LPARAM>(p), item, TVI_LAST);
    p->SetTreeItem(h);
  }
}

void CRoutesTree::DeleteRoute(CMapRoute* pRoute) {
  auto it = std::find_if(m_routes.begin(), m_routes.end(), [&](const auto& r) { return r.get() == pRoute; });
  if (it == m_routes.end()) return;
  // The chart stops the track worker before anything of the route is freed.
  if (m_pChart) m_pChart->ForgetRoute(pRoute);
  if (m_pChart && m_pChart->GetRoute() == nullptr) SetBold(m_hNoRoute);
  if (m_pContextRoute == pRoute) m_pContextRoute = nullptr;
  if (m_hContextItem &&
      (m_hContextItem == pRoute->GetTreeItem() || GetParentItem(m_hContextItem) == pRoute->GetTreeItem()))
    m_hContextItem = nullptr;
  if (pRoute->GetTreeItem()) {
    if (m_hBold == pRoute->GetTreeItem()) SetBold(m_hNoRoute);
    DeleteItem(pRoute->GetTreeItem());
  }
  pRoute->DeleteAllPoints();
  m_routes.erase(it);
  SaveRoutes();
}

void CRoutesTree::SelectPointItem(CRoutePoint* pPoint) {
  if (!pPoint || !pPoint->GetTreeItem()) return;
  SelectItem(pPoint->GetTreeItem());
  // The chart's waypoint menu names this waypoint for "Rename" and "Properties..." too.
  SetContextItem(pPoint->GetTreeItem());
}

void CRoutesTree::ShowPointMenu(CRoutePoint* pPoint, CPoint screen) {
  if (pPoint && pPoint->GetTreeItem()) ShowContextMenu(pPoint->GetTreeItem(), screen);
}

void CRoutesTree::ShowCurrentRoute(CMapRoute* pRoute) {
  SetBold(pRoute && pRoute->GetTreeItem() ? pRoute->GetTreeItem() : m_hNoRoute);
}

void CRoutesTree::SetContextItem(HTREEITEM hItem) {
  m_hContextItem = hItem;
  m_pContextRoute = nullptr;
  if (IsRouteItem(hItem)) {
    m_pContextRoute = reinterpret_cast<CMapRoute*>(GetItemData(hItem));
  } else if (IsPointItem(hItem)) {
    auto* p = reinterpret_cast<CRoutePoint*>(GetItemData(hItem));
    m_pContextRoute = p ? p->GetRoute() : nullptr;
    if (m_pChart) m_pChart->SetContextPoint(p);
  }
}

// ---- Mouse ----

void CRoutesTree::OnDblClk(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  CPoint pt;
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  UINT flags = 0;
  HTREEITEM item = HitTest(pt, &flags);
  if (!item || !(flags & TVHT_ONITEM) || IsPointItem(item)) return;
  if (item == m_hNoRoute) {
    if (m_pChart) m_pChart->ClearRoute();
  } else if (m_pChart) {
    m_pChart->SetRoute(reinterpret_cast<CMapRoute*>(GetItemData(item)));
  }
  SetBold(item);
}

void CRoutesTree::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  const auto* tv = reinterpret_cast<NMTREEVIEW*>(pNMHDR);
  CPoint pt;
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  UINT flags = 0;
  // A double-click on a route's name activates it without opening or closing it.
  if (HitTest(pt, &flags) == tv->itemNew.hItem && (flags & TVHT_ONITEMLABEL)) *pResult = 1;
}

void CRoutesTree::OnRClick(NMHDR*, LRESULT* pResult) {
  *pResult = 1;
  CPoint screen;
  ::GetCursorPos(&screen);
  CPoint pt = screen;
  ScreenToClient(&pt);
  UINT flags = 0;
  HTREEITEM item = HitTest(pt, &flags);
  if (!item || !(flags & TVHT_ONITEM)) return;
  SetContextItem(item);
  ShowContextMenu(item, screen);
}

void CRoutesTree::ShowContextMenu(HTREEITEM hItem, CPoint screen) {
  if (hItem == m_hNoRoute) return;
  IPortsHost* host = GetPortsHost();
  VxMenu* menu = host ? host->GetContextMenu() : nullptr;
  if (!menu) return;
  const BOOL point = IsPointItem(hItem);
  if (!menu->LoadFromResource(point ? IDR_POINT_MENU : IDR_ROUTE_MENU)) return;
  CMenu* popup = menu->GetSubMenu(0);
  if (popup) {
    if (!point) popup->SetDefaultItem(0, TRUE);
    CWnd* owner = host->GetMainWindow() ? host->GetMainWindow() : GetTopLevelParent();
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, owner);
  }
  menu->DestroyItems();
}

// ---- Commands ----

void CRoutesTree::ActivateSelected() {
  if (!m_pContextRoute || !m_pContextRoute->GetTreeItem()) return;
  if (m_pChart) m_pChart->SetRoute(m_pContextRoute);
  SetBold(m_pContextRoute->GetTreeItem());
  SelectItem(m_pContextRoute->GetTreeItem());
}

void CRoutesTree::OnDeleteRoute() {
  CMapRoute* route = m_pContextRoute;
  if (!route) return;
  if (AfxMessageBox("Delete this route.\r\n\r\nAre you sure?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  DeleteRoute(route);
}

void CRoutesTree::ReverseRoute() {
  CMapRoute* route = m_pContextRoute;
  if (!route) return;
  if (m_pChart) {
    m_pChart->AbortDrift();
    CDMLockHold write(m_pChart->GetWriteLock());
    route->Reverse();
  } else {
    route->Reverse();
  }
  if (m_pChart && m_pChart->GetRoute() == route) {
    m_pChart->RecomputeRoute();
  }
  RefreshRoute(route);
  SaveRoutes();
}

BOOL CRoutesTree::ShowRouteSheet(CMapRoute* pRoute, CRoutePoint* pPoint) {
  CPropertySheet sheet("Route", GetTopLevelParent());
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  CRoutePage routePage;
  CRoutePointPage pointPage;
  const BOOL withRoute = !pPoint || pPoint == pRoute->GetFirstPoint();
  if (withRoute) {
    routePage.m_time = pRoute->GetStart();
    routePage.m_speed = pRoute->GetSpeed();
    sheet.AddPage(&routePage);
  }
  if (pPoint) {
    pointPage.m_strName = pPoint->GetName();
    pointPage.m_latitude = pPoint->GetLatitude();
    pointPage.m_longitude = pPoint->GetLongitude();
    sheet.AddPage(&pointPage);
  }
  if (sheet.DoModal() != IDOK || !withRoute) return FALSE;
  // The route may have gone while the sheet was open (not through this tree's own commands,
  // but a chart edit could have removed it).
  if (std::none_of(m_routes.begin(), m_routes.end(), [&](const auto& r) { return r.get() == pRoute; })) return FALSE;
  if (m_pChart) m_pChart->AbortDrift();
  {
    CQsDateTime start = pRoute->GetStart();
    start.SetTime(routePage.m_time.GetHour(), routePage.m_time.GetMinute(), 0);
    pRoute->SetStart(start);
    pRoute->SetSpeed(routePage.m_speed);
    pRoute->CalcPointTimes();
  }
  RefreshRoute(pRoute);
  if (m_pChart) m_pChart->OnRouteChanged(pRoute);
  RefreshRoute(pRoute);  // the chart may have moved its date
  SaveRoutes();
  return TRUE;
}

void CRoutesTree::EditRouteProperties() {
  if (m_pContextRoute) ShowRouteSheet(m_pContextRoute, nullptr);
}

void CRoutesTree::EditPointProperties() {
  if (!IsPointItem(m_hContextItem)) return;
  auto* p = reinterpret_cast<CRoutePoint*>(GetItemData(m_hContextItem));
  if (p && p->GetRoute()) ShowRouteSheet(p->GetRoute(), p);
}

void CRoutesTree::EditLabel() {
  if (m_hContextItem) {
    SetFocus();
    CTreeCtrl::EditLabel(m_hContextItem);
  }
}

void CRoutesTree::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  HTREEITEM item = reinterpret_cast<NMTVDISPINFO*>(pNMHDR)->item.hItem;
  if (IsPointItem(item)) {
    auto* p = reinterpret_cast<CRoutePoint*>(GetItemData(item));
    if (CEdit* edit = GetEditControl(); edit && p) edit->SetWindowText(p->GetName());
  }
}

void CRoutesTree::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  const TVITEM& it = reinterpret_cast<NMTVDISPINFO*>(pNMHDR)->item;
  if (!it.pszText || it.hItem == m_hNoRoute) return;
  const CString text(it.pszText);
  if (IsPointItem(it.hItem)) {
    auto* p = reinterpret_cast<CRoutePoint*>(GetItemData(it.hItem));
    if (!p) return;
    p->SetName(text);
    SetItemText(it.hItem, PointText(*p, TRUE));
  } else if (IsRouteItem(it.hItem)) {
    auto* r = reinterpret_cast<CMapRoute*>(GetItemData(it.hItem));
    r->SetName(text);
    SetItemText(it.hItem, text);
  } else {
    return;
  }
  SaveRoutes();
}

void CRoutesTree::OnDestroy() {
  if (m_pChart) {
    m_pChart->Detach();
    m_pChart = nullptr;
  }
  SaveRoutes();
  CTreeCtrl::OnDestroy();
}
