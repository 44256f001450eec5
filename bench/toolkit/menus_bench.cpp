// The menus' costs a user feels: a press on "Tides" until its menu is painted, moving along the
// menu bar with a menu open until the next one is painted, and Down in an open menu until the
// menu is repainted. The program's own menu 128 in a frame like the main window.
#include "bench/toolkit/MenuFrame.h"
#include "platform/testing/UiTest.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

MenuFrame& TheFrame() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static MenuFrame f(20);
  return f;
}

// Paints what the popup has pending, as the next pass of the loop would.
void Painted(CCbPopupBar* p) {
  if (p && p->GetSafeHwnd()) p->UpdateWindow();
}

// Argument: 0 the menus without shadows, 1 with solid shadows (no compositor), 2 with soft
// shadows (a compositor stands in), so the shadows' cost shows in the same run.
void BM_PressOnTidesToItsMenuPainted(benchmark::State& state) {
  MenuFrame& f = TheFrame();
  const int shadows = (int)state.range(0);
  for (int i = 0; i < f.menu->GetControlCount(); ++i)
    if (CCbPopupBar* p = f.Popup(i)) p->SetShowShadow(shadows != 0);
  AfxTestSetComposition(shadows == 2 ? 1 : 0);
  const POINT tides = f.Title(2);
  AfxTestMouse(WM_MOUSEMOVE, tides);
  for (auto _ : state) {
    AfxTestMouse(WM_LBUTTONDOWN, tides);
    Painted(f.Popup(2));
    state.PauseTiming();
    if (!f.Popup(2) || !f.Popup(2)->IsTrackingMode()) state.SkipWithError("the menu did not open");
    AfxTestMouse(WM_LBUTTONUP, tides);
    CbMouseManager()->SendTrackLost();
    AfxTestWait(1);
    state.ResumeTiming();
  }
  state.counters["shadows"] = shadows;
  AfxTestSetComposition(-1);
  for (int i = 0; i < f.menu->GetControlCount(); ++i)
    if (CCbPopupBar* p = f.Popup(i)) p->SetShowShadow(TRUE);
}
BENCHMARK(BM_PressOnTidesToItsMenuPainted)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_MoveToTheNextTitleWithAMenuOpen(benchmark::State& state) {
  MenuFrame& f = TheFrame();
  const POINT tides = f.Title(2), ports = f.Title(3);
  AfxTestMouse(WM_MOUSEMOVE, tides);
  AfxTestMouse(WM_LBUTTONDOWN, tides);
  AfxTestMouse(WM_LBUTTONUP, tides);
  BOOL onTides = TRUE;
  for (auto _ : state) {
    const int next = onTides ? 3 : 2;
    AfxTestMouse(WM_MOUSEMOVE, onTides ? ports : tides);
    Painted(f.Popup(next));
    state.PauseTiming();
    if (!f.Popup(next)->IsTrackingMode()) state.SkipWithError("the next menu did not open");
    onTides = !onTides;
    state.ResumeTiming();
  }
  CbMouseManager()->SendTrackLost();
  AfxTestWait(1);
}
BENCHMARK(BM_MoveToTheNextTitleWithAMenuOpen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DownInAnOpenMenuToTheRepaint(benchmark::State& state) {
  MenuFrame& f = TheFrame();
  f.menu->SetTrackingMode(TRUE, TRUE, TRUE);
  f.menu->SetSelected(1, TRUE);
  f.menu->NavigateByCode(3);  // View, opened by keyboard
  CCbPopupBar* view = f.Popup(1);
  Painted(view);
  for (auto _ : state) {
    AfxTestKeyStroke(VK_DOWN);
    Painted(view);
  }
  CbMouseManager()->SendTrackLost();
  AfxTestWait(1);
}
BENCHMARK(BM_DownInAnOpenMenuToTheRepaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
