// The tidal-stream diamond table ("RAWDATA" "#294"): the input is the table as the database
// reads its resource; a loaded table's diamonds are then asked for their streams.
#include "model/DiamondDB.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CDiamondDB db(data, size);
  if (db.Load() != 1) return 0;
  db.Load();
  neapwise_fuzz::Derived d(data, size);
  const int count = db.GetCount();
  db.GetAt(-1);
  db.GetAt(count);
  for (int k = 0; k < 4 && count > 0; ++k) {
    const CDiamondData* diamond = db.GetAt(d.range(0, count - 1));
    if (diamond == nullptr) break;
    diamond->GetPosition().GetLatitude();
    diamond->GetPosition().GetLongitude();
    diamond->GetName();
    for (int i = -1; i <= diamond->GetFlowCount(); ++i) diamond->GetFlow(i);
    // Whole and fractional hours from high water, inside and beyond -6..6.
    diamond->GetStreamAt(d.range(-8, 8));
    diamond->GetStreamAt(-6.0 + d.unit() * 12.0);
    diamond->GetStreamAt(d.unit() * 40.0 - 20.0);
    CDiamondData copy(*diamond);
    copy = *diamond;
  }
  return 0;
}
