// The fixed costs of the embedded tables: loading each in this process, and a whole run of
// neapwise-predict for one day of one port (process start, tables, one day, exit).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <string>

#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"

extern char** environ;

namespace {

template <class DB>
void LoadTable(benchmark::State& state) {
  int count = 0;
  for (auto _ : state) {
    DB db;
    if (!db.Load()) state.SkipWithError("the table did not load");
    count = db.GetCount();
    benchmark::DoNotOptimize(count);
  }
  state.counters["records"] = count;
}
void BM_LoadAngleFactorTable(benchmark::State& state) { LoadTable<CAngleFactorDB>(state); }
void BM_LoadPortTable(benchmark::State& state) { LoadTable<CPortDB>(state); }
void BM_LoadDiamondTable(benchmark::State& state) { LoadTable<CDiamondDB>(state); }
BENCHMARK(BM_LoadAngleFactorTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPortTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDiamondTable)->Unit(benchmark::kMillisecond);

// Wall time per run, and the child's own processor time (the figure that holds on a loaded
// machine).
void BM_PredictOneDayRun(benchmark::State& state) {
  const std::string program = NEAPWISE_PREDICT;
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--index"),    const_cast<char*>("0"),
                  const_cast<char*>("--from"),        const_cast<char*>("2026-06-14"), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  double cpu = 0;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
      state.SkipWithError("spawn");
      break;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("neapwise-predict failed");
    cpu += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  }
  posix_spawn_file_actions_destroy(&actions);
  state.counters["child_cpu_ms"] = cpu * 1e3 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PredictOneDayRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
