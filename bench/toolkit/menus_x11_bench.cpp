// A press on "Tides" until its menu is painted, on a real X server (Xvfb): the popup window is
// mapped, placed and drawn through the server. Skipped where no Xvfb is installed.
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"
#include "platform/ui/UiTest.h"

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string FindTool(const char* name) {
  const char* path = std::getenv("PATH");
  std::string all = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string p = all.substr(start, end - start) + "/" + name;
    if (::access(p.c_str(), X_OK) == 0) return p;
    start = end + 1;
  }
  return {};
}

// Started before the benchmarks run, so the process's one application connects to it.
struct Server {
  pid_t pid = 0;
  std::string display;
  Server() {
    std::string xvfb = FindTool("Xvfb");
    if (xvfb.empty()) return;
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {xvfb, "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-terminate"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid, xvfb.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char c;
    while (pid && ::read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    ::close(fds[0]);
    if (display.empty()) return;
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  // The application keeps its connection to the end of the process, so the server is not
  // stopped here: -terminate ends it when the last connection closes.
  ~Server() {
    if (pid > 0 && display.empty()) ::kill(pid, SIGTERM);
  }
};
Server g_server;

struct MenuFrame {
  CCbFrameWnd* frame = nullptr;
  CCbMenuBar* menu = nullptr;
  MenuFrame() {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(0);
    frame = new CCbFrameWnd;
    frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 700));
    frame->InitCommandBars();
    menu = frame->GetCommandBars()->SetMenu("Menu Bar", 128);
    frame->RecalcLayout();
    AfxTestWait(200);
  }
  POINT Title(int i) {
    POINT p = menu->GetControl(i)->GetRect().CenterPoint();
    menu->ClientToScreen(&p);
    return p;
  }
  CCbPopupBar* Popup(int i) { return dynamic_cast<CCbPopupBar*>(menu->GetControl(i)->GetCommandBar()); }
};

void BM_X11PressOnTidesToItsMenuPainted(benchmark::State& state) {
  if (g_server.display.empty()) {
    state.SkipWithError("no Xvfb installed");
    return;
  }
  static MenuFrame f;
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
BENCHMARK(BM_X11PressOnTidesToItsMenuPainted)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
