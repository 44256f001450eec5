// A month of a real port from the embedded tables, filled as the frame fills it, and a fake
// frame for the month pages' calls.
#pragma once

#include "model/AngleFactorDB.h"
#include "model/MonthlyPrediction.h"
#include "model/MoonPhases.h"
#include "model/PortDB.h"
#include "tests/views/GraphFixture.h"
#include "views/HeightFindWnd.h"
#include "views/TableWnd.h"

#include <vector>

namespace views_test {

struct PortMonth {
  CPortDB ports;
  CAngleFactorDB table;
  CMonthlyPrediction month;
  CPortData port;
  int zone = 0;
  int year = 0, mon = 0, days = 0;
  bool predicted[31] = {};

  // The first port whose name holds the text.
  bool Load(const char* name, int y, int m) {
    if (ports.Load() <= 0 && !ports.IsLoaded()) return false;
    if (table.Load() <= 0 && !table.IsLoaded()) return false;
    int found = -1;
    for (int i = 0; i < ports.GetCount() && found < 0; ++i)
      if (ports.GetPort(i)->GetName().Find(name) >= 0) found = i;
    if (found < 0) return false;
    port = *ports.GetPort(found);
    month.SetPort(port);
    zone = port.GetTimeZone();
    SetMonth(y, m);
    return true;
  }

  void SetMonth(int y, int m) {
    year = y;
    mon = m;
    days = CQsDateTime::DaysInMonth(m, y);
    month.SetDaysInMonth(days);
    for (int d = 1; d <= 31; ++d) {
      int hint = -1;
      CQsDateTime date(y, m, std::min(d, days), 0, 0, 0), next(date);
      next.NextDay();
      const CAngleFactorData& today = table.Find(date, hint);
      predicted[d - 1] = hint >= 0;
      int hint2 = -1;
      const CAngleFactorData& tomorrow = table.Find(next, hint2);
      predicted[d - 1] = predicted[d - 1] && hint2 >= 0;
      month.SetAngleFactors(d, today, tomorrow);
    }
    month.ClearAll();
  }

  // What the frame's table calculation gives the table.
  void Push(CTableWnd& t) {
    t.SetYear(year);
    t.SetMonth(mon);
    t.SetPortName(port.GetName());
    t.SetDayCount(days);
    for (int d = 1; d <= days; ++d) {
      TIMEHEIGHT ev[4];
      int n = predicted[d - 1] ? month.GetDay(d)->FindHighLow(zone, 0, ev) : 0;
      for (int s = 1; s <= 4; ++s) t.SetEventPresent(s, d, n >= s);
      for (int s = 1; s <= n; ++s) t.SetTideEvent(s, d, ev[s - 1].minutes, ev[s - 1].metres);
      t.SetDayPredicted(d, predicted[d - 1]);
    }
    CMoonPhases moon(mon, year);
    moon.Calculate();
    t.ClearMoonDays();
    for (int i = 0; i < moon.GetNewMoonCount(); ++i) t.SetNewMoonDay(moon.GetNewMoon(i).GetDay());
    for (int i = 0; i < moon.GetFirstQuarterCount(); ++i) t.SetFirstQuarterDay(moon.GetFirstQuarter(i).GetDay());
    for (int i = 0; i < moon.GetFullMoonCount(); ++i) t.SetFullMoonDay(moon.GetFullMoon(i).GetDay());
    for (int i = 0; i < moon.GetLastQuarterCount(); ++i) t.SetLastQuarterDay(moon.GetLastQuarter(i).GetDay());
    t.Refresh();
    t.SetCalculated(1);
  }
};

class MonthHost : public FakeHost {
 public:
  PortMonth* pm = nullptr;
  CPrediction current;
  int zoneOverride = 0;
  BOOL autoZone = TRUE;
  int selectDayCalls = 0, lastSelectedDay = 0, showGraphCalls = 0, graphCalls = 0;
  int nextCalls = 0, previousCalls = 0, tableCalls = 0, captionCalls = 0;
  BOOL selectResult = TRUE;

  CMonthlyPrediction& GetMonthlyPrediction() override { return pm ? pm->month : IViewHost::GetMonthlyPrediction(); }
  int IsSummerTimeOnDay(int) const override { return 0; }
  void ShowPeriodTimeZoneCaption() override { ++captionCalls; }
  int GetTimeZone() const override { return pm ? pm->zone : zoneOverride; }
  BOOL IsAutoTimeZone() const override { return autoZone; }
  CPrediction* GetPrediction() override {
    if (pm) current.SetPort(pm->port);
    return &current;
  }
  BOOL SelectDay(int d) override {
    ++selectDayCalls;
    lastSelectedDay = d;
    return selectResult;
  }
  void ShowGraphPage() override { ++showGraphCalls; }
  void CalculateGraph() override { ++graphCalls; }
  void CalculateTable() override { ++tableCalls; }
  void GoNext() override { ++nextCalls; }
  void GoPrevious() override { ++previousCalls; }
};

}  // namespace views_test
