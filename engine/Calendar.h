// Gregorian calendar helpers of the engine.
#pragma once

namespace ebc {

bool IsLeapYear(int year);

// Days in a month 1-12 (February by the leap-year rule); 0 for a month outside 1-12.
int DaysInMonth(int month, int year);

// Day of the year, 1-366. A month outside 1-12 counts no days before it.
int DayOfYear(int day, int month, int year);

// Days from 1970-01-01 to the given date (proleptic Gregorian), for any month and day in range.
long long DaysFromCivil(long long year, int month, int day);

// Moves a date and time by a number of minutes (negative moves back). Out-of-range fields
// (a negative minute, a month of 13) are carried into the larger ones.
void StepDateTime(int& year, int& month, int& day, int& hour, int& minute, int stepMinutes);

}  // namespace ebc
