// The extra data file, through the engine's exported functions: a fixed small grid is the
// harmonics file, the input is the extra file; positions and value indices come from its bytes.
#include <cmath>
#include <limits>

#include "engine/Ebbcalc32.h"
#include "tests/engine/GridWriter.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// Four rows, five columns, M2 and S2 everywhere but one point with no data.
const ebc::fixture::GridGeometry kGeometry{4, 5, 51.0, -3.0, 0.25, 0.5};

std::string WriteGrid(const neapwise_fuzz::Scratch& scratch) {
  ebc::fixture::HarmonicsGridWriter grid(kGeometry, {31, 36});
  grid.setAllPoints({{31, 1.5, 120.0, 0.4, 30.0, 0.2, 300.0}, {36, 0.5, 160.0, 0.1, 60.0, 0.05, 10.0}});
  grid.setMissing(3, 4);
  const std::string path = scratch.file("grid.dat");
  grid.write(path);
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static neapwise_fuzz::Scratch scratch("engine-extra");
  static const std::string grid = WriteGrid(scratch);
  if (EBC_SetHarmonicsFile(grid.c_str(), "second") != EBC_OK) return 0;
  const std::string extra = scratch.write("extra.dat", data, size);
  if (extra.empty() || EBC_SetXtradataFile(extra.c_str()) != EBC_OK) return 0;

  neapwise_fuzz::Derived d(data, size);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int k = 0; k < 12; ++k) {
    double lat, lon;
    switch (d.range(0, 5)) {
      case 0:  // a grid point
        lat = kGeometry.latitude(d.range(1, kGeometry.rows));
        lon = kGeometry.longitude(d.range(1, kGeometry.cols));
        break;
      case 1:  // anywhere, a little beyond the edges too
        lat = kGeometry.latitude(kGeometry.rows) - 0.1 + d.unit() * (kGeometry.rows * kGeometry.dLat);
        lon = kGeometry.west - 0.1 + d.unit() * (kGeometry.cols * kGeometry.dLong);
        break;
      case 2:
        lat = nan;
        lon = kGeometry.west;
        break;
      default:  // inside
        lat = kGeometry.latitude(kGeometry.rows) + d.unit() * ((kGeometry.rows - 1) * kGeometry.dLat);
        lon = kGeometry.west + d.unit() * ((kGeometry.cols - 1) * kGeometry.dLong);
        break;
    }
    double value = 0;
    double qlat = lat, qlon = lon;
    EBC_GetExtraData(&qlat, &qlon, d.range(-1, 16), &value);
    double h = 0, u = 0, v = 0, speed = 0, dir = 0;
    qlat = lat;
    qlon = lon;
    EBC_DoPrediction(d.range(0, 3), d.range(0, 1), &qlat, &qlon, d.range(1, 28), d.range(1, 12), d.range(1990, 2030),
                     d.range(0, 23), d.range(0, 59), 0, 0.0, 0.0, &h, &u, &v, &speed, &dir);
  }
  return 0;
}
