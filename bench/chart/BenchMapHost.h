// A frame stand-in for the chart's benchmarks: the real ports, days and diamonds, the date the
// benchmark gives it, and nothing to show or select.
#pragma once

#include "chart/MapView.h"
#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"

class BenchMapHost : public IMapHost {
 public:
  CPortDB ports;
  CAngleFactorDB days;
  CDiamondDB diamonds;
  CQsDateTime date;
  explicit BenchMapHost(const CQsDateTime& selected) : date(selected) {
    ports.Load();
    days.Load();
    diamonds.Load();
  }
  CWnd* GetMainWindow() override { return nullptr; }
  CQsDateTime GetSelectedDate() const override { return date; }
  int GetChosenTimeZone() const override { return 0; }
  BOOL IsAutoTimeZone() const override { return TRUE; }
  BOOL IsFeet() const override { return FALSE; }
  CPortDB* GetPortDB() override { return &ports; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return &days; }
  const CDiamondDB* GetMapDiamondDB() override { return &diamonds; }
  void SelectPort(int) override {}
  void ShowGraphPage() override {}
  void CalculateGraph() override {}
  void ShowMapStatus(const CPosition*, BOOL) override {}
  void ShowStreamInStatusBar(double, double) override {}
  void OnVesselPositionChanged(double, double, double, double) override {}
};
