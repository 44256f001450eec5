// The program's one date-and-time value, with the calendar helpers around it.
//
// The fields are plain broken-down calendar values (day, month, year, hour,
// minute, second). Every step that crosses midnight is done with proleptic
// Gregorian arithmetic on a UTC-style second count, so the machine's own time
// zone and summer time never shift a value. Only "now" (GetCurrent, the
// minutes-of-the-day constructor) and the time64 constructor read the
// machine's local clock.
#pragma once

#include "platform/core/Afx.h"

#include <cstdint>
#include <type_traits>

class CQsDateTime : public CObject {
  DECLARE_SERIAL(CQsDateTime)

 public:
  // 1 January 1980 00:00:00.
  // User-provided, so that arrays of records holding dates are not zeroed first.
  CQsDateTime() {}
  // Years 0-49 become 2000-2049 and 50-99 become 1950-1999; no field is checked.
  CQsDateTime(int year, int month, int day, int hour, int minute, int second);
  // The machine's local broken-down time of a time value in seconds since the
  // epoch. A failed conversion leaves 0/0/0 -1:-1:-1.
  // Any 64-bit integer (time_t, LONGLONG) is taken as a time value.
  template <class T>
  requires(std::is_integral_v<T> && sizeof(T) == 8) explicit CQsDateTime(T time64) {
    SetFromLocalTime(static_cast<std::int64_t>(time64));
  }
  // Today's local date with the given minutes after midnight (second 0).
  explicit CQsDateTime(int minutesOfDay);
  CQsDateTime(const CQsDateTime& other);
  CQsDateTime& operator=(const CQsDateTime& other);
  ~CQsDateTime() override = default;

  bool operator==(const CQsDateTime& other) const;

  int GetDay() const { return m_day; }
  int GetMonth() const { return m_month; }
  int GetYear() const { return m_year; }
  int GetHour() const { return m_hour; }
  int GetMinute() const { return m_minute; }
  int GetSecond() const { return m_second; }

  // No validation; two-digit years as in the constructor.
  void SetDate(int year, int month, int day);
  void SetTime(int hour, int minute, int second);
  void SetDateTime(int year, int month, int day, int hour, int minute, int second);
  // The six fields as a stored record holds them (no two-digit year mapping), as Serialize reads.
  void SetStoredFields(int year, int month, int day, int hour, int minute, int second) {
    m_year = year;
    m_month = month;
    m_day = day;
    m_hour = hour;
    m_minute = minute;
    m_second = second;
  }

  // Hour 0-23, minute and second 0-59, month 0-12 and, for months 1-12, a day
  // no later than the month's last. The day is not checked from below.
  bool IsValid() const;

  // 1 Sunday .. 7 Saturday. Throws the failure exception for fields out of
  // range (see ToSeconds).
  int GetDayOfWeek() const;

  // Compare the instants. Throw as GetDayOfWeek for out-of-range fields.
  bool operator<=(const CQsDateTime& other) const;
  bool operator>(const CQsDateTime& other) const;

  // Calendar days from this date to the other's (negative when the other is
  // earlier); time of day ignored. Throws the failure exception (E_FAIL) for
  // a year below 1900, a month outside 1-12 or a day outside 1-31.
  int DaysBetween(const CQsDateTime& other) const;

  static int DaysInMonth(int month, int year);
  // The machine's current local date and time.
  static CQsDateTime GetCurrent();

  // Pure calendar step; time of day kept; a month outside 1-12 is left alone.
  void NextDay();
  // Steps of whole seconds; throw for out-of-range fields as GetDayOfWeek.
  void PrevDay();
  void AddMinutes(int minutes);
  void SubtractMinutes(int minutes);

  // strftime of the value ("Invalid Date Time" when IsValid fails; an empty
  // text when the result does not fit 127 characters). The "%#d" style flag
  // (no leading zero) is accepted.
  CString Format(LPCTSTR pattern) const;

  // Reads "hh<sep>mm" from user text with the user's locale values (time
  // separator, PM designator, 12/24-hour clock); on success sets hour and
  // minute and returns 1, else returns 0 and changes nothing. With a 12-hour
  // clock and the PM designator in the text, hours 0-11 gain 12; with the
  // AM designator, 12 becomes 0.
  int ParseTime(LPCTSTR text);
  int ParseTime(LPCTSTR text, const AFX_LOCALE_VALUES& locale);

  // Six int32: year, month, day, hour, minute, second.
  void Serialize(CArchive& ar) override;

  // Seconds of the value on a zone-free (UTC-style) scale. Throws the
  // failure exception (COleException* with E_FAIL) for a year below 1900, a
  // month outside 1-12, a day outside 1-31, an hour outside 0-23 or a minute
  // or second outside 0-59. Days past the month's end roll into the next month.
  std::int64_t ToSeconds() const;
  // The value of a second count on the same scale (the inverse of ToSeconds).
  // A count whose year does not fit leaves 0/0/0 -1:-1:-1.
  static CQsDateTime FromSeconds(std::int64_t seconds);

 private:
  void SetFromLocalTime(std::int64_t time64);
  void SetFromSeconds(std::int64_t seconds);
  void SetFailed();

  int m_day = 1;
  int m_month = 1;
  int m_year = 1980;
  int m_hour = 0;
  int m_minute = 0;
  int m_second = 0;
};

// Days of a month: February by the Gregorian rule, 30 for April, June,
// September and November, 31 for every other value.
int DaysInMonth(int month, int year);

#include "model/SummerTime.h"
