// Grid lookup: nearest point, interpolation with missing corners, edges, and file faults.
#include "tests/engine/EngineTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

namespace fx = ebc::fixture;

namespace {

// 4 rows x 5 columns, 1 degree apart, north-west corner 50N 0E. Point (r, c) carries S2 with
// height amplitude 10r + c, U amplitude 100 + 10r + c, V amplitude 200 + 10r + c, so that an
// interpolated amplitude shows which corners were used and with what weight.
const fx::GridGeometry kGeometry{4, 5, 50.0, 0.0, 1.0, 1.0};

double HeightAmp(int r, int c) { return 10.0 * r + c; }

fx::HarmonicsGridWriter MakeGrid() {
  fx::HarmonicsGridWriter grid(kGeometry, {31, 36});
  for (int r = 1; r <= kGeometry.rows; ++r)
    for (int c = 1; c <= kGeometry.cols; ++c)
      grid.setPoint(r, c,
                    {{31, 0.5, 10.0, 0.1, 20.0, 0.1, 30.0},
                     {36, HeightAmp(r, c), 30.0, 100 + HeightAmp(r, c), 60.0, 200 + HeightAmp(r, c), 90.0}});
  return grid;
}

struct Constants {
  int status = 0;
  double lat = 0, lon = 0;
  double m2[6] = {}, s2[6] = {}, o1[6] = {}, k1[6] = {};
};

Constants GetConstants(int mode, double lat, double lon) {
  Constants c;
  c.lat = lat;
  c.lon = lon;
  c.status = EBC_GetHarmonicConstants(mode, &c.lat, &c.lon, c.m2, c.s2, c.o1, c.k1);
  return c;
}

struct Corner {
  int row, col;
};

// Phases go through degrees-to-radians factors of 9 significant digits: compare to 1e-5 degrees,
// modulo 360.
double AngleGap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}
constexpr double kPhaseTolerance = 1e-5;

class GridLookup : public fx::EngineTest {};

}  // namespace

TEST_F(GridLookup, NearestPointOnAndBetweenGridPoints) {
  useGrid(MakeGrid());
  struct Case {
    double lat, lon;
    int row, col;
  };
  const Case cases[] = {
      {49.0, 2.0, 2, 3},                     // on a point
      {49.0, 2.5, 2, 4},                     // halfway between columns: the eastern one
      {48.5, 2.0, 3, 3},                     // halfway between rows: the southern one
      {49.4, 2.4, 2, 3}, {50.0, 0.0, 1, 1},  // north-west corner
      {47.0, 4.0, 4, 5},                     // south-east corner
  };
  for (const Case& k : cases) {
    const Constants c = GetConstants(0, k.lat, k.lon);
    EXPECT_EQ(c.status, EBC_OK) << k.lat << "," << k.lon;
    EXPECT_DOUBLE_EQ(c.s2[0], HeightAmp(k.row, k.col)) << k.lat << "," << k.lon;
    EXPECT_DOUBLE_EQ(c.lat, kGeometry.latitude(k.row));
    EXPECT_DOUBLE_EQ(c.lon, kGeometry.longitude(k.col));
  }
}

TEST_F(GridLookup, OutsideTheGridKeepsTheRequest) {
  useGrid(MakeGrid());
  struct Case {
    double lat, lon;
    int status;
  };
  const Case cases[] = {
      {49.0, -0.01, EBC_ERR_LONGITUDE}, {49.0, 4.01, EBC_ERR_LONGITUDE}, {50.01, 2.0, EBC_ERR_LATITUDE},
      {46.99, 2.0, EBC_ERR_LATITUDE},   {49.0, NAN, EBC_ERR_LONGITUDE},  {NAN, 2.0, EBC_ERR_LATITUDE},
  };
  for (const Case& k : cases) {
    for (int mode : {0, 1}) {
      double lat = k.lat, lon = k.lon, h = -5;
      EXPECT_EQ(
          EBC_DoPrediction(1, mode, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, &h, nullptr, nullptr, nullptr, nullptr),
          k.status);
      EXPECT_TRUE(lat == k.lat || (std::isnan(lat) && std::isnan(k.lat)));
      EXPECT_TRUE(lon == k.lon || (std::isnan(lon) && std::isnan(k.lon)));
      EXPECT_EQ(h, -5);
    }
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(GridLookup, InterpolationCombinesTheCornersPresent) {
  // NW-nearest cell: request 48.75N 1.25E, corners (2,2) (2,3) (3,2) (3,3), fx = fy = 0.25.
  // SE-nearest: 48.25N 1.75E, same corners, fx = fy = 0.75. NE-nearest: 48.75N 1.75E.
  // SW-nearest: 48.25N 1.25E.
  struct Case {
    const char* name;
    double lat, lon;
    std::vector<Corner> missing;
    double amplitude;
    int status;
  };
  const Case cases[] = {
      {"all present", 48.75, 1.25, {}, 22 + 0.25 + 2.5, 0},
      {"SE missing", 48.75, 1.25, {{3, 3}}, (22 + 23 + 32) / 3.0, -1},
      {"NE missing", 48.75, 1.25, {{2, 3}}, (22 + 32 + 33) / 3.0, -1},
      {"SW missing", 48.75, 1.25, {{3, 2}}, (22 + 23 + 33) / 3.0, -1},
      {"NW missing", 48.25, 1.75, {{2, 2}}, (23 + 32 + 33) / 3.0, -1},
      {"SW SE missing", 48.75, 1.25, {{3, 2}, {3, 3}}, 0.75 * 22 + 0.25 * 23, -2},
      {"NW NE missing", 48.25, 1.75, {{2, 2}, {2, 3}}, 0.25 * 32 + 0.75 * 33, -2},
      {"NE SE missing", 48.75, 1.25, {{2, 3}, {3, 3}}, 0.75 * 22 + 0.25 * 32, -2},
      {"NW SW missing", 48.25, 1.75, {{2, 2}, {3, 2}}, 0.25 * 23 + 0.75 * 33, -2},
      {"NE SW missing", 48.75, 1.25, {{2, 3}, {3, 2}}, (22 + 33) / 2.0, -2},
      {"NW SE missing", 48.75, 1.75, {{2, 2}, {3, 3}}, (23 + 32) / 2.0, -2},
      {"only NW", 48.75, 1.25, {{2, 3}, {3, 2}, {3, 3}}, 22, -3},
      {"only NE", 48.75, 1.75, {{2, 2}, {3, 2}, {3, 3}}, 23, -3},
      {"only SW", 48.25, 1.25, {{2, 2}, {2, 3}, {3, 3}}, 32, -3},
      {"only SE", 48.25, 1.75, {{2, 2}, {2, 3}, {3, 2}}, 33, -3},
      {"nearest missing", 48.75, 1.25, {{2, 2}}, 0, EBC_ERR_NEAREST_CORNER_MISSING},
  };
  for (const Case& k : cases) {
    fx::HarmonicsGridWriter grid = MakeGrid();
    for (const Corner& m : k.missing) grid.setMissing(m.row, m.col);
    useGrid(grid);
    const Constants c = GetConstants(1, k.lat, k.lon);
    EXPECT_EQ(c.status, k.status) << k.name;
    if (k.status > 0) continue;
    EXPECT_NEAR(c.s2[0], k.amplitude, 1e-9) << k.name;
    EXPECT_LT(AngleGap(c.s2[1], 30.0), kPhaseTolerance) << k.name;
    EXPECT_NEAR(c.s2[2], 100 + k.amplitude, 1e-9) << k.name;
    EXPECT_LT(AngleGap(c.s2[5], 90.0), kPhaseTolerance) << k.name;
    // Interpolation leaves the request's position alone.
    EXPECT_EQ(c.lat, k.lat);
    EXPECT_EQ(c.lon, k.lon);
  }
}

TEST_F(GridLookup, CornerWithoutStreamCountsAsMissingWhenInterpolating) {
  fx::HarmonicsGridWriter grid = MakeGrid();
  grid.setNoStream(3, 3);
  useGrid(grid);
  double lat = 48.75, lon = 1.25, h = 0, u = 0, v = 0;
  EXPECT_EQ(EBC_DoPrediction(3, 1, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, &h, &u, &v, nullptr, nullptr),
            EBC_INTERP_ONE_MISSING);
  EXPECT_NEAR(GetConstants(1, 48.75, 1.25).s2[0], (22 + 23 + 32) / 3.0, 1e-9);
}

TEST_F(GridLookup, InterpolationCombinesPhasesAsVectors) {
  // Two corners in quadrature, halfway: amplitude 1/sqrt(2), phase 45.
  fx::HarmonicsGridWriter grid({1, 2, 50.0, 0.0, 1.0, 1.0}, {36});
  grid.setPoint(1, 1, {{36, 1.0, 0.0, 1.0, 350.0, 1.0, 0.0}});
  grid.setPoint(1, 2, {{36, 1.0, 90.0, 1.0, 10.0, 1.0, 180.0}});
  useGrid(grid);
  const Constants c = GetConstants(1, 50.0, 0.5);
  EXPECT_EQ(c.status, EBC_OK);
  EXPECT_NEAR(c.s2[0], std::sqrt(0.5), 1e-7);
  EXPECT_LT(AngleGap(c.s2[1], 45.0), kPhaseTolerance);
  EXPECT_NEAR(c.s2[2], std::cos(10 * M_PI / 180), 1e-7);
  EXPECT_LT(AngleGap(c.s2[3], 0.0), kPhaseTolerance);  // 350 and 10 meet at 0, not at 180
  EXPECT_NEAR(c.s2[4], 0.0, 1e-7);                     // opposite phases cancel
}

TEST_F(GridLookup, SouthAndEastEdgesStayInsideTheGrid) {
  // A request on the last row or column uses the cell inside the grid. Missing points just
  // beyond the edge's neighbours must not enter: (3,1) is where a cell past the east edge
  // would wrap to, the first point of the next row.
  struct Case {
    const char* name;
    double lat, lon;
    double amplitude;
  };
  const Case cases[] = {
      {"south edge", 47.0, 1.25, 0.75 * HeightAmp(4, 2) + 0.25 * HeightAmp(4, 3)},
      {"east edge", 48.75, 4.0, 0.75 * HeightAmp(2, 5) + 0.25 * HeightAmp(3, 5)},
      {"south-east corner", 47.0, 4.0, HeightAmp(4, 5)},
      {"south edge east half", 47.0, 3.75, 0.25 * HeightAmp(4, 4) + 0.75 * HeightAmp(4, 5)},
  };
  for (const Case& k : cases) {
    fx::HarmonicsGridWriter grid = MakeGrid();
    grid.setMissing(3, 1);
    grid.setMissing(1, 1);
    useGrid(grid);
    const Constants c = GetConstants(1, k.lat, k.lon);
    EXPECT_EQ(c.status, EBC_OK) << k.name;
    EXPECT_NEAR(c.s2[0], k.amplitude, 1e-9) << k.name;
    double lat = k.lat, lon = k.lon, h = 0;
    EXPECT_EQ(EBC_DoPrediction(1, 1, &lat, &lon, 1, 6, 2021, 3, 0, 0, 0, 0, &h, nullptr, nullptr, nullptr, nullptr),
              EBC_OK)
        << k.name;
  }
  EXPECT_TRUE(messages().empty());
}

TEST_F(GridLookup, SinglePointGridInterpolates) {
  fx::HarmonicsGridWriter grid({1, 1, 50.0, 0.0, 1.0, 1.0}, {36});
  grid.setPoint(1, 1, {{36, 2.0, 15.0, 1.0, 0.0, 1.0, 0.0}});
  useGrid(grid);
  const Constants c = GetConstants(1, 50.0, 0.0);
  EXPECT_EQ(c.status, EBC_OK);
  EXPECT_NEAR(c.s2[0], 2.0, 1e-12);
  EXPECT_LT(AngleGap(c.s2[1], 15.0), kPhaseTolerance);
}

TEST_F(GridLookup, PointWithoutDataOrWithoutAQuantity) {
  fx::HarmonicsGridWriter grid = MakeGrid();
  grid.setMissing(2, 3);
  grid.setNoStream(3, 3);
  grid.setNoHeight(3, 4);
  // Negative height and U amplitudes with a V amplitude: no height and no stream either.
  grid.setPoint(2, 4, {{31, -1.0, 0.0, -1.0, 0.0, 0.5, 0.0}});   // M2 is the first constituent
  grid.setPoint(1, 5, {{36, -1.0, 0.0, -1.0, 0.0, -1.0, 0.0}});  // only the first one decides
  useGrid(grid);

  struct Case {
    const char* name;
    int flags;
    double lat, lon;
    int status;
  };
  const Case cases[] = {
      {"no data at all", 1, 49.0, 2.0, EBC_ERR_NO_DATA},
      {"no data, flags 0", 0, 49.0, 2.0, EBC_ERR_NO_DATA},
      {"negative height and U amplitudes", 2, 49.0, 3.0, EBC_ERR_NO_DATA},
      {"second constituent negative", 3, 50.0, 4.0, EBC_OK},
      {"stream where there is none", 2, 48.0, 2.0, EBC_ERR_QUANTITY_ABSENT},
      {"height and stream where no stream", 3, 48.0, 2.0, EBC_ERR_QUANTITY_ABSENT},
      {"height where there is stream only", 1, 48.0, 3.0, EBC_ERR_QUANTITY_ABSENT},
      {"height where no stream", 1, 48.0, 2.0, EBC_OK},
      {"stream where no height", 2, 48.0, 3.0, EBC_OK},
  };
  for (const Case& k : cases) {
    double lat = k.lat, lon = k.lon, h = -7, u = -7, v = -7;
    EXPECT_EQ(EBC_DoPrediction(k.flags, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, &h, &u, &v, nullptr, nullptr),
              k.status)
        << k.name;
    if (k.status != EBC_OK) {
      EXPECT_EQ(h, -7) << k.name;
      EXPECT_EQ(u, -7) << k.name;
      EXPECT_EQ(v, -7) << k.name;
    }
  }
  EXPECT_EQ(EBC_CheckIfValidLocation(49.0, 2.0), EBC_ERR_NO_DATA);
  EXPECT_EQ(EBC_CheckIfValidLocation(48.0, 2.0), EBC_OK);
  EXPECT_EQ(EBC_CheckIfValidLocation(48.0, 4.5), EBC_ERR_LONGITUDE);
  EXPECT_EQ(EBC_CheckIfValidLocation(51.0, 2.0), EBC_ERR_LATITUDE);
}

TEST_F(GridLookup, InterpolationAfterAPointWithoutStreamIsNotRefused) {
  fx::HarmonicsGridWriter grid = MakeGrid();
  grid.setNoStream(3, 3);
  useGrid(grid);
  double lat = 48.0, lon = 2.0, u = 0, v = 0;
  ASSERT_EQ(EBC_DoPrediction(2, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, nullptr, &u, &v, nullptr, nullptr),
            EBC_ERR_QUANTITY_ABSENT);
  lat = 49.25;
  lon = 0.75;
  EXPECT_EQ(EBC_DoPrediction(2, 1, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, nullptr, &u, &v, nullptr, nullptr), EBC_OK);
}

TEST_F(GridLookup, StoredPositionIsChecked) {
  struct Case {
    const char* name;
    int mode;
    double lat, lon;    // request
    Corner wrong;       // record with the wrong stored position
    double dLat, dLon;  // error written into it
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"nearest, latitude", 0, 49.0, 2.0, {2, 3}, 0.11, 0, 7, "Problem with the lat,lng calculation or data read - A"},
      {"nearest, longitude",
       0,
       49.0,
       2.0,
       {2, 3},
       0,
       -0.11,
       7,
       "Problem with the lat,lng calculation or data read - B"},
      {"nearest, within a tenth", 0, 49.0, 2.0, {2, 3}, 0.09, 0.09, 0, nullptr},
      {"corner nearest, latitude",
       1,
       49.0,
       2.25,
       {2, 3},
       -0.2,
       0,
       7,
       "Problem with the lat,lng calculation or data read - C"},
      {"corner nearest, longitude",
       1,
       49.0,
       2.25,
       {2, 3},
       0,
       0.2,
       7,
       "Problem with the lat,lng calculation or data read - D"},
      {"other corner is not checked", 1, 49.0, 2.25, {2, 4}, 0.5, 0.5, 0, nullptr},
  };
  for (const Case& k : cases) {
    fx::HarmonicsGridWriter grid = MakeGrid();
    grid.setStoredPosition(k.wrong.row, k.wrong.col, kGeometry.latitude(k.wrong.row) + k.dLat,
                           kGeometry.longitude(k.wrong.col) + k.dLon);
    useGrid(grid);
    fx::CapturedMessages().clear();
    EXPECT_EQ(GetConstants(k.mode, k.lat, k.lon).status, k.status) << k.name;
    if (k.message) {
      EXPECT_EQ(messages(), std::vector<std::string>{k.message}) << k.name;
    } else {
      EXPECT_TRUE(messages().empty()) << k.name;
    }
  }
  fx::HarmonicsGridWriter grid = MakeGrid();
  grid.setStoredPosition(2, 3, 49.5, 2.0);
  useGrid(grid);
  EXPECT_EQ(EBC_CheckIfValidLocation(49.0, 2.0), EBC_ERR_POSITION_CHECK);
}

TEST_F(GridLookup, TruncatedFileGivesAShortRead) {
  // The file is cut after the header was accepted; the lookup must stop at the end of the data.
  const fx::HarmonicsGridWriter grid = MakeGrid();
  struct Case {
    const char* name;
    int mode;
    double lat, lon;
    Corner cutAt;
    std::size_t keep;  // bytes of that record left
    const char* message;
  };
  const Case cases[] = {
      {"nearest, position", 0, 49.0, 2.0, {2, 3}, 8, "Error in fread() of data record - A"},
      {"nearest, constants", 0, 49.0, 2.0, {2, 3}, 16 + 40, "Error in fread() of data record - B"},
      {"corner, position", 1, 48.75, 1.25, {3, 2}, 8, "Error in fread() of data record - C"},
      {"corner, constants", 1, 48.75, 1.25, {3, 2}, 24, "Error in fread() of data record - D"},
      {"past the end", 0, 47.0, 4.0, {4, 5}, 0, "Error in fread() of data record - A"},
  };
  for (const Case& k : cases) {
    const std::string path = useGrid(grid);
    std::filesystem::resize_file(path, grid.recordOffset(k.cutAt.row, k.cutAt.col) + k.keep);
    fx::CapturedMessages().clear();
    EXPECT_EQ(GetConstants(k.mode, k.lat, k.lon).status, EBC_ERR_READ) << k.name;
    EXPECT_EQ(messages(), std::vector<std::string>{k.message}) << k.name;
  }
}

TEST_F(GridLookup, FileThatCannotBeSeekedOrOpened) {
  const std::string path = useGrid(MakeGrid());

  // A pipe in place of the file cannot seek. Holding it open for reading and writing lets
  // the engine open it without blocking.
  std::filesystem::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const int holder = open(path.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(holder, 0);
  EXPECT_EQ(GetConstants(0, 49.0, 2.0).status, EBC_ERR_SEEK);
  EXPECT_EQ(messages(), std::vector<std::string>{"Error in fseek()"});
  close(holder);

  std::filesystem::remove(path);
  fx::CapturedMessages().clear();
  EXPECT_EQ(GetConstants(0, 49.0, 2.0).status, EBC_ERR_FILE_OPEN);
  EXPECT_EQ(GetConstants(1, 48.5, 2.5).status, EBC_ERR_FILE_OPEN);
  EXPECT_EQ(EBC_CheckIfValidLocation(49.0, 2.0), EBC_ERR_FILE_OPEN);
  EXPECT_EQ(messages(), std::vector<std::string>(3, "Harmonics data file missing"));
}

TEST_F(GridLookup, HarmonicConstantsOfTheFourMainConstituents) {
  fx::HarmonicsGridWriter grid({2, 2, 50.0, 0.0, 1.0, 1.0}, {10, 31, 36});
  grid.setAllPoints({{31, 1.25, -30.0, 0.5, 400.0, -1.0, 10.0},
                     {36, 0.4, 120.0, 0.2, -0.5, 0.1, 359.0},
                     {10, 0.1, -360.0, 0.0, 0.0, 0.0, 0.0}});
  useGrid(grid);
  const Constants c = GetConstants(0, 49.9, 0.2);
  EXPECT_EQ(c.status, EBC_OK);
  EXPECT_EQ(c.lat, 50.0);
  EXPECT_EQ(c.lon, 0.0);
  const double m2[6] = {1.25, 330.0, 0.5, 400.0, -1.0, 10.0};  // negative phases raised by 360
  const double s2[6] = {0.4, 120.0, 0.2, 359.5, 0.1, 359.0};
  const double o1[6] = {0.1, 0.0, 0.0, 0.0, 0.0, 0.0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_DOUBLE_EQ(c.m2[i], m2[i]) << i;
    EXPECT_DOUBLE_EQ(c.s2[i], s2[i]) << i;
    EXPECT_DOUBLE_EQ(c.o1[i], o1[i]) << i;
    EXPECT_DOUBLE_EQ(c.k1[i], -999.99) << i;  // not in the file
  }
}

// The engine keeps its data files open between calls, yet every call reads the file that is at
// the path now: one renamed over it, one rewritten in place, one damaged, or none at all.
TEST_F(GridLookup, EveryCallReadsTheFileNowAtThePath) {
  const std::string path = useGrid(MakeGrid());
  const std::string staged = dir.file("staged.dat").string();
  auto gridPlus = [](double add) {
    fx::HarmonicsGridWriter grid(kGeometry, {31, 36});
    for (int r = 1; r <= kGeometry.rows; ++r)
      for (int c = 1; c <= kGeometry.cols; ++c)
        grid.setPoint(r, c,
                      {{31, 0.5, 10.0, 0.1, 20.0, 0.1, 30.0}, {36, add + HeightAmp(r, c), 30.0, 100, 60.0, 200, 90.0}});
    return grid;
  };
  auto replaceWith = [&](const fx::HarmonicsGridWriter& grid) {
    grid.write(staged);
    std::filesystem::rename(staged, path);
  };
  auto nearestAmp = [] { return GetConstants(0, 49.0, 2.0).s2[0]; };
  auto interpolatedAmp = [] { return GetConstants(1, 48.5, 2.5).s2[0]; };
  EXPECT_DOUBLE_EQ(nearestAmp(), HeightAmp(2, 3));

  replaceWith(gridPlus(1000));  // renamed over the kept one
  EXPECT_DOUBLE_EQ(nearestAmp(), 1000 + HeightAmp(2, 3));
  EXPECT_NEAR(interpolatedAmp(), 1000 + (HeightAmp(2, 3) + HeightAmp(2, 4) + HeightAmp(3, 3) + HeightAmp(3, 4)) / 4,
              1e-9);

  gridPlus(2000).write(path);  // rewritten in place, the same size
  EXPECT_DOUBLE_EQ(nearestAmp(), 2000 + HeightAmp(2, 3));

  // Damaged: cut inside the record asked for; then whole again.
  std::vector<unsigned char> bytes = gridPlus(3000).bytes();
  bytes.resize(static_cast<std::size_t>(MakeGrid().recordOffset(2, 3) + 16 + 8));
  fx::WriteBytes(staged, bytes);
  std::filesystem::rename(staged, path);
  fx::CapturedMessages().clear();
  EXPECT_EQ(GetConstants(0, 49.0, 2.0).status, EBC_ERR_READ);
  EXPECT_EQ(messages(), std::vector<std::string>{"Error in fread() of data record - B"});
  replaceWith(gridPlus(4000));
  EXPECT_EQ(GetConstants(0, 49.0, 2.0).status, EBC_OK);
  EXPECT_DOUBLE_EQ(nearestAmp(), 4000 + HeightAmp(2, 3));

  // Gone, then back.
  std::filesystem::remove(path);
  fx::CapturedMessages().clear();
  EXPECT_EQ(GetConstants(1, 48.5, 2.5).status, EBC_ERR_FILE_OPEN);
  EXPECT_EQ(EBC_CheckIfValidLocation(49.0, 2.0), EBC_ERR_FILE_OPEN);
  EXPECT_EQ(messages(), std::vector<std::string>(2, "Harmonics data file missing"));
  replaceWith(gridPlus(5000));
  EXPECT_EQ(EBC_CheckIfValidLocation(49.0, 2.0), EBC_OK);
  EXPECT_DOUBLE_EQ(nearestAmp(), 5000 + HeightAmp(2, 3));

  // Setting the file again reads the header of the file there now.
  fx::HarmonicsGridWriter wider({4, 6, 50.0, 0.0, 1.0, 1.0}, {31, 36});
  wider.setAllPoints({{31, 0.5, 10.0, 0.1, 20.0, 0.1, 30.0}, {36, 7.0, 30.0, 1, 60.0, 2, 90.0}});
  replaceWith(wider);
  EXPECT_EQ(GetConstants(0, 49.0, 5.0).status, EBC_ERR_LONGITUDE);  // still the old header
  ASSERT_EQ(EBC_SetHarmonicsFile(path.c_str(), "unused"), EBC_OK);
  EXPECT_EQ(GetConstants(0, 49.0, 5.0).status, EBC_OK);
  EXPECT_DOUBLE_EQ(GetConstants(0, 49.0, 5.0).s2[0], 7.0);
}

namespace {

struct Tide {
  int status = 0;
  double height = 0, u = 0, v = 0;
  bool operator==(const Tide&) const = default;
};

// Height and stream interpolated at one instant.
Tide TideAt(double lat, double lon, int hour = 10) {
  Tide t;
  double speed = 0, direction = 0;
  t.status = EBC_DoPrediction(EBC_HEIGHT | EBC_STREAM, 1, &lat, &lon, 5, 7, 2022, hour, 20, 0, 0.0, 0.0, &t.height,
                              &t.u, &t.v, &speed, &direction);
  return t;
}

}  // namespace

// What the engine keeps of records it has read is that of the file now at the path: after a file
// is renamed over it or rewritten in place, every prediction equals one made from the new file
// by an engine that had read nothing of the old one.
TEST_F(GridLookup, KeptRecordsAreThoseOfTheFileNowAtThePath) {
  auto gridTimes = [](double k) {
    fx::HarmonicsGridWriter grid(kGeometry, {31, 36});
    for (int r = 1; r <= kGeometry.rows; ++r)
      for (int c = 1; c <= kGeometry.cols; ++c)
        grid.setPoint(r, c,
                      {{31, k * 0.5, 10.0 * r, k * 0.1, 20.0 + c, 0.1, 30.0},
                       {36, k * HeightAmp(r, c), 30.0 * c, 100, 60.0 * r, 200, 90.0}});
    return grid;
  };
  const double places[][2] = {{48.5, 2.5}, {49.25, 1.75}, {47.2, 3.9}, {48.5, 2.5}};
  auto tides = [&](int hour) {
    std::vector<Tide> all;
    for (const auto& p : places) all.push_back(TideAt(p[0], p[1], hour));
    return all;
  };
  // What a fresh read of each file gives.
  useGrid(gridTimes(2), "two.dat");
  const std::vector<Tide> two = tides(10);
  useGrid(gridTimes(3), "three.dat");
  const std::vector<Tide> three = tides(10);

  const std::string path = useGrid(gridTimes(1));
  const std::vector<Tide> one = tides(10);
  EXPECT_EQ(one[0].status, EBC_OK);
  EXPECT_EQ(one[0], one[3]);  // the same place read again
  EXPECT_EQ(tides(10), one);
  EXPECT_NE(one, two);

  const std::string staged = dir.file("staged.dat").string();
  gridTimes(2).write(staged);
  std::filesystem::rename(staged, path);
  EXPECT_EQ(tides(10), two);

  gridTimes(3).write(path);  // in place, the same size
  EXPECT_EQ(tides(10), three);
  // Rewritten in place in quick succession: each time the file holds other bytes, and each
  // prediction is of those.
  for (int round = 0; round < 6; ++round) {
    gridTimes(round % 2 == 0 ? 2 : 3).write(path);
    EXPECT_EQ(tides(10), round % 2 == 0 ? two : three) << round;
  }
  EXPECT_NE(tides(11), three);  // another instant is summed anew
  EXPECT_EQ(tides(10), three);
}

// Records the engine keeps are in slots taken by their place in the file. A cell whose corners
// would take one slot must still combine four different records: grids as wide as the slots, or
// one narrower, put corners one row apart, or diagonally apart, into one slot.
TEST_F(GridLookup, CornersThatShareAKeptSlotAreEachTheirOwn) {
  for (const int cols : {4095, 4096}) {
    const fx::GridGeometry wide{2, cols, 50.0, 0.0, 0.01, 0.01};
    fx::HarmonicsGridWriter grid(wide, {36});
    auto amp = [](int r, int c) { return 10.0 * r + c / 1000.0; };
    for (int r = 1; r <= 2; ++r)
      for (int c = 1; c <= cols; ++c) grid.setPoint(r, c, {{36, amp(r, c), 0.0, 1, 0.0, 1, 0.0}});
    useGrid(grid);
    for (const int c : {1, 2, 100, cols - 1}) {
      const double lat = 50.0 - 0.005, lon = (c - 1) * 0.01 + 0.004;  // 0.4 of the way east, halfway south
      const Constants k = GetConstants(1, lat, lon);
      ASSERT_EQ(k.status, EBC_OK) << cols << " " << c;
      const double expected =
          0.5 * (0.6 * amp(1, c) + 0.4 * amp(1, c + 1)) + 0.5 * (0.6 * amp(2, c) + 0.4 * amp(2, c + 1));
      EXPECT_NEAR(k.s2[0], expected, 1e-9) << cols << " " << c;
    }
  }
}

// A record first read as a corner that is not the nearest point is not checked; asked for later
// as the nearest point, its stored position is checked as if it were read for the first time.
TEST_F(GridLookup, AKeptRecordIsCheckedWhenItBecomesTheNearestPoint) {
  fx::HarmonicsGridWriter grid = MakeGrid();
  grid.setStoredPosition(2, 4, kGeometry.latitude(2) + 0.5, kGeometry.longitude(4));
  useGrid(grid);
  EXPECT_EQ(GetConstants(1, 49.0, 2.25).status, EBC_OK);  // (2, 4) is a corner, (2, 3) the nearest
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(GetConstants(1, 49.0, 2.75).status, EBC_ERR_POSITION_CHECK);
  EXPECT_EQ(GetConstants(0, 49.0, 3.0).status, EBC_ERR_POSITION_CHECK);
  EXPECT_EQ(messages(), (std::vector<std::string>{"Problem with the lat,lng calculation or data read - C",
                                                  "Problem with the lat,lng calculation or data read - A"}));
}

// Files of other constituents asked for at one instant: each sums its own.
TEST_F(GridLookup, FilesOfOtherConstituentsAtOneInstantEachSumTheirOwn) {
  auto grid = [](const std::vector<int>& numbers) {
    fx::HarmonicsGridWriter g(kGeometry, numbers);
    std::vector<fx::ConstituentValues> values;
    for (const int n : numbers) values.push_back({n, 1.0, 10.0, 0.5, 20.0, 0.5, 30.0});
    g.setAllPoints(values);
    return g;
  };
  auto freshAtTen = [] {
    TideAt(48.5, 2.5, 11);
    return TideAt(48.5, 2.5, 10);
  };
  useGrid(grid({31, 36}), "a.dat");
  const Tide a = freshAtTen();
  useGrid(grid({10, 17, 36}), "b.dat");
  const Tide b = freshAtTen();
  ASSERT_EQ(a.status, EBC_OK);
  EXPECT_NE(a, b);
  useGrid(grid({31, 36}), "a.dat");
  EXPECT_EQ(TideAt(48.5, 2.5, 10), a);
  useGrid(grid({10, 17, 36}), "b.dat");
  EXPECT_EQ(TideAt(48.5, 2.5, 10), b);
}
