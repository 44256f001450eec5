// The fixed costs of the embedded tables: loading each in this process (whole runs of
// neapwise-predict are in bench/tools).
#include <benchmark/benchmark.h>

#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"

namespace {

template <class DB>
void LoadTable(benchmark::State& state) {
  int count = 0;
  for (auto _ : state) {
    DB db;
    if (!db.Load()) state.SkipWithError("the table did not load");
    count = db.GetCount();
    benchmark::DoNotOptimize(count);
  }
  state.counters["records"] = count;
}
void BM_LoadAngleFactorTable(benchmark::State& state) { LoadTable<CAngleFactorDB>(state); }
void BM_LoadPortTable(benchmark::State& state) { LoadTable<CPortDB>(state); }
void BM_LoadDiamondTable(benchmark::State& state) { LoadTable<CDiamondDB>(state); }
BENCHMARK(BM_LoadAngleFactorTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPortTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDiamondTable)->Unit(benchmark::kMillisecond);

}  // namespace
