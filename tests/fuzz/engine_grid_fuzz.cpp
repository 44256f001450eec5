// The harmonics grid file, through the engine's exported functions: the input is the file;
// the positions, modes, flags and dates asked come from its bytes (corners, edges, grid points,
// cells, just outside, non-finite values).
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/Ebbcalc32.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

struct Position {
  double lat, lon;
};

void Ask(neapwise_fuzz::Derived& d, Position p) {
  const int flags = d.range(0, 3);
  const int mode = d.range(0, 3) == 0 ? 0 : d.range(1, 2);
  int day = d.range(1, 28), month = d.range(1, 12), year = d.range(1900, 2100);
  if (d.range(0, 15) == 0) {
    // Dates no caller should send; the engine must still stay inside its tables.
    day = d.range(-2, 40);
    month = d.range(-1, 14);
    year = d.range(-4000, 40000);
  }
  const int hour = d.range(0, 23), minute = d.range(0, 59), second = d.range(0, 59);
  double lat = p.lat, lon = p.lon;
  double h = 0, u = 0, v = 0, speed = 0, dir = 0;
  EBC_DoPrediction(flags, mode, &lat, &lon, day, month, year, hour, minute, second, d.unit() * 4 - 2,
                   d.range(0, 3) == 0 ? 980.0 + d.range(0, 60) : 0.0, &h, &u, &v, &speed, &dir);

  lat = p.lat;
  lon = p.lon;
  double m2[6], s2[6], o1[6], k1[6];
  EBC_GetHarmonicConstants(d.range(0, 1), &lat, &lon, m2, s2, o1, k1);
  EBC_CheckIfValidLocation(p.lat, p.lon);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static neapwise_fuzz::Scratch scratch("engine-grid");
  const std::string path = scratch.write("grid.dat", data, size);
  if (path.empty() || EBC_SetHarmonicsFile(path.c_str(), "second") != EBC_OK) return 0;

  double east = 0, west = 0, north = 0, south = 0;
  if (EBC_ModelDomain(&east, &west, &north, &south, 0) != EBC_OK) return 0;
  EBC_ModelDomain(&east, &west, &north, &south, 1);  // refused

  // The header was accepted, so its fixed part is there.
  std::int32_t rows = 0, cols = 0;
  double dLat = 0, dLong = 0;
  std::memcpy(&rows, data + 0, 4);
  std::memcpy(&cols, data + 4, 4);
  std::memcpy(&dLat, data + 24, 8);
  std::memcpy(&dLong, data + 32, 8);

  neapwise_fuzz::Derived d(data, size);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const int r = d.range(0, rows > 0 ? rows - 1 : 0), c = d.range(0, cols > 0 ? cols - 1 : 0);
  std::vector<Position> asks = {
      {north, west},
      {north, east},
      {south, west},
      {south, east},
      {(north + south) / 2, (east + west) / 2},
      {north - r * dLat, west + c * dLong},                  // a grid point
      {north - (r + 0.5) * dLat, west + (c + 0.5) * dLong},  // a cell's middle
      {north - (r + 0.5) * dLat, west + c * dLong},          // half-way down a column
      {south + d.unit() * (north - south), west + d.unit() * (east - west)},
      {north + dLat * 0.01, west},
      {south, east + dLong * 0.01},  // just outside
      {south - dLat, (east + west) / 2},
  };
  if (d.range(0, 7) == 0) asks.push_back({nan, west});
  if (d.range(0, 7) == 0) asks.push_back({north, inf});
  for (const Position& p : asks) Ask(d, p);

  // A short series from one of the positions.
  const Position& p = asks[static_cast<std::size_t>(d.range(0, static_cast<int>(asks.size()) - 1))];
  double lat = p.lat, lon = p.lon;
  const int count = d.range(0, 8);
  double heights[8], us[8], vs[8], speeds[8], dirs[8];
  EBC_DoSeriesPrediction(d.range(0, 3), d.range(0, 1), &lat, &lon, d.range(1, 31), d.range(1, 12), d.range(1990, 2030),
                         d.range(0, 23), d.range(0, 59), 0, 0.0, 0.0, count, d.range(-90, 180), heights, us, vs, speeds,
                         dirs);
  return 0;
}
