// The chart's workers through the real engine and the shipped stream grid (data/dlldata.dat):
// the stream field of a full-screen chart, the tidal track of a long passage, and how long the
// window thread waits when it cancels a running worker.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

#include "chart/ChartRoutes.h"
#include "chart/RouteTrack.h"
#include "chart/StreamWorker.h"

namespace {

// A 1920 x 1080 chart of the English Channel and the southern North Sea: 38 x 21 cells of
// 50 pixels, most in the stream regions.
CTidalStreamGrid FullScreenGrid() {
  return CTidalStreamGrid(1920 / 50, 1080 / 50, 0, 0, 1920, 1080, -7.0, 5.0, 53.5, 48.5, 2026, 6, 14, 9, 0, 1);
}

void BM_StreamFieldFullScreen(benchmark::State& state) {
  int predicted = 0, failed = 0;
  for (auto _ : state) {
    // The job's engine access is made with the job, on the window thread: part of the run.
    const GRID_STREAM_FN engine = MakeEngineGridStream();
    CTidalStreamGrid grid = FullScreenGrid();
    const STREAM_FILL_RESULT r = FillStreamGrid(grid, 60, engine, nullptr);
    predicted = r.predicted;
    failed = r.failed;
    benchmark::DoNotOptimize(grid.GetRate(10, 10));
  }
  state.counters["cells"] = predicted;
  state.counters["refused"] = failed;
}
BENCHMARK(BM_StreamFieldFullScreen)->Unit(benchmark::kMillisecond);

// 100 legs zig-zagging along the Channel, over 24 hours at 6 knots.
void ZigZag(CMapRoute& route) {
  route.SetSpeed(6.0);
  route.SetStart(CQsDateTime(2026, 6, 14, 6, 0, 0));
  const double legMiles = 6.0 * 15.3 / 60.0;  // 15 whole minutes a leg: 25 hours in all
  CPosition p(50.30, -3.50);
  route.AddPoint(p.GetLatitude(), p.GetLongitude());
  for (int i = 0; i < 100; ++i) {
    p.MoveBy(i % 2 ? 60.0 : 120.0, legMiles, 60.0);  // legMiles miles at one knot for an hour
    route.AddPoint(p.GetLatitude(), p.GetLongitude());
  }
}

void BM_RouteTrack100Legs24Hours(benchmark::State& state) {
  CMapRoute route;
  ZigZag(route);
  const ROUTE_TRACK_PLAN plan = ROUTE_TRACK_PLAN::FromRoute(route, 60);
  int minutes = 0;
  for (const auto& leg : plan.legs) minutes += leg.minutes;
  int nodes = 0;
  for (auto _ : state) {
    ROUTE_TRACK_NODE* track = ComputeRouteTrack(plan, MakeEngineRouteStream(), nullptr);
    nodes = 0;
    for (ROUTE_TRACK_NODE* n = track; n; n = n->next) ++nodes;
    CMapRoute::FreeTrackNodes(track);
  }
  state.counters["legs"] = static_cast<double>(plan.legs.size());
  state.counters["hours"] = minutes / 60.0;
  state.counters["nodes"] = nodes;
}
BENCHMARK(BM_RouteTrack100Legs24Hours)->Unit(benchmark::kMillisecond);

class NoHost : public IChartRoutesHost {
 public:
  int GetRegion() const override { return 1; }
  int GetZoneOffsetMinutes() const override { return 60; }
  CQsDateTime GetSelectedDate() const override { return CQsDateTime(2026, 6, 14, 0, 0, 0); }
  HWND GetTrackNotifyWindow() const override { return nullptr; }
  void RedrawRoutes() override {}
};

// The window thread's wait in AbortDrift while a track is being computed.
void BM_WindowThreadWaitOnRouteWorker(benchmark::State& state) {
  CMapRoute route;
  ZigZag(route);
  NoHost host;
  CChartRoutes chart;
  chart.SetHost(&host);
  for (auto _ : state) {
    chart.SetRoute(&route);  // starts the worker
    const auto t0 = std::chrono::steady_clock::now();
    chart.AbortDrift();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  chart.ClearRoute();
}
BENCHMARK(BM_WindowThreadWaitOnRouteWorker)->UseManualTime()->Unit(benchmark::kMillisecond);

// The window thread's wait when a new stream time cancels a running grid.
void BM_WindowThreadWaitOnStreamWorker(benchmark::State& state) {
  CStreamWorker worker;
  for (auto _ : state) {
    STREAM_GRID_JOB job;
    job.grid = std::make_unique<CTidalStreamGrid>(FullScreenGrid());
    job.zoneOffsetMinutes = 60;
    worker.Start(std::move(job));
    const auto t0 = std::chrono::steady_clock::now();
    worker.Cancel();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
}
BENCHMARK(BM_WindowThreadWaitOnStreamWorker)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
