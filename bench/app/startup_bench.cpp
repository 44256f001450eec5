// The program's start-up, from process start to the first graph painted, the time from a click
// on a port to the repainted graph, and a wheel notch in the ports list with every area open.
//
// Start-up runs in a new process each time (this program started again with --startup-child),
// so it pays for loading, the GUI layer, the tables and the first paint like a real start.
#include "bench/app/BenchProgram.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

extern char** environ;

namespace {

std::string g_self;

// The child: start the program, paint its graph, tell the parent, leave at once.
int StartupChild(int fd) {
  static CNeapwiseApp app;
  AfxWinInit(0, nullptr);
  // The start-up notice and tip are closed at once: the figure is the program's own start.
  CNeapwiseApp::SetStartupDialogHook([](CDialog* dlg) { dlg->EndDialog(IDOK); });
  if (!app.InitInstance()) return 1;
  auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
  CGraphWnd& graph = frame->GetRightPane()->Graph();
  graph.UpdateWindow();
  if (!graph.HasData() || graph.GetPlotRect().IsRectEmpty()) return 2;
  const char ok = 1;
  if (::write(fd, &ok, 1) != 1) return 3;
  ::_exit(0);
}

// The floor beneath the figure: this platform's own start (the toolkit's libraries, the
// application object) with one top-level window of the default size shown and painted, and
// nothing of the program's, of the main window's first size. With text, the window's paint
// draws one line of it, so the floor has the font system's first load too, which any window
// with words pays.
class CTextWnd : public CWnd {
 public:
  bool withText = false;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_PAINT || !withText) return CWnd::WindowProc(message, wParam, lParam);
    CPaintDC dc(this);
    dc.TextOut(10, 10, "Neapwise");
    return 0;
  }
};

int BareWindowChild(int fd, bool withText) {
  AfxWinInit(0, nullptr);
  CTextWnd wnd;
  wnd.withText = withText;
  LPCTSTR cls = AfxRegisterWndClass(0, nullptr, (HBRUSH)(UINT_PTR)(COLOR_WINDOW + 1));
  const CRect& r = CFrameWnd::rectDefault;
  if (!wnd.CreateEx(0, cls, "Neapwise", WS_OVERLAPPEDWINDOW | WS_VISIBLE, r.left, r.top, r.Width(), r.Height(), nullptr,
                    nullptr))
    return 1;
  wnd.UpdateWindow();
  AfxTestWait(0);
  const char ok = 1;
  if (::write(fd, &ok, 1) != 1) return 3;
  ::_exit(0);
}

// Runs this program again as the given child until it tells it has painted. Besides the wall
// time, the processor time the child used to its exit (which follows the paint at once): on a
// loaded machine the wall time mostly measures the others.
void TimeChildren(benchmark::State& state, const char* mode) {
  bench_app::UseTemporaryFolders();
  double cpuSeconds = 0, faults = 0;
  for (auto _ : state) {
    int fds[2];
    if (::pipe(fds) != 0) {
      state.SkipWithError("pipe");
      return;
    }
    const std::string fd = std::to_string(fds[1]);
    char* argv[] = {g_self.data(), const_cast<char*>(mode), const_cast<char*>(fd.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (::posix_spawn(&pid, g_self.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("spawn");
      return;
    }
    ::close(fds[1]);
    char ok = 0;
    const bool painted = ::read(fds[0], &ok, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    cpuSeconds +=
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    faults += (double)usage.ru_minflt;
    if (!painted) {
      state.SkipWithError("the child did not paint");
      return;
    }
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.counters["child_cpu_ms"] = cpuSeconds * 1e3 / static_cast<double>(state.iterations());
  // Each first touch of a page costs a fault, dear on some virtual machines.
  state.counters["page_faults"] = faults / static_cast<double>(state.iterations());
}

void BM_StartupToFirstGraph(benchmark::State& state) { TimeChildren(state, "--startup-child"); }
BENCHMARK(BM_StartupToFirstGraph)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StartupOfABareWindow(benchmark::State& state) { TimeChildren(state, "--bare-window-child"); }
BENCHMARK(BM_StartupOfABareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StartupOfABareWindowWithText(benchmark::State& state) { TimeChildren(state, "--text-window-child"); }
BENCHMARK(BM_StartupOfABareWindowWithText)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PortClickToRepaintedGraph(benchmark::State& state) {
  CMainFrame* frame = bench_app::StartProgram(state);
  if (!frame) return;
  CPortsTree& tree = frame->GetLeftPane()->PortsTree();
  CGraphWnd& graph = frame->GetRightPane()->Graph();
  // The first two ports of the first area, in view.
  HTREEITEM first = tree.GetChildItem(tree.GetRootItem());
  HTREEITEM second = first ? tree.GetNextSiblingItem(first) : nullptr;
  if (!second) {
    state.SkipWithError("no ports in the tree");
    return;
  }
  tree.EnsureVisible(second);
  tree.EnsureVisible(first);
  AfxTestWait(50);
  CRect r[2];
  tree.GetItemRect(first, &r[0], TRUE);
  tree.GetItemRect(second, &r[1], TRUE);
  const int ports[2] = {(int)tree.GetItemData(first), (int)tree.GetItemData(second)};
  for (auto _ : state) {
    // The other of the two ports each time.
    const int i = frame->GetCurrentPort() == ports[0] ? 1 : 0;
    AfxTestClick(tree.GetSafeHwnd(), r[i].CenterPoint().x, r[i].CenterPoint().y);
    graph.UpdateWindow();
    if (frame->GetCurrentPort() != ports[i] || !graph.HasData()) {
      state.SkipWithError("the click picked no port");
      break;
    }
  }
  frame->DestroyWindow();
}
BENCHMARK(BM_PortClickToRepaintedGraph)->Unit(benchmark::kMillisecond);

// Every area open: some 2,500 rows, each step three of them on.
void BM_PortsTreeWheelStep(benchmark::State& state) {
  CMainFrame* frame = bench_app::StartProgram(state);
  if (!frame) return;
  CPortsTree& tree = frame->GetLeftPane()->PortsTree();
  for (HTREEITEM a = tree.GetRootItem(); a; a = tree.GetNextSiblingItem(a)) tree.Expand(a, TVE_EXPAND);
  tree.UpdateWindow();
  CRect rc;
  tree.GetClientRect(&rc);
  POINT at = rc.CenterPoint();
  tree.ClientToScreen(&at);
  AfxTestMouse(WM_MOUSEMOVE, at);
  int i = 0;
  for (auto _ : state) {
    // Down, and back up every tenth notch, so the rows shown change each time.
    AfxTestWheel(at, ++i % 10 == 0 ? 9 * WHEEL_DELTA : -WHEEL_DELTA);
    tree.UpdateWindow();
  }
  frame->DestroyWindow();
}
BENCHMARK(BM_PortsTreeWheelStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  g_self = "/proc/self/exe";
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n > 0) g_self.assign(path, (size_t)n);
  if (argc == 3 && std::strcmp(argv[1], "--startup-child") == 0) return StartupChild(std::atoi(argv[2]));
  if (argc == 3 && std::strcmp(argv[1], "--bare-window-child") == 0) return BareWindowChild(std::atoi(argv[2]), false);
  if (argc == 3 && std::strcmp(argv[1], "--text-window-child") == 0) return BareWindowChild(std::atoi(argv[2]), true);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench_app::RemoveTemporaryFolders();
  return 0;
}
