#include "chart/MapRoute.h"

#include <cmath>

IMPLEMENT_SERIAL(CRoutePoint, CObject, 1)
IMPLEMENT_SERIAL(CMapRoute, CObject, 1)

// ---- CRoutePoint ----

CRoutePoint::CRoutePoint() : m_strName("Point") {}

CRoutePoint::CRoutePoint(CMapRoute* pRoute, double latitude, double longitude, LPCTSTR lpszName)
    : m_latitude(latitude), m_longitude(longitude), m_pRoute(pRoute), m_strName(lpszName) {}

double CRoutePoint::GetLegBearing() const {
  return m_pNext ? RhumbLineBearing(GetPosition(), m_pNext->GetPosition()) : 0.0;
}

double CRoutePoint::GetLegDistance() const {
  return m_pNext ? GreatCircleDistance(GetPosition(), m_pNext->GetPosition()) : 0.0;
}

double CRoutePoint::GetDistanceFromPrev() const {
  return m_pPrev ? GreatCircleDistance(m_pPrev->GetPosition(), GetPosition()) : 0.0;
}

void CRoutePoint::ToggleFlag() {
  if (m_bSelected) {
    if (m_pRoute) m_pRoute->UnlinkSelected(this);
    m_bSelected = 0;
  } else {
    m_bSelected = 1;
    if (m_pRoute) m_pRoute->LinkSelected(this);
  }
}

void CRoutePoint::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_latitude << m_longitude << 0 << m_strName;
  } else {
    int reserved = 0;
    ar >> m_latitude >> m_longitude >> reserved >> m_strName;
    m_bSelected = 0;  // whatever the reserved value says
  }
}

// ---- CMapRoute ----

CMapRoute::CMapRoute() = default;

CMapRoute::~CMapRoute() {
  DeleteAllPoints();
  FreeTrackNodes(m_pTrack);
  m_pTrack = nullptr;
}

void CMapRoute::SetStartDate(const CQsDateTime& date) {
  m_start.SetDate(date.GetYear(), date.GetMonth(), date.GetDay());
}

int CMapRoute::GetPointCount() const {
  int n = 0;
  for (CRoutePoint* p = m_pFirst; p; p = p->m_pNext) ++n;
  return n;
}

BOOL CMapRoute::Contains(const CRoutePoint* pPoint) const {
  for (CRoutePoint* p = m_pFirst; p; p = p->m_pNext)
    if (p == pPoint) return TRUE;
  return FALSE;
}

CRoutePoint* CMapRoute::AppendPoint(double latitude, double longitude, LPCTSTR lpszName) {
  CRoutePoint* p = new CRoutePoint(this, latitude, longitude, lpszName);
  p->m_pPrev = m_pLast;
  if (m_pLast)
    m_pLast->m_pNext = p;
  else
    m_pFirst = p;
  m_pLast = p;
  return p;
}

CRoutePoint* CMapRoute::AddPoint(double latitude, double longitude) {
  ++m_nPointCounter;
  CString name;
  name.Format("Point %d", m_nPointCounter);
  CRoutePoint* p = AppendPoint(latitude, longitude, name);
  CalcPointTimes();
  return p;
}

BOOL CMapRoute::DeletePoint(CRoutePoint* pPoint) {
  if (!pPoint || pPoint->m_pRoute != this || !Contains(pPoint)) return FALSE;
  if (pPoint->m_bSelected) UnlinkSelected(pPoint);
  if (pPoint->m_pPrev)
    pPoint->m_pPrev->m_pNext = pPoint->m_pNext;
  else
    m_pFirst = pPoint->m_pNext;
  if (pPoint->m_pNext)
    pPoint->m_pNext->m_pPrev = pPoint->m_pPrev;
  else
    m_pLast = pPoint->m_pPrev;
  delete pPoint;
  CalcPointTimes();
  return TRUE;
}

void CMapRoute::CalcPointTimes() {
  CRoutePoint* p = m_pFirst;
  if (!p) return;
  p->m_time = m_start;
  for (CRoutePoint* q = p->m_pNext; q; p = q, q = q->m_pNext) {
    q->m_time = p->m_time;
    const double minutes = p->GetLegDistance() / m_speed * 60.0;
    // A speed the file or the page let through never makes a time out of NaN or infinity.
    if (std::isfinite(minutes) && minutes >= 1.0 && minutes < 1.0e8) {
      try {
        q->m_time.AddMinutes(static_cast<int>(minutes));
      } catch (CException* e) {
        e->Delete();  // a start outside the calendar: the times stay as the start
      }
    }
  }
}

void CMapRoute::Reverse() {
  for (CRoutePoint* p = m_pFirst; p;) {
    CRoutePoint* next = p->m_pNext;
    p->m_pNext = p->m_pPrev;
    p->m_pPrev = next;
    p = next;
  }
  CRoutePoint* first = m_pFirst;
  m_pFirst = m_pLast;
  m_pLast = first;
  CalcPointTimes();
}

void CMapRoute::LinkSelected(CRoutePoint* p) {
  p->m_pNextSel = nullptr;
  p->m_pPrevSel = m_pLastSel;
  if (m_pLastSel)
    m_pLastSel->m_pNextSel = p;
  else
    m_pFirstSel = p;
  m_pLastSel = p;
}

void CMapRoute::UnlinkSelected(CRoutePoint* p) {
  if (p->m_pPrevSel)
    p->m_pPrevSel->m_pNextSel = p->m_pNextSel;
  else if (m_pFirstSel == p)
    m_pFirstSel = p->m_pNextSel;
  if (p->m_pNextSel)
    p->m_pNextSel->m_pPrevSel = p->m_pPrevSel;
  else if (m_pLastSel == p)
    m_pLastSel = p->m_pPrevSel;
  p->m_pNextSel = p->m_pPrevSel = nullptr;
}

BOOL CMapRoute::ClearSelection() {
  const BOOL any = m_pFirstSel != nullptr;
  for (CRoutePoint* p = m_pFirstSel; p;) {
    CRoutePoint* next = p->m_pNextSel;
    p->m_bSelected = 0;
    p->m_pNextSel = p->m_pPrevSel = nullptr;
    p = next;
  }
  m_pFirstSel = m_pLastSel = nullptr;
  return any;
}

void CMapRoute::DeleteAllPoints() {
  for (CRoutePoint* p = m_pFirst; p;) {
    CRoutePoint* next = p->m_pNext;
    delete p;
    p = next;
  }
  m_pFirst = m_pLast = nullptr;
  m_pFirstSel = m_pLastSel = nullptr;
}

void CMapRoute::FreeTrackNodes(ROUTE_TRACK_NODE* pList) {
  while (pList) {
    ROUTE_TRACK_NODE* next = pList->next;
    delete pList;
    pList = next;
  }
}

void CMapRoute::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << GetPointCount() << m_strName << m_speed;
    m_start.Serialize(ar);
    for (CRoutePoint* p = m_pFirst; p; p = p->m_pNext) p->Serialize(ar);
  } else {
    // Trusting reader: the routes file's loader checks every value before it comes here.
    DeleteAllPoints();
    int count = 0;
    ar >> count >> m_strName >> m_speed;
    m_start.Serialize(ar);
    for (int i = 0; i < count; ++i) {
      CRoutePoint* p = AppendPoint(0.0, 0.0, "Point");
      p->Serialize(ar);
    }
    m_nPointCounter = 0;
  }
}
