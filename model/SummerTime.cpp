#include "model/SummerTime.h"

#include "model/QsDateTime.h"

namespace {

// 0 Sunday .. 6 Saturday, proleptic Gregorian, no time zone involved.
int Weekday(int day, int month, int year) {
  static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  auto floorDiv = [](long long a, long long b) { return a / b - ((a % b != 0) && (a < 0)); };
  long long y = year;
  if (month < 3) --y;
  const long long w = y + floorDiv(y, 4) - floorDiv(y, 100) + floorDiv(y, 400) + offsets[month - 1] + day;
  return static_cast<int>(((w % 7) + 7) % 7);
}

int FirstSunday(int month, int year) { return 1 + (7 - Weekday(1, month, year)) % 7; }

int NthSunday(int n, int month, int year) { return FirstSunday(month, year) + 7 * (n - 1); }

int LastSunday(int month, int year) {
  const int last = DaysInMonth(month, year);
  return last - Weekday(last, month, year);
}

enum class Hemisphere { None, North, South };

// A year's rule: in the north summer runs from start (inclusive) to end
// (exclusive) within the year; in the south it runs from start to the end of
// the year and from the start of the year to end.
struct YearRule {
  Hemisphere kind = Hemisphere::None;
  int startMonth = 0, startDay = 0;
  int endMonth = 0, endDay = 0;
};

YearRule Northern(int sm, int sd, int em, int ed) { return {Hemisphere::North, sm, sd, em, ed}; }

YearRule Southern(int sm, int sd, int em, int ed) { return {Hemisphere::South, sm, sd, em, ed}; }

YearRule RuleFor(int code, int year) {
  switch (code) {
    case 8:   // Windward Islands
    case 9:   // Leeward Islands
    case 10:  // Puerto Rico
    case 11:  // Dominican Republic
    case 13:  // Jamaica
    case 14:  // Cayman Islands
    case 35:  // Queensland, Western Australia, Northern Territory
      return {};
    case 15:  // Cuba
      return Northern(3, NthSunday(2, 3, year), 11, FirstSunday(11, year));
    case 34:  // New South Wales, Victoria, South Australia
    case 40:  // Tasmania
      if (year >= 2008) return Southern(10, FirstSunday(10, year), 4, FirstSunday(4, year));
      return Southern(10, code == 40 ? FirstSunday(10, year) : LastSunday(10, year), 3, LastSunday(3, year));
    case 41:
    case 42: return Southern(10, FirstSunday(10, year), 3, NthSunday(3, 3, year));
    default: break;
  }
  const bool american = code < 0 || code == 7 || code == 12 || (code >= 16 && code <= 26) || code == 29;
  if (american) {
    if (year >= 2007) return Northern(3, NthSunday(2, 3, year), 11, FirstSunday(11, year));
    return Northern(4, FirstSunday(4, year), 10, LastSunday(10, year));
  }
  // Europe: codes 0-6, 27, 28, 30-33, 36-39 and 43 on.
  return Northern(3, LastSunday(3, year), 10, LastSunday(10, year));
}

bool Before(int month, int day, int refMonth, int refDay) {
  return month < refMonth || (month == refMonth && day < refDay);
}

}  // namespace

int IsSummerTime(int day, int month, int year, int ruleCode) {
  if (month < 1 || month > 12) return 0;
  const YearRule r = RuleFor(ruleCode, year);
  switch (r.kind) {
    case Hemisphere::None: return 0;
    case Hemisphere::North:
      return !Before(month, day, r.startMonth, r.startDay) && Before(month, day, r.endMonth, r.endDay);
    case Hemisphere::South:
      return !Before(month, day, r.startMonth, r.startDay) || Before(month, day, r.endMonth, r.endDay);
  }
  return 0;
}

int IsSummerTimeAt(const CQsDateTime& date, int ruleCode) {
  return IsSummerTime(date.GetDay(), date.GetMonth(), date.GetYear(), ruleCode);
}

int GetSummerTimeChangeMinute(int day, int month, int year, int ruleCode, int zoneMinutes) {
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year)) return -1;
  int prevDay = day - 1, prevMonth = month, prevYear = year;
  if (prevDay < 1) {
    if (--prevMonth < 1) {
      prevMonth = 12;
      --prevYear;
    }
    prevDay = DaysInMonth(prevMonth, prevYear);
  }
  const int today = IsSummerTime(day, month, year, ruleCode);
  if (today == IsSummerTime(prevDay, prevMonth, prevYear, ruleCode)) return -1;
  const bool begins = today != 0;
  const YearRule r = RuleFor(ruleCode, year);
  int minute;
  if (r.kind == Hemisphere::South || ruleCode == 34 || ruleCode == 40) {
    // Lord Howe Island goes back at 02:00 of its summer time, the mainland at 03:00.
    minute = !begins && GetSummerTimeShiftMinutes(ruleCode, zoneMinutes) == 30 ? 90 : 120;
  } else if (ruleCode == 15) {
    minute = 0;
  } else {
    const bool american =
        ruleCode < 0 || ruleCode == 7 || ruleCode == 12 || (ruleCode >= 16 && ruleCode <= 26) || ruleCode == 29;
    if (american)
      minute = begins ? 120 : 60;
    else
      minute = 60 + zoneMinutes;  // one instant for the whole of Europe
  }
  // A change the zone would put on another day is kept at that day's edge.
  return minute < 0 ? 0 : minute > 1379 ? 1379 : minute;
}

int GetSummerTimeShiftMinutes(int ruleCode, int zoneMinutes) { return ruleCode == 34 && zoneMinutes == 630 ? 30 : 60; }

int GetSummerTimeMonthKind(int month, int year, int ruleCode, int& wholeMonth, int& begins) {
  wholeMonth = 0;
  begins = 0;
  if (month < 1 || month > 12) return 0;
  // Read off the days, so a change falling on the 1st counts with the month
  // it really splits (none) and the kinds always agree with IsSummerTime.
  const int first = IsSummerTime(1, month, year, ruleCode);
  const int last = IsSummerTime(DaysInMonth(month, year), month, year, ruleCode);
  if (first != last) {
    begins = last;
    return 1;
  }
  wholeMonth = first;
  return 0;
}
