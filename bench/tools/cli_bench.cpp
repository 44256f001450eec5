// Whole runs of neapwise-predict (process start, tables, work, exit), each against a program
// that does nothing, started the same way: what is left is the tool's own fixed cost.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <vector>

extern char** environ;

namespace {

struct Run {
  double wallMs = 0;
  double cpuMs = 0;
  bool ok = false;
};

// One run, its output thrown away; ok when it exits with `exitCode`.
Run Spawn(const std::vector<const char*>& args, int exitCode = 0) {
  std::vector<char*> argv;
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Run run;
  const auto begin = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid) {
      run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
      run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
      run.ok = WIFEXITED(status) && WEXITSTATUS(status) == exitCode;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

const std::vector<const char*> kOneDay = {NEAPWISE_PREDICT, "--index", "0", "--from", "2026-06-14"};
const std::vector<const char*> kList = {NEAPWISE_PREDICT, "--list"};
const std::vector<const char*> kHelp = {NEAPWISE_PREDICT, "--help"};  // the usage, exit code 2
const std::vector<const char*> kNoop = {NEAPWISE_NOOP};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + (long)v.size() / 2, v.end());
  return v[v.size() / 2];
}

// Wall time per run, and the child's own processor time (the figure that holds on a loaded
// machine).
void SpawnEach(benchmark::State& state, const std::vector<const char*>& args) {
  double cpu = 0;
  for (auto _ : state) {
    const Run run = Spawn(args);
    if (!run.ok) {
      state.SkipWithError("the run failed");
      break;
    }
    state.SetIterationTime(run.wallMs * 1e-3);
    cpu += run.cpuMs;
  }
  state.counters["child_cpu_ms"] =
      cpu / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
void BM_PredictOneDayRun(benchmark::State& state) { SpawnEach(state, kOneDay); }
void BM_PredictListRun(benchmark::State& state) { SpawnEach(state, kList); }
void BM_NoopRun(benchmark::State& state) { SpawnEach(state, kNoop); }
BENCHMARK(BM_PredictOneDayRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_PredictListRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_NoopRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

// The runs taken in turn, so that they see the same machine; medians of the wall times, and
// fixed_ms, the one-day run less the program that does nothing. help_ms, the tool starting and
// reading no table, is what it costs before any of its own work.
void BM_PredictFixedCost(benchmark::State& state) {
  std::vector<double> day, list, help, noop;
  for (auto _ : state) {
    const Run a = Spawn(kOneDay), b = Spawn(kList), c = Spawn(kNoop), d = Spawn(kHelp, 2);
    if (!a.ok || !b.ok || !c.ok || !d.ok) {
      state.SkipWithError("a run failed");
      break;
    }
    day.push_back(a.wallMs);
    list.push_back(b.wallMs);
    noop.push_back(c.wallMs);
    help.push_back(d.wallMs);
    state.SetIterationTime((a.wallMs + b.wallMs + c.wallMs + d.wallMs) * 1e-3);
  }
  state.counters["one_day_ms"] = Median(day);
  state.counters["list_ms"] = Median(list);
  state.counters["help_ms"] = Median(help);
  state.counters["noop_ms"] = Median(noop);
  state.counters["fixed_ms"] = Median(day) - Median(noop);
}
BENCHMARK(BM_PredictFixedCost)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace
