// The chart's coastline files: the input is a whole file as the chart reads it; what was read
// is then walked from every polygon's head, as the drawing does.
#include "chart/Coastline.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CCoastline coast;
  CString error;
  const CCoastline::Result r = coast.Read(data, size, error);
  if (r != CCoastline::readOk && error.IsEmpty()) std::abort();
  int points = 0;
  double sum = 0;
  for (int i = 0; i < coast.GetPolygonCount(); ++i)
    for (const COASTNODE* p = coast.GetPolygon(i); p; p = p->next, ++points) sum += p->latitude + p->longitude;
  // Every node is reached from exactly one polygon, and none is beyond the pool.
  if (points != coast.GetPointCount() || static_cast<std::size_t>(points) > size / 8 + 1) std::abort();
  if (r == CCoastline::readCorrupt && !coast.IsEmpty()) std::abort();
  coast.Empty();
  return sum > 1e300 ? 1 : 0;
}
