// What a user waits for when a menu opens: the fade animation as a whole and per step, and a
// popup window opening bare and with its drop shadows (solid, and soft as with a compositor).
#include "platform/testing/UiTest.h"
#include "tests/support/TestWindows.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbShadows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

// A menu's face: items as light bands.
class CMenuWnd : public test_support::CSolidWnd {
 protected:
  void Paint(CDC& dc, const CRect& rc) override {
    dc.FillSolidRect(&rc, RGB(250, 250, 250));
    for (int y = 4; y < rc.bottom; y += 22) dc.FillSolidRect(4, y, rc.right - 8, 16, RGB(230, 236, 250));
  }
};

void Init() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  AfxWinInit(0, nullptr);
  CCbPaintManager::SetTheme(2);
}

const CRect kMenu(200, 100, 400, 400);

std::unique_ptr<CMenuWnd> OpenMenu() {
  auto w = std::make_unique<CMenuWnd>();
  w->CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, AfxRegisterWndClass(0), nullptr, WS_POPUP, kMenu.left, kMenu.top,
              kMenu.Width(), kMenu.Height(), nullptr, nullptr);
  w->ShowWindow(SW_SHOWNA);
  w->UpdateWindow();
  return w;
}

// The finished picture of a menu, as the popup bar hands it to the painter.
struct Finished {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Finished() {
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateBitmap(kMenu.Width(), kMenu.Height(), 1, 32, nullptr);
    old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, kMenu.Width(), kMenu.Height(), RGB(250, 250, 250));
  }
  ~Finished() { dc.SelectObject(old); }
};

void BM_FadeAnimation(benchmark::State& state) {
  Init();
  auto menu = OpenMenu();
  Finished pic;
  CCbPaintManager* pm = CbPaintManager();
  CRect rc(0, 0, kMenu.Width(), kMenu.Height());
  int longest = 0;
  for (auto _ : state) {
    CClientDC dc(menu.get());
    pm->AnimatePopup(&dc, &pic.dc, rc, 4);
    longest = std::max(longest, pm->m_nLongestAnimationStepUs);
  }
  state.counters["longest_step_ms"] = longest / 1000.0;
  state.counters["steps"] = pm->m_nAnimationSteps;
  state.counters["total_ms"] = pm->m_nAnimationTime;
}
BENCHMARK(BM_FadeAnimation)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);

void MenuOpen(benchmark::State& state, bool shadows, int composition) {
  Init();
  AfxTestSetComposition(composition);
  for (auto _ : state) {
    auto menu = OpenMenu();
    if (shadows) CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
    AfxPresentWindow(menu->m_hWnd);
    state.PauseTiming();
    CbShadowsManager()->RemoveShadow(menu.get());
    menu.reset();
    AfxTestWait(0);  // the closed windows' widgets go, as the event loop would let them
    state.ResumeTiming();
  }
  AfxTestSetComposition(-1);
}
void BM_MenuOpenBare(benchmark::State& state) { MenuOpen(state, false, 0); }
void BM_MenuOpenSolidShadows(benchmark::State& state) { MenuOpen(state, true, 0); }
void BM_MenuOpenSoftShadows(benchmark::State& state) { MenuOpen(state, true, 1); }
BENCHMARK(BM_MenuOpenBare)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MenuOpenSolidShadows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MenuOpenSoftShadows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
