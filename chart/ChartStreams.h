// The chart's side of its stream picture: when to cancel and restart the stream worker, the job
// it is given (a copy of the view's state), the reference-port predictions forgotten on a new
// date, and what follows a new picture (the route recomputed, the layers redrawn, a data-file
// fault told once). The chart view owns one and forwards its events to it.
#pragma once

#include "chart/ChartRoutes.h"
#include "chart/StreamWorker.h"

#include <functional>

#ifndef WM_STREAMS_READY
#define WM_STREAMS_READY (WM_USER + 1011)
#endif

class IChartStreamsHost {
 public:
  virtual ~IChartStreamsHost() = default;
  virtual int GetRegion() const = 0;
  virtual BOOL IsVisible() const = 0;
  // The client area in pixels and the extents it shows (decimal degrees).
  virtual void GetClientSize(int& width, int& height) const = 0;
  virtual void GetExtents(double& west, double& east, double& north, double& south) const = 0;
  // A copy of the view's visibility test (extents and region limits) for the worker.
  virtual std::function<bool(double latitude, double longitude)> MakeVisibleTest() const = 0;
  virtual CQsDateTime GetSelectedDate() const = 0;
  virtual int GetZoneOffsetMinutes() const = 0;
  virtual BOOL IsDiamondsOptionOn() const = 0;
  virtual int GetDetailLevel() const = 0;
  virtual const CDiamondDB* GetDiamondDB() const = 0;
  virtual CPortDB* GetPortDB() const = 0;
  virtual const CAngleFactorDB* GetAngleFactorDB() const = 0;
  // Gets WM_STREAMS_READY.
  virtual HWND GetStreamsNotifyWindow() const = 0;
  // Layers dirty, redraw.
  virtual void InvalidateLayers() = 0;
  virtual void ReportProblem(const CString& strText) = 0;
};

class CChartStreams {
 public:
  static constexpr int kCellPixels = 50;

  explicit CChartStreams(CChartRoutes& routes) : m_routes(routes) {}
  void SetHost(IChartStreamsHost* pHost) { m_pHost = pHost; }
  // The cell stream (the engine's when none is given); tests give their own.
  void SetStreamFunction(GRID_STREAM_FN fn) { m_stream = std::move(fn); }

  const CQsDateTime& GetStreamTime() const { return m_streamTime; }
  void SetStreamTime(const CQsDateTime& time);
  // First paint, size, zoom, scroll, region and stream-time changes.
  void RecalculateStreams();
  // Starts a worker for the view as it is now, in any region (a zoom box does so directly).
  void StartStreamWorker();
  // A new selected date, while the view is visible.
  void SetDate(const CQsDateTime& date);
  // WM_STREAMS_READY.
  void OnStreamsReady();
  // The view goes: the worker is cancelled and waited for.
  void Stop() { m_worker.Stop(); }
  // The picture is no longer wanted (another region): cancelled, not waited for.
  void Cancel() { m_worker.Cancel(); }

  CStreamWorker& GetWorker() { return m_worker; }
  BOOL IsRouteRecomputePending() const { return m_bRecomputeRouteWhenReady; }

 private:
  CChartRoutes& m_routes;
  IChartStreamsHost* m_pHost = nullptr;
  GRID_STREAM_FN m_stream;
  CQsDateTime m_streamTime{2005, 1, 1, 12, 0, 0};
  CStreamWorker m_worker;
  BOOL m_bRecomputeRouteWhenReady = FALSE;
  BOOL m_bNewDate = FALSE;
};
