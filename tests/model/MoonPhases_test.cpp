#include "model/MoonPhases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

enum Phase { New, FirstQuarter, Full, LastQuarter };

int Count(const CMoonPhases& m, Phase p) {
  switch (p) {
    case New: return m.GetNewMoonCount();
    case FirstQuarter: return m.GetFirstQuarterCount();
    case Full: return m.GetFullMoonCount();
    case LastQuarter: return m.GetLastQuarterCount();
  }
  return 0;
}

CQsDateTime Get(const CMoonPhases& m, Phase p, int i) {
  switch (p) {
    case New: return m.GetNewMoon(i);
    case FirstQuarter: return m.GetFirstQuarter(i);
    case Full: return m.GetFullMoon(i);
    case LastQuarter: return m.GetLastQuarter(i);
  }
  return {};
}

long long MinutesOf(const CQsDateTime& t) { return t.ToSeconds() / 60; }

}  // namespace

// Published instants (UT; the two textbook examples are in dynamical time,
// about a minute later). The series is good to a few minutes.
TEST(MoonPhases, MatchPublishedInstants) {
  const struct {
    Phase phase;
    int year, month, day, hour, minute;
  } cases[] = {
      {Full, 2019, 1, 21, 5, 16},  // total lunar eclipse
      {New, 2024, 1, 11, 11, 57},         {Full, 2024, 1, 25, 17, 54},
      {Full, 2025, 3, 14, 6, 55},          // total lunar eclipse
      {New, 2024, 4, 8, 18, 21},           // total solar eclipse
      {Full, 2021, 5, 26, 11, 14},         // total lunar eclipse
      {Full, 2018, 7, 27, 20, 20},         // total lunar eclipse
      {New, 2017, 8, 21, 18, 30},          // total solar eclipse
      {New, 2023, 10, 14, 17, 55},         // annular solar eclipse
      {Full, 2022, 11, 8, 11, 2},          // total lunar eclipse
      {New, 1977, 2, 18, 3, 37},           // Meeus's example
      {LastQuarter, 2044, 1, 21, 23, 48},  // Meeus's example
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month << "-" << c.day << " phase " << c.phase);
    CMoonPhases moon(c.month, c.year);
    moon.Calculate();
    const CQsDateTime expected(c.year, c.month, c.day, c.hour, c.minute, 0);
    bool found = false;
    for (int i = 0; i < Count(moon, c.phase); ++i) {
      const CQsDateTime t = Get(moon, c.phase, i);
      if (t.GetDay() != c.day) continue;
      found = true;
      EXPECT_LE(std::llabs(MinutesOf(t) - MinutesOf(expected)), 3) << t.Format("%d %H:%M").GetString();
      EXPECT_EQ(t.GetSecond(), 0);
    }
    EXPECT_TRUE(found);
  }
}

// Over a run of years every phase is found once, in its own month: successive
// instants of a phase are one synodic month apart (about 29.1 to 30 days) and
// each month lists one or two of each.
TEST(MoonPhases, EveryPhaseOnceInItsMonth) {
  for (Phase p : {New, FirstQuarter, Full, LastQuarter}) {
    long long previous = -1;
    for (int year = 2020; year <= 2030; ++year) {
      for (int month = 1; month <= 12; ++month) {
        CMoonPhases moon(month, year);
        moon.Calculate();
        ASSERT_GE(Count(moon, p), 1) << month << "/" << year;
        ASSERT_LE(Count(moon, p), 2) << month << "/" << year;
        std::vector<CQsDateTime> found;
        for (int i = 0; i < Count(moon, p); ++i) found.push_back(Get(moon, p, i));
        // The list is in order of discovery, not of time.
        std::sort(found.begin(), found.end(), [](const CQsDateTime& a, const CQsDateTime& b) { return !(b <= a); });
        for (const CQsDateTime& t : found) {
          ASSERT_EQ(t.GetYear(), year);
          ASSERT_EQ(t.GetMonth(), month);
          ASSERT_TRUE(t.IsValid());
          const long long m = MinutesOf(t);
          if (previous >= 0) {
            EXPECT_GT(m - previous, 29.0 * 1440) << t.Format("%Y-%m-%d %H:%M").GetString();
            EXPECT_LT(m - previous, 30.1 * 1440) << t.Format("%Y-%m-%d %H:%M").GetString();
          }
          previous = m;
        }
      }
    }
  }
}

TEST(MoonPhases, TwoOfAKindInOneMonth) {
  CMoonPhases moon(11, 2022);
  moon.Calculate();
  ASSERT_EQ(moon.GetFirstQuarterCount(), 2);
  EXPECT_EQ(moon.GetFullMoonCount(), 1);
  EXPECT_NE(moon.GetFirstQuarter(0).GetDay(), moon.GetFirstQuarter(1).GetDay());
}

TEST(MoonPhases, JanuaryLooksBackToDecember) {
  CMoonPhases moon(1, 2024);
  moon.Calculate();
  ASSERT_EQ(moon.GetLastQuarterCount(), 1);
  EXPECT_EQ(moon.GetLastQuarter(0).GetDay(), 4);
}

TEST(MoonPhases, OutsideTheListIsTheDefaultDate) {
  CMoonPhases moon(3, 2025);
  EXPECT_EQ(moon.GetFullMoonCount(), 0);
  EXPECT_TRUE(moon.GetFullMoon(0) == CQsDateTime());
  moon.Calculate();
  moon.Calculate();  // recomputing does not add copies
  ASSERT_EQ(moon.GetFullMoonCount(), 1);
  EXPECT_TRUE(moon.GetFullMoon(5) == CQsDateTime());
  EXPECT_TRUE(moon.GetFullMoon(-1) == CQsDateTime());
  EXPECT_TRUE(moon.GetNewMoon(1) == CQsDateTime());
}

TEST(MoonPhases, AbsurdMonthsAndYearsGiveEmptyLists) {
  for (auto [month, year] :
       {std::pair{0, 2024}, {13, 2024}, {-5, 2024}, {6, 2147483647}, {6, -2147483647}, {1, -2147483647 - 1}}) {
    CMoonPhases moon(month, year);
    moon.Calculate();
    EXPECT_TRUE(moon.IsCalculated());
    if (month < 1 || month > 12) {
      EXPECT_EQ(
          moon.GetNewMoonCount() + moon.GetFullMoonCount() + moon.GetFirstQuarterCount() + moon.GetLastQuarterCount(),
          0);
    }
  }
}
