// The left column of the main window: port name, GPS read-out, ports tree, routes tree and
// the day's tide times. A plain container: it creates, places and shows its children.
#pragma once

#include "app/PaneWnd.h"
#include "app/PortNameWnd.h"
#include "app/PortsTree.h"
#include "app/RoutesTree.h"
#include "chart/GpsWnd.h"
#include "views/TideTimesWnd.h"

class CLeftPane : public CPaneWnd {
  DECLARE_DYNCREATE(CLeftPane)
  DECLARE_MESSAGE_MAP()
 public:
  CPortNameWnd& PortName() { return m_portName; }
  CPortNameWnd& GpsCaption() { return m_gpsCaption; }
  CGpsWnd& GpsWnd() { return m_gpsWnd; }
  CTideTimesWnd& TideTimes() { return m_tideTimes; }
  CPortsTree& PortsTree() { return m_portsTree; }
  CRoutesTree& RoutesTree() { return m_routesTree; }

  void SetPortName(LPCTSTR lpszName) { m_portName.SetText(lpszName); }
  void ShowGps();
  void HideGps();
  int IsGpsShown() const { return m_bGpsShown; }
  void RecalcLayout();
  void Layout(int w, int h) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  void OnPaint();
  void OnTideTimesHeight();

 private:
  // Members in the order they are created.
  CPortNameWnd m_portName;
  CPortNameWnd m_gpsCaption;
  CGpsWnd m_gpsWnd;
  CTideTimesWnd m_tideTimes;
  CPortsTree m_portsTree;
  CRoutesTree m_routesTree;
  int m_bGpsShown = 0;
};
