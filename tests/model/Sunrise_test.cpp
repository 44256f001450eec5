#include "model/Sunrise.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

template <class F>
HRESULT FailureOf(F f) {
  try {
    f();
  } catch (COleException* e) {
    const HRESULT hr = e->m_sc;
    e->Delete();
    return hr;
  }
  return S_OK;
}

int MinutesOfDay(const CQsDateTime& t) { return t.GetHour() * 60 + t.GetMinute(); }

// Minutes between two times of day, across midnight the short way.
int Difference(int a, int b) {
  int d = std::abs(a - b) % 1440;
  return d > 720 ? 1440 - d : d;
}

// The day's sunrise and sunset at a place, both of which must exist.
void RiseAndSet(double latitude, double longitude, int day, int month, int year, CQsDateTime& rise, CQsDateTime& set) {
  CSunrise sun;
  sun.SetDate(day, month, year);
  sun.SetPosition(CPosition(latitude, longitude));
  ASSERT_EQ(sun.GetSunrise(rise), 1);
  ASSERT_EQ(sun.GetSunset(set), 1);
}

}  // namespace

// Published almanac times, converted to UT.
TEST(Sunrise, MatchesPublishedAlmanac) {
  const struct {
    const char* place;
    double latitude, longitude;
    int day, month, year;
    int riseH, riseM, setH, setM;  // setH -1: no published sunset
  } cases[] = {
      {"Wayne NJ", 40.9, -74.3, 25, 6, 1990, 9, 26, -1, 0},      // the method's own example: 5:26 EDT
      {"London", 51.5074, -0.1278, 21, 6, 2024, 3, 43, 20, 21},  // 04:43 and 21:21 BST
      {"London", 51.5074, -0.1278, 21, 12, 2024, 8, 4, 15, 53},
      {"Sydney", -33.8688, 151.2093, 21, 12, 2024, 18, 41, 9, 5},  // 05:41 and 20:05 AEDT
      {"Sydney", -33.8688, 151.2093, 21, 6, 2024, 21, 0, 6, 53},   // 07:00 and 16:53 AEST
      {"Reykjavik", 64.1466, -21.9426, 21, 6, 2024, 2, 55, 0, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.place << " " << c.day << "/" << c.month << "/" << c.year);
    CQsDateTime rise, set;
    ASSERT_NO_FATAL_FAILURE(RiseAndSet(c.latitude, c.longitude, c.day, c.month, c.year, rise, set));
    EXPECT_LE(Difference(MinutesOfDay(rise), c.riseH * 60 + c.riseM), 1) << rise.Format("%H:%M").GetString();
    if (c.setH >= 0) {
      EXPECT_LE(Difference(MinutesOfDay(set), c.setH * 60 + c.setM), 1) << set.Format("%H:%M").GetString();
    }
    // The result keeps the stored date even where the UT event falls on another day.
    for (const CQsDateTime* t : {&rise, &set}) {
      EXPECT_EQ(t->GetDay(), c.day);
      EXPECT_EQ(t->GetMonth(), c.month);
      EXPECT_EQ(t->GetYear(), c.year);
      EXPECT_EQ(t->GetSecond(), 0);
      EXPECT_GE(t->GetHour(), 0);
      EXPECT_LE(t->GetHour(), 23);
    }
  }
}

TEST(Sunrise, NoSunsetAtEightyNorthInMidsummer) {
  CSunrise sun;
  sun.SetDate(24, 6, 2024);
  sun.SetPosition(CPosition(80.0, 15.0));
  const CQsDateTime untouched(2001, 2, 3, 4, 5, 6);
  CQsDateTime set = untouched, rise = untouched;
  EXPECT_EQ(sun.GetSunset(set), 0);
  EXPECT_EQ(sun.GetSunrise(rise), 0);
  EXPECT_TRUE(set == untouched);
  EXPECT_TRUE(rise == untouched);

  // Polar night, and the pole itself.
  sun.SetDate(21, 12, 2024);
  EXPECT_EQ(sun.GetSunrise(rise), 0);
  sun.SetPosition(CPosition(90.0, 0.0));
  EXPECT_EQ(sun.GetSunset(set), 0);
  EXPECT_TRUE(set == untouched);
}

TEST(Sunrise, BadDatesThrow) {
  CSunrise sun;
  EXPECT_EQ(FailureOf([&] { sun.SetDate(1, 1, 1899); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { sun.SetDate(1, 1, 24); }), E_FAIL);  // no two-digit years here
  EXPECT_EQ(FailureOf([&] { sun.SetDate(1, 13, 2024); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { sun.SetDate(1, 0, 2024); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { sun.SetDate(0, 1, 2024); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { sun.SetDate(32, 1, 2024); }), E_FAIL);
  EXPECT_EQ(FailureOf([&] { sun.SetDate(31, 4, 2024); }), S_OK);  // rolls to 1 May
  CQsDateTime rise;
  sun.SetPosition(CPosition(51.5, 0.0));
  ASSERT_EQ(sun.GetSunrise(rise), 1);
  EXPECT_EQ(rise.GetMonth(), 5);
  EXPECT_EQ(rise.GetDay(), 1);
}

TEST(Sunrise, SameAnswerInEveryMachineZone) {
  std::string answers[3];
  const char* zones[3] = {"UTC", "Europe/London", "America/New_York"};
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  for (int i = 0; i < 3; ++i) {
    setenv("TZ", zones[i], 1);
    tzset();
    CSunrise sun;
    sun.SetPosition(CPosition(50.8, -1.1));
    for (int day : {30, 31}) {  // around the March change
      sun.SetDate(day, 3, 2024);
      CQsDateTime rise, set;
      sun.GetSunrise(rise);
      sun.GetSunset(set);
      answers[i] += std::string(rise.Format("%Y-%m-%d %H:%M ")) + std::string(set.Format("%H:%M "));
    }
  }
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  EXPECT_EQ(answers[0], answers[1]);
  EXPECT_EQ(answers[0], answers[2]);
}

// The UT hour wraps into 0-23 where the event falls on the day before or after in UT, and the
// minute is the whole minutes of the fraction, never rounded up: the times exactly as computed.
TEST(Sunrise, HoursWrapAroundTheDayAndMinutesAreCutNotRounded) {
  const struct {
    double latitude, longitude;
    int day, month, year;
    int rise, set;  // minutes after 00:00 UT
  } cases[] = {
      {-33.8688, 151.2093, 21, 12, 2024, 1121, 545},  // Sydney: sunrise on the day before in UT
      {35.6762, 139.6503, 1, 3, 2025, 1272, 515},     // Tokyo
      {21.3069, -157.8583, 1, 7, 2025, 952, 317},     // Honolulu: sunset on the day after
      {64.1466, -21.9426, 21, 6, 2024, 175, 4},       // Reykjavik: sunset just past midnight
      {51.5074, -0.1278, 21, 12, 2024, 484, 953},
      {21.3069, -157.8583, 15, 1, 2025, 1031, 250},  // Honolulu in January: sunset over a day after 00:00 UT
  };
  for (const auto& c : cases) {
    CQsDateTime rise, set;
    ASSERT_NO_FATAL_FAILURE(RiseAndSet(c.latitude, c.longitude, c.day, c.month, c.year, rise, set));
    EXPECT_EQ(c.rise, MinutesOfDay(rise)) << c.latitude;
    EXPECT_EQ(c.set, MinutesOfDay(set)) << c.latitude;
  }
}
