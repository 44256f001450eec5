// Opening a bar combo's list of 30 items with a click, up to its first paint.
#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

class CComboFrame : public CCbFrameWnd {
 public:
  CCbControlComboBox* combo = nullptr;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_BAR_CREATE_CONTROL) {
      auto* req = (BAR_CREATE_CONTROL_REQUEST*)lParam;
      if (req->nID == 32778) {
        req->pControl = combo = new CCbControlComboBox;
        *pResult = 1;
        return TRUE;
      }
    }
    return CCbFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
  }
  void OnAny() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CComboFrame, CFrameWnd)
  ON_COMMAND(32778, OnAny)
END_MESSAGE_MAP()

void BM_OpenThirtyItemListToFirstPaint(benchmark::State& state) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  AfxWinInit(0, nullptr);
  CCbPaintManager::SetTheme(2);
  auto* frame = new CComboFrame;
  frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 400));
  frame->InitCommandBars();
  CCbToolBar* bar = frame->GetCommandBars()->Add("Standard", cbBarTop);
  bar->LoadToolBar(128);
  CCbControlComboBox* combo = frame->combo;
  if (!combo) {
    state.SkipWithError("no combo");
    return;
  }
  combo->SetWidth(100);
  CString s;
  for (int i = 0; i < 30; ++i) {
    s.Format("Item %d", i + 1);
    combo->AddString(s);
  }
  combo->SetCurSel(4);
  frame->RecalcLayout();
  AfxTestWait(30);
  bar->OnIdleUpdateCmdUI(TRUE);
  const CPoint at = combo->GetRect().CenterPoint();
  AfxTestMoveTo(bar->GetSafeHwnd(), at.x, at.y);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    AfxTestClick(bar->GetSafeHwnd(), at.x, at.y);
    if (!combo->IsListOpen()) {
      state.SkipWithError("the list did not open");
      break;
    }
    ::UpdateWindow(combo->GetListHwnd());
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    CbMouseManager()->SendTrackLost();
    // Not a double click next time.
    AfxTestWait((int)GetDoubleClickTime() + 10);
  }
  frame->DestroyWindow();
}
BENCHMARK(BM_OpenThirtyItemListToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
