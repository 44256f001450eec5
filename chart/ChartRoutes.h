// The chart's side of routes: the current route, its waypoint edits, the three route locks and
// the route-track worker. The chart view owns one and forwards to it; the routes tree reaches
// the chart through it.
#pragma once

#include "chart/DMLock.h"
#include "chart/MapRoute.h"
#include "chart/RouteTrack.h"
#include "chart/WorkerThreads.h"
#include "platform/ui/AfxWin.h"

#include <atomic>
#include <memory>

#ifndef WM_ROUTETRACK_READY
#define WM_ROUTETRACK_READY (WM_USER + 1014)
#endif

// What the route side asks of the chart view and the frame.
class IChartRoutesHost {
 public:
  virtual ~IChartRoutesHost() = default;
  // 1 UK and Ireland, 2 US East Coast, 4 Europe, 8 Australia.
  virtual int GetRegion() const = 0;
  // The displayed zone's offset from GMT.
  virtual int GetZoneOffsetMinutes() const = 0;
  virtual CQsDateTime GetSelectedDate() const = 0;
  // Gets WM_ROUTETRACK_READY when a track is in.
  virtual HWND GetTrackNotifyWindow() const = 0;
  // The route layer changed: redraw it.
  virtual void RedrawRoutes() = 0;
};

// What the route side asks of the routes tree, which owns every route.
class IRouteList {
 public:
  virtual ~IRouteList() = default;
  virtual void AddRoute(CMapRoute* pRoute) = 0;
  virtual void RefreshRoute(CMapRoute* pRoute) = 0;
  // Removes and deletes the route.
  virtual void DeleteRoute(CMapRoute* pRoute) = 0;
  // The route's waypoints, times or name changed: the file is written again.
  virtual void RoutesChanged() = 0;
  virtual void SelectPointItem(CRoutePoint* pPoint) = 0;
  virtual void ShowCurrentRoute(CMapRoute* pRoute) = 0;  // bold item; null for "No Route"
  // The waypoint menu at a screen point (the chart's right click on a waypoint).
  virtual void ShowPointMenu(CRoutePoint* /*pPoint*/, CPoint /*screen*/) {}
  // The chart's route side goes before the list: the list lets go of it.
  virtual void OnChartGone() {}
};

class CChartRoutes {
 public:
  CChartRoutes();
  ~CChartRoutes();
  CChartRoutes(const CChartRoutes&) = delete;
  CChartRoutes& operator=(const CChartRoutes&) = delete;

  void SetHost(IChartRoutesHost* pHost) { m_pHost = pHost; }
  void SetRouteList(IRouteList* pList) { m_pList = pList; }
  IRouteList* GetRouteList() const { return m_pList; }
  // The stream the track worker uses (the engine's when none is given); tests give their own.
  void SetStreamSource(ROUTE_STREAM_SOURCE source) { m_stream = std::move(source); }

  CMapRoute* GetRoute() const { return m_pRoute; }
  // Makes the route current; its start moves to the selected date (keeping its time).
  void SetRoute(CMapRoute* pRoute);
  void ClearRoute();
  // The routes tree changed a route (speed, start): recomputed when it is the current one.
  void OnRouteChanged(CMapRoute* pRoute);
  // The route is about to be deleted: the worker is stopped and the chart lets go of it.
  void ForgetRoute(CMapRoute* pRoute);
  // The routes are going (the tree is destroyed): stops the worker and lets go of the
  // current route without calling back into the tree or the view.
  void Detach();

  // The waypoint the context menu was opened on.
  CRoutePoint* GetContextPoint() const { return m_pContextPoint; }
  void SetContextPoint(CRoutePoint* pPoint) { m_pContextPoint = pPoint; }
  // Asks, then removes the context waypoint from its route (the route itself when it was its
  // only waypoint and the user agrees).
  void DeleteSelectedRoutePoint();
  // Appends a waypoint to the current route, making a "New Route" first when none is.
  CRoutePoint* AddPointAt(double latitude, double longitude);

  // Cancels a running track worker without waiting for it: once this returns it never
  // touches the route again (it may finish its last sample on its own).
  void AbortDrift();
  // Cancels and waits until no worker is left (the owner goes).
  void Stop();
  // Waits for every worker to finish (no cancel).
  void WaitForTrack();
  // The current route's times, then (in the stream regions) a new track.
  void RecomputeRoute();
  // The longest time AbortDrift has taken, in milliseconds.
  double GetLongestAbortWaitMs() const { return m_longestWaitMs; }
  // Whether a worker of the current track (not a cancelled one) is still at work.
  BOOL IsTrackRunning() const;

  // Every edit of waypoints takes it, after AbortDrift; the worker never does.
  CDMLock& GetWriteLock() { return m_writeLock; }
  // Held while the track is read for drawing.
  CDMLock& GetDriftLock() { return m_driftLock; }

  static BOOL IsStreamRegion(int nRegion) { return nRegion == 1 || nRegion == 4; }

 private:
  void StartTrackThread();
  IChartRoutesHost* m_pHost = nullptr;
  IRouteList* m_pList = nullptr;
  ROUTE_STREAM_SOURCE m_stream;
  CMapRoute* m_pRoute = nullptr;
  CRoutePoint* m_pContextPoint = nullptr;
  CDMLock m_writeLock{DMLOCK_ROUTEWRITE};
  CDMLock m_driftLock{DMLOCK_DRIFT};
  std::atomic<unsigned> m_generation{1};  // moved on under "tddrift" by every cancel (never 0)
  // The generation whose track is being computed; 0 for none.
  std::shared_ptr<std::atomic<unsigned>> m_running = std::make_shared<std::atomic<unsigned>>(0);
  CWorkerThreads m_threads;  // last: its workers end before the rest goes
  double m_longestWaitMs = 0.0;
};
