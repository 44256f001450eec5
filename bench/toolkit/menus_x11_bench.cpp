// A press on "Tides" until its menu is painted, on a real X server (Xvfb): the popup window is
// mapped, placed and drawn through the server. Skipped where no Xvfb is installed.
#include "bench/toolkit/MenuFrame.h"
#include "platform/testing/UiTest.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

#include <benchmark/benchmark.h>

#include "tests/support/Xvfb.h"

#include <cstdlib>
#include <string>

namespace {

// Started before the benchmarks run, so the process's one application connects to it.
struct Server {
  test_support::CXvfb xvfb{"1280x1024x24", true};
  Server() {
    if (!xvfb.Running()) return;
    ::setenv("DISPLAY", (":" + xvfb.Display()).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // The application keeps its connection to the end of the process: the server ends with it.
    xvfb.Leave();
  }
  bool Running() const { return !xvfb.Display().empty(); }
};
Server g_server;

void BM_X11PressOnTidesToItsMenuPainted(benchmark::State& state) {
  if (!g_server.Running()) {
    state.SkipWithError("no Xvfb installed");
    return;
  }
  static MenuFrame f(200);
  const POINT tides = f.Title(2);
  AfxTestMouse(WM_MOUSEMOVE, tides);
  for (auto _ : state) {
    AfxTestMouse(WM_LBUTTONDOWN, tides);
    CCbPopupBar* p = f.Popup(2);
    if (p && p->GetSafeHwnd()) p->UpdateWindow();
    AfxTestWait(0);  // hands the picture to the server
    state.PauseTiming();
    if (!f.Popup(2) || !f.Popup(2)->IsTrackingMode()) state.SkipWithError("the menu did not open");
    AfxTestMouse(WM_LBUTTONUP, tides);
    CbMouseManager()->SendTrackLost();
    AfxTestWait(5);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_X11PressOnTidesToItsMenuPainted)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
