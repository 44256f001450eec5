#include "model/Prediction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/MonthlyPrediction.h"
#include "tests/model/ModelTables.h"

using model_test::Day;

namespace {

constexpr double kRad = 0.017453292521666667;

// A port with only the given constants; the rest are zero.
CPortData PurePort(int zone, double z0, int gM2, double hM2, int gK1 = 0, double hK1 = 0.0, int g4 = 0,
                   double h4 = 0.0) {
  CPortData p;
  p.SetName("Test");
  p.SetTimeZone(zone);
  p.SetMeanLevel(z0);
  p.SetArea(1);
  p.SetConstituent(CPortData::M2, gM2, hM2);
  p.SetConstituent(CPortData::K1, gK1, hK1);
  p.SetConstituent(CPortData::F4, g4, h4);
  return p;
}

// M2 angle 0 today and 24 tomorrow: a speed of exactly 29 degrees an hour, so an M2-only port
// with phase g has its high waters where 29 t = g (mod 360), t in hours of the port's day.
std::unique_ptr<CPrediction> Make(const CPortData& port, int k1Next = 1) {
  auto p = std::make_unique<CPrediction>();
  p->SetPort(port);
  p->SetAngleFactors(Day(1, 2012, 6, 1, 0, 0, 0, 0), Day(2, 2012, 6, 2, 24, 0, k1Next, 25));
  p->ClearCache();
  return p;
}

double M2Only(double minute, int g) { return static_cast<float>(std::cos((g - 29.0 * (minute / 60.0)) * kRad)); }

}  // namespace

TEST(ZoneCodes, ToMinutes) {
  const struct {
    int code, minutes;
  } cases[] = {{0, 0},     {1, 60},      {-5, -300},   {100, 6000}, {-100, -6000}, {930, 570},
               {945, 570}, {-330, -210}, {1030, 630},  {1130, 690}, {1230, 750},   {1000, 0},
               {1200, 0},  {1300, 0},    {-930, -570}, {101, 90},   {12, 720},     {-12, -720}};
  for (const auto& c : cases) EXPECT_EQ(CPrediction::ZoneCodeToMinutes(c.code), c.minutes) << c.code;
}

TEST(Prediction, UnwrapsTheNextDaysAngles) {
  const struct {
    int today[4], next[4], unwrapped[4];
  } cases[] = {
      // M2 and O1 only ever grow; S2 jumps by less than 300 either way; K1 only shrinks past 300.
      {{350, 10, 10, 340}, {14, 350, 355, 5}, {374, -10, -5, 365}},
      {{10, 350, 300, 10}, {34, 5, 310, 35}, {34, 365, 310, 35}},
      {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {{100, 100, 100, 100}, {99, 401, 401, 99}, {459, 41, 41, 459}},
      {{100, 100, 100, 100}, {99, 400, 400, 99}, {459, 400, 400, 459}},
  };
  for (const auto& c : cases) {
    CPrediction p;
    p.SetAngleFactors(Day(1, 2012, 1, 1, c.today[0], c.today[1], c.today[2], c.today[3]),
                      Day(2, 2012, 1, 2, c.next[0], c.next[1], c.next[2], c.next[3]));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(p.GetNextDay().GetAngle(i), c.unwrapped[i]) << i;
  }
}

TEST(Prediction, HeightFollowsTheHarmonicFormula) {
  // A full port against the formula written out by hand at a few instants.
  CPortData port = model_test::Port(0, 1, "Full", 1);
  CPrediction p;
  p.SetPort(port);
  CAngleFactorData today = Day(1, 2012, 1, 1, 300, 20, 190, 80);
  CAngleFactorData next = Day(2, 2012, 1, 2, 324, 20, 191, 105);
  const double f[4] = {0.97, 1.0, 1.1, 1.2};
  const double f2[4] = {0.975, 1.0, 1.098, 1.19};
  for (int c = 0; c < 4; ++c) {
    today.SetFactor(c, f[c]);
    next.SetFactor(c, f2[c]);
  }
  p.SetAngleFactors(today, next);
  p.ClearCache();

  for (int minute : {-300, 0, 1, 437, 1439, 2000}) {
    const double t = minute / 60.0;
    const double ksemi = 720.0, kdiu = 360.0;
    const double a[4] = {300, 20, 190, 80}, a2[4] = {324, 20, 191, 105};
    double theta[4], fac[4];
    for (int c = 0; c < 4; ++c) {
      const double w = ((c < 2 ? ksemi : kdiu) + a[c] - a2[c]) / 24.0;
      theta[c] = a[c] + port.GetPhase(c) - w * t;
      fac[c] = f[c] + t * (f2[c] - f[c]) / 24.0;
    }
    const double x = 1.25 * fac[0] * std::sin(theta[0] * kRad) + 0.5 * fac[1] * std::sin(theta[1] * kRad);
    const double y = 1.25 * fac[0] * std::cos(theta[0] * kRad) + 0.5 * fac[1] * std::cos(theta[1] * kRad);
    double phi = std::atan(x / y) / kRad;
    if (phi < 0) phi += 180.0;
    const double r = x / std::sin(phi * kRad);
    const double h = port.GetMeanLevel() + y + 0.1 * fac[2] * std::cos(theta[2] * kRad) +
                     0.05 * fac[3] * std::cos(theta[3] * kRad) + 0.02 * r * r * std::cos((45 + 2 * phi) * kRad) +
                     0.003 * r * r * r * std::cos((270 + 3 * phi) * kRad);
    EXPECT_NEAR(p.HarmonicHeight(minute), h, 1e-9) << minute;
    // In the port's own zone (+1) the local minute is the harmonic minute.
    EXPECT_EQ(p.HeightAt(minute, 1, 0), static_cast<double>(static_cast<float>(p.HarmonicHeight(minute)))) << minute;
  }
}

// The height method step by step as written, with its own value of pi throughout. Near X = 0
// with Y < 0 its R = X / sin(phi) loses its digits (phi + 180 with that pi is not the half turn
// the sine vanishes at), so callers compare only where X is not small against Y.
double LiteralHeight(const CPortData& port, const CAngleFactorData& today, const CAngleFactorData& next, double minute,
                     bool* wellConditioned = nullptr) {
  const double t = minute / 60.0;
  const double am2 = today.GetAngle(0), am2n = next.GetAngle(0);
  const double ksemi = 360.0 * (std::floor((am2n + 600.0 - am2) / 360.0) + 1.0);
  const double kdiu = 360.0 * (std::floor((am2n + 300.0 - am2) / 360.0) + 1.0);
  double theta[4], f[4];
  for (int c = 0; c < 4; ++c) {
    const double w = ((c < 2 ? ksemi : kdiu) + today.GetAngle(c) - next.GetAngle(c)) / 24.0;
    theta[c] = today.GetAngle(c) + port.GetPhase(c) - w * t;
    f[c] = today.GetFactor(c) + t * (next.GetFactor(c) - today.GetFactor(c)) / 24.0;
  }
  const double h[4] = {port.GetAmplitude(0), port.GetAmplitude(1), port.GetAmplitude(2), port.GetAmplitude(3)};
  const double x = h[0] * f[0] * std::sin(theta[0] * kRad) + h[1] * f[1] * std::sin(theta[1] * kRad);
  const double y = h[0] * f[0] * std::cos(theta[0] * kRad) + h[1] * f[1] * std::cos(theta[1] * kRad);
  if (wellConditioned) *wellConditioned = std::fabs(x) > 0.05 * std::fabs(y);
  double phi = 0.0, r = y;
  if (x != 0.0) {
    phi = std::atan(x / y) / kRad;
    if (phi < 0) phi += 180.0;
    r = x / std::sin(phi * kRad);
  }
  return port.GetMeanLevel() + y + h[2] * f[2] * std::cos(theta[2] * kRad) + h[3] * f[3] * std::cos(theta[3] * kRad) +
         port.GetAmplitude(4) * (r * r) * std::cos((port.GetPhase(4) + 2 * phi) * kRad) +
         port.GetAmplitude(5) * (r * r * r) * std::cos((port.GetPhase(5) + 3 * phi) * kRad);
}

TEST(Prediction, EveryMinuteAgreesWithTheMethodAsWritten) {
  // Several ports, zones and days (with angles wrapping), over the whole cache and beyond.
  CPortData ports[4] = {model_test::Port(0, 1, "A", 1), model_test::Port(1, 2, "B", 930),
                        PurePort(-5, 1.0, 200, 0.8, 120, 0.6, 300, 0.25), model_test::Port(2, 3, "C", -330)};
  ports[1].SetConstituent(CPortData::S2, 10, 1.3);  // S2 above M2: X and Y cross zero often
  ports[3].SetConstituent(CPortData::F6, 100, 0.05);
  const CAngleFactorData days[3][2] = {
      {Day(1, 2012, 1, 1, 300, 20, 190, 80), Day(2, 2012, 1, 2, 324, 20, 191, 105)},
      {Day(1, 2012, 1, 1, 350, 355, 359, 340), Day(2, 2012, 1, 2, 14, 3, 0, 5)},
      {Day(1, 2012, 1, 1, 0, 0, 0, 0), Day(2, 2012, 1, 2, 0, 0, 0, 0)},
  };
  double worst = 0.0;
  int floatsDiffer = 0, compared = 0;
  for (const CPortData& port : ports) {
    for (const auto& day : days) {
      CPrediction p;
      p.SetPort(port);
      p.SetAngleFactors(day[0], day[1]);
      p.ClearCache();
      for (int m = -2000; m <= 4000; ++m) {
        bool conditioned = false;
        const double literal = LiteralHeight(port, p.GetToday(), p.GetNextDay(), m, &conditioned);
        const double h = p.HarmonicHeight(m);
        // Never beyond what the constants can make, even where the written form fails.
        ASSERT_LT(std::fabs(h - port.GetMeanLevel()), 5.0) << m;
        if (!conditioned) continue;
        ++compared;
        worst = std::max(worst, std::fabs(h - literal));
        floatsDiffer += static_cast<float>(h) != static_cast<float>(literal);
      }
    }
  }
  EXPECT_GT(compared, 50000);
  EXPECT_LT(worst, 1e-8);
  // Rounded to the cache's floats the two agree but for a rare last bit.
  EXPECT_LT(floatsDiffer, compared / 200);
}

TEST(Prediction, WithoutSemidiurnalConstantsTheHeightIsFinite) {
  // X = 0 everywhere: R is taken as its limit Y (= 0 here), so the shallow-water terms vanish.
  CPortData port = PurePort(0, 1.5, 0, 0.0, 30, 0.4, 90, 0.3);
  auto p = Make(port);
  for (int m : {0, 100, 720}) {
    const double h = p->HeightAt(m, 0, 0);
    ASSERT_TRUE(std::isfinite(h));
    EXPECT_NEAR(h, 1.5 + 0.4 * std::cos((30 - (360.0 - 1.0) / 24.0 * (m / 60.0)) * kRad), 1e-6);
  }
}

TEST(Prediction, CacheServesEveryZone) {
  auto p = Make(PurePort(0, 0.0, 37, 1.0));
  EXPECT_EQ(p->HeightAt(0, 1, 0), p->HeightAt(-60, 0, 0));
  // Summer adds an hour: zone 0 becomes 1, zone 930 becomes 1030, and -330 becomes -230.
  EXPECT_EQ(p->HeightAt(200, 0, 1), p->HeightAt(200, 1, 0));
  EXPECT_EQ(p->HeightAt(200, 930, 1), p->HeightAt(200, 1030, 0));
  EXPECT_EQ(p->HeightAt(200, -330, 1), p->HeightAt(200, -230, 0));
  EXPECT_EQ(p->HeightAt(200, -330, 0), M2Only(200 + 210, 37));
}

TEST(Prediction, HeightsOutsideTheCacheAreComputedAllTheSame) {
  auto p = Make(PurePort(0, 0.0, 37, 1.0));
  // Slots -1 and 3201 and far beyond, in the port's zone.
  for (int m : {-841, 2361, 100000, -100000, 5000}) {
    const double first = p->HeightAt(m, 0, 0);
    EXPECT_EQ(first, M2Only(m, 37)) << m;
    EXPECT_EQ(p->HeightAt(m, 0, 0), first) << m;
  }
  // And cached heights next to the edges are still right.
  EXPECT_EQ(p->HeightAt(-840, 0, 0), M2Only(-840, 37));
  EXPECT_EQ(p->HeightAt(2360, 0, 0), M2Only(2360, 37));
  // Extreme zone codes and minutes do not overflow.
  EXPECT_TRUE(std::isfinite(p->HeightAt(2147483647, -2147483647, 1)));
  EXPECT_TRUE(std::isfinite(p->HeightAt(-2147483647, 2147483647, 1)));
}

TEST(Prediction, FindsTwoHighsAndTwoLows) {
  // High at 0 (reported at minute 1, the minute after the highest sample), lows near 372.4
  // and 1117.2, high near 744.8.
  auto p = Make(PurePort(0, 0.0, 0, 1.0));
  TIMEHEIGHT out[4];
  ASSERT_EQ(p->FindHighLow(0, 0, out), 4);
  EXPECT_FALSE(p->IsFiltered());
  EXPECT_EQ(out[0].minutes, 1);
  EXPECT_EQ(out[0].metres, 1.0);
  EXPECT_EQ(out[1].minutes, 373);
  EXPECT_EQ(out[2].minutes, 746);
  EXPECT_EQ(out[3].minutes, 1118);
  EXPECT_NEAR(out[1].metres, -1.0, 1e-4);
  EXPECT_NEAR(out[2].metres, 1.0, 1e-4);

  // The same tide seen from 5:30 east: every event 330 minutes later, the last one tomorrow.
  TIMEHEIGHT east[4] = {{-1, 0}, {-1, 0}, {-1, 0}, {-1, 7}};
  ASSERT_EQ(p->FindHighLow(530, 0, east), 3);
  EXPECT_EQ(east[0].minutes, 331);
  EXPECT_EQ(east[1].minutes, 703);
  EXPECT_EQ(east[2].minutes, 1076);
  EXPECT_EQ(east[3].minutes, -1);  // slots beyond the count are left alone
  EXPECT_EQ(east[3].metres, 7);
}

TEST(Prediction, ExtremaAtTheEndOfTheDayAreReportedAt1439) {
  // Phase 14 in zone -2330: the high's highest sample is at 23:59, the next minute is lower.
  auto late = Make(PurePort(-2330, 0.0, 14, 1.0));
  EXPECT_GT(late->HeightAt(1439, 0, 0), late->HeightAt(1438, 0, 0));
  EXPECT_GT(late->HeightAt(1439, 0, 0), late->HeightAt(1440, 0, 0));
  TIMEHEIGHT out[4];
  int n = late->FindHighLow(0, 0, out);
  ASSERT_GE(n, 1);
  EXPECT_EQ(out[n - 1].minutes, 1439);
  EXPECT_NEAR(out[n - 1].metres, 1.0, 1e-4);

  // Phase 28 in zone -23: the highest sample at 23:58, reported at 1439.
  auto earlier = Make(PurePort(-23, 0.0, 28, 1.0));
  EXPECT_GT(earlier->HeightAt(1438, 0, 0), earlier->HeightAt(1439, 0, 0));
  EXPECT_GT(earlier->HeightAt(1438, 0, 0), earlier->HeightAt(1437, 0, 0));
  n = earlier->FindHighLow(0, 0, out);
  ASSERT_GE(n, 1);
  EXPECT_EQ(out[n - 1].minutes, 1439);
}

TEST(Prediction, MoreThanFourTurningPointsAreFiltered) {
  // A strong quarter-diurnal term splits each high water in two with a dip of 0.4 m between,
  // far from both extremes: highs near 135, 610, 880 and 1354, lows near 372 and 1117, dips
  // at 0 and 745. The dips go, and the first four of the rest come back.
  auto p = Make(PurePort(0, 0.0, 0, 1.0, 0, 0.0, 180, 0.6));
  TIMEHEIGHT out[4];
  ASSERT_EQ(p->FindHighLow(0, 0, out), 4);
  EXPECT_TRUE(p->IsFiltered());
  const int expected[4] = {135, 373, 610, 880};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(out[i].minutes, expected[i], 2) << i;
  EXPECT_NEAR(out[0].metres, 0.8087, 1e-3);
  EXPECT_NEAR(out[1].metres, -1.6, 1e-3);

  // ClearCache clears the flag, and so does an unfiltered day.
  p->ClearCache();
  EXPECT_FALSE(p->IsFiltered());
  p->FindHighLow(0, 0, out);
  EXPECT_TRUE(p->IsFiltered());
  p->SetPort(PurePort(0, 0.0, 0, 1.0));
  p->ClearCache();
  p->FindHighLow(0, 0, out);
  p->SetPort(PurePort(0, 0.0, 0, 1.0, 0, 0.0, 180, 0.6));
  p->ClearCache();
  p->FindHighLow(0, 0, out);
  // SetPort leaves the cache alone: without ClearCache the old heights are still found.
  p->SetPort(PurePort(0, 0.0, 0, 1.0));
  p->FindHighLow(0, 0, out);
  EXPECT_TRUE(p->IsFiltered());
}

TEST(Prediction, SpacingDropsCopiesAndCloseNeighbours) {
  // A barely split high water: a dip at minute 0 between highs 15 minutes either side. The
  // coarse points 0 and 10 both qualify, so the dip is collected twice; with more than four
  // events the spacing keeps only events more than 180 minutes after the last one taken.
  auto p = Make(PurePort(0, 0.0, 0, 1.0, 0, 0.0, 180, 0.252));
  TIMEHEIGHT out[4];
  ASSERT_EQ(p->FindHighLow(0, 0, out), 4);
  EXPECT_TRUE(p->IsFiltered());
  EXPECT_EQ(out[0].minutes, 1);
  EXPECT_NEAR(out[0].metres, 0.748, 1e-5);
  for (int i = 1; i < 4; ++i) EXPECT_GT(out[i].minutes, out[i - 1].minutes + 180) << i;
  EXPECT_EQ(out[1].minutes, 373);
  EXPECT_NEAR(out[1].metres, -1.252, 1e-4);
}

TEST(Prediction, DayRangeIsClampedButTheTrueLowIsStored) {
  const struct {
    double z0, highest, lowest, dayMax, dayMin;
  } cases[] = {
      {5.0, 6.0, 0.0, 6.0, 4.0},
      {-5.0, 0.0, -6.0, 0.0, -6.0},
      {0.5, 1.5, -0.5, 1.5, -0.5},
  };
  for (const auto& c : cases) {
    auto p = Make(PurePort(0, c.z0, 0, 1.0));
    const auto range = p->CalcDayRange(0, 0);
    EXPECT_NEAR(range.first, c.highest, 1e-4) << c.z0;
    EXPECT_NEAR(range.second, c.lowest, 1e-4) << c.z0;
    EXPECT_NEAR(p->GetDayRange().first, c.dayMax, 1e-4) << c.z0;
    EXPECT_NEAR(p->GetDayRange().second, c.dayMin, 1e-4) << c.z0;
  }
  // Every height above 100 m: the stored low starts at 100.
  auto high = Make(PurePort(0, 200.0, 0, 1.0));
  high->CalcDayRange(0, 0);
  EXPECT_EQ(high->GetDayRange().second, 100.0);
}

TEST(Prediction, DropToTheNextLow) {
  auto p = Make(PurePort(0, 0.0, 0, 1.0));
  p->CalcDayRange(0, 0);
  TIMEHEIGHT out[4];
  p->FindHighLow(0, 0, out);
  EXPECT_NEAR(p->HeightDropToNextLow(0, 0, 0), 2.0, 1e-4);
  EXPECT_NEAR(p->HeightDropToNextLow(372 + 60, 0, 0), p->HeightAt(432, 0, 0) + 1.0, 1e-3);

  // K1 alone at 2.5 degrees an hour falls for 72 hours: no low within 900 minutes.
  auto slow = Make(PurePort(0, 0.0, 0, 0.0, 0, 1.0), 300);
  EXPECT_EQ(slow->HeightDropToNextLow(0, 0, 0), -100.0);
}

TEST(Prediction, DropToTheNextLowSkipsFilteredDips) {
  // The dip at minute 0 is a turning point of its own; on a filtered day the search goes on
  // to the real low water.
  auto p = Make(PurePort(0, 0.0, 0, 1.0, 0, 0.0, 180, 0.6));
  EXPECT_NEAR(p->HeightDropToNextLow(0, 0, 0), 0.0, 1e-9);
  p->CalcDayRange(0, 0);
  TIMEHEIGHT out[4];
  p->FindHighLow(0, 0, out);
  ASSERT_TRUE(p->IsFiltered());
  EXPECT_NEAR(p->HeightDropToNextLow(0, 0, 0), 0.4 + 1.6, 1e-3);
}

TEST(MonthlyPrediction, DaysOneToThirtyOne) {
  auto month = std::make_unique<CMonthlyPrediction>();
  EXPECT_EQ(month->GetDay(0), nullptr);
  EXPECT_EQ(month->GetDay(32), nullptr);
  ASSERT_NE(month->GetDay(1), nullptr);
  ASSERT_NE(month->GetDay(31), nullptr);
  EXPECT_NE(month->GetDay(1), month->GetDay(31));

  month->SetPort(PurePort(0, 0.0, 0, 1.0));
  for (int d = 0; d <= 32; ++d)
    month->SetAngleFactors(d, Day(d, 2012, 1, 1, 0, 0, 0, 0), Day(d + 100, 2012, 1, 2, 24, 0, 1, 25));
  for (int d = 1; d <= 31; ++d) {
    EXPECT_EQ(month->GetDay(d)->GetToday().GetId(), d);
    EXPECT_STREQ(month->GetDay(d)->GetPortName(), "Test");
  }
  month->SetDaysInMonth(29);
  EXPECT_EQ(month->GetDaysInMonth(), 29);

  month->ClearAll();
  TIMEHEIGHT out[4];
  EXPECT_EQ(month->GetDay(17)->FindHighLow(0, 0, out), 4);
  month->SetPort(PurePort(0, 3.0, 0, 1.0));
  month->ClearAll();
  EXPECT_NEAR(month->GetDay(17)->HeightAt(0, 0, 0), 4.0, 1e-4);
}

TEST(Prediction, AnUnfilteredDayClearsTheFilteredFlagOfTheDayBefore) {
  auto p = Make(PurePort(0, 0.0, 0, 1.0, 0, 0.0, 180, 0.6));
  TIMEHEIGHT out[4];
  p->FindHighLow(0, 0, out);
  ASSERT_TRUE(p->IsFiltered());
  // A plain tide, found in a zone whose minutes the cache never held: no ClearCache between.
  p->SetPort(PurePort(0, 0.0, 0, 1.0));
  ASSERT_GT(p->FindHighLow(2430, 0, out), 0);
  EXPECT_FALSE(p->IsFiltered());
}

TEST(Prediction, TheDropToTheNextLowLooksNineHundredMinutesAhead) {
  // K1 alone from its high at minute 0: the low comes half a period later, just within the
  // 900 minutes or just beyond them.
  struct Case {
    int k1Next;  // the next day's K1 angle, which gives the period
    bool found;
  } const cases[] = {{70, true}, {74, false}};  // 360 - k1Next degrees a day: lows 894 and 906 minutes on
  for (const Case& c : cases) {
    auto p = Make(PurePort(0, 0.0, 0, 0.0, 0, 1.0), c.k1Next);
    const double drop = p->HeightDropToNextLow(0, 0, 0);
    if (c.found)
      EXPECT_NEAR(2.0, drop, 1e-2) << c.k1Next;
    else
      EXPECT_EQ(-100.0, drop) << c.k1Next;
  }
}

// Near an extreme of a small tide over a high mean level two neighbouring minutes can hold the
// same height: the extreme is still found, at the minute after the first of the two.
TEST(Prediction, ATwoMinuteFlatTopIsStillAnExtreme) {
  int flats = 0;
  for (int k = 0; k < 360 * 4 && flats < 5; k += 7) {
    const int g = k % 360;
    const double amplitude[4] = {0.03, 0.05, 0.08, 0.12};
    auto p = Make(PurePort(0, 20.0, g, amplitude[k / 360]));
    std::vector<int> expected;
    for (int m = 1; m < 1438; ++m) {
      const double a = p->HeightAt(m - 1, 0, 0), b = p->HeightAt(m, 0, 0), d = p->HeightAt(m + 1, 0, 0),
                   e = p->HeightAt(m + 2, 0, 0);
      if (d == b && a != b && ((a < b && e < b) || (a > b && e > b))) expected.push_back(m + 1);
    }
    if (expected.empty()) continue;
    TIMEHEIGHT out[4];
    const int n = p->FindHighLow(0, 0, out);
    for (int t : expected) {
      ++flats;
      EXPECT_TRUE(std::any_of(out, out + n, [t](const TIMEHEIGHT& x) { return x.minutes == t; }))
          << "phase " << g << " minute " << t;
    }
  }
  EXPECT_GT(flats, 0);
}

// A day of more than four turning points keeps those within 0.3 m of the day's highest or
// lowest, each more than 180 minutes after the last one kept. Days are sought whose events lie
// close to both bounds, so that either bound moved changes what is kept.
TEST(Prediction, AFilteredDayKeepsWhatLiesWithinThreeTenthsAndThreeHours) {
  int nearHeight = 0, nearSpacing = 0, days = 0;
  for (int g4 = 0; g4 < 360; g4 += 10)
    for (double h4 : {0.3, 0.35, 0.4, 0.45, 0.5, 0.6})
      for (double hK1 : {0.0, 0.1, 0.2, 0.3}) {
        auto p = Make(PurePort(0, 0.0, 0, 1.0, 40, hK1, g4, h4));
        const CLocalDay day = CLocalDay::Plain(0, 0);
        TIMEHEIGHT raw[32];
        const int n = p->TurningPoints(day, 0, 1440, raw, 32);
        TIMEHEIGHT out[CPrediction::kMaxDayEvents];
        const int k = p->FindHighLow(day, out);
        // Only days whose every turning point the finder's coarse look sees.
        if (n <= 4 || !p->IsFiltered()) continue;
        double hi = 0.0, lo = 10000.0;
        for (int i = 0; i < n; ++i) {
          hi = std::max(hi, raw[i].metres);
          lo = std::min(lo, raw[i].metres);
        }
        std::vector<int> expected;
        int last = 0;
        for (int i = 0; i < n && expected.size() < 4; ++i) {
          const double m = raw[i].metres;
          const double edge = std::min(std::fabs(m - (hi - 0.3)), std::fabs(m - (lo + 0.3)));
          nearHeight += edge < 0.05;
          if (!(m < lo + 0.3 || m > hi - 0.3)) continue;
          if (!expected.empty()) {
            nearSpacing += std::abs(raw[i].minutes - (last + 180)) <= 15;
            if (raw[i].minutes <= last + 180) continue;
          }
          expected.push_back(raw[i].minutes);
          last = raw[i].minutes;
        }
        std::vector<int> got;
        for (int i = 0; i < k; ++i) got.push_back(out[i].minutes);
        EXPECT_EQ(expected, got) << g4 << " " << h4 << " " << hK1;
        ++days;
      }
  EXPECT_GT(days, 20);
  EXPECT_GT(nearHeight, 3);
  EXPECT_GT(nearSpacing, 3);
}

TEST(Prediction, ACopyAndAnAssignmentAnswerAsTheOriginal) {
  // Two different ports, each with its heights cached and its events found: a copy, and a
  // prediction assigned over, must answer exactly as the original in every respect.
  auto a = Make(PurePort(0, 1.0, 40, 2.0, 100, 0.3, 10, 0.2));
  auto b = Make(PurePort(-5, 0.5, 200, 1.2));
  TIMEHEIGHT eventsA[4], eventsB[4];
  const int countA = a->FindHighLow(0, 0, eventsA);
  b->FindHighLow(0, 0, eventsB);
  CPrediction copy(*a);
  CPrediction assigned(*b);
  assigned = *a;
  for (CPrediction* p : {&copy, &assigned}) {
    EXPECT_EQ(a->GetPortName(), p->GetPortName());
    EXPECT_EQ(a->GetZoneCode(), p->GetZoneCode());
    EXPECT_EQ(a->IsFiltered(), p->IsFiltered());
    for (int minute = 0; minute < 1440; minute += 7)
      EXPECT_EQ(a->HeightAt(minute, 0, 0), p->HeightAt(minute, 0, 0)) << minute;
    TIMEHEIGHT events[4];
    ASSERT_EQ(countA, p->FindHighLow(0, 0, events));
    for (int i = 0; i < countA; ++i) {
      EXPECT_EQ(eventsA[i].minutes, events[i].minutes);
      EXPECT_EQ(eventsA[i].metres, events[i].metres);
    }
  }
}
