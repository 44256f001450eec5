// What an idle program costs: the context switches of all its threads together over a second
// of an idle message loop, before any menu was opened and after one was (its sound thread then
// runs until exit).
#include "bench/toolkit/MenuFrame.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/WinApp.h"
#include "toolkit/CbMenuSound.h"
#include "toolkit/CbMouseManager.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Voluntary and involuntary context switches of every thread of the process.
long ContextSwitches(int* pThreads = nullptr) {
  long total = 0;
  int threads = 0;
  if (DIR* d = opendir("/proc/self/task")) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      std::ifstream in(std::string("/proc/self/task/") + e->d_name + "/status");
      std::string line;
      while (std::getline(in, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
          total += std::atol(line.c_str() + line.find(':') + 1);
      ++threads;
    }
    closedir(d);
  }
  if (pThreads) *pThreads = threads;
  return total;
}

// Argument 0: no menu opened yet; 1: after a press on "Tides" opened its menu and it closed.
void BM_IdleWakeupsPerSecond(benchmark::State& state) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static MenuFrame f(20);
  if (state.range(0) == 1) {
    const POINT tides = f.Title(2);
    AfxTestMouse(WM_MOUSEMOVE, tides);
    AfxTestMouse(WM_LBUTTONDOWN, tides);
    AfxTestMouse(WM_LBUTTONUP, tides);
    AfxTestWait(50);
    if (!CCbMenuSound::IsRunning()) state.SkipWithError("the menu played no sound");
    CbMouseManager()->SendTrackLost();
    AfxTestWait(50);
  }
  double perSecond = 0;
  int threads = 0;
  for (auto _ : state) {
    bool done = false;
    AfxCallLater(1000, [&] { done = true; });
    const long before = ContextSwitches();
    const auto begin = std::chrono::steady_clock::now();
    AfxRunModalLoop([&] { return !done; });
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    perSecond += (ContextSwitches(&threads) - before) / s;
  }
  state.counters["wakeups_per_s"] = perSecond / static_cast<double>(state.iterations());
  state.counters["threads"] = threads;
  state.counters["menu_opened"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_IdleWakeupsPerSecond)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
