// Loading a tidal log of 1000 rows: the file alone, and the whole log as the program loads it
// at start-up, where every row gets its own prediction and finds its day's high and low waters.
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

class BenchHost : public IViewHost {
 public:
  Tables* t = nullptr;
  CWnd* GetMainWindow() override { return nullptr; }
  VxMenu* GetContextMenu() override { return nullptr; }
  CQsDateTime GetSelectedDate() const override { return CQsDateTime(2025, 6, 1, 0, 0, 0); }
  CQsDateTime AddDays(const CQsDateTime& d) const override {
    CQsDateTime n(d);
    n.NextDay();
    return n;
  }
  int GetTimeZone() const override { return 0; }
  int GetChosenTimeZone() const override { return 0; }
  BOOL IsAutoTimeZone() const override { return TRUE; }
  BOOL IsUseCurrentTime() const override { return FALSE; }
  BOOL IsFeet() const override { return FALSE; }
  int GetCurrentPort() const override { return 0; }
  CString GetCurrentPortName() const override { return ""; }
  CPrediction* GetPrediction() override { return nullptr; }
  double GetAgroundLevel() const override { return 0; }
  void CalculateGraph() override {}
  void CalculateTable() override {}
  void SelectPort(int) override {}
  BOOL SelectPortByName(LPCTSTR) override { return FALSE; }
  BOOL SelectDay(int) override { return FALSE; }
  BOOL SelectDate(int, int, int) override { return FALSE; }
  void ShowGraphPage() override {}
  void GoNext() override {}
  void GoPrevious() override {}
  CPortDB* GetPortDB() override { return &t->ports; }
  const CAngleFactorDB* GetAngleFactorDB() const override { return &t->days; }
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
  host.t = &t;
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
