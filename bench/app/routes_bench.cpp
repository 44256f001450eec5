// A large "routes.dat" read into the routes tree as the program starts, and the tree destroyed
// as the program ends: the time of each and the process's peak memory, for files of 10 000,
// 100 000 (the most the reader takes) and 1 000 000 waypoints, in routes of 1 000 waypoints
// each. Of the largest only the routes within the reader's limits are read.
//
// Each load runs in a new process (this program started again with --load-child), so the peak
// memory is that of one load from a fresh start; the figure "extra_MB" is what the load added.
#include "app/RoutesTree.h"
#include "chart/RoutesFile.h"
#include "platform/testing/UiTest.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

extern char** environ;

namespace {

std::string g_self;

std::string& Folder() {
  static std::string folder;
  return folder;
}

void RemoveFolder() {
  std::error_code ignored;
  if (!Folder().empty()) std::filesystem::remove_all(Folder(), ignored);
}

// Peak resident memory of this process so far, in KiB.
long PeakKiB() {
  long kib = 0;
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::strtol(line + 6, nullptr, 10);
    std::fclose(f);
  }
  return kib;
}

struct CHILD_FIGURES {
  double loadSeconds = 0;
  double exitSeconds = 0;
  long peakBeforeKiB = 0;
  long peakKiB = 0;
  int routes = 0;
};

// The child: the tree made over the file (as the left pane makes it), then destroyed.
int LoadChild(const char* file, int fd) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  AfxWinInit(0, nullptr);
  AfxSetMessageBoxHook([](const AFX_MSGBOX_REQUEST&) { return IDOK; });
  CWnd parent;
  if (!parent.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 0, 0, 300, 600, nullptr, nullptr)) return 2;
  AfxTestWait(20);
  CHILD_FIGURES f;
  f.peakBeforeKiB = PeakKiB();
  auto tree = std::make_unique<CRoutesTree>();
  const auto start = std::chrono::steady_clock::now();
  if (!tree->Create(CRect(0, 0, 300, 600), &parent, 100, file)) return 3;
  tree->UpdateWindow();
  const auto loaded = std::chrono::steady_clock::now();
  f.routes = static_cast<int>(tree->GetRoutes().size());
  tree->DestroyWindow();
  tree.reset();
  const auto gone = std::chrono::steady_clock::now();
  f.peakKiB = PeakKiB();
  f.loadSeconds = std::chrono::duration<double>(loaded - start).count();
  f.exitSeconds = std::chrono::duration<double>(gone - loaded).count();
  if (::write(fd, &f, sizeof f) != static_cast<ssize_t>(sizeof f)) return 4;
  ::_exit(0);
}

// A routes file of `waypoints` waypoints, made once.
std::string RoutesFile(long waypoints) {
  static std::map<long, std::string> made;
  auto it = made.find(waypoints);
  if (it != made.end()) return it->second;
  if (Folder().empty()) {
    char tmpl[] = "/tmp/neapwise-routes-bench-XXXXXX";
    if (const char* p = ::mkdtemp(tmpl)) Folder() = p;
    std::atexit(RemoveFolder);
  }
  const std::string path = Folder() + "/routes-" + std::to_string(waypoints) + ".dat";
  std::vector<std::unique_ptr<CMapRoute>> routes;
  std::vector<const CMapRoute*> view;
  for (long left = waypoints; left > 0; left -= 1000) {
    auto r = std::make_unique<CMapRoute>();
    r->SetName("Route " + CString(std::to_string(routes.size() + 1).c_str()));
    for (long k = 0; k < std::min(left, 1000L); ++k) r->AppendPoint(49.0 + (k % 500) * 0.01, -5.0 + k * 0.003, "Point");
    view.push_back(r.get());
    routes.push_back(std::move(r));
  }
  for (auto& r : routes) {
    int n = 0;
    for (CRoutePoint* p = r->GetFirstPoint(); p; p = p->GetNext())
      p->SetName("Point " + CString(std::to_string(++n).c_str()));
  }
  if (!CRoutesFile::Save(path.c_str(), view)) return std::string();
  made[waypoints] = path;
  return path;
}

void BM_LoadRoutesFile(benchmark::State& state) {
  const long waypoints = state.range(0);
  const std::string file = RoutesFile(waypoints);
  if (file.empty()) {
    state.SkipWithError("the routes file could not be made");
    return;
  }
  const double fileMB = static_cast<double>(std::filesystem::file_size(file)) / (1024.0 * 1024.0);
  CHILD_FIGURES last;
  for (auto _ : state) {
    int fds[2];
    if (::pipe(fds) != 0) {
      state.SkipWithError("pipe");
      return;
    }
    const std::string fd = std::to_string(fds[1]);
    char* argv[] = {g_self.data(), const_cast<char*>("--load-child"), const_cast<char*>(file.c_str()),
                    const_cast<char*>(fd.c_str()), nullptr};
    pid_t pid;
    if (::posix_spawn(&pid, g_self.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("spawn");
      return;
    }
    ::close(fds[1]);
    CHILD_FIGURES f;
    const bool got = ::read(fds[0], &f, sizeof f) == static_cast<ssize_t>(sizeof f);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!got) {
      state.SkipWithError("the child did not load the file");
      return;
    }
    last = f;
    state.SetIterationTime(f.loadSeconds);
  }
  state.counters["file_MB"] = fileMB;
  state.counters["routes"] = last.routes;
  state.counters["exit_ms"] = last.exitSeconds * 1000.0;
  // The child's own high-water mark (a spawned child's rusage can count the parent's pages).
  state.counters["peak_MB"] = static_cast<double>(last.peakKiB) / 1024.0;
  state.counters["extra_MB"] = static_cast<double>(last.peakKiB - last.peakBeforeKiB) / 1024.0;
  state.counters["extra_per_file"] =
      fileMB > 0 ? static_cast<double>(last.peakKiB - last.peakBeforeKiB) / 1024.0 / fileMB : 0;
}
BENCHMARK(BM_LoadRoutesFile)
    ->Arg(10000)
    ->Arg(CRoutesFile::kMaxTotalPoints)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  g_self = n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("/proc/self/exe");
  if (argc == 4 && std::strcmp(argv[1], "--load-child") == 0) return LoadChild(argv[2], std::atoi(argv[3]));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveFolder();
  return 0;
}
