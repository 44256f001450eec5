// A month of daily predictions for the tide table: days 1 to 31, each with its own cache.
#pragma once

#include "model/Prediction.h"
#include "platform/core/AfxPages.h"

#include <cstddef>
#include <new>

class CMonthlyPrediction {
 public:
  static constexpr int kDays = 31;

  CMonthlyPrediction() = default;
  virtual ~CMonthlyPrediction() = default;
  CMonthlyPrediction(const CMonthlyPrediction&) = delete;
  CMonthlyPrediction& operator=(const CMonthlyPrediction&) = delete;

  // Every day's cache is written as the month is made: its pages come in one call.
  static void* operator new(std::size_t size) { return AfxNewPrefaulted(size); }
  static void operator delete(void* p) { ::operator delete(p); }

  void SetPort(const CPortData& port);
  // Day 1 to 31; other days are ignored.
  void SetAngleFactors(int day, const CAngleFactorData& today, const CAngleFactorData& nextDay);
  // The prediction of day 1 to 31, else NULL.
  CPrediction* GetDay(int day);
  const CPrediction* GetDay(int day) const;
  void SetDaysInMonth(int days) { m_daysInMonth = days; }
  int GetDaysInMonth() const { return m_daysInMonth; }
  void ClearAll();

  // The high and low waters of a day as the month lists them (clock minutes; elapsed minutes
  // when asked). Two days' predictions differ a little at the midnight between them, so an
  // extreme within a few minutes of it could be found on both days or on neither: around the
  // midnight a day shares with the day before (previous, its local day; none for the first
  // day), the day before's prediction alone decides. Each extreme is then listed once.
  int FindHighLow(int day, const CLocalDay& local, const CLocalDay* previous,
                  TIMEHEIGHT out[CPrediction::kMaxDayEvents], int* elapsed = nullptr);
  // The same for a day's prediction and the day before's (none for a first day), wherever they
  // are kept: a tool that lists days one after another needs no month.
  static int FindHighLow(CPrediction& today, CPrediction* before, const CLocalDay& local, const CLocalDay* previous,
                         TIMEHEIGHT out[CPrediction::kMaxDayEvents], int* elapsed = nullptr);

 private:
  CPrediction m_days[kDays];
  int m_daysInMonth = 0;  // set by the frame before any view reads it
};
