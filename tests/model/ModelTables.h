// Small tables for the model's tests, written with the model's own table writers.
#pragma once

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

#include "model/AngleFactorDB.h"
#include "model/DiamondDB.h"
#include "model/PortDB.h"

namespace model_test {

template <class DB, class Record>
std::vector<BYTE> TableBytes(const std::vector<Record>& records) {
  CMemFile file;
  DB::WriteTable(file, records);
  const BYTE* data = file.GetData();
  return std::vector<BYTE>(data, data + file.GetLength());
}

inline CAngleFactorData Day(int id, int year, int month, int day, int m2, int s2, int k1, int o1, double factor = 1.0) {
  CAngleFactorData d;
  d.SetId(id);
  d.SetDate(CQsDateTime(year, month, day, 0, 0, 0));
  const int angles[4] = {m2, s2, k1, o1};
  for (int c = 0; c < 4; ++c) {
    d.SetAngle(c, angles[c]);
    d.SetFactor(c, factor);
  }
  return d;
}

// count consecutive days from the given date, ids from firstId, angles stepping as the real
// constituents do (M2 +24, S2 0, K1 +1, O1 +25 degrees a day).
inline std::vector<CAngleFactorData> Days(int firstId, int year, int month, int day, int count) {
  std::vector<CAngleFactorData> days;
  CQsDateTime date(year, month, day, 0, 0, 0);
  for (int i = 0; i < count; ++i) {
    CAngleFactorData d = Day(firstId + i, date.GetYear(), date.GetMonth(), date.GetDay(), (10 + 24 * i) % 360, 0,
                             (200 + i) % 360, (50 + 25 * i) % 360, 1.0 + 0.001 * i);
    days.push_back(d);
    date.NextDay();
  }
  return days;
}

inline CPortData Port(int index, int portId, const char* name, int zone = 0) {
  CPortData p;
  p.SetIndex(index);
  p.SetPortId(portId);
  p.SetName(name);
  p.SetMeanLevel(2.5 + index);
  p.SetConstituent(CPortData::M2, 100 + index, 1.25);
  p.SetConstituent(CPortData::S2, 150, 0.5);
  p.SetConstituent(CPortData::K1, 20, 0.1);
  p.SetConstituent(CPortData::O1, 350, 0.05);
  p.SetConstituent(CPortData::F4, 45, 0.02);
  p.SetConstituent(CPortData::F6, 270, 0.003);
  p.SetLevel(CPortData::MHWS, 4.3);
  p.SetLevel(CPortData::MHWN, 3.4);
  p.SetLevel(CPortData::MLWS, 0.6);
  p.SetLevel(CPortData::MLWN, 1.5);
  p.SetArea(3);
  p.SetKind(2);
  p.SetTimeZone(zone);
  p.SetLatLon(50.5 + index, -1.25);
  return p;
}

// Runs count(t) on `threads` threads let go at the same moment (t = 0 to threads - 1), each
// counting the wrong answers it got; their sum.
template <class Count>
int WrongAnswersFromThreadsAtOnce(int threads, Count count) {
  std::latch start(threads);
  std::atomic<int> wrong{0};
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t)
    running.emplace_back([&, t] {
      start.arrive_and_wait();
      wrong += count(t);
    });
  for (std::thread& thread : running) thread.join();
  return wrong.load();
}

}  // namespace model_test
