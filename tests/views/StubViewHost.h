// A frame stand-in for the views' tests and benchmarks: the date fixed at 1 June 2025, nothing to
// select or compute, and the tables, month, zone and menu the caller gives it.
#pragma once

#include "views/ViewHost.h"

namespace views_test {

class StubViewHost : public IViewHost {
 public:
  CWnd* mainWnd = nullptr;
  VxMenu* contextMenu = nullptr;
  CPortDB* ports = nullptr;
  const CAngleFactorDB* days = nullptr;
  CMonthlyPrediction* month = nullptr;
  int zone = 0;
  BOOL autoZone = TRUE;
  CString portName = "Port";
  double agroundLevel = 0.0;

  CWnd* GetMainWindow() override { return mainWnd; }
  VxMenu* GetContextMenu() override { return contextMenu; }
  CQsDateTime GetSelectedDate() const override { return CQsDateTime(2025, 6, 1, 0, 0, 0); }
  CQsDateTime AddDays(const CQsDateTime& d) const override {
    CQsDateTime n(d);
    n.NextDay();
    return n;
  }
  int GetTimeZone() const override { return zone; }
  int GetChosenTimeZone() const override { return 0; }
  BOOL IsAutoTimeZone() const override { return autoZone; }
  BOOL IsUseCurrentTime() const override { return FALSE; }
  BOOL IsFeet() const override { return FALSE; }
  int GetCurrentPort() const override { return 0; }
  CString GetCurrentPortName() const override { return portName; }
  CPrediction* GetPrediction() override { return nullptr; }
  double GetAgroundLevel() const override { return agroundLevel; }
  void CalculateGraph() override {}
  void CalculateTable() override {}
  void SelectPort(int) override {}
  BOOL SelectPortByName(LPCTSTR) override { return FALSE; }
  BOOL SelectDay(int) override { return FALSE; }
  BOOL SelectDate(int, int, int) override { return FALSE; }
  void ShowGraphPage() override {}
  void GoNext() override {}
  void GoPrevious() override {}
  CPortDB* GetPortDB() override { return ports; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return days; }
  CMonthlyPrediction& GetMonthlyPrediction() override { return month ? *month : IViewHost::GetMonthlyPrediction(); }
};

}  // namespace views_test
