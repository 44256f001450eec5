// One calendar day as the local clock runs through it under a summer-time rule.
//
// A day's minutes are counted as time really passes from local midnight ("elapsed minutes"),
// so the day of a spring change has 1380 of them and that of an autumn change 1500; the clock
// reading at an elapsed minute jumps by the hour at the instant of the change. Every view that
// turns a day into local times goes through here: the day's heights are
// CPrediction::HeightAt (elapsed minute, GetZoneCode (), GetStartSummerArg ()), and the clock
// reading of an elapsed minute is ClockMinute.
#pragma once

class CQsDateTime;

class CLocalDay {
 public:
  static constexpr int kDayMinutes = 1440;
  static constexpr int kMaxMinutes = 1500;  // an autumn change day

  // A plain 24-hour day in zone 0.
  CLocalDay() = default;
  // The day in a display zone; with bSummerTime 0 (the user's option off) no summer time at
  // all, else the rule code's summer time with its change at the rule's instant.
  CLocalDay(int day, int month, int year, int zoneCode, int ruleCode, int bSummerTime);
  CLocalDay(const CQsDateTime& date, int zoneCode, int ruleCode, int bSummerTime);
  // A 24-hour day in a zone, an hour on with bSummer: a day without a change.
  static CLocalDay Plain(int zoneCode, int bSummer);

  int GetZoneCode() const { return m_zone; }
  // The summer flag in force at local midnight, the one to give HeightAt.
  int GetStartSummer() const { return m_startSummer; }
  // The summer argument of CPrediction::HeightAt at local midnight: 0, 1 (an hour) or the
  // shift in minutes of a half-hour summer time.
  int GetStartSummerArg() const { return !m_startSummer ? 0 : m_shift == 60 ? 1 : m_shift; }
  // How far summer time puts this day's clocks on: 60, or 30 on Lord Howe Island.
  int GetSummerShift() const { return m_shift; }
  // The summer flag in force at the end of the day (that of the next day's midnight).
  int GetEndSummer() const { return m_endSummer; }
  // Elapsed minutes of the day: 1440, 1380 on a spring change, 1500 on an autumn change (1410
  // and 1470 with a half-hour shift).
  int GetMinutes() const { return m_minutes; }
  // Elapsed minute of the change, -1 when the day has none.
  int GetChangeMinute() const { return m_change; }
  // How far the clock moves at the change: the shift in spring, minus it in autumn, 0.
  int GetClockShift() const { return m_change < 0 ? 0 : m_shift * (m_endSummer - m_startSummer); }
  // The clock reading just before the change (01:00 on a European spring day in London).
  int GetChangeClock() const { return m_change < 0 ? -1 : m_change; }

  bool operator==(const CLocalDay& other) const = default;

  // The local clock's minutes after midnight at an elapsed minute (any int; past the end of
  // the day the reading runs on past 1440).
  int ClockMinute(int elapsed) const;
  // The elapsed minute at which the clock first shows a reading; a reading the spring change
  // skips gives the instant of the change.
  int MinuteOfClock(int clock) const;

 private:
  int m_zone = 0;
  int m_startSummer = 0;
  int m_endSummer = 0;
  int m_minutes = kDayMinutes;
  int m_change = -1;
  int m_shift = 60;
};
