// A day picked in the "Standard" toolbar's day combo, from the release on the item until the
// graph of the new day is painted.
#include "bench/app/BenchProgram.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

void BM_DayPickedToRepaintedGraph(benchmark::State& state) {
  CMainFrame* frame = bench_app::StartProgram(state);
  if (!frame) return;
  bench_app::TheApp().OnIdle(0);
  auto* day = dynamic_cast<CCbControlComboBox*>(frame->GetDayCombo());
  CGraphWnd& graph = frame->GetRightPane()->Graph();
  if (!day || !day->GetParent()) {
    state.SkipWithError("no day combo");
    return;
  }
  CCbCommandBar* bar = day->GetParent();
  const CPoint field = day->GetRect().CenterPoint();
  for (auto _ : state) {
    // Between the 3rd and the 4th, so every pick is another day.
    const int target = day->GetCurSel() == 2 ? 3 : 2;
    AfxTestWait((int)GetDoubleClickTime() + 10);
    AfxTestMoveTo(bar->GetSafeHwnd(), field.x, field.y);
    AfxTestClick(bar->GetSafeHwnd(), field.x, field.y);
    if (!day->IsListOpen()) {
      state.SkipWithError("the list did not open");
      break;
    }
    RECT r{};
    ::SendMessage(day->GetListHwnd(), LB_GETITEMRECT, (WPARAM)target, (LPARAM)&r);
    const CPoint item((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    AfxTestMoveTo(day->GetListHwnd(), item.x, item.y);
    const auto start = std::chrono::steady_clock::now();
    AfxTestClick(day->GetListHwnd(), item.x, item.y);
    AfxTestWait(1000, [&] { return frame->GetSelectedDate().GetDay() == target + 1 && graph.HasData(); });
    graph.UpdateWindow();
    const auto end = std::chrono::steady_clock::now();
    if (frame->GetSelectedDate().GetDay() != target + 1) {
      state.SkipWithError("the pick changed no day");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  frame->DestroyWindow();
}
BENCHMARK(BM_DayPickedToRepaintedGraph)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench_app::RemoveTemporaryFolders();
  return 0;
}
