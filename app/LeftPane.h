// The left column of the main window: port name, GPS read-out, ports tree, routes tree and
// the day's tide times. A plain container: it creates, places and shows its children.
#pragma once

#include "app/PortNameWnd.h"
#include "app/PortsTree.h"
#include "platform/ui/AfxWin.h"
#include "views/TideTimesWnd.h"

class CLeftPane : public CWnd {
  DECLARE_DYNCREATE(CLeftPane)
  DECLARE_MESSAGE_MAP()
 public:
  CPortNameWnd m_portName;
  CPortNameWnd m_gpsCaption;
  CWnd m_gpsWnd;  // the GPS read-out comes with the chart
  CTideTimesWnd m_tideTimes;
  CPortsTree m_portsTree;
  CWnd m_routesTree;  // the routes tree comes with the chart
  CFont m_font;
  int m_bGpsShown = 0;

  void SetPortName(LPCTSTR lpszName) { m_portName.SetText(lpszName); }
  void ShowGps();
  void HideGps();
  int IsGpsShown() const { return m_bGpsShown; }
  void RecalcLayout();
  // Places the children in a client area of w x h.
  void Layout(int w, int h);

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
};
