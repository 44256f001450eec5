// Heights from table records, as the program makes them once the tables are loaded: the
// fuzzed tables' values go through the prediction too.
#pragma once

#include "model/LocalDay.h"
#include "model/Prediction.h"
#include "tests/fuzz/FuzzSupport.h"

namespace neapwise_fuzz {

inline void PredictDay(CPrediction& prediction, Derived& d) {
  prediction.ClearCache();
  // Zone codes as the table and the Time Zone popup hold them, and now and then any value.
  static const int kZones[] = {0, 1, -5, 8, 10, 13, -12, 930, -330, 1000, 1030, 1200};
  const int zone =
      d.range(0, 15) == 0 ? static_cast<int>(d.u32()) : kZones[d.range(0, sizeof kZones / sizeof kZones[0] - 1)];
  const int summer = d.range(0, 1);
  prediction.HeightAt(d.range(-10, 1450), zone, summer);
  prediction.HeightAt(d.range(0, 1439), zone, summer);
  prediction.HarmonicHeight(d.unit() * 3000.0 - 840.0);
  // The table's date and the port's rule as the views turn the day into local times.
  const CLocalDay day(prediction.GetDate(), zone, prediction.GetArea(), summer);
  prediction.HeightAtClock(day, d.range(0, 1439));
  // A whole day (FindHighLow, CalcDayRange) costs a thousand loads under the sanitizers and
  // would take the fuzzer's time from the loaders; the tide model's tests cover it.
}

}  // namespace neapwise_fuzz
