// The coastline reader: the shipped files, files made by hand, files cut short and files whose
// counts no file could hold.
#include "chart/Coastline.h"
#include "tests/chart/MapFixture.h"

#include <gtest/gtest.h>

#include <climits>

using namespace chart_test;

namespace {

std::vector<std::pair<double, double>> Square(double lon, double lat, double size) {
  return {{lon, lat}, {lon + size, lat}, {lon + size, lat + size}, {lon, lat + size}, {lon, lat}};
}

struct Read {
  CCoastline coast;
  CString error;
  CCoastline::Result result;
  explicit Read(const std::vector<unsigned char>& bytes) : result(coast.Read(bytes.data(), bytes.size(), error)) {}
};

TEST(Coastline, ShippedFilesReadWholeAndLieInTheirRegions) {
  const struct {
    const char* file;
    double w, e, s, n;
  } files[] = {{"mapuk.data", -13, 5, 46, 60},
               {"mapeur.data", -13, 19, 36, 72},
               {"mapuse.data", -86, -55, 17, 63},
               {"mapaus.data", 107, 179, -50, 4}};
  for (const auto& f : files) {
    CCoastline coast;
    CString error;
    const std::string path = std::string(NEAPWISE_SHIPPED_DATA_DIR) + "/" + f.file;
    ASSERT_EQ(CCoastline::readOk, coast.ReadFile(path.c_str(), error)) << f.file << ": " << error;
    EXPECT_GT(coast.GetPolygonCount(), 100) << f.file;
    EXPECT_GT(coast.GetPointCount(), 100000) << f.file;
    int outside = 0, points = 0;
    for (int i = 0; i < coast.GetPolygonCount(); ++i)
      for (const COASTNODE* p = coast.GetPolygon(i); p; p = p->next, ++points)
        if (p->longitude < f.w - 1 || p->longitude > f.e + 1 || p->latitude < f.s - 1 || p->latitude > f.n + 1)
          ++outside;
    EXPECT_EQ(0, outside) << f.file;
    EXPECT_EQ(points, coast.GetPointCount()) << f.file;
  }
}

TEST(Coastline, PolygonsKeepTheirPointsInFileOrderAndSkipTheDegenerateOnes) {
  std::vector<PolygonShape> polys(4);
  polys[0].points = Square(-2, 50, 1);
  polys[1].points = {};  // no points: an empty entry
  polys[2].points = Square(3, 51, 1);
  polys[2].skip = true;  // east == west: skipped whole
  polys[3].points = {{-1.5, 52.25}, {-1.25, 52.5}, {-1.0, 52.25}};
  Read r(CoastlineBytes(polys));
  ASSERT_EQ(CCoastline::readOk, r.result) << r.error;
  ASSERT_EQ(3, r.coast.GetPolygonCount());
  EXPECT_EQ(nullptr, r.coast.GetPolygon(1));
  const COASTNODE* p = r.coast.GetPolygon(0);
  for (auto [lon, lat] : Square(-2, 50, 1)) {
    ASSERT_NE(nullptr, p);
    EXPECT_DOUBLE_EQ(lon, p->longitude);
    EXPECT_DOUBLE_EQ(lat, p->latitude);
    p = p->next;
  }
  EXPECT_EQ(nullptr, p);
  p = r.coast.GetPolygon(2);
  ASSERT_NE(nullptr, p);
  EXPECT_DOUBLE_EQ(-1.5, p->longitude);
  EXPECT_DOUBLE_EQ(52.25, p->latitude);
  EXPECT_EQ(8, r.coast.GetPointCount());
}

TEST(Coastline, LongitudesWrapAt270DegreesInTheFirstPolygonAnd180After) {
  // Greenwich-crossing polygons given in 0..360: the first wraps only above 270 degrees.
  std::vector<PolygonShape> polys(2);
  polys[0].points = {{200, 10}, {280, 10}, {280, 11}};
  polys[0].greenwich = 1;
  polys[1].points = {{200, 10}, {280, 10}, {350, 11}};
  polys[1].greenwich = 1;
  Read r(CoastlineBytes(polys));
  ASSERT_EQ(CCoastline::readOk, r.result);
  const COASTNODE* a = r.coast.GetPolygon(0);
  EXPECT_DOUBLE_EQ(-160, a->longitude);  // above 180, brought back
  EXPECT_DOUBLE_EQ(-80, a->next->longitude);
  const COASTNODE* b = r.coast.GetPolygon(1);
  EXPECT_DOUBLE_EQ(-160, b->longitude);
  EXPECT_DOUBLE_EQ(-80, b->next->longitude);
  EXPECT_DOUBLE_EQ(-10, b->next->next->longitude);
}

TEST(Coastline, AFileCutShortKeepsTheCoastlinesBeforeTheCut) {
  std::vector<PolygonShape> polys(3);
  polys[0].points = Square(-2, 50, 1);
  polys[1].points = Square(-4, 51, 1);
  polys[2].points = Square(-6, 52, 1);
  const std::vector<unsigned char> whole = CoastlineBytes(polys);
  const std::size_t secondEnds = 2 * (36 + 5 * 8);
  struct Case {
    std::size_t size;
    CCoastline::Result result;
    int polygons;
  } cases[] = {
      {whole.size(), CCoastline::readOk, 3},
      {whole.size() - 1, CCoastline::readTruncated, 2},     // inside the last point
      {secondEnds + 36 + 8, CCoastline::readTruncated, 2},  // after the first point
      {secondEnds + 36, CCoastline::readTruncated, 2},      // a header and no points
      {secondEnds + 20, CCoastline::readOk, 2},             // a part of a header: the file ends there
      {0, CCoastline::readOk, 0},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes(whole.begin(), whole.begin() + (std::ptrdiff_t)c.size);
    Read r(bytes);
    EXPECT_EQ(c.result, r.result) << c.size;
    EXPECT_EQ(c.polygons, r.coast.GetPolygonCount()) << c.size;
    EXPECT_EQ(c.result == CCoastline::readOk, r.error.IsEmpty()) << c.size;
  }
}

TEST(Coastline, CountsNoFileCouldHoldRefuseTheWholeFile) {
  for (int count : {-1, INT_MIN, INT_MAX, 0x20000001, 1000000}) {
    for (bool skip : {false, true}) {
      std::vector<PolygonShape> polys(3);
      polys[0].points = Square(-2, 50, 1);
      polys[1].points = Square(-4, 51, 1);
      polys[1].count = count;
      polys[1].skip = skip;
      polys[2].points = Square(-6, 52, 1);
      Read r(CoastlineBytes(polys));
      EXPECT_EQ(CCoastline::readCorrupt, r.result) << count;
      EXPECT_EQ(0, r.coast.GetPolygonCount()) << count;
      EXPECT_EQ(0, r.coast.GetPointCount()) << count;
      EXPECT_NE(-1, r.error.Find("damaged")) << count;
    }
  }
}

TEST(Coastline, AMissingFileSaysSoAndLeavesNothing) {
  CCoastline coast;
  CString error;
  EXPECT_EQ(CCoastline::readMissing, coast.ReadFile("/nonexistent/mapuk.data", error));
  EXPECT_TRUE(coast.IsEmpty());
  EXPECT_NE(-1, error.Find("/nonexistent/mapuk.data"));
}

}  // namespace
