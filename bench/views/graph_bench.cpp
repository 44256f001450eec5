// Repaints of an 800 x 400 tide graph: a full rebuild of the picture, and a repaint that only
// moves the time mark over the cached picture.
#include "bench/views/BenchCanvas.h"
#include "bench/views/BenchGraph.h"
#include "views/GraphWnd.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_GraphFullRepaint(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  CGraphWnd g;
  FillBenchGraph(g);
  Canvas c(800, 400);
  const CRect r(0, 0, 800, 400);
  for (auto _ : state) {
    g.SetAgroundLevel(2.0);  // any setter makes the next paint rebuild the picture
    g.Draw(&c.dc, r);
    benchmark::DoNotOptimize(c.dc.GetPixel(400, 200));
  }
  state.SetLabel("800x400, rebuilt each time");
}
BENCHMARK(BM_GraphFullRepaint)->Unit(benchmark::kMillisecond);

void BM_GraphMarkOnlyRepaint(benchmark::State& state) {
  AfxWinInit(0, nullptr);
  CGraphWnd g;
  FillBenchGraph(g);
  Canvas c(800, 400);
  const CRect r(0, 0, 800, 400);
  g.Draw(&c.dc, r);
  int mark = 0;
  for (auto _ : state) {
    g.SetTimeMark(mark = (mark + 7) % 1440);
    g.Draw(&c.dc, r);
    benchmark::DoNotOptimize(c.dc.GetPixel(400, 200));
  }
  state.SetLabel("800x400, cached picture + time mark");
}
BENCHMARK(BM_GraphMarkOnlyRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
