// The chart page at 1920 x 1080 on the UK and Ireland coastline: a full redraw of its pictures
// (land, sea, diamonds and ports), a pan step of the scroll bar and a zoom step, each as the
// user gets it (the view moved, the diamonds worked out again and the window drawn).
#include "bench/chart/BenchMapHost.h"
#include "bench/views/BenchCanvas.h"
#include "chart/MapView.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <thread>

namespace {

// One chart window, made once: the coastline is read when it is created.
struct Chart {
  BenchMapHost host{CQsDateTime(2025, 6, 1, 0, 0, 0)};
  CWnd owner;
  CMapView map;
  Chart() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit(0, nullptr);
    owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 0, 0, 2000, 1200, nullptr, nullptr);
    map.SetHost(&host);
    map.Create(&owner, CRect(0, 0, 1920, 1080), 187);
    CRect rc;
    map.GetClientRect(&rc);
    map.MoveWindow(0, 0, 1920 + (1920 - rc.Width()), 1080 + (1080 - rc.Height()));
  }
  // Kept to the end of the process: its pictures must not outlive the toolkit at exit.
  static Chart& Get() {
    static Chart* c = new Chart;
    return *c;
  }
  void View(double w, double e, double n) {
    map.SetExtents(w, e, n, n - 1);
    map.ZoomIn();
    map.ZoomOut();
  }
};

// A: the whole region (every tenth point); B: the saved view's span (every fourth); C: the
// Solent and the Channel coast under 4 degrees, where every point is drawn.
void BM_ChartFullRedraw(benchmark::State& state) {
  Chart& c = Chart::Get();
  static const struct {
    double w, e, n;
    const char* label;
  } views[] = {{-13, 5, 60, "whole UK region"},
               {-7, -1.883, 55.993, "saved view, 5.1 degrees"},
               {-3.5, 0.4, 51.2, "3.9 degrees, every point"}};
  const auto& v = views[state.range(0)];
  c.View(v.w, v.e, v.n);
  Canvas canvas(1920, 1080);
  for (auto _ : state) {
    c.map.MarkLayersDirty();
    c.map.DrawView(&canvas.dc, TRUE);
    benchmark::DoNotOptimize(canvas.dc.GetPixel(960, 540));
  }
  state.SetLabel(CString("1920x1080, ") + v.label);
}
BENCHMARK(BM_ChartFullRedraw)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The region of the argument, in its own default view zoomed in once (so that it can be
// panned both ways); the UK keeps the saved view the other figures use.
const char* ToRegion(Chart& c, int nRegion) {
  c.map.SetRegion(nRegion);
  switch (nRegion) {
    case CMapView::kRegionUK: c.View(-7, -1.883, 55.993); return "UK";
    case CMapView::kRegionEurope:
      c.View(-13, 19, 72);
      c.map.ZoomIn();
      return "Europe";
    case CMapView::kRegionAustralia:
      c.View(107, 179, 4);
      c.map.ZoomIn();
      return "Australia";
    default:
      c.View(-86, -55, 63);
      c.map.ZoomIn();
      return "US East";
  }
}

constexpr int kRegions[] = {CMapView::kRegionUK, CMapView::kRegionEurope, CMapView::kRegionAustralia,
                            CMapView::kRegionUSEast};

// Wall time per step (the figure), with the window thread's processor time beside it.
void BM_ChartPanStep(benchmark::State& state) {
  Chart& c = Chart::Get();
  const char* name = ToRegion(c, (int)state.range(0));
  int k = 0;
  for (auto _ : state) {
    c.map.SendMessage(WM_HSCROLL, (k++ & 1) ? SB_LINELEFT : SB_LINERIGHT, 0);
    benchmark::DoNotOptimize(c.map.GetWest());
  }
  state.SetLabel(CString("1920x1080, ") + name + ", a line of the scroll bar, redrawn");
}
BENCHMARK(BM_ChartPanStep)
    ->ArgsProduct({{std::begin(kRegions), std::end(kRegions)}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ChartZoomStep(benchmark::State& state) {
  Chart& c = Chart::Get();
  const char* name = ToRegion(c, (int)state.range(0));
  int k = 0;
  for (auto _ : state) {
    if (k++ & 1)
      c.map.ZoomOut();
    else
      c.map.ZoomIn();
    benchmark::DoNotOptimize(c.map.GetWest());
  }
  state.SetLabel(CString("1920x1080, ") + name + ", zoom in and out in turn, redrawn");
}
BENCHMARK(BM_ChartZoomStep)
    ->ArgsProduct({{std::begin(kRegions), std::end(kRegions)}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

long ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

// The chart's resident memory after each round of the four regions, back in the UK: what is
// not given back grows from round to round.
void BM_ChartRegionSwitchMemory(benchmark::State& state) {
  Chart& c = Chart::Get();
  ToRegion(c, CMapView::kRegionUK);
  const double first = ResidentBytes() / 1048576.0;
  double last = first;
  for (auto _ : state) {
    for (int r : kRegions) ToRegion(c, r);
    ToRegion(c, CMapView::kRegionUK);
    last = ResidentBytes() / 1048576.0;
  }
  state.counters["rss_start_mb"] = first;
  state.counters["rss_end_mb"] = last;
}
BENCHMARK(BM_ChartRegionSwitchMemory)->Iterations(4)->Unit(benchmark::kMillisecond);

// The window thread's wait on the chart's workers: a new stream time while a stream grid and a
// route's track are both being computed cancels both and starts again. The time is that of the
// call on the window thread; the longest is printed too.
void BM_ChartWaitOnItsWorkers(benchmark::State& state) {
  Chart& c = Chart::Get();
  ToRegion(c, CMapView::kRegionUK);
  c.map.SetShowStreamGrid(1);
  CMapRoute route;
  for (int i = 0; i <= 100; ++i) route.AppendPoint(50.2 + 0.01 * (i % 2), -1.8 + 0.05 * i, "Point");
  CChartRoutes& routes = c.map.GetChartRoutes();
  routes.SetRoute(&route);
  double longest = 0;
  int h = 0;
  for (auto _ : state) {
    c.map.SetStreamTime(CQsDateTime(2005, 1, 1, h++ % 24, 0, 0));
    routes.OnRouteChanged(&route);
    // Both are well into their runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    const auto t0 = std::chrono::steady_clock::now();
    c.map.SetStreamTime(CQsDateTime(2005, 1, 1, h++ % 24, 30, 0));
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    longest = std::max(longest, s * 1000);
    state.SetIterationTime(s);
  }
  routes.ClearRoute();
  c.map.WaitForStreams();
  c.map.SetShowStreamGrid(0);
  state.counters["longest_ms"] = longest;
  state.counters["longest_route_ms"] = routes.GetLongestAbortWaitMs();
  state.SetLabel("stream grid and a 100-leg track running, cancelled from the window thread");
}
BENCHMARK(BM_ChartWaitOnItsWorkers)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);

}  // namespace
