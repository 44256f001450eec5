// The looks' and the exchange's costs: "Standard" repainted across a 1000-pixel frame in the
// gradient look (derived colours and the blue scheme), and the exchange of every bar and
// control of the frame (its options, the menu bar with its menus, "Standard" and "Map"), stored
// and read back.
#include "platform/core/AfxFile.h"
#include "platform/testing/UiTest.h"
#include "toolkit/CbColorManager.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPropExchange.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

struct Frame {
  CCbFrameWnd* frame = nullptr;
  CCbToolBar* standard = nullptr;
  CCbToolBar* map = nullptr;
  CCbMenuBar* menu = nullptr;
  Frame() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
    frame = new CCbFrameWnd;
    frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 300));
    frame->InitCommandBars();
    menu = frame->GetCommandBars()->SetMenu("Menu Bar", 128);
    standard = frame->GetCommandBars()->Add("Standard", cbBarTop);
    standard->LoadToolBar(128);
    standard->SetFlags(standard->GetFlags() | cbFlagStretched);
    map = frame->GetCommandBars()->Add("Map", cbBarTop);
    map->LoadToolBar(281);
    frame->RecalcLayout();
    AfxTestWait(20);
  }
};

Frame& TheFrame() {
  static Frame f;
  return f;
}

// Argument: the system colour scheme (0 derived colours, 1 blue).
void BM_GradientStandardRepaint1000(benchmark::State& state) {
  Frame& f = TheFrame();
  CbColorManager()->SetSystemTheme((int)state.range(0));
  CCbPaintManager::SetTheme(2);
  f.frame->RecalcLayout();
  CRect rc;
  f.standard->GetClientRect(&rc);
  CClientDC dc(f.standard);
  for (auto _ : state) {
    CCbBufferDC buffer(&dc, rc);
    f.standard->DrawCommandBar(&buffer, rc);
  }
  state.counters["width"] = rc.Width();
  CbColorManager()->SetSystemTheme(4);
  CCbPaintManager::SetTheme(2);
}
BENCHMARK(BM_GradientStandardRepaint1000)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Every control of the bar and of the menus it opens.
int CountControls(CCbCommandBar* bar) {
  int n = bar->GetControlCount();
  for (int i = 0; i < bar->GetControlCount(); ++i)
    if (bar->GetControl(i)->GetType() == cbControlPopup && bar->GetControl(i)->GetCommandBar())
      n += CountControls(bar->GetControl(i)->GetCommandBar());
  return n;
}

void BM_ExchangeEveryBar(benchmark::State& state) {
  Frame& f = TheFrame();
  CCbCommandBarsOptions* options = f.frame->GetCommandBars()->GetCommandBarsOptions();
  std::vector<CCbCommandBar*> bars = {f.menu, f.standard, f.map};
  size_t bytes = 0;
  int controls = 0;
  for (auto _ : state) {
    CMemFile file;
    {
      CArchive ar(&file, CArchive::store);
      options->Serialize(ar);
      CCbPropExchangeArchive px(ar);
      CCbCommandBar::ExchangeBars(&px, bars);
    }
    bytes = (size_t)file.GetLength();
    file.SeekToBegin();
    {
      CArchive ar(&file, CArchive::load);
      CCbCommandBarsOptions back(nullptr);
      back.Serialize(ar);
      CCbPropExchangeArchive px(ar);
      std::vector<CCbCommandBar*> loaded;
      CCbCommandBar::ExchangeBars(&px, loaded);
      controls = 0;
      for (CCbCommandBar* b : loaded) {
        controls += CountControls(b);
        b->InternalRelease();
      }
    }
  }
  state.counters["bytes"] = (double)bytes;
  state.counters["controls"] = controls;
}
BENCHMARK(BM_ExchangeEveryBar)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
