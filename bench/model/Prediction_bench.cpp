// The tide of one port for a day as the main frame computes it, and a month for the table.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/LocalDay.h"
#include "model/MonthlyPrediction.h"
#include "model/Prediction.h"

namespace {

// A port like a large semidiurnal standard port, with both shallow-water terms present.
CPortData BenchPort() {
  CPortData p;
  p.SetName("Bench");
  p.SetMeanLevel(3.1);
  p.SetTimeZone(0);
  p.SetArea(1);
  p.SetConstituent(CPortData::M2, 152, 1.85);
  p.SetConstituent(CPortData::S2, 196, 0.62);
  p.SetConstituent(CPortData::K1, 98, 0.08);
  p.SetConstituent(CPortData::O1, 340, 0.07);
  p.SetConstituent(CPortData::F4, 40, 0.02);
  p.SetConstituent(CPortData::F6, 300, 0.004);
  return p;
}

CAngleFactorData BenchDay(int i) {
  CAngleFactorData d;
  d.SetId(5000 + i);
  d.SetDate(CQsDateTime(2026, 1, 1 + i % 31, 0, 0, 0));
  const int angles[4] = {(17 + 24 * i) % 360, 0, (250 + i) % 360, (300 + 25 * i) % 360};
  const double factors[4] = {0.97, 1.0, 1.08, 1.13};
  for (int c = 0; c < 4; ++c) {
    d.SetAngle(c, angles[c]);
    d.SetFactor(c, factors[c]);
  }
  return d;
}

// 1440 heights for the graph, the day's range, the high and low waters and the fall to the next
// low from midday, from a cleared cache, in the port's own zone with summer time.
void BM_PortDay(benchmark::State& state) {
  auto p = std::make_unique<CPrediction>();
  p->SetPort(BenchPort());
  p->SetAngleFactors(BenchDay(0), BenchDay(1));
  TIMEHEIGHT events[4];
  for (auto _ : state) {
    p->ClearCache();
    double sum = 0.0;
    for (int m = 0; m < 1440; ++m) sum += p->HeightAt(m, 0, 1);
    const auto range = p->CalcDayRange(0, 1);
    const int n = p->FindHighLow(0, 1, events);
    const double drop = p->HeightDropToNextLow(720, 0, 1);
    benchmark::DoNotOptimize(sum + range.first + n + drop);
  }
  state.SetLabel("per port-day");
}
BENCHMARK(BM_PortDay)->Unit(benchmark::kMicrosecond);

// The monthly table: each of 31 days gets its records and a cleared cache, then its high and low
// waters.
void BM_Month(benchmark::State& state) {
  auto month = std::make_unique<CMonthlyPrediction>();
  month->SetPort(BenchPort());
  month->SetDaysInMonth(31);
  TIMEHEIGHT events[4];
  for (auto _ : state) {
    for (int d = 1; d <= 31; ++d) month->SetAngleFactors(d, BenchDay(d - 1), BenchDay(d));
    month->ClearAll();
    int total = 0;
    for (int d = 1; d <= 31; ++d) total += month->GetDay(d)->FindHighLow(0, 1, events);
    benchmark::DoNotOptimize(total);
  }
  state.SetLabel("31 days");
}
BENCHMARK(BM_Month)->Unit(benchmark::kMillisecond);

// The same month as the program lists it: each day as its clock runs (a European October, with
// its 25-hour day), the midnight shared with the day before decided by that day's prediction.
void BM_MonthLocalDays(benchmark::State& state) {
  auto month = std::make_unique<CMonthlyPrediction>();
  month->SetPort(BenchPort());
  month->SetDaysInMonth(31);
  TIMEHEIGHT events[CPrediction::kMaxDayEvents];
  for (auto _ : state) {
    for (int d = 1; d <= 31; ++d) month->SetAngleFactors(d, BenchDay(d - 1), BenchDay(d));
    month->ClearAll();
    int total = 0;
    for (int d = 1; d <= 31; ++d) {
      const CLocalDay before(d - 1, 10, 2025, 0, 0, 1);
      total += month->FindHighLow(d, CLocalDay(d, 10, 2025, 0, 0, 1), d > 1 ? &before : nullptr, events);
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetLabel("31 days, October");
}
BENCHMARK(BM_MonthLocalDays)->Unit(benchmark::kMillisecond);

}  // namespace
