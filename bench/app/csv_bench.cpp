// The CSV export of a year of heights at 10-minute steps, as File > Export Data writes it.
#include "app/DataExport.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_CsvYearAtTenMinutes(benchmark::State& state) {
  CPortDB ports;
  ports.Load();
  CAngleFactorDB tables;
  tables.Load();
  CQsDateTime first;
  if (!ports.IsLoaded() || ports.GetCount() <= 0 || !tables.GetFirstDate(first)) {
    state.SkipWithError("the tables did not load");
    return;
  }
  TIDE_CSV_REQUEST r;
  r.pPort = ports.GetPort(0);
  r.pTables = &tables;
  const int year = first.GetYear() + 1;
  r.start = CQsDateTime(year, 1, 1, 0, 0, 0);
  r.end = CQsDateTime(year, 12, 31, 23, 59, 59);
  r.nInterval = 2;
  r.strZoneCaption = "GMT (+0:00)";
  r.strSummerCaption = "GMT (+1:00)";
  int rows = 0;
  for (auto _ : state) {
    std::string text;
    rows = BuildTideCsv(r, text);
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_CsvYearAtTenMinutes)->Unit(benchmark::kMillisecond);

}  // namespace
