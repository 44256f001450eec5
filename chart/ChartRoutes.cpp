#include "chart/ChartRoutes.h"

#include "platform/ui/MsgBox.h"

#include <chrono>

CChartRoutes::CChartRoutes() = default;

CChartRoutes::~CChartRoutes() {
  Stop();
  if (m_pList) m_pList->OnChartGone();
}

void CChartRoutes::AbortDrift() {
  const auto t0 = std::chrono::steady_clock::now();
  {
    // The worker swaps its track in under this lock only while its generation is the newest.
    CDMLockHold drift(m_driftLock);
    ++m_generation;
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  if (ms > m_longestWaitMs) m_longestWaitMs = ms;
}

void CChartRoutes::Stop() {
  AbortDrift();
  WaitForTrack();
}

void CChartRoutes::WaitForTrack() { m_threads.WaitAll(); }

BOOL CChartRoutes::IsTrackRunning() const {
  const unsigned running = m_running->load();
  return running != 0 && running == m_generation.load();
}

void CChartRoutes::StartTrackThread() {
  if (!m_pRoute) return;
  ROUTE_TRACK_JOB job;
  job.pDriftLock = &m_driftLock;
  job.pGeneration = &m_generation;
  job.generation = m_generation.load();
  job.pRoute = m_pRoute;
  job.plan = ROUTE_TRACK_PLAN::FromRoute(*m_pRoute, m_pHost ? m_pHost->GetZoneOffsetMinutes() : 0);
  job.stream = m_stream ? m_stream : MakeEngineRouteStream();  // the files are found here, not on the worker
  job.hNotify = m_pHost ? m_pHost->GetTrackNotifyWindow() : nullptr;
  job.nNotifyMessage = WM_ROUTETRACK_READY;
  m_running->store(job.generation);
  auto box = std::make_shared<ROUTE_TRACK_JOB>(std::move(job));
  m_threads.Start([box, running = m_running]() {
    const unsigned generation = box->generation;
    RunRouteTrackJob(*box);
    unsigned expected = generation;
    running->compare_exchange_strong(expected, 0);
  });
}

void CChartRoutes::RecomputeRoute() {
  if (!m_pRoute) return;
  if (IsTrackRunning()) AbortDrift();  // never two workers on the current track
  m_pRoute->CalcPointTimes();
  if (m_pHost && IsStreamRegion(m_pHost->GetRegion())) StartTrackThread();
}

void CChartRoutes::SetRoute(CMapRoute* pRoute) {
  AbortDrift();
  m_pRoute = pRoute;
  m_pContextPoint = nullptr;
  if (m_pRoute && m_pHost) m_pRoute->SetStartDate(m_pHost->GetSelectedDate());
  if (m_pList) m_pList->ShowCurrentRoute(m_pRoute);
  RecomputeRoute();
  if (m_pList && m_pRoute) m_pList->RefreshRoute(m_pRoute);
  if (m_pHost) m_pHost->RedrawRoutes();
}

void CChartRoutes::ClearRoute() {
  AbortDrift();
  m_pRoute = nullptr;
  m_pContextPoint = nullptr;
  if (m_pList) m_pList->ShowCurrentRoute(nullptr);
  if (m_pHost) m_pHost->RedrawRoutes();
}

void CChartRoutes::OnRouteChanged(CMapRoute* pRoute) {
  if (!pRoute || pRoute != m_pRoute) return;
  AbortDrift();
  if (m_pHost) m_pRoute->SetStartDate(m_pHost->GetSelectedDate());
  RecomputeRoute();
  if (m_pHost) m_pHost->RedrawRoutes();
}

void CChartRoutes::ForgetRoute(CMapRoute* pRoute) {
  if (!pRoute) return;
  // Only the current route has a worker, but stopping costs nothing when none runs.
  AbortDrift();
  if (m_pContextPoint && m_pContextPoint->GetRoute() == pRoute) m_pContextPoint = nullptr;
  if (pRoute == m_pRoute) {
    m_pRoute = nullptr;
    if (m_pList) m_pList->ShowCurrentRoute(nullptr);
    if (m_pHost) m_pHost->RedrawRoutes();
  }
}

void CChartRoutes::Detach() {
  AbortDrift();
  m_pList = nullptr;
  m_pRoute = nullptr;
  m_pContextPoint = nullptr;
}

CRoutePoint* CChartRoutes::AddPointAt(double latitude, double longitude) {
  if (!m_pRoute) {
    auto* route = new CMapRoute;
    CQsDateTime start = m_pHost ? m_pHost->GetSelectedDate() : route->GetStart();
    start.SetTime(12, 0, 0);
    route->SetStart(start);
    if (m_pList) m_pList->AddRoute(route);  // the tree owns it from here
    m_pRoute = route;
    if (m_pList) m_pList->ShowCurrentRoute(route);
  }
  AbortDrift();
  CRoutePoint* p = nullptr;
  {
    CDMLockHold write(m_writeLock);
    p = m_pRoute->AddPoint(latitude, longitude);
  }
  if (m_pHost) m_pHost->RedrawRoutes();
  RecomputeRoute();
  if (m_pList) {
    m_pList->RefreshRoute(m_pRoute);
    m_pList->RoutesChanged();
  }
  return p;
}

void CChartRoutes::DeleteSelectedRoutePoint() {
  CRoutePoint* point = m_pContextPoint;
  if (!point) return;
  CMapRoute* route = point->GetRoute();
  if (!route || !route->Contains(point)) {
    m_pContextPoint = nullptr;
    return;
  }
  if (AfxMessageBox("Delete this point from the route\r\n\r\nAre you sure?", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const bool only = route->GetFirstPoint() == point && route->GetLastPoint() == point;
  if (only) {
    if (AfxMessageBox("This will totally remove this route\r\n\r\nAre you sure?", MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
    m_pContextPoint = nullptr;
    // The tree stops the worker (through ForgetRoute) and deletes the route and its point;
    // nothing of it is touched after this.
    if (m_pList) {
      m_pList->DeleteRoute(route);
    } else {
      ForgetRoute(route);
      delete route;
    }
    if (m_pList) m_pList->RoutesChanged();
    return;
  }
  AbortDrift();
  {
    CDMLockHold write(m_writeLock);
    route->DeletePoint(point);
  }
  m_pContextPoint = nullptr;
  if (route == m_pRoute && m_pHost) m_pHost->RedrawRoutes();
  if (route == m_pRoute)
    RecomputeRoute();
  else
    route->CalcPointTimes();
  if (m_pList) {
    m_pList->RefreshRoute(route);
    m_pList->RoutesChanged();
  }
}
