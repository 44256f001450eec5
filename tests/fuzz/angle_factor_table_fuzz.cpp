// The angle/factor table ("RAWDATA" "#178"): the input is the table as the database reads its
// resource; a loaded table is then searched and its records drive a day's prediction.
#include "model/AngleFactorDB.h"
#include "model/Prediction.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/TablePrediction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CAngleFactorDB db(data, size);
  if (db.Load() != 1) return 0;
  db.Load();  // already loaded
  neapwise_fuzz::Derived d(data, size);
  const int count = db.GetCount();
  db.GetAt(-1);
  db.GetAt(count);
  if (count > 0) db.GetAt(d.range(0, count - 1));

  CQsDateTime first, last;
  const bool span = db.GetFirstDate(first) && db.GetLastDate(last);
  int hint = d.range(-2, count + 2);
  CQsDateTime date = span ? first : CQsDateTime(2011, 6, 1, 0, 0, 0);
  if (span && d.range(0, 1)) date = last;
  for (int i = d.range(0, 3); i > 0; --i) date.NextDay();
  const CAngleFactorData& today = db.Find(date, hint);
  date.NextDay();
  const CAngleFactorData& next = db.Find(date, hint);
  db.FindDayMonthYear(d.range(0, 32), d.range(0, 13), d.range(-1, 2100), hint);
  db.FindDayMonthYear(d.range(1, 28), d.range(1, 12), d.range(0, 99), hint);  // two-digit years

  CPortData port;
  port.SetName("Fuzz Harbour");
  port.SetMeanLevel(2.5);
  port.SetConstituent(CPortData::M2, 120, 1.5);
  port.SetConstituent(CPortData::S2, 160, 0.5);
  port.SetConstituent(CPortData::K1, 20, 0.1);
  port.SetConstituent(CPortData::O1, 350, 0.05);
  port.SetConstituent(CPortData::F4, 45, 0.02);
  port.SetConstituent(CPortData::F6, 270, 0.003);
  port.SetArea(3);
  CPrediction prediction;
  prediction.SetPort(port);
  prediction.SetAngleFactors(today, next);
  neapwise_fuzz::PredictDay(prediction, d);
  return 0;
}
