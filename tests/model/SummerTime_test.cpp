#include "model/SummerTime.h"

#include "model/QsDateTime.h"

#include <gtest/gtest.h>

namespace {

struct Date {
  int day, month, year;
};

// One year of one rule: the first summer day and the first winter day after it.
struct ChangeCase {
  int code;
  Date summerFrom;  // spring change: a summer day
  Date winterFrom;  // autumn change: not a summer day
};

Date DayBefore(Date d) {
  if (--d.day == 0) {
    if (--d.month == 0) {
      d.month = 12;
      --d.year;
    }
    d.day = DaysInMonth(d.month, d.year);
  }
  return d;
}

int Summer(Date d, int code) { return IsSummerTime(d.day, d.month, d.year, code); }

}  // namespace

TEST(SummerTime, ChangeDaysByCodeAndYear) {
  const ChangeCase cases[] = {
      // The EU rule: last Sundays of March and October.
      {0, {27, 3, 2011}, {30, 10, 2011}},
      {0, {31, 3, 2024}, {27, 10, 2024}},
      {1, {30, 3, 2025}, {26, 10, 2025}},
      {4, {29, 3, 2026}, {25, 10, 2026}},
      {30, {30, 3, 2025}, {26, 10, 2025}},  // Spain
      {33, {28, 3, 2027}, {31, 10, 2027}},  // Norway
      {27, {26, 3, 2028}, {29, 10, 2028}},
      {31, {25, 3, 2029}, {28, 10, 2029}},
      {32, {31, 3, 2030}, {27, 10, 2030}},
      // The US and Canada: the 2007 change.
      {19, {2, 4, 2006}, {29, 10, 2006}},
      {19, {11, 3, 2007}, {4, 11, 2007}},
      {24, {10, 3, 2024}, {3, 11, 2024}},
      {21, {9, 3, 2025}, {2, 11, 2025}},
      {29, {3, 4, 2005}, {30, 10, 2005}},  // Canada
      {29, {9, 3, 2025}, {2, 11, 2025}},
      {17, {10, 3, 2024}, {3, 11, 2024}},  // Bahamas
      {18, {8, 3, 2026}, {1, 11, 2026}},   // Bermuda
      {16, {14, 3, 2027}, {7, 11, 2027}},  // Turks
      {12, {10, 3, 2024}, {3, 11, 2024}},  // Haiti
      {22, {12, 3, 2028}, {5, 11, 2028}},
      {23, {11, 3, 2029}, {4, 11, 2029}},
      {25, {10, 3, 2030}, {3, 11, 2030}},
      {26, {9, 3, 2031}, {2, 11, 2031}},
      // Cuba: second Sunday of March to first Sunday of November.
      {15, {10, 3, 2024}, {3, 11, 2024}},
      {15, {9, 3, 2025}, {2, 11, 2025}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "code " << c.code << " year " << c.summerFrom.year);
    EXPECT_EQ(Summer(DayBefore(c.summerFrom), c.code), 0);
    EXPECT_EQ(Summer(c.summerFrom, c.code), 1);
    EXPECT_EQ(Summer(DayBefore(c.winterFrom), c.code), 1);
    EXPECT_EQ(Summer(c.winterFrom, c.code), 0);
    EXPECT_EQ(Summer({1, 1, c.summerFrom.year}, c.code), 0);
    EXPECT_EQ(Summer({1, 7, c.summerFrom.year}, c.code), 1);
    EXPECT_EQ(Summer({31, 12, c.summerFrom.year}, c.code), 0);
  }
}

TEST(SummerTime, SouthEastAustralia) {
  // Summer ends (first winter day) and begins (first summer day) within one year.
  const struct {
    int code;
    Date winterFrom;
    Date summerFrom;
  } cases[] = {
      {34, {25, 3, 2007}, {28, 10, 2007}},  // before 2008: last Sundays of March and October
      {40, {25, 3, 2007}, {7, 10, 2007}},   // Tasmania began on the first Sunday of October
      {34, {6, 4, 2008}, {5, 10, 2008}},    // since 2008: first Sundays of April and October
      {40, {6, 4, 2008}, {5, 10, 2008}},   {34, {7, 4, 2024}, {6, 10, 2024}},
      {40, {6, 4, 2025}, {5, 10, 2025}},   {34, {4, 4, 2027}, {3, 10, 2027}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "code " << c.code << " year " << c.winterFrom.year);
    EXPECT_EQ(Summer(DayBefore(c.winterFrom), c.code), 1);
    EXPECT_EQ(Summer(c.winterFrom, c.code), 0);
    EXPECT_EQ(Summer(DayBefore(c.summerFrom), c.code), 0);
    EXPECT_EQ(Summer(c.summerFrom, c.code), 1);
    EXPECT_EQ(Summer({1, 1, c.winterFrom.year}, c.code), 1);
    EXPECT_EQ(Summer({1, 7, c.winterFrom.year}, c.code), 0);
    EXPECT_EQ(Summer({31, 12, c.winterFrom.year}, c.code), 1);
  }
}

TEST(SummerTime, CodesWithoutSummerTime) {
  // Windward and Leeward Islands, Puerto Rico, Dominican Republic, Jamaica,
  // Cayman Islands; Queensland, Western Australia and the Northern Territory.
  for (int code : {8, 9, 10, 11, 13, 14, 35})
    for (int year : {2006, 2024})
      for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= DaysInMonth(month, year); ++day)
          ASSERT_EQ(IsSummerTime(day, month, year, code), 0) << code << " " << day << "/" << month;
}

TEST(SummerTime, BadMonthsAreWinter) {
  for (int code : {0, 19, 34})
    for (int month : {0, 13, -1}) EXPECT_EQ(IsSummerTime(15, month, 2024, code), 0);
}

TEST(SummerTime, AtIgnoresTimeOfDay) {
  EXPECT_EQ(IsSummerTimeAt(CQsDateTime(2011, 3, 27, 0, 0, 0), 0), 1);
  EXPECT_EQ(IsSummerTimeAt(CQsDateTime(2011, 3, 26, 23, 59, 59), 0), 0);
  EXPECT_EQ(IsSummerTimeAt(CQsDateTime(2011, 10, 30, 0, 30, 0), 0), 0);
  EXPECT_EQ(IsSummerTimeAt(CQsDateTime(2011, 10, 29, 12, 0, 0), 0), 1);
}

TEST(SummerTime, MonthKinds) {
  // Code 34 in 2040: summer ends on Sunday 1 April, so no April day is a summer day.
  const struct {
    int code, month, year;
    int changes, whole, begins;
  } cases[] = {
      {0, 3, 2024, 1, 0, 1},   {0, 10, 2024, 1, 0, 0},  {0, 4, 2024, 0, 1, 0},   {0, 9, 2024, 0, 1, 0},
      {0, 2, 2024, 0, 0, 0},   {0, 11, 2024, 0, 0, 0},  {30, 3, 2024, 1, 0, 1},  {19, 3, 2024, 1, 0, 1},
      {19, 11, 2024, 1, 0, 0}, {19, 4, 2024, 0, 1, 0},  {19, 10, 2024, 0, 1, 0}, {19, 3, 2006, 0, 0, 0},
      {19, 4, 2006, 1, 0, 1},  {19, 10, 2006, 1, 0, 0}, {19, 11, 2006, 0, 0, 0}, {15, 3, 2024, 1, 0, 1},
      {15, 11, 2024, 1, 0, 0}, {34, 10, 2024, 1, 0, 1}, {34, 4, 2024, 1, 0, 0},  {34, 3, 2024, 0, 1, 0},
      {34, 1, 2024, 0, 1, 0},  {34, 6, 2024, 0, 0, 0},  {34, 3, 2007, 1, 0, 0},  {34, 4, 2007, 0, 0, 0},
      {40, 10, 2007, 1, 0, 1}, {35, 3, 2024, 0, 0, 0},  {35, 1, 2024, 0, 0, 0},  {10, 7, 2024, 0, 0, 0},
      {0, 0, 2024, 0, 0, 0},   {0, 13, 2024, 0, 0, 0},  {34, 4, 2040, 0, 0, 0},  {34, 3, 2040, 0, 1, 0},
  };
  for (const auto& c : cases) {
    int whole = -7, begins = -7;
    EXPECT_EQ(GetSummerTimeMonthKind(c.month, c.year, c.code, whole, begins), c.changes)
        << c.code << " " << c.month << "/" << c.year;
    EXPECT_EQ(whole, c.whole) << c.code << " " << c.month << "/" << c.year;
    EXPECT_EQ(begins, c.begins) << c.code << " " << c.month << "/" << c.year;
  }
}

// The month kinds must agree with the day rules for every code, month and year.
TEST(SummerTime, MonthKindsAgreeWithDays) {
  for (int code = -2; code <= 72; ++code) {
    for (int year : {1999, 2006, 2007, 2008, 2024, 2040}) {
      for (int month = 1; month <= 12; ++month) {
        SCOPED_TRACE(::testing::Message() << "code " << code << " " << month << "/" << year);
        int whole = 0, begins = 0;
        const int changes = GetSummerTimeMonthKind(month, year, code, whole, begins);
        const int last = DaysInMonth(month, year);
        int summerDays = 0, switches = 0;
        for (int d = 1; d <= last; ++d) {
          summerDays += IsSummerTime(d, month, year, code);
          if (d > 1 && IsSummerTime(d, month, year, code) != IsSummerTime(d - 1, month, year, code)) ++switches;
        }
        if (changes) {
          EXPECT_EQ(switches, 1);
          EXPECT_EQ(IsSummerTime(1, month, year, code), begins ? 0 : 1);
          EXPECT_EQ(IsSummerTime(last, month, year, code), begins ? 1 : 0);
        } else {
          EXPECT_EQ(switches, 0);
          EXPECT_EQ(summerDays, whole ? last : 0);
        }
      }
    }
  }
}
