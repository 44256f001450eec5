// Calendar, astronomy and the harmonic sums, single and in series.
#include "tests/engine/EngineTestSupport.h"

#include "engine/Astronomy.h"
#include "engine/Calendar.h"
#include "engine/SinCos.h"
#include "engine/Synthesis.h"

#include <cmath>
#include <random>
#include <vector>

namespace fx = ebc::fixture;

namespace {

class Synthesis : public fx::EngineTest {
 protected:
  // One grid point at 50N 1W carrying M2, S2, O1, K1, M4 and MK3 in height and stream.
  void useMixedPoint() {
    fx::HarmonicsGridWriter grid({2, 2, 50.0, -1.0, 0.1, 0.1}, {31, 36, 10, 17, 48, 45});
    grid.setAllPoints({{31, 1.8, 125.0, 0.9, 40.0, 0.6, 310.0},
                       {36, 0.6, 170.0, 0.3, 85.0, 0.2, 355.0},
                       {10, 0.12, 300.0, 0.05, 20.0, 0.04, 200.0},
                       {17, 0.09, 80.0, 0.03, 260.0, 0.02, 10.0},
                       {48, 0.05, 33.0, 0.02, 100.0, 0.01, 45.0},
                       {45, 0.02, 210.0, 0.01, 300.0, 0.01, 90.0}});
    useGrid(grid);
  }

  struct Single {
    int status;
    double h, u, v, speed, direction;
  };
  static Single predict(int y, int mo, int d, int hh, int mm, int ss, double pressure = 0) {
    Single r{};
    double lat = 50.0, lon = -1.0;
    r.status = EBC_DoPrediction(3, 0, &lat, &lon, d, mo, y, hh, mm, ss, 0.0, pressure, &r.h, &r.u, &r.v, &r.speed,
                                &r.direction);
    return r;
  }
};

}  // namespace

TEST(Calendar, DayOfYear) {
  struct Case {
    int d, m, y, expected;
  };
  for (const Case k : {Case{1, 3, 2012, 61},
                       {1, 3, 2011, 60},
                       {31, 12, 2012, 366},
                       {31, 12, 2011, 365},
                       {1, 1, 2000, 1},
                       {29, 2, 2000, 60},
                       {1, 3, 1900, 60},
                       {1, 3, 2000, 61}})
    EXPECT_EQ(EBC_Date2DayNum(k.d, k.m, k.y), k.expected) << k.d << "/" << k.m << "/" << k.y;
  // Nonsense months read nothing out of bounds.
  EXPECT_EQ(EBC_Date2DayNum(5, 13, 2012), 5);
  EXPECT_EQ(EBC_Date2DayNum(5, 0, 2012), 5);
}

TEST(Calendar, StepDateTimeAcrossBoundaries) {
  struct Case {
    const char* name;
    int y, mo, d, h, mi, step;
    int ey, emo, ed, eh, emi;
  };
  const Case cases[] = {
      {"into leap day", 2012, 2, 28, 23, 50, 20, 2012, 2, 29, 0, 10},
      {"over February of a common year", 2011, 2, 28, 23, 50, 20, 2011, 3, 1, 0, 10},
      {"century not leap", 2100, 2, 28, 23, 0, 60, 2100, 3, 1, 0, 0},
      {"400th year leap", 2000, 2, 28, 23, 0, 60, 2000, 2, 29, 0, 0},
      {"new year", 2011, 12, 31, 23, 55, 10, 2012, 1, 1, 0, 5},
      {"back over new year", 2012, 1, 1, 0, 5, -10, 2011, 12, 31, 23, 55},
      {"back into leap day", 2012, 3, 1, 0, 0, -1, 2012, 2, 29, 23, 59},
      {"end of a 30-day month", 2012, 4, 30, 23, 30, 30, 2012, 5, 1, 0, 0},
      {"half a day", 2012, 2, 23, 12, 0, 720, 2012, 2, 24, 0, 0},
      {"thirty days", 2012, 1, 31, 0, 0, 1440 * 30, 2012, 3, 1, 0, 0},
      {"a year back over a leap day", 2012, 3, 1, 0, 0, -1440 * 366, 2011, 3, 1, 0, 0},
      {"no step", 2013, 7, 15, 6, 45, 0, 2013, 7, 15, 6, 45},
      {"month 13 carries", 2012, 13, 1, 0, 0, 0, 2013, 1, 1, 0, 0},
      {"minute -30 borrows", 2012, 1, 1, 0, -30, 0, 2011, 12, 31, 23, 30},
  };
  for (const Case& k : cases) {
    int y = k.y, mo = k.mo, d = k.d, h = k.h, mi = k.mi;
    ebc::StepDateTime(y, mo, d, h, mi, k.step);
    EXPECT_EQ(std::vector<int>({y, mo, d, h, mi}), std::vector<int>({k.ey, k.emo, k.ed, k.eh, k.emi})) << k.name;
  }
}

TEST(Astronomy, TimeAndDeltaT) {
  EXPECT_NEAR(ebc::JulianCenturies(2010, 1), 0.1, 1e-15);
  EXPECT_NEAR(ebc::JulianCenturies(2000, 1), -0.5 / 36525, 1e-18);
  EXPECT_DOUBLE_EQ(ebc::DeltaTSeconds(2010), 72.25);
  EXPECT_DOUBLE_EQ(ebc::DeltaTSeconds(1900), -3.385);
  EXPECT_DOUBLE_EQ(ebc::DeltaTSeconds(1899), 0.0);
  EXPECT_DOUBLE_EQ(ebc::DeltaTSeconds(1981), (51.81 + 52.57) / 2);
  EXPECT_DOUBLE_EQ(ebc::DeltaTSeconds(1982), 50.5 + 0.725 * 2);
}

TEST(Astronomy, MeanLongitudesAtJ2000) {
  // Published mean elements for 2000-01-01 00:00: Moon 211.73, Sun 279.97, lunar perigee
  // 83.35, node 125.07, solar perigee 282.94 (degrees).
  const ebc::AstronomicalArguments a = ebc::ComputeAstronomicalArguments(2000, 1);
  EXPECT_NEAR(a.s, 211.73, 0.01);
  EXPECT_NEAR(a.h, 279.97, 0.01);
  EXPECT_NEAR(a.p, 83.30, 0.06);
  EXPECT_NEAR(a.N, 125.07, 0.01);
  EXPECT_NEAR(a.pSolar, 282.94, 0.01);
}

TEST(Astronomy, ConstituentTableForADay) {
  const ebc::DayTable t = ebc::ComputeDay(15, 6, 2021);
  // S2 has no nodal modulation and V0 = 0 at midnight.
  EXPECT_EQ(t.f[ebc::kS2], 1.0);
  EXPECT_EQ(t.u[ebc::kS2], 0.0);
  EXPECT_EQ(t.V0[ebc::kS2], 0.0);
  EXPECT_DOUBLE_EQ(t.speed[ebc::kS2], 30.0 * 0.017453292519943306);
  // Every factor and angle lies in its range.
  for (int n = 1; n <= ebc::kConstituentCount; ++n) {
    EXPECT_GE(t.V0[n], 0.0) << n;
    EXPECT_LT(t.V0[n], 360.0) << n;
    EXPECT_GE(t.u[n], 0.0) << n;
    EXPECT_LT(t.u[n], 360.0) << n;
    EXPECT_GT(t.f[n], 0.4) << n;
    EXPECT_LT(t.f[n], 2.0) << n;
    EXPECT_GT(t.speed[n], 0.0) << n;
  }
  // M2 (2h - 2s) and K1 (h + 90) against the arguments directly.
  const ebc::AstronomicalArguments a = ebc::ComputeAstronomicalArguments(2021, 166);
  EXPECT_NEAR(t.V0[ebc::kM2], ebc::WrapDegrees(2 * a.h - 2 * a.s), 1e-9);
  EXPECT_NEAR(t.V0[ebc::kK1], ebc::WrapDegrees(a.h + 90), 1e-9);
  EXPECT_NEAR(t.equilibriumPlusNodal(ebc::kM2), ebc::WrapDegrees(t.V0[ebc::kM2] + t.u[ebc::kM2]), 1e-12);
  // The 18.6-year node: f(M2) is smallest when N = 0 (about March 2006) and largest at
  // N = 180 (late 2015); f(K1) the other way round.
  const ebc::DayTable low = ebc::ComputeDay(1, 4, 2006);
  const ebc::DayTable high = ebc::ComputeDay(1, 11, 2015);
  EXPECT_NEAR(low.f[ebc::kM2], 1.0004 - 0.0373 + 0.0002, 2e-4);
  EXPECT_NEAR(high.f[ebc::kM2], 1.0004 + 0.0373 + 0.0002, 2e-4);
  EXPECT_GT(low.f[ebc::kK1], 1.1);
  EXPECT_LT(high.f[ebc::kK1], 0.9);
}

// A prediction prepares only its data file's constituents. Whatever lists a day is prepared for,
// one after another and across days, each entry asked for is the whole table's, bit for bit.
TEST(Astronomy, ADayPreparedForSomeConstituentsHoldsTheWholeTablesValues) {
  const int m2s2[] = {ebc::kM2, ebc::kS2};
  const int others[] = {ebc::kO1, 0, 200, ebc::kK1, ebc::kM2, 1, ebc::kConstituentCount};  // with numbers passed over
  const int all[] = {ebc::kM2, 3, 50, 99};
  struct Step {
    int day, month, year;
    const int* numbers;
    int count;
  } steps[] = {
      {15, 6, 2021, m2s2, 2}, {15, 6, 2021, others, 7}, {16, 6, 2021, all, 4},   {16, 6, 2021, m2s2, 2},
      {15, 6, 2021, all, 4},  {1, 1, 2040, others, 7},  {1, 1, 2039, others, 7},
  };
  ebc::DayTable t;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.year << "-" << s.month << "-" << s.day);
    ebc::PrepareDay(t, ebc::DayOfYear(s.day, s.month, s.year), s.year, s.numbers, s.count);
    const ebc::DayTable whole = ebc::ComputeDay(s.day, s.month, s.year);
    for (int i = 0; i < s.count; ++i) {
      const int k = s.numbers[i];
      if (k < 1 || k > ebc::kConstituentCount) continue;
      EXPECT_EQ(t.V0[k], whole.V0[k]) << k;
      EXPECT_EQ(t.f[k], whole.f[k]) << k;
      EXPECT_EQ(t.u[k], whole.u[k]) << k;
      EXPECT_EQ(t.speed[k], whole.speed[k]) << k;
    }
  }
}

TEST(Astronomy, WrapDegrees) {
  EXPECT_EQ(ebc::WrapDegrees(0.0), 0.0);
  EXPECT_EQ(ebc::WrapDegrees(360.0), 0.0);
  EXPECT_EQ(ebc::WrapDegrees(-90.0), 270.0);
  EXPECT_EQ(ebc::WrapDegrees(725.0), 5.0);
  EXPECT_NEAR(ebc::WrapDegrees(481267.8813 * 1000), std::fmod(481267881.3, 360.0), 1e-6);
  const double tiny = ebc::WrapDegrees(-1e-20);
  EXPECT_TRUE(tiny >= 0.0 && tiny < 360.0);
}

// The many-angle sine and cosine agree with the library's: at the quadrant boundaries, either side
// of them, at large angles, and over a sweep of the range the sums use.
TEST(SinCos, AgreesWithTheLibrary) {
  std::vector<double> angles = {0.0, -0.0, 1e-300, -1e-12, 1e5, -1e5, 12345.678, 3.0e-8};
  const double quarter = 1.5707963267948966;
  for (int k = -80; k <= 80; ++k)
    for (const double e : {-1e-9, 0.0, 1e-9, 0.5}) angles.push_back(k * quarter + e);
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> spread(-700.0, 700.0);
  for (int i = 0; i < 20000; ++i) angles.push_back(spread(random));
  std::vector<double> s(angles.size()), c(angles.size());
  ebc::SinCos(static_cast<int>(angles.size()), angles.data(), s.data(), c.data());
  for (std::size_t i = 0; i < angles.size(); ++i) {
    ASSERT_LE(std::fabs(s[i] - std::sin(angles[i])), 4e-16) << angles[i];
    ASSERT_LE(std::fabs(c[i] - std::cos(angles[i])), 4e-16) << angles[i];
  }
}

TEST(StreamVector, SpeedAndDirection) {
  struct Case {
    double u, v, speed, direction;
  };
  for (const Case k : {Case{0, -1, 1, 180},
                       {-1, 0, 1, 270},
                       {1, 0, 1, 90},
                       {0, 1, 1, 0},
                       {1, 1, std::sqrt(2.0), 45},
                       {-1, -1, std::sqrt(2.0), 225}}) {
    double speed = 0, direction = 0;
    ebc::SpeedAndDirection(k.u, k.v, speed, direction);
    EXPECT_NEAR(speed, k.speed, 1e-12);
    EXPECT_NEAR(direction, k.direction, 1e-6) << k.u << "," << k.v;
  }
}

TEST_F(Synthesis, SingleS2PointHasAClosedForm) {
  fx::HarmonicsGridWriter grid({1, 1, 50.0, -1.0, 1.0, 1.0}, {36});
  grid.setPoint(1, 1, {{36, 1.2, 40.0, 0.8, 100.0, 0.5, 250.0}});
  useGrid(grid);
  fx::ExtraDataWriter extra({1, 1, 50.0, -1.0, 1.0, 1.0});
  extra.setMeans(1, 1, 0.3, 0.05, -0.02);
  useExtra(extra);

  const double w = 30.0 * 0.017453292519943306;
  struct When {
    int y, mo, d, h, mi, s;
  };
  for (const When k : {When{2012, 2, 23, 14, 30, 15}, {1995, 7, 1, 0, 0, 0}, {2031, 12, 31, 23, 59, 59}}) {
    const double t = k.h + k.mi / 60.0 + k.s / 3600.0;
    double lat = 50.0, lon = -1.0, h = 0, u = 0, v = 0, speed = 0, dir = 0;
    ASSERT_EQ(EBC_DoPrediction(3, 0, &lat, &lon, k.d, k.mo, k.y, k.h, k.mi, k.s, 0.5, 0.0, &h, &u, &v, &speed, &dir),
              EBC_OK);
    EXPECT_NEAR(h, 0.3 + 0.5 + 1.2 * std::cos(w * t - 40.0 * 0.017453292), 1e-12);
    EXPECT_NEAR(u, 0.05 + 0.8 * std::cos(w * t - 100.0 * 0.017453292), 1e-12);
    EXPECT_NEAR(v, -0.02 + 0.5 * std::cos(w * t - 250.0 * 0.017453292), 1e-12);
    EXPECT_NEAR(speed, std::hypot(u, v), 1e-12);
    EXPECT_NEAR(dir, std::fmod(std::atan2(u, v) * 180 / M_PI + 360.0, 360.0), 1e-6);
  }
}

TEST_F(Synthesis, PressureCorrection) {
  useMixedPoint();
  const double base = predict(2020, 5, 5, 5, 5, 5).h;
  struct Case {
    double pressure, shift;
  };
  for (const Case k : {Case{1000.0, 0.1}, {1020.0, -0.1}, {1010.0, 0.0}, {0.01, 0.0}, {0.0, 0.0}, {-5.0, 0.0}})
    EXPECT_NEAR(predict(2020, 5, 5, 5, 5, 5, k.pressure).h - base, k.shift, 1e-12) << k.pressure;
  // Streams are not affected.
  EXPECT_EQ(predict(2020, 5, 5, 5, 5, 5, 990.0).u, predict(2020, 5, 5, 5, 5, 5).u);
}

TEST_F(Synthesis, SeriesOfThreeHalfDays) {
  useMixedPoint();
  double lat = 49.96, lon = -0.96;
  double h[3], u[3], v[3], s[3], d[3];
  ASSERT_EQ(EBC_DoSeriesPrediction(3, 0, &lat, &lon, 23, 2, 2012, 12, 0, 0, 0.0, 0.0, 3, 720, h, u, v, s, d), EBC_OK);
  EXPECT_EQ(lat, 50.0);
  EXPECT_EQ(lon, -1.0);
  const Single expected[3] = {predict(2012, 2, 23, 12, 0, 0), predict(2012, 2, 24, 0, 0, 0),
                              predict(2012, 2, 24, 12, 0, 0)};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(h[i], expected[i].h, 1e-12) << i;
    EXPECT_NEAR(u[i], expected[i].u, 1e-12) << i;
    EXPECT_NEAR(v[i], expected[i].v, 1e-12) << i;
    EXPECT_NEAR(s[i], expected[i].speed, 1e-12) << i;
    EXPECT_NEAR(d[i], expected[i].direction, 1e-9) << i;
  }
}

class SeriesLoops : public Synthesis, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    Synthesis::SetUp();
    previous_ = ebc::UseWideSeriesLoop(GetParam());
  }
  void TearDown() override { ebc::UseWideSeriesLoop(previous_); }
  bool previous_ = false;
};

INSTANTIATE_TEST_SUITE_P(WideAndNarrow, SeriesLoops, ::testing::Bool());

TEST_P(SeriesLoops, LongSeriesMatchesSinglePredictions) {
  // Ten-minute steps over month, leap-day and year ends, with a pressure correction; heights,
  // streams and both.
  useMixedPoint();
  struct Start {
    int y, mo, d, h, mi;
    int count, step;
  };
  for (int flags : {1, 2, 3}) {
    for (const Start k : {Start{2012, 2, 27, 20, 3, 600, 10},
                          {2011, 12, 30, 22, 0, 500, 10},
                          {2013, 6, 30, 0, 0, 40, 97},
                          {2013, 6, 30, 0, 0, 20, -45}}) {
      std::vector<double> h(k.count), u(k.count), v(k.count), s(k.count), d(k.count);
      double lat = 50.0, lon = -1.0;
      ASSERT_EQ(EBC_DoSeriesPrediction(flags, 0, &lat, &lon, k.d, k.mo, k.y, k.h, k.mi, 30, 0.25, 1003.0, k.count,
                                       k.step, h.data(), u.data(), v.data(), s.data(), d.data()),
                EBC_OK);
      int y = k.y, mo = k.mo, dd = k.d, hh = k.h, mi = k.mi;
      for (int i = 0; i < k.count; ++i) {
        double la = 50.0, lo = -1.0, eh = 0, eu = 0, ev = 0;
        ASSERT_EQ(
            EBC_DoPrediction(3, 0, &la, &lo, dd, mo, y, hh, mi, 30, 0.25, 1003.0, &eh, &eu, &ev, nullptr, nullptr),
            EBC_OK);
        if (flags & 1) {
          ASSERT_NEAR(h[i], eh, 1e-10) << flags << " step " << i << " at " << y << "-" << mo << "-" << dd << " " << hh
                                       << ":" << mi;
        }
        if (flags & 2) {
          ASSERT_NEAR(u[i], eu, 1e-10) << flags << " step " << i;
          ASSERT_NEAR(v[i], ev, 1e-10) << flags << " step " << i;
        }
        ebc::StepDateTime(y, mo, dd, hh, mi, k.step);
      }
    }
  }
}

TEST_F(Synthesis, SeriesWritesOnlyWhatWasAskedFor) {
  useMixedPoint();
  double lat = 50.0, lon = -1.0;
  double h[2] = {-9, -9}, u[2] = {-9, -9}, v[2] = {-9, -9};
  ASSERT_EQ(EBC_DoSeriesPrediction(1, 1, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, 2, 30, h, u, v, nullptr, nullptr),
            EBC_OK);
  EXPECT_NE(h[1], -9);
  EXPECT_EQ(u[0], -9);
  EXPECT_EQ(v[1], -9);
  // Streams without speed arrays, and a count of 0.
  ASSERT_EQ(EBC_DoSeriesPrediction(2, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, 2, 30, h, u, v, nullptr, nullptr),
            EBC_OK);
  EXPECT_NE(u[1], -9);
  EXPECT_EQ(EBC_DoSeriesPrediction(3, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, 0, 30, nullptr, nullptr, nullptr,
                                   nullptr, nullptr),
            EBC_OK);
}

TEST_F(Synthesis, SeriesPositionFollowsTheMode) {
  useMixedPoint();
  double h[1];
  double lat = 49.93, lon = -0.94;
  EXPECT_EQ(
      EBC_DoSeriesPrediction(1, 1, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, 1, 10, h, nullptr, nullptr, nullptr, nullptr),
      EBC_OK);
  EXPECT_EQ(lat, 49.93);
  EXPECT_EQ(lon, -0.94);
  lat = 49.5;
  EXPECT_EQ(
      EBC_DoSeriesPrediction(1, 0, &lat, &lon, 1, 1, 2020, 0, 0, 0, 0, 0, 1, 10, h, nullptr, nullptr, nullptr, nullptr),
      EBC_ERR_LATITUDE);
  EXPECT_EQ(lat, 49.5);
  EXPECT_EQ(lon, -0.94);
}
