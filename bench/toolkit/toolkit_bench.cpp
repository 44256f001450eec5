// The bars' costs a user feels: repainting "Standard" across a 1000-pixel frame, the idle
// update of every control of both toolbars, and laying out 25 controls.
#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbPaintManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

class CBenchFrame : public CCbFrameWnd {
 public:
  void OnAny() {}
  void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBenchFrame, CFrameWnd)
  ON_COMMAND(32811, OnAny)
  ON_UPDATE_COMMAND_UI(32811, OnUpdateChecked)
  ON_COMMAND(32812, OnAny)
  ON_COMMAND(32785, OnAny)
  ON_UPDATE_COMMAND_UI(32785, OnUpdateChecked)
  ON_COMMAND(32791, OnAny)
END_MESSAGE_MAP()

struct Bars {
  CBenchFrame* frame = nullptr;
  CCbToolBar* standard = nullptr;
  CCbToolBar* map = nullptr;
  Bars() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
    frame = new CBenchFrame;
    frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 300));
    frame->InitCommandBars();
    standard = frame->GetCommandBars()->Add("Standard", cbBarTop);
    standard->LoadToolBar(128);
    map = frame->GetCommandBars()->Add("Map", cbBarTop);
    map->LoadToolBar(281);
    frame->RecalcLayout();
    AfxTestWait(20);
  }
};

Bars& TheBars() {
  static Bars bars;
  return bars;
}

void BM_StandardRepaint1000(benchmark::State& state) {
  Bars& b = TheBars();
  CRect rc;
  b.standard->GetClientRect(&rc);
  CClientDC dc(b.standard);
  for (auto _ : state) {
    // What WM_PAINT does: the whole bar into a buffer, then onto the window.
    CCbBufferDC buffer(&dc, rc);
    b.standard->DrawCommandBar(&buffer, rc);
  }
  state.counters["width"] = rc.Width();
}
BENCHMARK(BM_StandardRepaint1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same through the window's own paint message, the bar row stretched across the frame.
void BM_StandardPaintMessage1000(benchmark::State& state) {
  Bars& b = TheBars();
  b.standard->SetFlags(b.standard->GetFlags() | cbFlagStretched);
  b.standard->GetDockBar()->DockCommandBar(b.standard);
  b.frame->RecalcLayout();
  CRect rc;
  b.standard->GetClientRect(&rc);
  for (auto _ : state) {
    b.standard->Invalidate(FALSE);
    b.standard->UpdateWindow();
  }
  state.counters["width"] = rc.Width();
  b.standard->SetFlags(b.standard->GetFlags() & ~(DWORD)cbFlagStretched);
  b.standard->GetDockBar()->DockCommandBar(b.standard);
  b.frame->RecalcLayout();
}
BENCHMARK(BM_StandardPaintMessage1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_IdleUpdateAllControls(benchmark::State& state) {
  Bars& b = TheBars();
  b.map->SetVisible(TRUE);
  for (auto _ : state) {
    b.standard->OnIdleUpdateCmdUI(TRUE);
    b.map->OnIdleUpdateCmdUI(TRUE);
  }
  state.counters["controls"] = b.standard->GetControlCount() + b.map->GetControlCount();
}
BENCHMARK(BM_IdleUpdateAllControls)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Layout25Controls(benchmark::State& state) {
  Bars& b = TheBars();
  CCbControls controls;
  for (int i = 0; i < 25; ++i) {
    CCbControl* c = controls.Add(cbControlButton, 32811 + i % 3);
    if (i % 5 == 0) c->SetBeginGroup(TRUE);
  }
  (void)b;
  for (auto _ : state) {
    DWORD mode = LM_HORZ | LM_HORZDOCK | LM_HIDEWRAP | LM_COMMIT;
    benchmark::DoNotOptimize(controls.CalcDynamicSize(1000, mode, CRect(2, 2, 13, 2)));
  }
}
BENCHMARK(BM_Layout25Controls)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

namespace {
// What start-up spends on the bars: both toolbars loaded with their pictures, and laid out.
void BM_LoadBothToolbars(benchmark::State& state) {
  Bars& b = TheBars();
  for (auto _ : state) {
    b.standard->LoadToolBar(128);
    b.map->LoadToolBar(281);
    b.frame->RecalcLayout();
  }
}
BENCHMARK(BM_LoadBothToolbars)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
}  // namespace
