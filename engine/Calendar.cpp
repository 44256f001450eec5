#include "engine/Calendar.h"

#include <climits>

namespace ebc {

namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

long long FloorMod(long long a, long long b) { return a - FloorDiv(a, b) * b; }

// Inverse of DaysFromCivil.
void CivilFromDays(long long z, long long& year, int& month, int& day) {
  z += 719468;
  const long long era = FloorDiv(z, 146097);
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

int ClampToInt(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

bool IsLeapYear(int year) { return (year % 400 == 0) || (year % 4 == 0 && year % 100 != 0); }

int DaysInMonth(int month, int year) {
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDaysInMonth[month - 1];
}

int DayOfYear(int day, int month, int year) {
  if (month < 1 || month > 12) return day;
  int n = day + kDaysBeforeMonth[month - 1];
  if (month >= 3 && IsLeapYear(year)) ++n;
  return n;
}

long long DaysFromCivil(long long year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = FloorDiv(year, 400);
  const long long yoe = year - era * 400;
  const long long mp = month > 2 ? month - 3 : month + 9;
  const long long doy = (153 * mp + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void StepDateTime(int& year, int& month, int& day, int& hour, int& minute, int stepMinutes) {
  long long m = static_cast<long long>(minute) + stepMinutes;
  long long h = static_cast<long long>(hour) + FloorDiv(m, 60);
  m = FloorMod(m, 60);
  long long d = static_cast<long long>(day) + FloorDiv(h, 24);
  h = FloorMod(h, 24);

  // Most steps stay within the month.
  if (month >= 1 && month <= 12 && d >= 1 && d <= DaysInMonth(month, year)) {
    day = static_cast<int>(d);
    hour = static_cast<int>(h);
    minute = static_cast<int>(m);
    return;
  }

  long long y = static_cast<long long>(year) + FloorDiv(static_cast<long long>(month) - 1, 12);
  const int mo = static_cast<int>(FloorMod(static_cast<long long>(month) - 1, 12)) + 1;

  // Day 0 is the last day of the previous month, day 32 of January is 1 February, and so on.
  const long long days = DaysFromCivil(y, mo, 1) + d - 1;
  int newMonth = 1;
  int newDay = 1;
  CivilFromDays(days, y, newMonth, newDay);

  year = ClampToInt(y);
  month = newMonth;
  day = newDay;
  hour = static_cast<int>(h);
  minute = static_cast<int>(m);
}

}  // namespace ebc
