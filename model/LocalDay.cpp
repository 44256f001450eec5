#include "model/LocalDay.h"

#include "model/Prediction.h"
#include "model/QsDateTime.h"
#include "model/SummerTime.h"

namespace {

struct Date {
  int day, month, year;
};

Date Step(Date d, int days) {
  if (days > 0) {
    if (++d.day > DaysInMonth(d.month, d.year)) {
      d.day = 1;
      if (++d.month > 12) {
        d.month = 1;
        ++d.year;
      }
    }
  } else if (days < 0) {
    if (--d.day < 1) {
      if (--d.month < 1) {
        d.month = 12;
        --d.year;
      }
      d.day = DaysInMonth(d.month, d.year);
    }
  }
  return d;
}

// Summer time at a standard-time minute (0-1439) of a day.
int SummerAtStandardMinute(Date d, int minute, int rule, int zoneMinutes) {
  const int summer = IsSummerTime(d.day, d.month, d.year, rule);
  const int change = GetSummerTimeChangeMinute(d.day, d.month, d.year, rule, zoneMinutes);
  if (change >= 0 && minute < change) return summer ? 0 : 1;
  return summer;
}

}  // namespace

CLocalDay::CLocalDay(int day, int month, int year, int zoneCode, int ruleCode, int bSummerTime) : m_zone(zoneCode) {
  if (!bSummerTime || month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year) || year < 1 || year > 9999)
    return;
  const int zoneMinutes = CPrediction::ZoneCodeToMinutes(zoneCode);
  const Date d{day, month, year};
  m_shift = GetSummerTimeShiftMinutes(ruleCode, zoneMinutes);
  // Local midnight is 23:00 standard time of the day before when summer time is in force
  // then; the end of the day likewise. A change always lies within its own day (before 23:00
  // standard time), so these two instants see the states either side of it.
  m_startSummer = SummerAtStandardMinute(Step(d, -1), 1380, ruleCode, zoneMinutes);
  m_endSummer = SummerAtStandardMinute(d, 1380, ruleCode, zoneMinutes);
  const int start = -m_shift * m_startSummer;
  const int end = kDayMinutes - m_shift * m_endSummer;
  m_minutes = end - start;
  if (m_startSummer != m_endSummer)
    m_change = GetSummerTimeChangeMinute(day, month, year, ruleCode, zoneMinutes) - start;
}

CLocalDay::CLocalDay(const CQsDateTime& date, int zoneCode, int ruleCode, int bSummerTime)
    : CLocalDay(date.GetDay(), date.GetMonth(), date.GetYear(), zoneCode, ruleCode, bSummerTime) {}

CLocalDay CLocalDay::Plain(int zoneCode, int bSummer) {
  CLocalDay day;
  day.m_zone = zoneCode;
  day.m_startSummer = day.m_endSummer = bSummer ? 1 : 0;
  return day;
}

int CLocalDay::ClockMinute(int elapsed) const {
  return m_change >= 0 && elapsed >= m_change ? elapsed + GetClockShift() : elapsed;
}

int CLocalDay::MinuteOfClock(int clock) const {
  if (m_change < 0 || clock < m_change) return clock;
  const int shift = GetClockShift();
  if (shift > 0 && clock < m_change + shift) return m_change;  // skipped by the clocks going forward
  return clock - shift;
}
