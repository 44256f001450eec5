#include "model/TidalStream.h"

#include "engine/Ebbcalc32.h"
#include "model/EngineLock.h"
#include "model/TidalStreamGrid.h"
#include "tests/engine/GridWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------------
// A harmonics grid whose only constituent is S2 (number 36): f = 1, u = 0 and V0 = 0, so the
// stream at a grid point is U = Au cos(30 t - gu), V = Av cos(30 t - gv) with t in hours of the
// day and the angles in degrees.

constexpr int kS2 = 36;
constexpr double kNorth = 58.0, kWest = -12.0, kStep = 1.0;
constexpr int kRows = 11, kCols = 23;  // 58 N .. 48 N, 12 W .. 10 E

struct S2_POINT {
  double uAmp, uPhase, vAmp, vPhase;
};

// Constants differ from point to point, so a prediction made with another thread's position
// or time shows up.
S2_POINT PointAt(int row, int col) { return {0.2 + 0.01 * col, 5.0 + 10.0 * row, 0.3 + 0.02 * row, 20.0 + 7.0 * col}; }

int RowOf(double lat) { return static_cast<int>(std::lround((kNorth - lat) / kStep)) + 1; }
int ColOf(double lon) { return static_cast<int>(std::lround((lon - kWest) / kStep)) + 1; }

// Grid points listed in `noStream` have no stream data.
void WriteGrid(const fs::path& file, const std::vector<std::pair<int, int>>& noStream = {}) {
  ebc::fixture::HarmonicsGridWriter grid({kRows, kCols, kNorth, kWest, kStep, kStep}, {kS2});
  for (int r = 1; r <= kRows; ++r)
    for (int c = 1; c <= kCols; ++c) {
      const S2_POINT p = PointAt(r, c);
      grid.setPoint(r, c, {{kS2, 1.0, 0.0, p.uAmp, p.uPhase, p.vAmp, p.vPhase}});
    }
  for (const auto& point : noStream) grid.setNoStream(point.first, point.second);
  grid.write(file);
}

struct STREAM_UV {
  double u, v;
};

STREAM_UV ExpectedUV(double lat, double lon, int hour, int minute) {
  const double k = 3.14159265358979323846 / 180.0;
  const S2_POINT p = PointAt(RowOf(lat), ColOf(lon));
  const double t = hour + minute / 60.0;
  return {p.uAmp * std::cos((30.0 * t - p.uPhase) * k), p.vAmp * std::cos((30.0 * t - p.vPhase) * k)};
}

TIDAL_STREAM Expected(double lat, double lon, int hour, int minute) {
  const STREAM_UV e = ExpectedUV(lat, lon, hour, minute);
  double direction = std::atan2(e.u, e.v) * 180.0 / 3.14159265358979323846;
  if (direction < 0) direction += 360.0;
  return {std::sqrt(e.u * e.u + e.v * e.v), direction};
}

// Compared as east and north components: near slack water the direction swings on tiny errors.
bool Matches(double rate, double direction, double lat, double lon, int hour, int minute) {
  const double k = 3.14159265358979323846 / 180.0;
  const STREAM_UV e = ExpectedUV(lat, lon, hour, minute);
  return std::fabs(rate * std::sin(direction * k) - e.u) < 1e-6 &&
         std::fabs(rate * std::cos(direction * k) - e.v) < 1e-6;
}

class StreamAtTest : public ::testing::Test {
 protected:
  void SetUp() override { UseFolder(m_dir.path()); }
  void UseFolder(const fs::path& folder) { ::setenv("NEAPWISE_DATA_DIR", folder.c_str(), 1); }

  ebc::fixture::TempDir m_dir;
  const fs::path& m_folder = m_dir.path();
};

// ---------------------------------------------------------------------------------------------

TEST(StreamRegionTest, FirstBoxHoldingThePosition) {
  struct Case {
    double lat, lon;
    int region;
  };
  const Case cases[] = {
      {50, -1, 1},
      {52, 1, 2},
      {40, 0, 0},
      {51, -5, 1},  // inside 1 and 3: 1 comes first
      {53, -6, 3},
      {55, 2, 4},
      {57, 10, 5},
      {57, -8, 6},
      {58, 0, 7},
      {61, -8, 8},
      {61, 0, 9},
      {63, 0, 0},
      {50, 20, 0},
      // Bounds are inclusive.
      {48.16667, -11.75, 1},
      {51.0556, 0.25, 1},
      {62.83333, 7.25, 9},
      {48.16666, -5, 0},
      {-50, 1, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GetStreamRegion({c.lat, c.lon}), c.region) << c.lat << ", " << c.lon;
}

TEST(StreamRegionTest, RegionFileNames) {
  EXPECT_EQ(GetStreamRegionFile(1).GetStdString(), "/rg1.dat");
  EXPECT_EQ(GetStreamRegionFile(9).GetStdString(), "/rg9.dat");
  for (int region : {0, 10, -1}) EXPECT_TRUE(GetStreamRegionFile(region).IsEmpty()) << region;
}

TEST(TidalStreamGridTest, CellsAreStoredRowMajorFromOne) {
  CTidalStreamGrid grid(3, 2, 0, 0, 150, 100, -6.0, 0.0, 52.0, 50.0, 2026, 6, 15, 10, 20, 7);
  EXPECT_EQ(grid.GetCols(), 3);
  EXPECT_EQ(grid.GetRows(), 2);
  EXPECT_EQ(grid.GetFlag(), 7);
  EXPECT_EQ(grid.GetTime(), CQsDateTime(2026, 6, 15, 10, 20, 0));
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 3; ++c) {
      EXPECT_EQ(grid.GetRate(c, r), 0.0);
      grid.SetStream(c + 10.0 * r, 100.0 + c + 10.0 * r, c, r);
    }
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 3; ++c) {
      EXPECT_EQ(grid.GetRate(c, r), c + 10.0 * r);
      EXPECT_EQ(grid.GetDirection(c, r), 100.0 + c + 10.0 * r);
    }
}

TEST(TidalStreamGridTest, CellsOutsideTheGridAreIgnored) {
  CTidalStreamGrid grid(3, 2, 0, 0, 150, 100, -6.0, 0.0, 52.0, 50.0, 2026, 6, 15, 10, 20, 0);
  grid.SetStream(9, 9, 0, 1);
  grid.SetStream(9, 9, 1, 3);
  grid.SetStream(9, 9, 4, 1);
  grid.SetStream(9, 9, 1, 0);
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(grid.GetRate(c, r), 0.0);
  EXPECT_EQ(grid.GetRate(0, 1), 0.0);
  EXPECT_EQ(grid.GetDirection(4, 2), 0.0);
}

TEST(TidalStreamGridTest, CellCentresAndPixels) {
  CTidalStreamGrid grid(3, 2, 10, 20, 160, 121, -6.0, 0.0, 52.0, 50.0, 2026, 6, 15, 10, 20, 0);
  const LATLON first = grid.GetCellCentre(1, 1);
  EXPECT_DOUBLE_EQ(first.longitude, -5.0);
  EXPECT_DOUBLE_EQ(first.latitude, 51.5);
  const LATLON last = grid.GetCellCentre(3, 2);
  EXPECT_DOUBLE_EQ(last.longitude, -1.0);
  EXPECT_DOUBLE_EQ(last.latitude, 50.5);

  // dx = 50, dy = 50.5: y = 20 + trunc(50.5) + trunc(25.25).
  const GRID_PIXEL p = grid.GetCellPixel(2, 2);
  EXPECT_EQ(p.x, 10 + 50 + 25);
  EXPECT_EQ(p.y, 20 + 50 + 25);
}

TEST(TidalStreamGridTest, EmptyGridIsSafe) {
  CTidalStreamGrid grid(0, -1, 0, 0, 30, 30, -6.0, 0.0, 52.0, 50.0, 2026, 6, 15, 10, 20, 0);
  EXPECT_EQ(grid.GetCols(), 0);
  EXPECT_EQ(grid.GetRows(), 0);
  grid.SetStream(1, 1, 1, 1);
  EXPECT_EQ(grid.GetRate(1, 1), 0.0);
  EXPECT_TRUE(std::isfinite(grid.GetCellCentre(1, 1).latitude));
  (void)grid.GetCellPixel(1, 1);
}

// ---------------------------------------------------------------------------------------------

TEST_F(StreamAtTest, S2StreamAtGridPoints) {
  WriteGrid(m_folder / "dlldata.dat");
  struct Case {
    double lat, lon;
    int hour, minute;
  };
  const Case cases[] = {{50, -5, 10, 20}, {55, 2, 0, 0}, {53, -6, 23, 59}, {52, 3, 6, 45}, {57, -8, 12, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat << ", " << c.lon);
    STREAM_DIAGNOSTIC why;
    const TIDAL_STREAM s = CalcStreamAt(CPosition(c.lat, c.lon), CQsDateTime(2026, 6, 15, c.hour, c.minute, 0), &why);
    const TIDAL_STREAM e = Expected(c.lat, c.lon, c.hour, c.minute);
    EXPECT_TRUE(why.engineCalled);
    EXPECT_EQ(why.status, 0);
    EXPECT_NEAR(s.rate, e.rate, 1e-6);
    EXPECT_NEAR(s.direction, e.direction, 1e-4);
  }
}

TEST_F(StreamAtTest, OutsideEveryBoxTheEngineIsNotCalled) {
  WriteGrid(m_folder / "dlldata.dat");
  const unsigned long before = CEngineLock::TimesTaken();
  STREAM_DIAGNOSTIC why;
  // 49 N 10 E lies inside the grid but in no stream region.
  const TIDAL_STREAM s = CalcStreamAt(CPosition(49, 10), CQsDateTime(2026, 6, 15, 10, 20, 0), &why);
  EXPECT_EQ(s.rate, 0.0);
  EXPECT_EQ(s.direction, 0.0);
  EXPECT_EQ(why.region, 0);
  EXPECT_FALSE(why.engineCalled);
  EXPECT_EQ(CEngineLock::TimesTaken(), before);
}

TEST_F(StreamAtTest, MissingCornerGivesNoStream) {
  // 52.25 N 3.25 E: nearest point 52 N 3 E, cell 53..52 N by 3..4 E; 53 N 4 E has no stream.
  WriteGrid(m_folder / "dlldata.dat", {{RowOf(53), ColOf(4)}});
  STREAM_DIAGNOSTIC why;
  const TIDAL_STREAM s = CalcStreamAt(CPosition(52.25, 3.25), CQsDateTime(2026, 6, 15, 10, 20, 0), &why);
  EXPECT_TRUE(why.engineCalled);
  EXPECT_EQ(why.status, EBC_INTERP_ONE_MISSING);
  EXPECT_EQ(s.rate, 0.0);
  EXPECT_EQ(s.direction, 0.0);
  EXPECT_FALSE(why.message.empty());
}

TEST_F(StreamAtTest, EngineErrorsGiveNoStream) {
  // No harmonics file at all.
  STREAM_DIAGNOSTIC why;
  TIDAL_STREAM s = CalcStreamAt(CPosition(50, -5), CQsDateTime(2026, 6, 15, 10, 20, 0), &why);
  EXPECT_TRUE(why.engineCalled);
  EXPECT_GT(why.status, 0);
  EXPECT_EQ(s.rate, 0.0);
  EXPECT_EQ(s.direction, 0.0);

  // A stream region outside the grid's extent: 61 N 0 E is region 9, the grid ends at 58 N.
  WriteGrid(m_folder / "dlldata.dat");
  s = CalcStreamAt(CPosition(61, 0), CQsDateTime(2026, 6, 15, 10, 20, 0), &why);
  EXPECT_EQ(why.status, EBC_ERR_LATITUDE);
  EXPECT_EQ(s.rate, 0.0);
}

TEST_F(StreamAtTest, LongDataPathIsRefusedNotCut) {
  // A folder whose harmonics path is exactly 256 bytes: one short of the engine's limit fits.
  const std::string base = m_folder.string() + "/";
  const size_t fileLength = std::string("/dlldata.dat").size();
  fs::path longFolder = base + std::string(256 - fileLength - base.size(), 'x');
  ASSERT_EQ((longFolder / "dlldata.dat").string().size(), 256u);
  fs::create_directories(longFolder);
  WriteGrid(longFolder / "dlldata.dat");
  UseFolder(longFolder);

  const unsigned long before = CEngineLock::TimesTaken();
  STREAM_DIAGNOSTIC why;
  const TIDAL_STREAM s = CalcStreamAt(CPosition(50, -5), CQsDateTime(2026, 6, 15, 10, 20, 0), &why);
  EXPECT_EQ(s.rate, 0.0);
  EXPECT_EQ(s.direction, 0.0);
  EXPECT_FALSE(why.engineCalled);
  EXPECT_EQ(why.status, EBC_ERR_PATH);
  EXPECT_NE(why.message.find("too long"), std::string::npos);
  EXPECT_EQ(CEngineLock::TimesTaken(), before);

  // 255 bytes is still taken.
  fs::path fits = base + std::string(255 - fileLength - base.size(), 'y');
  fs::create_directories(fits);
  WriteGrid(fits / "dlldata.dat");
  UseFolder(fits);
  const TIDAL_STREAM ok = CalcStreamAt(CPosition(50, -5), CQsDateTime(2026, 6, 15, 10, 20, 0), &why);
  EXPECT_EQ(why.status, 0);
  EXPECT_NEAR(ok.rate, Expected(50, -5, 10, 20).rate, 1e-6);
}

// The user-interface thread and the route worker ask through CalcStreamAt, the chart worker
// goes to the engine itself under the lock; each must get the answer for its own position.
TEST_F(StreamAtTest, ThreadsAtDifferentRegionsGetTheirOwnStreams) {
  WriteGrid(m_folder / "dlldata.dat");
  std::atomic<int> wrong{0};
  std::atomic<int> done{0};
  constexpr int kCalls = 400;

  auto viaCalcStreamAt = [&](double lat, double lon) {
    for (int i = 0; i < kCalls; ++i) {
      const int hour = i % 24, minute = (i * 7) % 60;
      STREAM_DIAGNOSTIC why;
      const TIDAL_STREAM s = CalcStreamAt(CPosition(lat, lon), CQsDateTime(2026, 6, 15, hour, minute, 0), &why);
      if (why.status != 0 || !Matches(s.rate, s.direction, lat, lon, hour, minute)) ++wrong;
    }
    ++done;
  };
  auto likeTheChartWorker = [&](double lat, double lon) {
    const std::string harmonics = GetHarmonicsFilePath();
    const std::string regionFile = GetStreamRegionFilePath(GetStreamRegion({lat, lon}));
    for (int i = 0; i < kCalls; ++i) {
      const int hour = (i * 5) % 24, minute = (i * 11) % 60;
      double la = lat, lo = lon, height = 0, u = 0, v = 0, speed = 0, direction = 0;
      int status;
      {
        CEngineLock engine;
        if (!engine.IsPointedAt(harmonics, regionFile)) engine.SetHarmonicsFile(harmonics, regionFile);
        status = EBC_DoPrediction(EBC_STREAM, 1, &la, &lo, 15, 6, 2026, hour, minute, 0, 0.0, 0.0, &height, &u, &v,
                                  &speed, &direction);
      }
      if (status != 0 || !Matches(speed, direction, lat, lon, hour, minute)) ++wrong;
    }
    ++done;
  };

  std::vector<std::thread> threads;
  threads.emplace_back(viaCalcStreamAt, 50.0, -5.0);     // region 1
  threads.emplace_back(viaCalcStreamAt, 55.0, 2.0);      // region 4
  threads.emplace_back(likeTheChartWorker, 53.0, -6.0);  // region 3
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(done.load(), 3);
  EXPECT_EQ(wrong.load(), 0);
}

TEST(EngineLockTest, IsRecursiveAndTracksTheFiles) {
  CEngineLock outer;
  {
    CEngineLock inner;  // the same thread may take it again
    EXPECT_NE(inner.SetHarmonicsFile("/nonexistent/dlldata.dat", "/nonexistent/rg1.dat"), 0);
    EXPECT_FALSE(inner.IsPointedAt("/nonexistent/dlldata.dat", "/nonexistent/rg1.dat"));
  }
  EXPECT_FALSE(outer.IsPointedAt("/nonexistent/dlldata.dat", "/nonexistent/rg1.dat"));
}

}  // namespace
