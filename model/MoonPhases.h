// The instants of the Moon's four principal phases within one calendar month.
#pragma once

#include "model/QsDateTime.h"

#include <vector>

// Meeus's phase series; all instants in UT, to the minute (second 0).
class CMoonPhases {
 public:
  CMoonPhases(int month, int year);
  virtual ~CMoonPhases() = default;

  // (Re)computes the four lists for the stored month and year.
  void Calculate();

  int GetNewMoonCount() const { return static_cast<int>(m_newMoons.size()); }
  int GetFirstQuarterCount() const { return static_cast<int>(m_firstQuarters.size()); }
  int GetFullMoonCount() const { return static_cast<int>(m_fullMoons.size()); }
  int GetLastQuarterCount() const { return static_cast<int>(m_lastQuarters.size()); }

  // The i-th instant in order of discovery; 1 January 1980 00:00:00 when i is
  // outside the list.
  CQsDateTime GetNewMoon(int i) const { return At(m_newMoons, i); }
  CQsDateTime GetFirstQuarter(int i) const { return At(m_firstQuarters, i); }
  CQsDateTime GetFullMoon(int i) const { return At(m_fullMoons, i); }
  CQsDateTime GetLastQuarter(int i) const { return At(m_lastQuarters, i); }

  int GetMonth() const { return m_month; }
  int GetYear() const { return m_year; }
  bool IsCalculated() const { return m_computed != 0; }

 private:
  static CQsDateTime At(const std::vector<CQsDateTime>& list, int i);

  int m_month;
  int m_year;
  int m_computed = 0;
  std::vector<CQsDateTime> m_fullMoons;
  std::vector<CQsDateTime> m_firstQuarters;
  std::vector<CQsDateTime> m_lastQuarters;
  std::vector<CQsDateTime> m_newMoons;
};
