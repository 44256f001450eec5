// The chart page at 1920 x 1080 on the UK and Ireland coastline: a full redraw of its pictures
// (land, sea, diamonds and ports), a pan step of the scroll bar and a zoom step, each as the
// user gets it (the view moved, the diamonds worked out again and the window drawn).
#include "bench/chart/BenchMapHost.h"
#include "bench/views/BenchCanvas.h"
#include "chart/MapView.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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
  } views[] = {{-13, 5, 60, "whole UK region"}, {-7, -1.883, 55.993, "saved view, 5.1 degrees"},
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

void BM_ChartPanStep(benchmark::State& state) {
  Chart& c = Chart::Get();
  c.View(-7, -1.883, 55.993);
  int k = 0;
  for (auto _ : state) {
    c.map.SendMessage(WM_HSCROLL, (k++ & 1) ? SB_LINELEFT : SB_LINERIGHT, 0);
    benchmark::DoNotOptimize(c.map.GetWest());
  }
  state.SetLabel("1920x1080, a line of the scroll bar, redrawn");
}
BENCHMARK(BM_ChartPanStep)->Unit(benchmark::kMillisecond);

void BM_ChartZoomStep(benchmark::State& state) {
  Chart& c = Chart::Get();
  c.View(-7, -1.883, 55.993);
  int k = 0;
  for (auto _ : state) {
    if (k++ & 1)
      c.map.ZoomOut();
    else
      c.map.ZoomIn();
    benchmark::DoNotOptimize(c.map.GetWest());
  }
  state.SetLabel("1920x1080, zoom in and out in turn, redrawn");
}
BENCHMARK(BM_ChartZoomStep)->Unit(benchmark::kMillisecond);

// The window thread's wait on the chart's workers: a new stream time while a stream grid and a
// route's track are both being computed cancels both and starts again. The time is that of the
// call on the window thread; the longest is printed too.
void BM_ChartWaitOnItsWorkers(benchmark::State& state) {
  Chart& c = Chart::Get();
  c.View(-7, -1.883, 55.993);
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
  state.SetLabel("stream grid and a 100-leg track running, cancelled from the window thread");
}
BENCHMARK(BM_ChartWaitOnItsWorkers)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
