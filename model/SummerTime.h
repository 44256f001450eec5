// Summer-time rules by rule code (a port's area code minus 1).
//
// By date, summer time changes at the start of a whole day: the day of the
// spring change is a summer day, the day of the autumn change is not. The shift
// is one hour, half an hour on Lord Howe Island (GetSummerTimeShiftMinutes). The clock itself changes at the rule's
// instant within the day (GetSummerTimeChangeMinute); CLocalDay turns a day into local times by it. The rules are
// today's laws, year-dependent where the law changed:
//   EU (codes 0-6, 27, 28, 30-33, 36-39, 43 and above): last Sunday of March
//     to last Sunday of October.
//   US and Canada (codes 16-26, 29, 12, 7 and negative codes): second Sunday of
//     March to first Sunday of November since 2007, first Sunday of April to
//     last Sunday of October before.
//   Cuba (15): second Sunday of March to first Sunday of November.
//   South-east Australia (34 mainland, 40 Tasmania): first Sunday of October to
//     first Sunday of April since 2008; before, summer ended on the last Sunday
//     of March and began on the last (34) or first (40) Sunday of October.
//     Lord Howe Island (34 in zone +10:30) keeps the mainland's days with half an hour.
//   41, 42: first Sunday of October to the third Sunday of March.
//   No summer time: 8, 9, 10, 11, 13, 14 (Caribbean) and 35 (Queensland,
//     Western Australia, Northern Territory).
#pragma once

class CQsDateTime;

// 1 when summer time is in force on that whole day, else 0.
int IsSummerTime(int day, int month, int year, int ruleCode);
// IsSummerTime with the date of a value (its time of day is ignored).
int IsSummerTimeAt(const CQsDateTime& date, int ruleCode);

// 1 when summer time begins or ends in the month, with begins = 1 when it
// begins and 0 when it ends (wholeMonth = 0). Otherwise 0, with wholeMonth = 1
// when the whole month is summer time and 0 when none of it is (begins = 0).
// The year matters where the law changed.
int GetSummerTimeMonthKind(int month, int year, int ruleCode, int& wholeMonth, int& begins);

// The instant of a day's change of summer time, in minutes after 00:00 of that day in the
// zone's standard time (zoneMinutes east of UT), or -1 on a day without a change:
//   EU 01:00 UT; North America 02:00 local (01:00 standard in autumn); Cuba 00:00 standard;
//   south-east Australia and the other southern rules 02:00 standard (03:00 summer time in
//   autumn); Lord Howe Island 02:00 local both ways (01:30 standard in autumn). Kept within the day.
int GetSummerTimeChangeMinute(int day, int month, int year, int ruleCode, int zoneMinutes);

// How far summer time puts the clocks on, in minutes: 30 under rule 34 in zone +10:30 (Lord
// Howe Island), else 60.
int GetSummerTimeShiftMinutes(int ruleCode, int zoneMinutes);
