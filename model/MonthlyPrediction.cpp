#include "model/MonthlyPrediction.h"

#include "model/LocalDay.h"

#include <algorithm>
#include <cstdlib>

void CMonthlyPrediction::SetPort(const CPortData& port) {
  for (CPrediction& day : m_days) day.SetPort(port);
}

void CMonthlyPrediction::SetAngleFactors(int day, const CAngleFactorData& today, const CAngleFactorData& nextDay) {
  if (CPrediction* p = GetDay(day)) p->SetAngleFactors(today, nextDay);
}

CPrediction* CMonthlyPrediction::GetDay(int day) {
  if (day < 1 || day > kDays) return nullptr;
  return &m_days[day - 1];
}

const CPrediction* CMonthlyPrediction::GetDay(int day) const {
  if (day < 1 || day > kDays) return nullptr;
  return &m_days[day - 1];
}

void CMonthlyPrediction::ClearAll() {
  for (CPrediction& day : m_days) day.ClearCache();
}

int CMonthlyPrediction::FindHighLow(int day, const CLocalDay& local, const CLocalDay* previous,
                                    TIMEHEIGHT out[CPrediction::kMaxDayEvents], int* elapsed) {
  CPrediction* today = GetDay(day);
  if (!today) return 0;
  return FindHighLow(*today, previous ? GetDay(day - 1) : nullptr, local, previous, out, elapsed);
}

int CMonthlyPrediction::FindHighLow(CPrediction& today, CPrediction* before, const CLocalDay& local,
                                    const CLocalDay* previous, TIMEHEIGHT out[CPrediction::kMaxDayEvents],
                                    int* elapsed) {
  int at[CPrediction::kMaxDayEvents];
  int n = today.FindHighLow(local, out, at);
  if (!previous) before = nullptr;
  if (before && !today.IsFiltered()) {
    // Filtered days keep their own choice: the spacing rule has already thinned them.
    TIMEHEIGHT kept[CPrediction::kMaxDayEvents];
    before->FindHighLow(*previous, kept);
    if (!before->IsFiltered()) {
      // The day before decides this day's first hour; this day's own events from half an
      // hour in are kept unless the day before already gave them (a few minutes apart).
      constexpr int kMargin = 60, kOwnFrom = 30, kSame = 20;
      const int length = previous->GetMinutes();
      TIMEHEIGHT seen[8];
      const int m = before->TurningPoints(*previous, length, length + kMargin, seen, 8);
      TIMEHEIGHT merged[CPrediction::kMaxDayEvents];
      int times[CPrediction::kMaxDayEvents];
      int count = 0;
      for (int i = 0; i < m && count < CPrediction::kMaxDayEvents; ++i) {
        times[count] = seen[i].minutes - length;
        merged[count++] = {local.ClockMinute(seen[i].minutes - length), seen[i].metres};
      }
      const int given = count;
      for (int i = 0; i < n && count < CPrediction::kMaxDayEvents; ++i) {
        if (at[i] < kOwnFrom) continue;
        bool same = false;
        for (int j = 0; j < given && !same; ++j) same = std::abs(times[j] - at[i]) <= kSame;
        if (same) continue;
        times[count] = at[i];
        merged[count++] = out[i];
      }
      n = count;
      std::copy(merged, merged + n, out);
      std::copy(times, times + n, at);
    }
  }
  if (elapsed) std::copy(at, at + n, elapsed);
  return n;
}
