// A passage route: named, with a boat speed and a start time, and its doubly linked waypoints,
// the waypoints' selection list and the computed tidal track.
#pragma once

#include "model/Position.h"
#include "model/QsDateTime.h"
#include "platform/core/Afx.h"

struct _TREEITEM;

// One point of a route's tidal track; the list is singly linked and owned by the route.
struct ROUTE_TRACK_NODE {
  double latitude = 0.0;
  double longitude = 0.0;
  ROUTE_TRACK_NODE* next = nullptr;
};

class CMapRoute;

class CRoutePoint : public CObject {
  DECLARE_SERIAL(CRoutePoint)
 public:
  CRoutePoint();
  CRoutePoint(CMapRoute* pRoute, double latitude, double longitude, LPCTSTR lpszName);
  ~CRoutePoint() override = default;

  double GetLatitude() const { return m_latitude; }
  double GetLongitude() const { return m_longitude; }
  CPosition GetPosition() const { return CPosition(m_latitude, m_longitude); }
  void SetPosition(double latitude, double longitude) {
    m_latitude = latitude;
    m_longitude = longitude;
  }
  const CQsDateTime& GetTime() const { return m_time; }
  void SetTime(const CQsDateTime& time) { m_time = time; }
  const CString& GetName() const { return m_strName; }
  void SetName(LPCTSTR lpszName) { m_strName = lpszName; }
  _TREEITEM* GetTreeItem() const { return m_hItem; }
  void SetTreeItem(_TREEITEM* hItem) { m_hItem = hItem; }
  CRoutePoint* GetNext() const { return m_pNext; }
  CRoutePoint* GetPrev() const { return m_pPrev; }
  CRoutePoint* GetNextSelected() const { return m_pNextSel; }
  CRoutePoint* GetPrevSelected() const { return m_pPrevSel; }
  CMapRoute* GetRoute() const { return m_pRoute; }
  int IsSelected() const { return m_bSelected; }

  // Rhumb-line bearing to the next waypoint, 0 for the last.
  double GetLegBearing() const;
  // Great-circle nautical miles to the next waypoint, 0 for the last.
  double GetLegDistance() const;
  // The same from the previous waypoint, 0 for the first.
  double GetDistanceFromPrev() const;

  // Selecting appends the waypoint to its route's selection list; unselecting unlinks it.
  void ToggleFlag();
  void SetFlag(int bSelected) {
    if ((bSelected != 0) != (m_bSelected != 0)) ToggleFlag();
  }

  // Latitude, longitude, a reserved int32 (0) and the name.
  void Serialize(CArchive& ar) override;

 private:
  friend class CMapRoute;
  double m_latitude = 0.0;
  double m_longitude = 0.0;
  CQsDateTime m_time;
  CRoutePoint* m_pNext = nullptr;
  CRoutePoint* m_pPrev = nullptr;
  int m_bSelected = 0;
  CMapRoute* m_pRoute = nullptr;
  CRoutePoint* m_pNextSel = nullptr;
  CRoutePoint* m_pPrevSel = nullptr;
  CString m_strName;
  _TREEITEM* m_hItem = nullptr;
};

class CMapRoute : public CObject {
  DECLARE_SERIAL(CMapRoute)
 public:
  // Speeds a route may have, in knots (the route page's range).
  static constexpr double kMinSpeed = 0.1;
  static constexpr double kMaxSpeed = 100.0;

  CMapRoute();
  ~CMapRoute() override;
  CMapRoute(const CMapRoute&) = delete;
  CMapRoute& operator=(const CMapRoute&) = delete;

  const CString& GetName() const { return m_strName; }
  void SetName(LPCTSTR lpszName) { m_strName = lpszName; }
  const CQsDateTime& GetStart() const { return m_start; }
  void SetStart(const CQsDateTime& start) { m_start = start; }
  // Moves the start to another date, keeping its time of day.
  void SetStartDate(const CQsDateTime& date);
  double GetSpeed() const { return m_speed; }
  void SetSpeed(double knots) { m_speed = knots; }
  _TREEITEM* GetTreeItem() const { return m_hItem; }
  void SetTreeItem(_TREEITEM* hItem) { m_hItem = hItem; }
  CRoutePoint* GetFirstPoint() const { return m_pFirst; }
  CRoutePoint* GetLastPoint() const { return m_pLast; }
  CRoutePoint* GetFirstSelected() const { return m_pFirstSel; }
  CRoutePoint* GetLastSelected() const { return m_pLastSel; }
  int GetPointCount() const;
  BOOL IsEmpty() const { return m_pFirst == nullptr; }
  BOOL Contains(const CRoutePoint* pPoint) const;

  // Appends "Point %d" with the next number of this run, then recomputes the times.
  CRoutePoint* AddPoint(double latitude, double longitude);
  // Appends a waypoint as it is (the file's reader); the times are not recomputed.
  CRoutePoint* AppendPoint(double latitude, double longitude, LPCTSTR lpszName);
  // Unlinks the waypoint from the route and from the selection and deletes it; the times are
  // recomputed. FALSE (and nothing changes) for a waypoint of another route.
  BOOL DeletePoint(CRoutePoint* pPoint);
  // The first waypoint at the start, each next one after int(miles / speed x 60) minutes.
  void CalcPointTimes();
  // The waypoints in the other order; the start time stays.
  void Reverse();
  // TRUE when something was selected.
  BOOL ClearSelection();
  void DeleteAllPoints();

  // The tidal track. The caller holds "tddrift" while it reads or swaps it.
  ROUTE_TRACK_NODE* GetTrack() const { return m_pTrack; }
  // Puts in a new track and gives back the old one for the caller to free.
  ROUTE_TRACK_NODE* SwapTrack(ROUTE_TRACK_NODE* pTrack) {
    ROUTE_TRACK_NODE* old = m_pTrack;
    m_pTrack = pTrack;
    return old;
  }
  static void FreeTrackNodes(ROUTE_TRACK_NODE* pList);

  // Waypoint count, name, speed, start, then the waypoints.
  void Serialize(CArchive& ar) override;

 private:
  friend class CRoutePoint;
  void LinkSelected(CRoutePoint* p);
  void UnlinkSelected(CRoutePoint* p);

  ROUTE_TRACK_NODE* m_pTrack = nullptr;
  CRoutePoint* m_pFirst = nullptr;
  CRoutePoint* m_pLast = nullptr;
  CRoutePoint* m_pFirstSel = nullptr;
  CRoutePoint* m_pLastSel = nullptr;
  CString m_strName = "New Route";
  CQsDateTime m_start{2005, 1, 1, 12, 0, 0};
  double m_speed = 5.0;
  _TREEITEM* m_hItem = nullptr;
  int m_nPointCounter = 0;
};
