// The local day against the system's zone rules (tzdata): the clock of every minute of the change
// days, and the tide events of real ports listed once each, at the times the zone's clocks show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <string>
#include <vector>

#include "model/AngleFactorDB.h"
#include "model/LocalDay.h"
#include "model/MonthlyPrediction.h"
#include "model/PortDB.h"
#include "model/Prediction.h"
#include "model/SummerTime.h"

namespace {

// Sets TZ for the test's own conversions and puts the old value back.
class ZoneRules {
 public:
  explicit ZoneRules(const char* tz) {
    if (const char* old = std::getenv("TZ")) {
      m_had = true;
      m_old = old;
    }
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ZoneRules() {
    if (m_had)
      setenv("TZ", m_old.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  ZoneRules(const ZoneRules&) = delete;
  ZoneRules& operator=(const ZoneRules&) = delete;

  // Seconds of the first instant the zone's clocks show 00:00 of the date.
  static long long Midnight(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_isdst = -1;
    return std::mktime(&t);
  }
  // The zone's clock at an instant: date as yyyymmdd and minutes after midnight.
  static void Clock(long long seconds, int& date, int& minute) {
    const std::time_t s = seconds;
    std::tm t{};
    localtime_r(&s, &t);
    date = (t.tm_year + 1900) * 10000 + (t.tm_mon + 1) * 100 + t.tm_mday;
    minute = t.tm_hour * 60 + t.tm_min;
  }

 private:
  bool m_had = false;
  std::string m_old;
};

struct ZoneCase {
  const char* tz;
  const char* port;  // a port of the embedded tables under the zone's rule
  int zone;
  int rule;
};

const ZoneCase kZones[] = {
    {"Europe/London", "Newlyn", 0, 0},
    {"America/New_York", "Boston", -5, 22},
    {"Australia/Sydney", "Sydney Fort Denison", 10, 34},
    {"Australia/Brisbane", "Brisbane Bar", 10, 35},
    {"Australia/Hobart", "Hobart", 10, 40},
    {"America/Halifax", "Halifax", -4, 29},
    {"Australia/Lord_Howe", "Lord Howe Island", 1030, 34},  // half an hour of summer time
};
constexpr int kLordHowe = 6;

int Next(int y, int m, int d, int& ny, int& nm) {
  ny = y;
  nm = m;
  if (d < DaysInMonth(m, y)) return d + 1;
  nm = m % 12 + 1;
  if (nm == 1) ++ny;
  return 1;
}

}  // namespace

// Every day of the years: a day's length as the zone's clocks run, and on the change days the
// clock reading of every minute.
TEST(LocalDay, ClocksFollowTheZoneRulesOnEveryChangeDay) {
  for (const ZoneCase& z : kZones) {
    ZoneRules rules(z.tz);
    int changeDays = 0;
    for (int y = 2015; y <= 2032; ++y) {
      for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= DaysInMonth(m, y); ++d) {
          int ny, nm;
          const int nd = Next(y, m, d, ny, nm);
          const long long start = ZoneRules::Midnight(y, m, d);
          const int length = static_cast<int>((ZoneRules::Midnight(ny, nm, nd) - start) / 60);
          const CLocalDay day(d, m, y, z.zone, z.rule, 1);
          ASSERT_EQ(length, day.GetMinutes()) << z.tz << " " << y << "-" << m << "-" << d;
          ASSERT_EQ(length != 1440, day.GetChangeMinute() >= 0) << z.tz << " " << y << "-" << m << "-" << d;
          if (length == 1440) {
            int date, minute;
            ZoneRules::Clock(start + 43200, date, minute);
            ASSERT_EQ(day.ClockMinute(720), minute) << z.tz << " " << y << "-" << m << "-" << d;
            continue;
          }
          ++changeDays;
          for (int e = 0; e < length; ++e) {
            int date, minute;
            ZoneRules::Clock(start + 60LL * e, date, minute);
            ASSERT_EQ(y * 10000 + m * 100 + d, date);
            ASSERT_EQ(minute, day.ClockMinute(e)) << z.tz << " " << y << "-" << m << "-" << d << " +" << e;
            // Back from the reading: the minute itself, or the first time the
            // autumn's repeated hour was shown.
            const int back = day.MinuteOfClock(minute);
            ASSERT_TRUE(back == e || (back == e + day.GetClockShift() && day.GetClockShift() < 0)) << e;
          }
        }
      }
    }
    EXPECT_EQ(z.rule == 35 ? 0 : 2 * 18, changeDays) << z.tz;
  }
}

// The user's summer-time option off: every day is a plain day of the display zone.
TEST(LocalDay, WithoutSummerTimeEveryDayIsTwentyFourHours) {
  const CLocalDay autumn(26, 10, 2025, 0, 0, 0);
  EXPECT_EQ(1440, autumn.GetMinutes());
  EXPECT_EQ(0, autumn.GetStartSummer());
  EXPECT_EQ(-1, autumn.GetChangeMinute());
  EXPECT_EQ(600, autumn.ClockMinute(600));
  // A summer day is a shifted day: the flag for the heights, and 24 hours.
  const CLocalDay summer(12, 7, 2025, 0, 0, 1);
  EXPECT_EQ(1440, summer.GetMinutes());
  EXPECT_EQ(1, summer.GetStartSummer());
  EXPECT_EQ(1, summer.GetEndSummer());
  // Readings skipped by the spring change give the instant of the change.
  const CLocalDay spring(30, 3, 2025, 0, 0, 1);
  EXPECT_EQ(60, spring.GetChangeMinute());
  EXPECT_EQ(60, spring.MinuteOfClock(90));
  EXPECT_EQ(60, spring.MinuteOfClock(120));
  EXPECT_EQ(61, spring.MinuteOfClock(121));
  // The autumn hour shown twice: its first occurrence.
  const CLocalDay back(26, 10, 2025, 0, 0, 1);
  EXPECT_EQ(90, back.MinuteOfClock(90));
  EXPECT_EQ(180, back.MinuteOfClock(120));
  EXPECT_EQ(-60, back.GetClockShift());
}

namespace {

struct RealPort {
  CPortDB ports;
  CAngleFactorDB table;
  CPortData port;

  bool Load(const char* name) {
    if (ports.Load() <= 0 && !ports.IsLoaded()) return false;
    if (table.Load() <= 0 && !table.IsLoaded()) return false;
    for (int i = 0; i < ports.GetCount(); ++i)
      if (ports.GetPort(i)->GetName() == name) {
        port = *ports.GetPort(i);
        return true;
      }
    return false;
  }
  bool Fill(CPrediction& p, int y, int m, int d) {
    int ny, nm;
    const int nd = Next(y, m, d, ny, nm);
    int h1 = -1, h2 = -1;
    const CAngleFactorData& a = table.Find(CQsDateTime(y, m, d, 0, 0, 0), h1);
    const CAngleFactorData& b = table.Find(CQsDateTime(ny, nm, nd, 0, 0, 0), h2);
    p.SetPort(port);
    p.SetAngleFactors(a, b);
    p.ClearCache();
    return h1 >= 0 && h2 >= 0;
  }
};

// The turning points of a prediction's heights over a span of instants, in seconds, by the
// finder's own test of neighbouring minutes (the event is the minute after the extreme sample).
std::vector<long long> TurningInstants(CPrediction& p, long long utMidnight, int from, int to) {
  std::vector<long long> out;
  for (int u = from; u < to; ++u) {
    const double a = p.HeightAt(u - 1, 0, 0), b = p.HeightAt(u, 0, 0), d = p.HeightAt(u + 1, 0, 0);
    bool turning = (a < b && d < b) || (a > b && d > b);
    if (!turning && d == b && a != b) {
      const double e = p.HeightAt(u + 2, 0, 0);
      turning = (a < b && e < b) || (a > b && e > b);
    }
    if (turning) out.push_back(utMidnight + 60LL * (u + 1));
  }
  return out;
}

long long UtMidnight(int y, int m, int d) {
  return CQsDateTime(y, m, d, 0, 0, 0).ToSeconds() - CQsDateTime(1970, 1, 1, 0, 0, 0).ToSeconds();
}

}  // namespace

// A table of change days (and the plain days round them): each event of the day at the local
// time the zone's clocks show at its instant, and every turning point of the day listed.
TEST(LocalDay, EventsOfChangeDaysShowTheZonesLocalTimes) {
  struct DayCase {
    int zone;  // index into kZones
    int y, m, d;
  } const cases[] = {
      {0, 2025, 3, 30},         {0, 2025, 10, 26},        {0, 2025, 10, 25},       {0, 2025, 10, 27},
      {0, 2026, 3, 29},         {0, 2026, 10, 25},        {1, 2025, 3, 9},         {1, 2025, 11, 2},
      {1, 2025, 11, 1},         {1, 2026, 3, 8},          {1, 2026, 11, 1},        {2, 2025, 4, 6},
      {2, 2025, 10, 5},         {2, 2026, 4, 5},          {2, 2026, 10, 4},        {2, 2025, 4, 5},
      {3, 2025, 4, 6},          {3, 2025, 10, 5},         {kLordHowe, 2027, 4, 4}, {kLordHowe, 2027, 10, 3},
      {kLordHowe, 2027, 1, 15}, {kLordHowe, 2027, 7, 15},
  };
  RealPort real[std::size(kZones)];
  for (int i : {0, 1, 2, 3, kLordHowe}) ASSERT_TRUE(real[i].Load(kZones[i].port)) << kZones[i].port;
  for (const DayCase& c : cases) {
    const ZoneCase& z = kZones[c.zone];
    ASSERT_EQ(z.rule, real[c.zone].port.GetArea() - 1);
    CPrediction p;
    ASSERT_TRUE(real[c.zone].Fill(p, c.y, c.m, c.d));
    ZoneRules rules(z.tz);
    const long long start = ZoneRules::Midnight(c.y, c.m, c.d);
    const CLocalDay day(c.d, c.m, c.y, z.zone, z.rule, 1);
    TIMEHEIGHT events[CPrediction::kMaxDayEvents];
    int elapsed[CPrediction::kMaxDayEvents];
    const int n = p.FindHighLow(day, events, elapsed);
    // What the zone's clocks show for every turning point of the day.
    const long long ut = UtMidnight(c.y, c.m, c.d);
    std::vector<int> expected;
    for (long long t : TurningInstants(p, ut, -1500, 2900)) {
      int date, minute;
      ZoneRules::Clock(t, date, minute);
      if (date == c.y * 10000 + c.m * 100 + c.d) expected.push_back(minute);
    }
    ASSERT_EQ(static_cast<int>(expected.size()), n) << z.tz << " " << c.y << "-" << c.m << "-" << c.d;
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(expected[i], events[i].minutes) << z.tz << " " << c.y << "-" << c.m << "-" << c.d << " #" << i;
      // The height is that of the event's instant.
      const int u = static_cast<int>((start + 60LL * elapsed[i] - ut) / 60) - 1;
      EXPECT_DOUBLE_EQ(p.HeightAt(u, 0, 0), events[i].metres);
    }
  }
}

// A month day by day as the table lists it: every turning point of the month once, none lost in
// the hour the clocks go back and none doubled at midnight.
void CheckMonth(const ZoneCase& z, int y, int mon) {
  RealPort real;
  ASSERT_TRUE(real.Load(z.port));
  ZoneRules rules(z.tz);
  CMonthlyPrediction month;
  const int days = DaysInMonth(mon, y);
  std::vector<long long> listed, turning;
  for (int d = 1; d <= days; ++d) ASSERT_TRUE(real.Fill(*month.GetDay(d), y, mon, d));
  for (int d = 1; d <= days; ++d) {
    CPrediction& p = *month.GetDay(d);
    const CLocalDay day(d, mon, y, z.zone, z.rule, 1), before(d - 1, mon, y, z.zone, z.rule, 1);
    const long long start = ZoneRules::Midnight(y, mon, d);
    TIMEHEIGHT events[CPrediction::kMaxDayEvents];
    int elapsed[CPrediction::kMaxDayEvents];
    const int n = month.FindHighLow(d, day, d > 1 ? &before : nullptr, events, elapsed);
    for (int i = 0; i < n; ++i) {
      listed.push_back(start + 60LL * elapsed[i]);
      int date, minute;
      ZoneRules::Clock(listed.back(), date, minute);
      EXPECT_EQ(y * 10000 + mon * 100 + d, date);
      EXPECT_EQ(minute, events[i].minutes);
    }
    // What the day finds on its own, and every turning point either of two days'
    // predictions sees within half an hour of the midnight between them.
    TIMEHEIGHT own[CPrediction::kMaxDayEvents];
    int ownAt[CPrediction::kMaxDayEvents];
    const int k = p.FindHighLow(day, own, ownAt);
    for (int i = 0; i < k; ++i) turning.push_back(start + 60LL * ownAt[i]);
    const long long ut = UtMidnight(y, mon, d);
    for (CPrediction* q : {&p, d > 1 ? month.GetDay(d - 1) : &p}) {
      const long long qut = q == &p ? ut : UtMidnight(y, mon, d - 1);
      const int qm = static_cast<int>((start - qut) / 60);
      for (long long t : TurningInstants(*q, qut, qm - 30, qm + 30))
        if (t >= ZoneRules::Midnight(y, mon, 1))  // not the month before's
          turning.push_back(t);
    }
  }
  std::sort(turning.begin(), turning.end());
  ASSERT_TRUE(std::is_sorted(listed.begin(), listed.end()));
  // Each day's turning points are listed, give or take the minutes by which two days'
  // predictions differ at a midnight.
  for (long long t : turning) {
    const auto near = std::lower_bound(listed.begin(), listed.end(), t - 180);
    EXPECT_TRUE(near != listed.end() && *near <= t + 180) << z.tz << " missing " << t;
  }
  // No extreme twice: two listed events are never within an hour of each other.
  for (size_t i = 1; i < listed.size(); ++i)
    EXPECT_GT(listed[i] - listed[i - 1], 3600) << z.tz << " doubled near " << listed[i];
}

TEST(LocalDay, AMonthAcrossAChangeListsEveryEventOnce) {
  struct MonthCase {
    int zone;
    int y, m;
  } const cases[] = {{0, 2025, 10}, {0, 2026, 3},  {1, 2025, 11}, {1, 2026, 3},
                     {2, 2025, 4},  {2, 2025, 10}, {3, 2025, 4}};
  for (const MonthCase& c : cases) CheckMonth(kZones[c.zone], c.y, c.m);
}

// Every month of two years for each rule: no midnight between two days lists an event twice or
// loses one.
TEST(LocalDay, EveryMonthListsEachEventOnce) {
  for (int zone : {0, 1, 2, 3, kLordHowe})
    for (int y = 2026; y <= 2027; ++y)
      for (int m = 1; m <= 12; ++m) CheckMonth(kZones[zone], y, m);
}

// Lord Howe Island's clocks in 2027, as the tz database has them: +10:30 in winter, +11:00 in
// summer, changing at 02:00 local on the first Sundays of April and October.
TEST(LocalDay, LordHoweIslandKeepsHalfAnHourOfSummerTime) {
  // 3 October 2027, 02:00 +10:30 (15:30 UT on the 2nd): the clocks go to 02:30.
  const CLocalDay spring(3, 10, 2027, 1030, 34, 1);
  EXPECT_EQ(1410, spring.GetMinutes());
  EXPECT_EQ(120, spring.GetChangeMinute());
  EXPECT_EQ(30, spring.GetClockShift());
  EXPECT_EQ(119, spring.ClockMinute(119));
  EXPECT_EQ(150, spring.ClockMinute(120));
  // 4 April 2027, 02:00 +11:00 (15:00 UT on the 3rd): the clocks go back to 01:30.
  const CLocalDay autumn(4, 4, 2027, 1030, 34, 1);
  EXPECT_EQ(1470, autumn.GetMinutes());
  EXPECT_EQ(120, autumn.GetChangeMinute());
  EXPECT_EQ(90, autumn.ClockMinute(120));
  EXPECT_EQ(-30, autumn.GetClockShift());
  EXPECT_EQ(120, GetSummerTimeChangeMinute(3, 10, 2027, 34, 630));
  EXPECT_EQ(90, GetSummerTimeChangeMinute(4, 4, 2027, 34, 630));
  // Sydney, the same rule a zone away, keeps its hour.
  EXPECT_EQ(60, CLocalDay(3, 10, 2027, 10, 34, 1).GetClockShift());
  EXPECT_EQ(120, GetSummerTimeChangeMinute(4, 4, 2027, 34, 600));

  // Heights: a summer day is in +11:00, a winter day in +10:30.
  RealPort real;
  ASSERT_TRUE(real.Load("Lord Howe Island"));
  struct Case {
    int m, d, utMinutes;
  } const cases[] = {{1, 15, 660}, {7, 15, 630}};
  for (const Case& c : cases) {
    CPrediction p;
    ASSERT_TRUE(real.Fill(p, 2027, c.m, c.d));
    const CLocalDay day(c.d, c.m, 2027, 1030, 34, 1);
    EXPECT_EQ(1440, day.GetMinutes());
    for (int e : {0, 333, 1439})
      EXPECT_DOUBLE_EQ(p.HeightAt(e - c.utMinutes, 0, 0), p.HeightAt(day, e)) << c.m << " " << e;
  }
}
