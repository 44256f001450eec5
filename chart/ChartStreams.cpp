#include "chart/ChartStreams.h"

void CChartStreams::SetStreamTime(const CQsDateTime& time) {
  m_streamTime = time;
  RecalculateStreams();
}

void CChartStreams::RecalculateStreams() {
  if (!m_pHost || !CChartRoutes::IsStreamRegion(m_pHost->GetRegion())) return;
  m_routes.AbortDrift();
  // Cancel a running worker (it drops its own picture); the old picture goes too.
  m_worker.Cancel();
  m_worker.ClearGrid();
  StartStreamWorker();
}

void CChartStreams::StartStreamWorker() {
  if (!m_pHost) return;
  int width = 0, height = 0;
  m_pHost->GetClientSize(width, height);
  double west = 0, east = 0, north = 0, south = 0;
  m_pHost->GetExtents(west, east, north, south);
  const CQsDateTime date = m_pHost->GetSelectedDate();
  STREAM_GRID_JOB job;
  job.grid = std::make_unique<CTidalStreamGrid>(
      std::max(width, 0) / kCellPixels, std::max(height, 0) / kCellPixels, 0, 0, width, height, west, east, north,
      south, date.GetYear(), date.GetMonth(), date.GetDay(), m_streamTime.GetHour(), m_streamTime.GetMinute(), 1);
  job.zoneOffsetMinutes = m_pHost->GetZoneOffsetMinutes();
  job.stream = m_stream ? m_stream : MakeEngineGridStream();
  const int region = m_pHost->GetRegion();
  job.buildDiamondList = m_pHost->IsDiamondsOptionOn() && CChartRoutes::IsStreamRegion(region) ? 1 : 0;
  job.diamonds.pDiamonds = m_pHost->GetDiamondDB();
  job.diamonds.pPorts = m_pHost->GetPortDB();
  job.diamonds.pFactors = m_pHost->GetAngleFactorDB();
  job.diamonds.detailLevel = m_pHost->GetDetailLevel();
  job.diamonds.visible = m_pHost->MakeVisibleTest();
  job.hNotify = m_pHost->GetStreamsNotifyWindow();
  job.nNotifyMessage = WM_STREAMS_READY;
  m_worker.Start(std::move(job), m_bNewDate);
  m_bNewDate = FALSE;
}

void CChartStreams::SetDate(const CQsDateTime& date) {
  if (!m_pHost || !m_pHost->IsVisible()) return;
  m_routes.AbortDrift();
  if (CMapRoute* route = m_routes.GetRoute()) {
    CDMLockHold write(m_routes.GetWriteLock());
    route->SetStartDate(date);
    route->CalcPointTimes();
    m_bRecomputeRouteWhenReady = TRUE;
  }
  if (CChartRoutes::IsStreamRegion(m_pHost->GetRegion())) {
    // The predictions go once the running worker has ended, before the next one starts.
    m_bNewDate = TRUE;
    RecalculateStreams();
  } else {
    m_worker.ForgetPredictions();
  }
  m_pHost->InvalidateLayers();
}

void CChartStreams::OnStreamsReady() {
  if (m_bRecomputeRouteWhenReady) {
    m_bRecomputeRouteWhenReady = FALSE;
    if (CMapRoute* route = m_routes.GetRoute()) {
      m_routes.AbortDrift();
      if (m_pHost) route->SetStartDate(m_pHost->GetSelectedDate());
      m_routes.RecomputeRoute();
    }
  }
  if (m_pHost) {
    // Told here, once, on the window thread: the worker only keeps the status.
    const CString problem = m_worker.TakeEngineProblem();
    if (!problem.IsEmpty()) m_pHost->ReportProblem(problem);
    m_pHost->InvalidateLayers();
  }
}
