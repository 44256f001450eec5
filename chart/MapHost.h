// What the chart asks of the main frame. The frame implements it; tests fake it.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"

class CAngleFactorDB;
class CDiamondDB;
class CPortDB;
class CPosition;

// Posted by the stream worker to the chart when a new stream picture is ready (wParam 0,
// lParam 0).
#define WM_STREAMS_READY (WM_USER + 1011)

class IMapHost {
 public:
  virtual ~IMapHost() = default;

  virtual CWnd* GetMainWindow() = 0;
  virtual CQsDateTime GetSelectedDate() const = 0;
  virtual int GetChosenTimeZone() const = 0;
  virtual BOOL IsAutoTimeZone() const = 0;
  virtual BOOL IsFeet() const = 0;
  // The frame's tables (null when it has none loaded).
  virtual CPortDB* GetPortDB() = 0;
  virtual const CAngleFactorDB* GetAngleFactorDB() const = 0;
  virtual const CDiamondDB* GetMapDiamondDB() = 0;

  // A port picked on the chart: the frame selects it, shows the graph page and computes it.
  virtual void SelectPort(int nPort) = 0;
  virtual void ShowGraphPage() = 0;
  virtual void CalculateGraph() = 0;

  // The status bar: the position under the cursor (null clears it) and the stream there.
  virtual void ShowMapStatus(const CPosition* pPosition, BOOL bKeepSunset) = 0;
  virtual void ShowStreamInStatusBar(double dRateKnots, double dDirection) = 0;
  // The GPS read-out of the left pane.
  virtual void OnVesselPositionChanged(double dLatitude, double dLongitude, double dCourse, double dSpeed) = 0;
};
