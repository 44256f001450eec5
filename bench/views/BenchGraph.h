// The day the graph benchmarks draw: a tide curve at Dover with its levels and title.
#pragma once

#include "views/GraphWnd.h"

#include <cmath>

inline void FillBenchGraph(CGraphWnd& g) {
  for (int m = 0; m < 1440; ++m) g.SetPoint(3.1 + 2.6 * std::cos((m - 200) * 2 * M_PI / 745.0), m);
  g.SetMaxHeight(6.5);
  g.SetMHWS(5.6), g.SetMHWN(4.6), g.SetMLWN(1.8), g.SetMLWS(0.8);
  g.SetAgroundLevel(2.0);
  g.SetTitle("Dover - Thu 12 Jun 2025");
}
