// Reads the shipped coastline files the way the chart reads them and checks what the chart
// relies on: every polygon is kept (east > west), the file ends cleanly on a header boundary,
// longitudes come out in the region, the rings are closed, and land and sea fall where they
// should.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Node {
  double lat;
  double lon;
};

struct Polygon {
  std::int32_t n = 0, west = 0, east = 0, south = 0, north = 0;
  std::int16_t greenwich = 0;
  std::vector<Node> points;
};

struct Coastline {
  std::vector<Polygon> polygons;
  int skipped = 0;
  bool failed = false;  // a short point record
  std::size_t bytes = 0;
};

std::int32_t I32(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The chart's reading steps: 36-byte headers, points kept only when east > west, the wrap
// threshold 270e6 for the first polygon and 180e6 after it.
Coastline ReadCoastline(const std::filesystem::path& path) {
  Coastline c;
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  c.bytes = bytes.size();
  std::size_t pos = 0;
  std::int64_t threshold = 270000000;
  while (pos + 36 <= bytes.size()) {
    const unsigned char* h = bytes.data() + pos;
    Polygon poly;
    poly.n = I32(h + 4);
    poly.west = I32(h + 12);
    poly.east = I32(h + 16);
    poly.south = I32(h + 20);
    poly.north = I32(h + 24);
    std::memcpy(&poly.greenwich, h + 32, 2);
    pos += 36;
    if (poly.n < 0 || pos + static_cast<std::size_t>(poly.n) * 8 > bytes.size()) {
      c.failed = true;
      return c;
    }
    if (poly.east * 1e-6 > poly.west * 1e-6) {
      for (std::int32_t i = 0; i < poly.n; ++i) {
        const std::int32_t x = I32(bytes.data() + pos + 8 * i);
        const std::int32_t y = I32(bytes.data() + pos + 8 * i + 4);
        double lon = x * 1e-6;
        if (poly.greenwich != 0 && x > threshold) lon -= 360.0;
        if (lon > 180.0) lon -= 360.0;
        poly.points.push_back({y * 1e-6, lon});
      }
      c.polygons.push_back(std::move(poly));
    } else {
      ++c.skipped;
    }
    pos += static_cast<std::size_t>(poly.n) * 8;
    threshold = 180000000;
  }
  if (pos != bytes.size()) c.failed = true;  // trailing bytes shorter than a header
  return c;
}

bool InsidePolygon(const Polygon& p, double lat, double lon) {
  bool inside = false;
  const auto& v = p.points;
  for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
    if ((v[i].lat > lat) != (v[j].lat > lat) &&
        lon < (v[j].lon - v[i].lon) * (lat - v[i].lat) / (v[j].lat - v[i].lat) + v[i].lon)
      inside = !inside;
  }
  return inside;
}

bool IsLand(const Coastline& c, double lat, double lon) {
  for (const Polygon& p : c.polygons) {
    if (lon < p.west * 1e-6 || lon > p.east * 1e-6 || lat < p.south * 1e-6 || lat > p.north * 1e-6) continue;
    if (InsidePolygon(p, lat, lon)) return true;
  }
  return false;
}

struct Place {
  double lat, lon;
  bool land;
};

struct RegionCase {
  const char* file;
  double limW, limE, limS, limN;
  int minPoints;
  std::vector<Place> places;
};

class CoastlineFile : public ::testing::TestWithParam<RegionCase> {};

TEST_P(CoastlineFile, ReadsWholeWithEveryPolygonKept) {
  const RegionCase& rc = GetParam();
  const auto path = std::filesystem::path(NEAPWISE_SHIPPED_DATA_DIR) / rc.file;
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  const Coastline c = ReadCoastline(path);
  EXPECT_FALSE(c.failed);
  EXPECT_EQ(c.skipped, 0);
  EXPECT_LT(c.bytes, 4u << 20) << "keep the file light";

  std::size_t points = 0;
  for (const Polygon& p : c.polygons) {
    points += p.points.size();
    ASSERT_GE(p.points.size(), 4u);
    EXPECT_DOUBLE_EQ(p.points.front().lat, p.points.back().lat);
    EXPECT_DOUBLE_EQ(p.points.front().lon, p.points.back().lon);
    EXPECT_EQ(p.greenwich != 0, p.west < 0 && p.east > 0);
    double w = 1e9, e = -1e9, s = 1e9, n = -1e9;
    for (const Node& q : p.points) {
      w = std::min(w, q.lon);
      e = std::max(e, q.lon);
      s = std::min(s, q.lat);
      n = std::max(n, q.lat);
    }
    // The header's bounds are those of the points, and everything lies within a degree
    // of the region's limits.
    EXPECT_NEAR(w, p.west * 1e-6, 1e-9);
    EXPECT_NEAR(e, p.east * 1e-6, 1e-9);
    EXPECT_NEAR(s, p.south * 1e-6, 1e-9);
    EXPECT_NEAR(n, p.north * 1e-6, 1e-9);
    EXPECT_GE(w, rc.limW - 1.0 - 1e-6);
    EXPECT_LE(e, rc.limE + 1.0 + 1e-6);
    EXPECT_GE(s, rc.limS - 1.0 - 1e-6);
    EXPECT_LE(n, rc.limN + 1.0 + 1e-6);
  }
  EXPECT_GE(static_cast<int>(points), rc.minPoints);
  EXPECT_EQ(points * 8 + c.polygons.size() * 36, c.bytes);

  for (const Place& place : rc.places)
    EXPECT_EQ(IsLand(c, place.lat, place.lon), place.land) << place.lat << ", " << place.lon;
}

INSTANTIATE_TEST_SUITE_P(Regions, CoastlineFile,
                         ::testing::Values(RegionCase{"mapuk.data",
                                                      -13,
                                                      5,
                                                      46,
                                                      60,
                                                      200000,
                                                      {{51.5, -0.12, true},    // London
                                                       {53.35, -6.26, true},   // Dublin
                                                       {50.47, -4.72, true},   // Bodmin, Cornwall
                                                       {49.45, -2.58, true},   // Guernsey
                                                       {55.0, 3.0, false},     // North Sea
                                                       {50.5, -1.0, false},    // English Channel
                                                       {53.8, -5.0, false},    // Irish Sea
                                                       {48.85, 2.35, true}}},  // Paris, inside the margin
                                           RegionCase{"mapeur.data",
                                                      -13,
                                                      19,
                                                      36,
                                                      72,
                                                      150000,
                                                      {{48.85, 2.35, true},
                                                       {52.52, 13.4, true},   // Berlin
                                                       {61.11, 10.47, true},  // Lillehammer
                                                       {40.4, -3.7, true},    // Madrid
                                                       {45.5, -5.0, false},   // Bay of Biscay
                                                       {55.5, 17.0, false},   // Baltic
                                                       {38.0, 5.0, false}}},  // Mediterranean
                                           RegionCase{"mapuse.data",
                                                      -86,
                                                      -55,
                                                      17,
                                                      63,
                                                      150000,
                                                      {{39.95, -75.16, true},   // Philadelphia
                                                       {45.5, -73.57, true},    // Montreal
                                                       {18.45, -66.1, true},    // San Juan
                                                       {43.0, -68.0, false},    // Gulf of Maine
                                                       {25.0, -80.0, false},    // Straits of Florida
                                                       {60.0, -60.0, false}}},  // Labrador Sea
                                           RegionCase{"mapaus.data",
                                                      107,
                                                      179,
                                                      -50,
                                                      4,
                                                      150000,
                                                      {{-23.7, 133.88, true},   // Alice Springs
                                                       {-42.88, 147.33, true},  // Hobart
                                                       {-41.3, 174.78, true},   // Wellington
                                                       {-18.0, 155.0, false},   // Coral Sea
                                                       {-38.0, 110.0, false}}}  // Indian Ocean
                                           ),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
