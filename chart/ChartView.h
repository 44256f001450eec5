// The chart page. Placeholder until the chart lands: it keeps what the frame pushes into it,
// so the frame's code is the real one.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"

class CMapView : public CWnd {
  DECLARE_DYNAMIC(CMapView)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);

  void OnDateChanged(const CQsDateTime& date) {
    m_date = date;
    ++m_nDateChanges;
  }
  int GetDateChangeCount() const { return m_nDateChanges; }
  CQsDateTime GetDate() const { return m_date; }
  void SetStreamTime(const CQsDateTime& time) { m_streamTime = time; }
  CQsDateTime GetStreamTime() const { return m_streamTime; }
  // Region bits: 1 UK and Ireland, 2 US East Coast, 4 Europe, 8 Australia.
  void SetRegion(int nRegion) { m_nRegion = nRegion; }
  int GetRegion() const { return m_nRegion; }
  void ZoomIn() {}
  void ZoomOut() {}
  void SetMouseMode(int n) { m_nMouseMode = n; }
  int GetMouseMode() const { return m_nMouseMode; }
  void ShowStreams(int b) { m_bStreams = b; }
  int IsStreamsShown() const { return m_bStreams; }
  void ShowDiamonds(int b) { m_bDiamonds = b; }
  int IsDiamondsShown() const { return m_bDiamonds && (m_nRegion == 1 || m_nRegion == 4); }
  void RedrawRoutes() {}
  void MarkVesselStale() {}
  void SetVesselPosition(double latitude, double longitude, double course, double speed) {
    m_vessel[0] = latitude, m_vessel[1] = longitude, m_vessel[2] = course, m_vessel[3] = speed;
    ++m_nVesselUpdates;
  }
  // Latitude, longitude, course and speed of the last SetVesselPosition, and how many came.
  const double* GetVesselPosition() const { return m_vessel; }
  int GetVesselUpdateCount() const { return m_nVesselUpdates; }
  void Print() {}

  void OnPaint();

 private:
  CQsDateTime m_date, m_streamTime;
  int m_nDateChanges = 0, m_nRegion = 1, m_nMouseMode = 0, m_bStreams = 0, m_bDiamonds = 0;
  double m_vessel[4] = {};
  int m_nVesselUpdates = 0;
};
