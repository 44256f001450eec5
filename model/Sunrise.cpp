#include "model/Sunrise.h"

#include "model/Angles.h"

#include <cmath>

namespace {

constexpr double kRad = angles::kAlmanacDegToRad;
constexpr double kZenith = 1.5853407295989026;  // 90°50': refraction and the Sun's radius

}  // namespace

void CSunrise::SetDate(int day, int month, int year) {
  // Checked here: the date-time's own setters would read 0-99 as two-digit years.
  if (year < 1900) AtlThrow(E_FAIL);
  m_midnight = CQsDateTime(year, month, day, 0, 0, 0).ToSeconds();
}

int CSunrise::GetSunrise(CQsDateTime& sunrise) const { return Calculate(true, sunrise); }

int CSunrise::GetSunset(CQsDateTime& sunset) const { return Calculate(false, sunset); }

int CSunrise::Calculate(bool rising, CQsDateTime& out) const {
  const CQsDateTime date = CQsDateTime::FromSeconds(m_midnight);
  const int day = date.GetDay();
  const int month = date.GetMonth();
  const int year = date.GetYear();
  const double latitude = m_position.GetLatitude();
  const double lngHour = m_position.GetLongitude() / 15.0;

  const int N1 = 275 * month / 9;
  const int N2 = (month + 9) / 12;
  const int N3 = 1 + (year - 4 * (year / 4) + 2) / 3;
  const int N = N1 - N2 * N3 + day - 30;

  const double t = N + ((rising ? 6.0 : 18.0) - lngHour) / 24.0;
  const double M = 0.9856 * t - 3.289;
  const double L = NormaliseDegrees(M + 1.916 * std::sin(M * kRad) + 0.02 * std::sin(2 * M * kRad) + 282.634);

  double RA = NormaliseDegrees(std::atan(0.91764 * std::tan(L * kRad)) / kRad);
  RA = (RA + std::floor(L / 90) * 90 - std::floor(RA / 90) * 90) / 15;

  const double sinDec = 0.39782 * std::sin(L * kRad);
  const double cosDec = std::cos(std::asin(sinDec));
  const double cosH = (std::cos(kZenith) - sinDec * std::sin(latitude * kRad)) / (cosDec * std::cos(latitude * kRad));
  if (!(cosH >= -1 && cosH <= 1)) return 0;

  const double acosH = std::acos(cosH) / kRad;
  const double H = (rising ? 360 - acosH : acosH) / 15;
  const double UT = H + RA - 0.06571 * t - 6.622 - lngHour;

  const double whole = std::floor(UT);
  int hour = static_cast<int>(std::fmod(whole, 24.0));
  if (hour < 0) hour += 24;
  int minute = static_cast<int>((UT - whole) * 60);
  if (minute > 59) minute = 59;
  out = date;
  out.SetTime(hour, minute, 0);
  return 1;
}
