// The month pages with a real port: a month table computed as the frame computes it (high and
// low waters of every day and the moon's phases) and drawn at 1000 x 760, and a height finder
// search over a month.
#include "bench/views/BenchCanvas.h"
#include "bench/views/BenchHost.h"
#include "model/AngleFactorDB.h"
#include "model/MonthlyPrediction.h"
#include "model/MoonPhases.h"
#include "model/PortDB.h"
#include "views/HeightFindWnd.h"
#include "views/TableWnd.h"

#include <benchmark/benchmark.h>

namespace {

struct Month {
  CPortDB ports;
  CAngleFactorDB table;
  CMonthlyPrediction month;
  int zone = 0;
  int rule = 0;
  bool ok = false;
  Month() {
    ports.Load();
    table.Load();
    for (int i = 0; i < ports.GetCount(); ++i)
      if (ports.GetPort(i)->GetName().Find("Dover") == 0) {
        month.SetPort(*ports.GetPort(i));
        zone = ports.GetPort(i)->GetTimeZone();
        rule = ports.GetPort(i)->GetArea() - 1;
        ok = true;
        break;
      }
    month.SetDaysInMonth(30);
    for (int d = 1; d <= 31; ++d) {
      int hint = -1;
      CQsDateTime date(2025, 6, std::min(d, 30), 0, 0, 0), next(date);
      next.NextDay();
      CAngleFactorData today = table.Find(date, hint), tomorrow = table.Find(next, hint);
      month.SetAngleFactors(d, today, tomorrow);
    }
  }
};

void BM_MonthTableComputeAndDraw(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  Month m;
  if (!m.ok) {
    state.SkipWithError("no embedded tables");
    return;
  }
  CTableWnd t;
  Canvas c(1000, 760);
  for (auto _ : state) {
    m.month.ClearAll();  // every height computed afresh, as after a change of port or date
    t.SetYear(2025);
    t.SetMonth(6);
    t.SetDayCount(30);
    for (int d = 1; d <= 30; ++d) {
      // As the frame does with the summer-time option on.
      TIMEHEIGHT ev[CPrediction::kMaxDayEvents];
      const CLocalDay before(d - 1, 6, 2025, m.zone, m.rule, 1);
      int n = m.month.FindHighLow(d, CLocalDay(d, 6, 2025, m.zone, m.rule, 1), d > 1 ? &before : nullptr, ev);
      for (int s = 1; s <= CTableWnd::kMaxSlots; ++s) t.SetEventPresent(s, d, n >= s);
      for (int s = 1; s <= n; ++s) t.SetTideEvent(s, d, ev[s - 1].minutes, ev[s - 1].metres);
    }
    CMoonPhases moon(6, 2025);
    moon.Calculate();
    t.ClearMoonDays();
    for (int i = 0; i < moon.GetFullMoonCount(); ++i) t.SetFullMoonDay(moon.GetFullMoon(i).GetDay());
    for (int i = 0; i < moon.GetNewMoonCount(); ++i) t.SetNewMoonDay(moon.GetNewMoon(i).GetDay());
    t.SetCalculated(1);
    t.DrawTable(&c.dc, CRect(0, 0, 1000, 760));
    benchmark::DoNotOptimize(c.dc.GetPixel(500, 300));
  }
  state.SetLabel("Dover, June 2025, 1000x760");
}
BENCHMARK(BM_MonthTableComputeAndDraw)->Unit(benchmark::kMillisecond);

void BM_MonthTableDrawOnly(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  CTableWnd t;
  Canvas c(1000, 760);
  t.SetFullMoonDay(11);
  for (auto _ : state) {
    t.DrawTable(&c.dc, CRect(0, 0, 1000, 760));
    benchmark::DoNotOptimize(c.dc.GetPixel(500, 300));
  }
  state.SetLabel("30 days, 1000x760");
}
BENCHMARK(BM_MonthTableDrawOnly)->Unit(benchmark::kMillisecond);

void BM_HeightFinderMonthSearch(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  Month m;
  if (!m.ok) {
    state.SkipWithError("no embedded tables");
    return;
  }
  BenchHost host;
  host.month = &m.month;
  host.zone = m.zone;
  host.autoZone = FALSE;
  host.portName = "Dover";
  CHeightFindWnd f;
  f.SetHost(&host);
  f.SetMonth(6);
  f.SetYear(2025);
  f.SetHeightText("3.00");
  int found = 0;
  for (auto _ : state) {
    m.month.ClearAll();  // heights computed afresh
    f.Find();
    found = 0;
    for (int d = 1; d <= 30; ++d) found += f.GetResultCount(d);
  }
  state.counters["crossings"] = found;
  state.SetLabel("Dover, June 2025, 3.00 m");
}
BENCHMARK(BM_HeightFinderMonthSearch)->Unit(benchmark::kMillisecond);

}  // namespace
