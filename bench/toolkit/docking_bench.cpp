// One mouse move of a toolbar drag as the user makes it: through the message path into the
// drag loop, with the frame laid out again when the bar moves along its row, and the same for
// a floating bar.
#include "platform/testing/UiTest.h"
#include "tests/support/BarHelpers.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPaintManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

struct DragFrame {
  CCbFrameWnd* frame = nullptr;
  CWnd* view = new CWnd;  // lives as long as the process, like the frame
  CCbToolBar* standard = nullptr;
  CCbToolBar* map = nullptr;
  DragFrame() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
    frame = new CCbFrameWnd;
    frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1200, 600));
    view->CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST);
    frame->InitCommandBars();
    CCbCommandBars* bars = frame->GetCommandBars();
    standard = bars->Add("Standard", cbBarTop);
    standard->LoadToolBar(128);
    standard->EnableDocking(0x31);
    map = bars->Add("Map", cbBarTop);
    map->LoadToolBar(281);
    map->EnableDocking(0x3D);
    frame->RecalcLayout();
    test_support::DockAfter(bars, map, standard);
    frame->RecalcLayout();
    AfxTestWait(20);
  }
  // Presses on the bar and runs body inside the drag loop, then releases.
  template <class F>
  void Dragging(CCbToolBar* bar, F body) {
    POINT from = test_support::Grip(bar);
    POINT last = from;
    CTestCallLater later(0, [&] {
      body(from, last);
      AfxTestMouse(WM_LBUTTONUP, last);
    });
    AfxTestMouse(WM_MOUSEMOVE, from);
    AfxTestMouse(WM_LBUTTONDOWN, from);
    later.Wait(60000);
  }
};

DragFrame& TheFrame() {
  static DragFrame f;
  return f;
}

// "Map" slides along the top row by a few pixels each move: it is docked again at the new
// place and the frame's bars and view are laid out.
void BM_DragMoveAlongTheRow(benchmark::State& state) {
  DragFrame& f = TheFrame();
  f.Dragging(f.map, [&](POINT from, POINT& last) {
    int k = 0;
    for (auto _ : state) {
      last = POINT{from.x + 20 + (k++ % 2) * 8, from.y};
      AfxTestMouse(WM_MOUSEMOVE, last);
    }
  });
  state.SetLabel(f.map->GetDockBar() ? "docked" : "floating");
}
BENCHMARK(BM_DragMoveAlongTheRow)->Unit(benchmark::kMillisecond);

// A floating "Map" follows the pointer over the middle of the frame.
void BM_DragMoveFloating(benchmark::State& state) {
  DragFrame& f = TheFrame();
  if (!f.map->IsFloating()) f.frame->GetCommandBars()->FloatCommandBar(f.map);
  f.map->GetDockContext()->FloatAt(CPoint(400, 300));
  f.Dragging(f.map, [&](POINT from, POINT& last) {
    int k = 0;
    for (auto _ : state) {
      last = POINT{from.x + (k++ % 2) * 8, from.y + 4};
      AfxTestMouse(WM_MOUSEMOVE, last);
    }
  });
  state.SetLabel(f.map->IsFloating() ? "floating" : "docked");
}
BENCHMARK(BM_DragMoveFloating)->Unit(benchmark::kMillisecond);

// Across the edge of the top dock bar: floated off it and docked on it in turn, each move
// laying the frame out.
void BM_DragMoveDockAndFloat(benchmark::State& state) {
  DragFrame& f = TheFrame();
  f.map->GetDockContext()->ToggleDocking();
  f.Dragging(f.map, [&](POINT from, POINT& last) {
    int k = 0;
    for (auto _ : state) {
      last = (k++ % 2) ? POINT{from.x + 100, from.y} : POINT{from.x + 100, from.y + 200};
      AfxTestMouse(WM_MOUSEMOVE, last);
    }
  });
}
BENCHMARK(BM_DragMoveDockAndFloat)->Unit(benchmark::kMillisecond);

}  // namespace
