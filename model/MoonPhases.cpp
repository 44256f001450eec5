#include "model/MoonPhases.h"

#include "model/Angles.h"

#include <cmath>

namespace {

constexpr double kRad = angles::kAlmanacDegToRad;

double Sin(double degrees) { return std::sin(degrees * kRad); }
double Cos(double degrees) { return std::cos(degrees * kRad); }

double Reduce(double degrees) {
  double r = degrees - std::trunc(degrees / 360.0) * 360.0;
  if (r < 0) r += 360.0;
  return r;
}

// Julian day (ephemeris) of the phase with the given lunation number; the
// fractional part of k picks the phase (0 new, .25 first quarter, .5 full,
// .75 last quarter).
double PhaseJulianDay(double k, int phase) {
  const double T = k / 1236.85;
  const double T2 = T * T;
  const double T3 = T2 * T;
  const double mean = 2415020.75933 + 29.53058868 * k + 0.0001178 * T2 - 0.000000155 * T3 +
                      0.00033 * Sin(166.56 + 132.87 * T - 0.009173 * T2);
  const double M = Reduce(359.2242 + 29.10535608 * k - 0.0000333 * T2 - 0.00000347 * T3);
  const double Mp = Reduce(306.0253 + 385.81691806 * k + 0.0107306 * T2 + 0.00001236 * T3);
  const double F = Reduce(21.2964 + 390.67050646 * k - 0.0016528 * T2 - 0.00000239 * T3);

  double c;
  if (phase == 0 || phase == 2) {
    c = (0.1734 - 0.000393 * T) * Sin(M) + 0.0021 * Sin(2 * M) - 0.4068 * Sin(Mp) + 0.0161 * Sin(2 * Mp) -
        0.0004 * Sin(3 * Mp) + 0.0104 * Sin(2 * F) - 0.0051 * Sin(M + Mp) - 0.0074 * Sin(M - Mp) +
        0.0004 * Sin(2 * F + M) - 0.0004 * Sin(2 * F - M) - 0.0006 * Sin(2 * F + Mp) + 0.001 * Sin(2 * F - Mp) +
        0.0005 * Sin(M + 2 * Mp);
  } else {
    c = (0.1721 - 0.0004 * T) * Sin(M) + 0.0021 * Sin(2 * M) - 0.628 * Sin(Mp) + 0.0089 * Sin(2 * Mp) -
        0.0004 * Sin(3 * Mp) + 0.0079 * Sin(2 * F) - 0.0119 * Sin(M + Mp) - 0.0047 * Sin(M - Mp) +
        0.0003 * Sin(2 * F + M) - 0.0004 * Sin(2 * F - M) - 0.0006 * Sin(2 * F + Mp) + 0.0021 * Sin(2 * F - Mp) +
        0.0003 * Sin(M + 2 * Mp) + 0.0004 * Sin(M - 2 * Mp) - 0.0003 * Sin(2 * M + Mp);
    if (phase == 1)
      c += 0.0028 - 0.0004 * Cos(M) + 0.0003 * Cos(Mp);
    else
      c += -0.0028 + 0.0004 * Cos(M) - 0.0003 * Cos(Mp);
  }
  return mean + c;
}

// Meeus's conversion of a Julian day to a calendar date, to the minute. False
// for a day whose year would not fit (absurd years given to the object).
bool FromJulianDay(double jd, CQsDateTime& t) {
  if (!(std::fabs(jd) < 7e11)) return false;
  const double Z = std::floor(jd + 0.5);
  const double fraction = jd + 0.5 - Z;
  double A = Z;
  if (Z >= 2299161) {
    const double alpha = std::floor((Z - 1867216.25) / 36524.25);
    A = Z + 1 + alpha - std::floor(alpha / 4);
  }
  const double B = A + 1524;
  const double C = std::floor((B - 122.1) / 365.25);
  const double D = std::floor(365.25 * C);
  const double E = std::floor((B - D) / 30.6001);
  const double dayValue = B - D - std::floor(30.6001 * E);
  const double monthValue = E < 14 ? E - 1 : E - 13;
  const double yearValue = monthValue > 2 ? C - 4716 : C - 4715;
  // Far from the epoch the doubles no longer hold the day: no date rather than an int overflow.
  if (!(dayValue >= 1 && dayValue <= 31) || !(monthValue >= 1 && monthValue <= 12) || !(std::fabs(yearValue) < 2.0e9))
    return false;
  const int day = static_cast<int>(dayValue);
  const int month = static_cast<int>(monthValue);
  const int year = static_cast<int>(yearValue);
  const double hours = fraction * 24;
  const int hour = static_cast<int>(std::floor(hours));
  const int minute = static_cast<int>(std::floor((hours - hour) * 60));
  t.SetDate(year, month, day);  // years here are never two-digit
  t.SetTime(hour, minute, 0);
  return true;
}

}  // namespace

CMoonPhases::CMoonPhases(int month, int year) : m_month(month), m_year(year) {}

CQsDateTime CMoonPhases::At(const std::vector<CQsDateTime>& list, int i) {
  if (i < 0 || i >= static_cast<int>(list.size())) return CQsDateTime();
  return list[static_cast<size_t>(i)];
}

void CMoonPhases::Calculate() {
  m_newMoons.clear();
  m_firstQuarters.clear();
  m_fullMoons.clear();
  m_lastQuarters.clear();
  m_computed = 0;

  // Reals, so that no month or year given to the object can overflow here.
  const double month = m_month;
  const double year = m_year;
  const double prevMonth = m_month == 1 ? 12 : month - 1;
  const double prevYear = m_month == 1 ? year - 1 : year;
  const struct {
    double d, m, y;
  } starts[4] = {{1, month, year}, {26, month, year}, {1, prevMonth, prevYear}, {15, prevMonth, prevYear}};

  std::vector<CQsDateTime>* lists[4] = {&m_newMoons, &m_firstQuarters, &m_fullMoons, &m_lastQuarters};
  for (const auto& s : starts) {
    const double k0 = std::ceil(((s.m - 1) / 12 + s.y + s.d / 365 - 1900) * 12.3685);
    for (int phase = 0; phase < 4; ++phase) {
      CQsDateTime t;
      if (!FromJulianDay(PhaseJulianDay(k0 + 0.25 * phase, phase), t)) continue;
      if (t.GetYear() != m_year || t.GetMonth() != m_month) continue;
      std::vector<CQsDateTime>& list = *lists[phase];
      bool seen = false;
      for (const CQsDateTime& other : list) seen = seen || other.GetDay() == t.GetDay();
      if (!seen) list.push_back(t);
    }
  }
  m_computed = 1;
}
