// The port table ("RAWDATA" "#179"): the input is the table as the database reads its
// resource; a loaded table is then looked up and a few of its ports are predicted for a day.
#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/TablePrediction.h"

namespace {

CAngleFactorData Day(int year, int month, int day, int m2, int s2, int k1, int o1) {
  CAngleFactorData record;
  record.SetDate(CQsDateTime(year, month, day, 0, 0, 0));
  const int angles[4] = {m2, s2, k1, o1};
  for (int c = 0; c < 4; ++c) {
    record.SetAngle(c, angles[c]);
    record.SetFactor(c, 1.0 + 0.01 * c);
  }
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CPortDB db(data, size);
  if (db.Load() != 1) return 0;
  db.Load();
  neapwise_fuzz::Derived d(data, size);
  const int count = db.GetCount();
  db.GetPort(-1);
  db.GetPort(count);
  db.GetPortPosition(count + 1);
  db.Lookup(static_cast<int>(d.u32()));

  static const CAngleFactorData today = Day(2011, 6, 1, 10, 0, 200, 50);
  static const CAngleFactorData next = Day(2011, 6, 2, 34, 0, 201, 75);
  for (int k = 0; k < 3 && count > 0; ++k) {
    const CPortData* port = db.GetPort(d.range(0, count - 1));
    if (port == nullptr) break;
    db.Lookup(port->GetPortId());
    port->GetPosition();
    CPortData copy(*port);
    copy = *port;
    if (k > 0) continue;
    CPrediction prediction;
    prediction.SetPort(*port);
    prediction.SetAngleFactors(today, next);
    // The port's own zone, as the frame uses it.
    prediction.HeightAt(d.range(0, 1439), prediction.GetZoneCode(), 0);
    neapwise_fuzz::PredictDay(prediction, d);
  }
  return 0;
}
