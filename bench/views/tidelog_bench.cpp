// Loading a tidal log of 1000 rows: the file alone, and the whole log as the program loads it
// at start-up, where every row gets its own prediction and finds its day's high and low waters.
#include "bench/views/BenchHost.h"
#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/TideLogFile.h"
#include "views/TideLogWnd.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kRows = 1000;

struct Tables {
  CPortDB ports;
  CAngleFactorDB days;
  Tables() {
    ports.Load();
    days.Load();
  }
};

// A log of kRows rows over the table's ports and a year of dates, written by the program.
std::string WriteLog(const Tables& t) {
  std::vector<TIDELOG_ROW> rows;
  const int ports = t.ports.GetCount() > 0 ? t.ports.GetCount() : 1;
  for (int i = 0; i < kRows; ++i) rows.push_back({(i * 37) % ports, 1 + i % 28, 1 + i % 12, 2025, i % 24, i % 60});
  char path[] = "/tmp/neapwise-log-bench-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd >= 0) ::close(fd);
  CTideLogFile::Save(path, rows);
  return path;
}

void BM_ReadLogFile1000Rows(benchmark::State& state) {
  Tables t;
  const std::string path = WriteLog(t);
  std::vector<TIDELOG_ROW> rows;
  for (auto _ : state) {
    CTideLogFile::Load(path.c_str(), t.ports.GetCount(), rows);
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows.size());
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadLogFile1000Rows)->Unit(benchmark::kMicrosecond);

void BM_LoadLog1000RowsWithTheirTides(benchmark::State& state) {
  Tables t;
  BenchHost host;
  host.ports = &t.ports;
  host.days = &t.days;
  const std::string path = WriteLog(t);
  int rows = 0;
  for (auto _ : state) {
    CTideLogWnd log;
    log.SetHost(&host);
    log.LoadLog(path.c_str());
    rows = log.GetRowCount();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["rows"] = rows;
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadLog1000RowsWithTheirTides)->Unit(benchmark::kMillisecond);

}  // namespace
