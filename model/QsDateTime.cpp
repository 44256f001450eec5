#include "model/QsDateTime.h"

#include <climits>
#include <cstring>
#include <ctime>
#include <string>

IMPLEMENT_SERIAL(CQsDateTime, CObject, 1)

namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date; the day may lie
// outside the month and simply counts on from its first day.
std::int64_t DaysFromCivil(std::int64_t year, int month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yoe = year - era * 400;
  const std::int64_t mp = (month + 9) % 12;  // March = 0
  const std::int64_t doy = (153 * mp + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + (day - 1);
}

void CivilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

int MapTwoDigitYear(int year) {
  if (year >= 0 && year <= 99) return year < 50 ? 2000 + year : 1900 + year;
  return year;
}

[[noreturn]] void ThrowFailure(HRESULT hr) { AtlThrow(hr); }

void CheckDate(int year, int month, int day) {
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) ThrowFailure(E_FAIL);
}

// Windows strftime takes "%#d" for a day without its leading zero; glibc
// spells that "%-d". Other "#" uses are dropped.
std::string TranslatePattern(const char* pattern) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    if (p[1] == '%') {
      out += "%%";
      ++p;
      continue;
    }
    if (p[1] == '#' && p[2]) {
      const char c = p[2];
      out += std::strchr("dHIjmMSUwWyY", c) ? "%-" : "%";
      out += c;
      p += 2;
      continue;
    }
    out += '%';
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of a run of decimal digits; -1 when it is too long to be an hour or minute.
int DigitsValue(const std::string& digits) {
  int value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > 100000) return -1;
  }
  return value;
}

bool ContainsNoCase(const std::string& text, const std::string& what) {
  if (what.empty() || what.size() > text.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  for (size_t i = 0; i + what.size() <= text.size(); ++i) {
    size_t j = 0;
    while (j < what.size() && lower(text[i + j]) == lower(what[j])) ++j;
    if (j == what.size()) return true;
  }
  return false;
}

}  // namespace

CQsDateTime::CQsDateTime(int year, int month, int day, int hour, int minute, int second)
    : m_day(day), m_month(month), m_year(MapTwoDigitYear(year)), m_hour(hour), m_minute(minute), m_second(second) {}

void CQsDateTime::SetFromLocalTime(std::int64_t time64) {
  std::tm tm{};
  const std::time_t t = static_cast<std::time_t>(time64);
  if (static_cast<std::int64_t>(t) != time64 || !localtime_r(&t, &tm)) {
    SetFailed();
    return;
  }
  m_year = tm.tm_year + 1900;
  m_month = tm.tm_mon + 1;
  m_day = tm.tm_mday;
  m_hour = tm.tm_hour;
  m_minute = tm.tm_min;
  m_second = tm.tm_sec;
}

CQsDateTime::CQsDateTime(int minutesOfDay) : CQsDateTime(static_cast<std::int64_t>(std::time(nullptr))) {
  const std::int64_t hour = FloorDiv(minutesOfDay, 60);
  m_hour = static_cast<int>(hour);
  m_minute = static_cast<int>(minutesOfDay - 60 * hour);
  m_second = 0;
}

CQsDateTime::CQsDateTime(const CQsDateTime& other)
    : CObject(),
      m_day(other.m_day),
      m_month(other.m_month),
      m_year(other.m_year),
      m_hour(other.m_hour),
      m_minute(other.m_minute),
      m_second(other.m_second) {}

CQsDateTime& CQsDateTime::operator=(const CQsDateTime& other) {
  m_day = other.m_day;
  m_month = other.m_month;
  m_year = other.m_year;
  m_hour = other.m_hour;
  m_minute = other.m_minute;
  m_second = other.m_second;
  return *this;
}

bool CQsDateTime::operator==(const CQsDateTime& other) const {
  return m_day == other.m_day && m_month == other.m_month && m_year == other.m_year && m_hour == other.m_hour &&
         m_minute == other.m_minute && m_second == other.m_second;
}

void CQsDateTime::SetDate(int year, int month, int day) {
  m_year = MapTwoDigitYear(year);
  m_month = month;
  m_day = day;
}

void CQsDateTime::SetTime(int hour, int minute, int second) {
  m_hour = hour;
  m_minute = minute;
  m_second = second;
}

void CQsDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  SetDate(year, month, day);
  SetTime(hour, minute, second);
}

bool CQsDateTime::IsValid() const {
  if (m_hour < 0 || m_hour > 23 || m_minute < 0 || m_minute > 59 || m_second < 0 || m_second > 59) return false;
  if (m_month < 0 || m_month > 12) return false;
  if (m_month >= 1 && m_day > ::DaysInMonth(m_month, m_year)) return false;
  return true;
}

std::int64_t CQsDateTime::ToSeconds() const {
  CheckDate(m_year, m_month, m_day);
  if (m_hour < 0 || m_hour > 23 || m_minute < 0 || m_minute > 59 || m_second < 0 || m_second > 59) ThrowFailure(E_FAIL);
  return DaysFromCivil(m_year, m_month, m_day) * 86400 + m_hour * 3600 + m_minute * 60 + m_second;
}

CQsDateTime CQsDateTime::FromSeconds(std::int64_t seconds) {
  CQsDateTime value;
  value.SetFromSeconds(seconds);
  return value;
}

void CQsDateTime::SetFromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, 86400);
  const std::int64_t rest = seconds - days * 86400;
  std::int64_t year = 0;
  int month = 0;
  int day = 0;
  CivilFromDays(days, year, month, day);
  if (year < INT_MIN || year > INT_MAX) {
    SetFailed();
    return;
  }
  m_year = static_cast<int>(year);
  m_month = month;
  m_day = day;
  m_hour = static_cast<int>(rest / 3600);
  m_minute = static_cast<int>(rest / 60 % 60);
  m_second = static_cast<int>(rest % 60);
}

void CQsDateTime::SetFailed() {
  m_year = m_month = m_day = 0;
  m_hour = m_minute = m_second = -1;
}

int CQsDateTime::GetDayOfWeek() const {
  const std::int64_t days = FloorDiv(ToSeconds(), 86400);
  // 1 January 1970 was a Thursday (5 on the 1-based scale).
  return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

bool CQsDateTime::operator<=(const CQsDateTime& other) const { return ToSeconds() <= other.ToSeconds(); }

bool CQsDateTime::operator>(const CQsDateTime& other) const { return ToSeconds() > other.ToSeconds(); }

int CQsDateTime::DaysBetween(const CQsDateTime& other) const {
  CheckDate(m_year, m_month, m_day);
  CheckDate(other.m_year, other.m_month, other.m_day);
  const std::int64_t diff =
      DaysFromCivil(other.m_year, other.m_month, other.m_day) - DaysFromCivil(m_year, m_month, m_day);
  if (diff < INT_MIN || diff > INT_MAX) ThrowFailure(E_INVALIDARG);
  return static_cast<int>(diff);
}

int CQsDateTime::DaysInMonth(int month, int year) { return ::DaysInMonth(month, year); }

CQsDateTime CQsDateTime::GetCurrent() { return CQsDateTime(static_cast<std::int64_t>(std::time(nullptr))); }

void CQsDateTime::NextDay() {
  if (m_month < 1 || m_month > 12) return;
  if (m_month == 12) {
    if (m_day > 30) {
      m_day = 1;
      m_month = 1;
      ++m_year;
    } else {
      ++m_day;
    }
    return;
  }
  if (m_day < ::DaysInMonth(m_month, m_year)) {
    ++m_day;
  } else {
    m_day = 1;
    ++m_month;
  }
}

void CQsDateTime::PrevDay() { SetFromSeconds(ToSeconds() - 86400); }

void CQsDateTime::AddMinutes(int minutes) { SetFromSeconds(ToSeconds() + static_cast<std::int64_t>(minutes) * 60); }

void CQsDateTime::SubtractMinutes(int minutes) {
  SetFromSeconds(ToSeconds() - static_cast<std::int64_t>(minutes) * 60);
}

CString CQsDateTime::Format(LPCTSTR pattern) const {
  if (!IsValid()) return CString("Invalid Date Time");
  const std::int64_t seconds = ToSeconds();
  const std::int64_t days = FloorDiv(seconds, 86400);
  const CQsDateTime norm = FromSeconds(seconds);
  if (norm.m_hour < 0 || norm.m_year - 1900LL < INT_MIN || !pattern) return CString();

  std::tm tm{};
  tm.tm_year = norm.m_year - 1900;
  tm.tm_mon = norm.m_month - 1;
  tm.tm_mday = norm.m_day;
  tm.tm_hour = norm.m_hour;
  tm.tm_min = norm.m_minute;
  tm.tm_sec = norm.m_second;
  tm.tm_wday = static_cast<int>(((days + 4) % 7 + 7) % 7);
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(norm.m_year, 1, 1));
  tm.tm_isdst = -1;  // the fields carry no zone
#ifdef __USE_MISC
  tm.tm_gmtoff = 0;
  tm.tm_zone = "";
#endif

  const std::string fmt = TranslatePattern(pattern);
  char buffer[128];
  const size_t n = std::strftime(buffer, sizeof buffer, fmt.c_str(), &tm);
  if (n == 0) return CString();
  return CString(std::string(buffer, n).c_str());
}

int CQsDateTime::ParseTime(LPCTSTR text) { return ParseTime(text, AfxGetLocaleValues()); }

int CQsDateTime::ParseTime(LPCTSTR text, const AFX_LOCALE_VALUES& locale) {
  if (!text) return 0;
  std::string s(text);
  const char* space = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(space);
  if (first == std::string::npos) return 0;
  s = s.substr(first, s.find_last_not_of(space) - first + 1);

  // The whole designator, in any case: single letters of "PM" would also
  // match "AM".
  const bool pm = !locale.is24Hour && ContainsNoCase(s, locale.pmDesignator.GetString());
  const bool am = !locale.is24Hour && !pm && ContainsNoCase(s, locale.amDesignator.GetString());

  const std::string sep = locale.timeSeparator.GetString();
  std::string run;
  bool found = false;
  size_t i = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      run += c;
      continue;
    }
    if (!sep.empty() && c == sep[0] && s.compare(i, sep.size(), sep) == 0 && i + sep.size() < s.size()) {
      found = true;
      break;
    }
    run.clear();
  }
  if (!found) return 0;

  std::string minuteText;
  for (size_t j = i + sep.size(); j < s.size() && IsDigit(s[j]); ++j) minuteText += s[j];

  int hour = DigitsValue(run);
  const int minute = DigitsValue(minuteText);
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return 0;
  if (pm && hour < 12)
    hour += 12;
  else if (am && hour == 12)
    hour = 0;
  m_hour = hour;
  m_minute = minute;
  return 1;
}

void CQsDateTime::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_year << m_month << m_day << m_hour << m_minute << m_second;
  } else {
    ar >> m_year >> m_month >> m_day >> m_hour >> m_minute >> m_second;
  }
}

int DaysInMonth(int month, int year) {
  switch (month) {
    case 2: return ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    default: return 31;
  }
}
