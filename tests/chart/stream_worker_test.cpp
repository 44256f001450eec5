// The chart's stream picture off the window thread: the cells of a closed-form stream, cells
// outside the stream regions, cancelling through a latch (no stale grid is ever published),
// the display zone's offset, and the diamonds' high-water arithmetic.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "chart/ChartRoutes.h"
#include "chart/StreamWorker.h"
#include "engine/Ebbcalc32.h"
#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "model/TidalStream.h"
#include "tests/model/ModelTables.h"

namespace {

double RateAt(double lat, double lon) { return 1.0 + (lat - 48.0) * 0.1 + lon * 0.01; }
double DirectionAt(double lat, double lon) { return std::fmod(200.0 + lat + lon * 3.0 + 360.0, 360.0); }

GRID_STREAM_FN ClosedForm(std::vector<CQsDateTime>* times = nullptr, std::vector<int>* regions = nullptr) {
  return [=](int region, double lat, double lon, const CQsDateTime& gmt, double& speed, double& direction) {
    if (times) times->push_back(gmt);
    if (regions) regions->push_back(region);
    speed = RateAt(lat, lon);
    direction = DirectionAt(lat, lon);
    return 0;
  };
}

// A box from the open Atlantic (no region) into region 1 of the UK boxes.
std::unique_ptr<CTidalStreamGrid> AtlanticGrid(int cols = 8, int rows = 6) {
  return std::make_unique<CTidalStreamGrid>(cols, rows, 0, 0, cols * 50, rows * 50, -14.0, -2.0, 50.5, 46.0, 2026, 6,
                                            14, 9, 30, 1);
}

TEST(StreamGrid, ClosedFormStreamGivesEveryInRegionCellAndNoOther) {
  auto grid = AtlanticGrid();
  std::vector<CQsDateTime> times;
  std::vector<int> regions;
  const STREAM_FILL_RESULT r = FillStreamGrid(*grid, 60, ClosedForm(&times, &regions), nullptr);
  EXPECT_FALSE(r.cancelled);
  int inside = 0;
  for (int c = 1; c <= grid->GetCols(); ++c) {
    for (int row = 1; row <= grid->GetRows(); ++row) {
      const LATLON centre = grid->GetCellCentre(c, row);
      if (GetStreamRegion(centre) != 0) {
        ++inside;
        EXPECT_NEAR(grid->GetRate(c, row), RateAt(centre.latitude, centre.longitude), 1e-12);
        EXPECT_NEAR(grid->GetDirection(c, row), DirectionAt(centre.latitude, centre.longitude), 1e-12);
      } else {
        // Also a cell scanned after an in-region one: never predicted with that region.
        EXPECT_EQ(grid->GetRate(c, row), 0.0) << c << "," << row;
        EXPECT_EQ(grid->GetDirection(c, row), 0.0);
      }
    }
  }
  ASSERT_GT(inside, 0);
  ASSERT_LT(inside, grid->GetCols() * grid->GetRows());
  EXPECT_EQ(r.predicted, inside);
  EXPECT_EQ(static_cast<int>(times.size()), inside);
  for (const CQsDateTime& t : times)
    EXPECT_TRUE(t == CQsDateTime(2026, 6, 14, 8, 30, 0)) << "the display zone is taken off";
  for (int region : regions) EXPECT_EQ(region, 1);
}

TEST(StreamGrid, EngineRefusalsLeaveCellsEmptyAndAreCountedNotShown) {
  auto grid = AtlanticGrid();
  const STREAM_FILL_RESULT r = FillStreamGrid(
      *grid, 0,
      [](int, double, double, const CQsDateTime&, double& s, double& d) {
        s = 9.0;
        d = 9.0;
        return 11;
      },
      nullptr);
  EXPECT_GT(r.failed, 0);
  EXPECT_EQ(r.failed, r.predicted);
  EXPECT_EQ(r.lastFailStatus, 11);
  for (int c = 1; c <= grid->GetCols(); ++c)
    for (int row = 1; row <= grid->GetRows(); ++row) EXPECT_EQ(grid->GetRate(c, row), 0.0);
}

TEST(StreamWorker, AMissingDataFileIsToldOnceNotPerCellOrPerRun) {
  CStreamWorker worker;
  auto run = [&](int status) {
    STREAM_GRID_JOB job;
    job.grid = AtlanticGrid();
    job.stream = [status](int, double, double, const CQsDateTime&, double& s, double& d) {
      s = d = 1.0;
      return status;
    };
    worker.Start(std::move(job));
    worker.Wait();
    return worker.TakeEngineProblem();
  };
  const CString first = run(EBC_ERR_NO_HARMONICS_FILE);
  EXPECT_NE(first.Find("could not be read"), -1) << first.GetString();
  // What is missing, and that the diamonds drawn beside it still show.
  EXPECT_NE(first.Find("stream grid"), -1) << first.GetString();
  EXPECT_NE(first.Find("diamonds and their streams, from the program's own table, still show"), -1)
      << first.GetString();
  EXPECT_EQ(first.Find("no tidal streams are shown"), -1) << first.GetString();
  EXPECT_TRUE(run(EBC_ERR_NO_HARMONICS_FILE).IsEmpty()) << "told again on the next run";
  EXPECT_TRUE(run(EBC_ERR_NEAREST_CORNER_MISSING).IsEmpty()) << "a cell without stream is no fault";
  EXPECT_TRUE(run(0).IsEmpty());
  EXPECT_FALSE(run(EBC_ERR_NO_HARMONICS_FILE).IsEmpty()) << "a fault that comes back after a good run is told";
}

TEST(StreamGrid, GridSmallerThanACellIsPublishedEmpty) {
  CStreamWorker worker;
  STREAM_GRID_JOB job;
  job.grid = std::make_unique<CTidalStreamGrid>(0, 0, 0, 0, 40, 30, -5, -4, 50.5, 50, 2026, 6, 14, 9, 0, 1);
  job.stream = ClosedForm();
  worker.Start(std::move(job));
  worker.Wait();
  bool seen = false;
  worker.ReadGrid([&](const CTidalStreamGrid* g) { seen = g && g->GetCols() == 0; });
  EXPECT_TRUE(seen);
}

TEST(StreamWorker, CancelledRunNeverPublishesAndOnlyTheNewerGridShows) {
  std::mutex m;
  std::condition_variable cv;
  bool entered = false, release = false;
  CStreamWorker worker;

  // The first run has one in-region cell and stops inside its prediction: past its last
  // cancel test, so only the generation can keep its grid out.
  STREAM_GRID_JOB first;
  first.grid = std::make_unique<CTidalStreamGrid>(1, 1, 0, 0, 50, 50, -3.0, -2.0, 50.5, 50.0, 2026, 6, 14, 9, 0, 1);
  first.stream = [&](int, double, double, const CQsDateTime&, double& s, double& d) {
    std::unique_lock<std::mutex> lock(m);
    entered = true;
    cv.notify_all();
    cv.wait(lock, [&] { return release; });
    s = 111.0;
    d = 1.0;
    return 0;
  };
  worker.Start(std::move(first));
  const unsigned firstGeneration = worker.GetGeneration();
  {
    std::unique_lock<std::mutex> lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return entered; }));
  }

  STREAM_GRID_JOB second;
  second.grid = AtlanticGrid();
  second.stream = ClosedForm();
  std::thread restart([&] { worker.Start(std::move(second)); });  // waits for the first run
  // The restart has begun once the generation moved on; then the latch lets the first go.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (worker.GetGeneration() == firstGeneration && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::yield();
  ASSERT_NE(worker.GetGeneration(), firstGeneration);
  {
    std::lock_guard<std::mutex> lock(m);
    release = true;
    cv.notify_all();
  }
  restart.join();
  worker.Wait();

  EXPECT_EQ(worker.GetPublishCount(), 1) << "the cancelled grid was published";
  EXPECT_EQ(worker.GetPublishedGeneration(), worker.GetGeneration());
  worker.ReadGrid([&](const CTidalStreamGrid* g) {
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetCols(), 8);
    for (int c = 1; c <= g->GetCols(); ++c)
      for (int r = 1; r <= g->GetRows(); ++r) EXPECT_NE(g->GetRate(c, r), 111.0);
  });
  EXPECT_TRUE(CDMLock::TakeOrderBreaches().empty());
}

TEST(StreamWorker, CancelStopsARunAtItsNextCellAndKeepsNothing) {
  CStreamWorker worker;
  std::atomic<int> calls{0};
  std::atomic<bool> stop{false};
  STREAM_GRID_JOB job;
  job.grid =
      std::make_unique<CTidalStreamGrid>(60, 60, 0, 0, 3000, 3000, -11.0, -1.0, 51.0, 48.5, 2026, 6, 14, 9, 0, 1);
  job.stream = [&](int, double, double, const CQsDateTime&, double& s, double& d) {
    ++calls;
    while (!stop.load() && calls.load() > 5)
      std::this_thread::yield();  // holds the run until the test has asked for the cancel
    s = d = 1.0;
    return 0;
  };
  worker.Start(std::move(job));
  while (calls.load() <= 5) std::this_thread::yield();
  std::thread canceller([&] { worker.Cancel(); });
  while (worker.GetGeneration() == 1) std::this_thread::yield();
  stop = true;
  canceller.join();
  EXPECT_LT(calls.load(), 60 * 60);
  worker.Wait();  // the cancel did not wait: the run ends at its next cell
  EXPECT_LT(calls.load(), 60 * 60);
  EXPECT_EQ(worker.GetPublishCount(), 0);
  worker.ReadGrid([](const CTidalStreamGrid* g) { EXPECT_EQ(g, nullptr); });
}

// The window thread cancels while a worker is inside a slow engine call: the cancel returns at
// once, and the run, when its call ends, publishes nothing. A watchdog ends the call after two
// seconds, so a cancel that waits for the call fails here rather than hanging the test.
TEST(StreamWorker, CancelReturnsWhileTheWorkerIsStillInsideItsCall) {
  CStreamWorker worker;
  std::atomic<bool> inCall{false}, release{false};
  STREAM_GRID_JOB job;
  job.grid =
      std::make_unique<CTidalStreamGrid>(20, 20, 0, 0, 1000, 1000, -11.0, -1.0, 51.0, 48.5, 2026, 6, 14, 9, 0, 1);
  job.stream = [&](int, double, double, const CQsDateTime&, double& s, double& d) {
    inCall = true;
    while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    s = d = 1.0;
    return 0;
  };
  worker.Start(std::move(job));
  while (!inCall.load()) std::this_thread::yield();
  std::thread watchdog([&] {
    for (int i = 0; i < 2000 && !release.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    release = true;
  });
  const auto begin = std::chrono::steady_clock::now();
  worker.Cancel();
  const auto waited = std::chrono::steady_clock::now() - begin;
  release = true;
  watchdog.join();
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count(), 500);
  worker.Wait();
  EXPECT_EQ(worker.GetPublishCount(), 0);
  worker.ReadGrid([](const CTidalStreamGrid* g) { EXPECT_EQ(g, nullptr); });
}

class RegionOneHost : public IChartRoutesHost {
 public:
  int GetRegion() const override { return 1; }
  int GetZoneOffsetMinutes() const override { return 0; }
  CQsDateTime GetSelectedDate() const override { return CQsDateTime(2026, 6, 14, 0, 0, 0); }
  HWND GetTrackNotifyWindow() const override { return nullptr; }
  void RedrawRoutes() override {}
};

// The view's restart of its stream picture, over and over, while both workers run and the
// grid is read: the locks are always taken in their order and nothing waits for ever.
TEST(StreamWorker, RestartsWithBothWorkersRunningKeepTheLockOrder) {
  CDMLock::TakeOrderBreaches();
  RegionOneHost host;
  CChartRoutes routes;
  routes.SetHost(&host);
  std::atomic<int> samples{0};
  routes.SetStreamSource([&](const CPosition&, const CQsDateTime&) {
    ++samples;
    return TIDAL_STREAM{0.4, 30.0};
  });
  CMapRoute route;
  route.SetSpeed(0.5);
  route.AddPoint(50.0, -2.0);
  route.AddPoint(50.5, -1.0);
  routes.SetRoute(&route);
  CStreamWorker streams;
  CDMLock run(DMLOCK_STREAMRUN), grid(DMLOCK_STREAM), abortFlag(DMLOCK_ABORT);
  for (int i = 0; i < 20; ++i) {
    routes.AbortDrift();
    { CDMLockHold a(abortFlag); }
    {
      // What the view does before making the next grid.
      CDMLockHold r(run);
      CDMLockHold g(grid);
    }
    STREAM_GRID_JOB job;
    job.grid = AtlanticGrid(20, 12);
    job.stream = ClosedForm();
    streams.Start(std::move(job), i % 5 == 0);
    routes.RecomputeRoute();
    streams.ReadGrid([](const CTidalStreamGrid*) {});
  }
  streams.Wait();
  routes.WaitForTrack();
  EXPECT_EQ(streams.GetPublishedGeneration(), streams.GetGeneration());
  EXPECT_GT(samples.load(), 0);
  const auto breaches = CDMLock::TakeOrderBreaches();
  EXPECT_TRUE(breaches.empty()) << (breaches.empty() ? "" : breaches[0]);
  routes.ClearRoute();
}

TEST(ZoneOffset, CodesGiveTheirMinutes) {
  struct Case {
    BOOL automatic, summer;
    int zone, minutes;
  };
  const Case cases[] = {
      {TRUE, FALSE, 5, 0},       {TRUE, TRUE, -3, 60},      {FALSE, FALSE, 0, 0},
      {FALSE, TRUE, 1, 60},      {FALSE, FALSE, -5, -300},  {FALSE, FALSE, 12, 720},
      {FALSE, FALSE, -12, -720}, {FALSE, FALSE, 13, -720},  // "UT (-12:00)", not thirteen hours east
      {FALSE, FALSE, 930, 570},  {FALSE, FALSE, 1030, 630}, {FALSE, FALSE, -330, -210},
      {FALSE, FALSE, 1230, 750},
  };
  for (const Case& c : cases) EXPECT_EQ(ZoneOffsetMinutes(c.automatic, c.summer, c.zone), c.minutes) << c.zone;
}

// ---- Diamonds ----

class DiamondTides : public ::testing::Test {
 protected:
  void SetUp() override {
    CPortData normal = model_test::Port(0, 4001, "Normal");
    CPortData flat = model_test::Port(1, 4002, "Flat");
    flat.SetLevel(CPortData::MHWS, 3.4);  // springs rise no higher than neaps
    flat.SetLevel(CPortData::MHWN, 3.4);
    portBytes = model_test::TableBytes<CPortDB>(std::vector<CPortData>{normal, flat});
    factorBytes = model_test::TableBytes<CAngleFactorDB>(model_test::Days(1, 2026, 6, 1, 10));
    ports = std::make_unique<CPortDB>(portBytes.data(), portBytes.size());
    factors = std::make_unique<CAngleFactorDB>(factorBytes.data(), factorBytes.size());
    ASSERT_EQ(ports->Load(), 1);
    ASSERT_EQ(factors->Load(), 1);
  }
  std::vector<BYTE> portBytes, factorBytes;
  std::unique_ptr<CPortDB> ports;
  std::unique_ptr<CAngleFactorDB> factors;
  CDiamondPredictionCache cache;
};

TEST_F(DiamondTides, EqualSpringAndNeapLevelsGiveTheMeanFactorNotADivisionByZero) {
  double hours = 99, factor = 99;
  ASSERT_TRUE(GetHoursFromHighWater(cache, *ports, *factors, CQsDateTime(2026, 6, 5, 10, 0, 0), 4002, hours, factor));
  EXPECT_EQ(factor, 0.5);
  EXPECT_TRUE(std::isfinite(hours));
  EXPECT_LE(std::fabs(hours), 13.0);
  ASSERT_TRUE(GetHoursFromHighWater(cache, *ports, *factors, CQsDateTime(2026, 6, 5, 10, 0, 0), 4001, hours, factor));
  EXPECT_GE(factor, 0.0);
  EXPECT_LE(factor, 1.0);
}

TEST_F(DiamondTides, DatesOutsideTheTableAndUnknownPortsGiveNoStream) {
  double hours = 0, factor = 0;
  EXPECT_FALSE(GetHoursFromHighWater(cache, *ports, *factors, CQsDateTime(2030, 1, 1, 10, 0, 0), 4001, hours, factor));
  // The table's last day has no next day to predict with.
  EXPECT_FALSE(GetHoursFromHighWater(cache, *ports, *factors, CQsDateTime(2026, 6, 10, 10, 0, 0), 4001, hours, factor));
  EXPECT_FALSE(GetHoursFromHighWater(cache, *ports, *factors, CQsDateTime(2026, 6, 5, 10, 0, 0), 9999, hours, factor));
  // The first day still works from itself and the day after.
  EXPECT_TRUE(GetHoursFromHighWater(cache, *ports, *factors, CQsDateTime(2026, 6, 1, 10, 0, 0), 4001, hours, factor));
}

TEST_F(DiamondTides, DiamondArrowsMixSpringsAndNeapsAndKeepToTheViewAndDetail) {
  std::vector<CDiamondData> table(3);
  for (int i = 0; i < 3; ++i) {
    table[i].SetNumber(i + 1);
    table[i].SetReferencePortId(4001);
    table[i].SetMinLevel(i == 2 ? 5 : 0);                                  // the third only at a finer detail
    table[i].SetPosition(CPosition(50.0 + i * 0.1, i == 1 ? 3.0 : -1.0));  // the second off the view
    table[i].SetName(CString(std::string(1, static_cast<char>('A' + i)).c_str()));
    for (int h = -6; h <= 6; ++h) table[i].AddFlow(h, 90.0, 3.0, 1.0);  // the same flow every hour: only the mix varies
  }
  const std::vector<BYTE> bytes = model_test::TableBytes<CDiamondDB>(table);
  CDiamondDB diamonds(bytes.data(), bytes.size());
  ASSERT_EQ(diamonds.Load(), 1);
  DIAMOND_JOB job;
  job.pDiamonds = &diamonds;
  job.pPorts = ports.get();
  job.pFactors = factors.get();
  job.pCache = &cache;
  job.detailLevel = 2;
  job.visible = [](double, double lon) { return lon < 0.0; };
  const CQsDateTime gmt(2026, 6, 5, 10, 0, 0);
  std::vector<DIAMOND_ON_MAP> out;
  ASSERT_TRUE(BuildDiamondList(job, gmt, nullptr, out));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].name, CString("A"));
  EXPECT_EQ(out[0].number, 1);
  double hours = 0, factor = 0;
  ASSERT_TRUE(GetHoursFromHighWater(cache, *ports, *factors, gmt, 4001, hours, factor));
  EXPECT_NEAR(out[0].speed, (1.0 + 2.0 * factor) / 1.94384449, 1e-12);
  EXPECT_EQ(out[0].direction, 90.0);
  // A cancel stops the list.
  int asked = 0;
  EXPECT_FALSE(BuildDiamondList(
      job, gmt, [&] { return ++asked > 1; }, out));
}

TEST_F(DiamondTides, CacheHoldsOnePredictionPerPortAndDate) {
  CPrediction* a = cache.Get(*ports, *factors, 4001, CQsDateTime(2026, 6, 3, 0, 0, 0));
  CPrediction* b = cache.Get(*ports, *factors, 4001, CQsDateTime(2026, 6, 4, 0, 0, 0));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(a->GetDate().GetDay(), 3);
  EXPECT_EQ(b->GetDate().GetDay(), 4);
  EXPECT_EQ(cache.Get(*ports, *factors, 4001, CQsDateTime(2026, 6, 3, 12, 0, 0)), a);
  EXPECT_EQ(cache.GetCount(), 2u);
}

}  // namespace
