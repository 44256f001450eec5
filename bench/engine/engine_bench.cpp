// Engine throughput through the shared library: a year's series at 10-minute steps at a point
// with 50 constituents (heights, and heights with streams), and single interpolated predictions.
#include "engine/Ebbcalc32.h"
#include "tests/engine/GridWriter.h"

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace fx = ebc::fixture;

namespace {

constexpr int kSteps = 52560;  // 365 days of 144 ten-minute steps
constexpr int kConstituents = 50;
const fx::GridGeometry kGeometry{40, 40, 52.0, -6.0, 0.05, 0.075};

// A 40 x 40 grid of 50 constituents (the first 50 of the table), or of 7 as the shipped grid
// has, written once.
const std::string& GridFile(int constituents = kConstituents) {
  static fx::TempDir dir;
  static std::string paths[kConstituents + 1];
  std::string& path = paths[constituents];
  if (path.empty()) {
    std::vector<int> numbers;
    for (int n = 1; n <= constituents; ++n) numbers.push_back(n);
    fx::HarmonicsGridWriter grid(kGeometry, numbers);
    for (int r = 1; r <= kGeometry.rows; ++r) {
      for (int c = 1; c <= kGeometry.cols; ++c) {
        std::vector<fx::ConstituentValues> values;
        for (int n = 1; n <= constituents; ++n) {
          const double a = 0.5 / n;
          values.push_back({n, a, 7.0 * n + r, 0.3 * a, 11.0 * n + c, 0.2 * a, 13.0 * n});
        }
        grid.setPoint(r, c, values);
      }
    }
    path = dir.file("bench-grid-" + std::to_string(constituents) + ".dat").string();
    grid.write(path);
    // A file changed in the last seconds has what the engine keeps of it compared with it on
    // every call; the data files users have are older than that.
    std::this_thread::sleep_for(std::chrono::seconds(4));
  }
  return path;
}

void SetUp(benchmark::State& state, int constituents = kConstituents) {
  if (EBC_SetHarmonicsFile(GridFile(constituents).c_str(), "bench") != EBC_OK)
    state.SkipWithError("cannot set the harmonics file");
}

void Series(benchmark::State& state, int flags) {
  SetUp(state);
  std::vector<double> h(kSteps), u(kSteps), v(kSteps), s(kSteps), d(kSteps);
  double seconds = 0;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    double lat = 51.2, lon = -5.1;
    const int status = EBC_DoSeriesPrediction(flags, 0, &lat, &lon, 1, 1, 2025, 0, 0, 0, 0.0, 0.0, kSteps, 10, h.data(),
                                              u.data(), v.data(), s.data(), d.data());
    if (status != EBC_OK) state.SkipWithError("series failed");
    benchmark::DoNotOptimize(h.data());
    benchmark::DoNotOptimize(u.data());
    benchmark::ClobberMemory();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }
  state.SetItemsProcessed(state.iterations() * kSteps);
  state.counters["ns_per_step"] = seconds * 1e9 / (static_cast<double>(state.iterations()) * kSteps);
}

void BM_SeriesYearHeights(benchmark::State& state) { Series(state, EBC_HEIGHT); }
void BM_SeriesYearHeightsAndStreams(benchmark::State& state) { Series(state, EBC_HEIGHT | EBC_STREAM); }

// What changes from one prediction to the next, besides the place: the date and the time (each
// call a new day's astronomy), the time within one day (a passage's track), or nothing (the
// stream field: every cell at one instant).
enum class Varies { kDateAndTime, kTimeOfDay, kPlaceOnly };

// setEach: the harmonics file is set before every prediction, as the chart's cursor read-out
// and the route track do.
void Single(benchmark::State& state, int mode, int flags, int constituents = kConstituents, bool setEach = false,
            Varies varies = Varies::kDateAndTime) {
  SetUp(state, constituents);
  const std::string& path = GridFile(constituents);
  int i = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    if (setEach && EBC_SetHarmonicsFile(path.c_str(), "bench") != EBC_OK)
      state.SkipWithError("cannot set the harmonics file");
    // Walk over the grid so that different records are read.
    double lat = 51.9 - 0.0137 * (i % 100);
    double lon = -5.95 + 0.0241 * (i % 113);
    double h = 0, u = 0, v = 0, s = 0, d = 0;
    const bool newDay = varies == Varies::kDateAndTime;
    const bool newTime = varies != Varies::kPlaceOnly;
    const int status =
        EBC_DoPrediction(flags, mode, &lat, &lon, newDay ? 1 + i % 28 : 14, newDay ? 1 + i % 12 : 6, 2025,
                         newTime ? i % 24 : 9, newTime ? i % 60 : 30, 0, 0.0, 0.0, &h, &u, &v, &s, &d);
    if (status > 0) state.SkipWithError("prediction failed");
    benchmark::DoNotOptimize(h);
    benchmark::DoNotOptimize(s);
    ++i;
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  }
  state.counters["us_per_call"] = seconds * 1e6 / static_cast<double>(state.iterations());
}

void BM_SingleInterpolated(benchmark::State& state) { Single(state, 1, EBC_HEIGHT | EBC_STREAM); }
void BM_SingleInterpolatedOneDay(benchmark::State& state) {
  Single(state, 1, EBC_HEIGHT | EBC_STREAM, kConstituents, false, Varies::kTimeOfDay);
}
void BM_SingleInterpolatedOneTime(benchmark::State& state) {
  Single(state, 1, EBC_HEIGHT | EBC_STREAM, kConstituents, false, Varies::kPlaceOnly);
}
void BM_SingleInterpolatedStream(benchmark::State& state) { Single(state, 1, EBC_STREAM); }
void BM_SingleNearest(benchmark::State& state) { Single(state, 0, EBC_HEIGHT | EBC_STREAM); }
void BM_SingleInterpolated7(benchmark::State& state) { Single(state, 1, EBC_HEIGHT | EBC_STREAM, 7); }
void BM_SetFileAndInterpolateStream7(benchmark::State& state) { Single(state, 1, EBC_STREAM, 7, true); }

// One stat() of a file, the least a prediction pays to notice a data file replaced at its path.
void BM_StatOfTheDataFile(benchmark::State& state) {
  const std::string& path = GridFile();
  struct stat st {};
  for (auto _ : state) benchmark::DoNotOptimize(::stat(path.c_str(), &st));
}

}  // namespace

BENCHMARK(BM_SeriesYearHeights)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesYearHeightsAndStreams)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleInterpolated)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SingleInterpolatedOneDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SingleInterpolatedOneTime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SingleInterpolatedStream)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SingleNearest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SingleInterpolated7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetFileAndInterpolateStream7)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StatOfTheDataFile)->Unit(benchmark::kMicrosecond);
