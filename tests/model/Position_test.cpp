#include "model/Position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Dead reckoning counts a mile as a minute of arc; the distance formula uses an earth of
// 3437 miles radius, so a reckoned mile measures this much.
constexpr double kReckonedMile = 3437.0 * kPi / 10800.0;

std::string Text(const CString& s) { return std::string(s); }

TEST(PositionTest, DefaultIsZeroNorthEast) {
  const CPosition p;
  EXPECT_EQ(p.GetLatitude(), 0.0);
  EXPECT_EQ(p.GetLongitude(), 0.0);
  EXPECT_EQ(p.GetLatHemisphere(), 1);
  EXPECT_EQ(p.GetLonHemisphere(), 1);
}

struct DecimalCase {
  double value;
  int degrees;
  double minutes;
  int hemisphere;
};

TEST(PositionTest, SetDecimalSplitsIntoHemisphereDegreesAndMinutes) {
  const DecimalCase cases[] = {
      {-0.5, 0, 30.0, 0},   {-1.25, 1, 15.0, 0},    {50.0, 50, 0.0, 1}, {0.0, 0, 0.0, 1},
      {51.75, 51, 45.0, 1}, {-179.5, 179, 30.0, 0}, {-3.0, 3, 0.0, 0},
  };
  for (const DecimalCase& c : cases) {
    SCOPED_TRACE(c.value);
    CPosition p;
    p.SetDecimal(c.value, c.value);
    EXPECT_EQ(p.GetLatDegrees(), c.degrees);
    EXPECT_NEAR(p.GetLatMinutes(), c.minutes, 1e-9);
    EXPECT_EQ(p.GetLatHemisphere(), c.hemisphere);
    EXPECT_EQ(p.GetLonDegrees(), c.degrees);
    EXPECT_NEAR(p.GetLonMinutes(), c.minutes, 1e-9);
    EXPECT_EQ(p.GetLonHemisphere(), c.hemisphere);
    EXPECT_NEAR(p.GetLatitude(), c.value, 1e-12);
    EXPECT_NEAR(p.GetLongitude(), c.value, 1e-12);
  }
}

TEST(PositionTest, ConstructorAndSettersAgree) {
  const CPosition a(-0.5, -1.25);
  CPosition b;
  EXPECT_EQ(b.SetLatitude(0, 30.0, 0), 1);
  EXPECT_EQ(b.SetLongitude(1, 15.0, 0), 1);
  EXPECT_EQ(a.GetLatitude(), b.GetLatitude());
  EXPECT_EQ(a.GetLongitude(), b.GetLongitude());
  EXPECT_EQ(a.GetLatitude(), -0.5);

  CPosition c = a;  // copies every field
  EXPECT_EQ(Text(c.FormatLatitude()), Text(a.FormatLatitude()));
  EXPECT_EQ(Text(c.FormatLongitude()), Text(a.FormatLongitude()));
}

TEST(PositionTest, BadDecimalInputStaysFinite) {
  CPosition p;
  p.SetDecimal(std::nan(""), 1e300);
  EXPECT_TRUE(std::isfinite(p.GetLatitude()));
  EXPECT_TRUE(std::isfinite(p.GetLongitude()));
}

TEST(PositionTest, Texts) {
  struct Case {
    double lat, lon;
    const char *latText, *lonText, *latShort, *lonShort;
  };
  const Case cases[] = {
      {-0.5, -1.25, "00°30.000 S", "01°15.000 W", "00°30 S", "01°15 W"},
      {50.1234, 4.05, "50°7.404 N", "04°3.000 E", "50°07 N", "04°03 E"},
      {51.0, -10.999, "51°0.000 N", "10°59.940 W", "51°00 N", "11°00 W"},
      // Minutes that round to 60 in the text move into the degrees.
      {49.9999999, 179.99999999, "50°0.000 N", "180°0.000 E", "50°00 N", "180°00 E"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.latText);
    const CPosition p(c.lat, c.lon);
    EXPECT_EQ(Text(p.FormatLatitude()), c.latText);
    EXPECT_EQ(Text(p.FormatLongitude()), c.lonText);
    EXPECT_EQ(Text(p.FormatLatitudeShort()), c.latShort);
    EXPECT_EQ(Text(p.FormatLongitudeShort()), c.lonShort);
  }
  // The degree sign is UTF-8.
  EXPECT_EQ(Text(CPosition(1.0, 1.0).FormatLatitude()),
            "01\xC2\xB0"
            "0.000 N");
}

TEST(NavigationTest, NormaliseDegrees) {
  const double cases[][2] = {
      {0, 360}, {360, 360}, {720, 0}, {-10, 350}, {370, 10}, {-360, 360}, {359.5, 359.5}, {1085, 5}, {-725, 355},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NormaliseDegrees(c[0]), c[1]) << c[0];
}

// Independent check: haversine on the same 3437-mile earth.
double Haversine(double lat1, double lon1, double lat2, double lon2) {
  const double k = kPi / 180.0;
  const double a = std::pow(std::sin((lat2 - lat1) * k / 2), 2) +
                   std::cos(lat1 * k) * std::cos(lat2 * k) * std::pow(std::sin((lon2 - lon1) * k / 2), 2);
  return 3437.0 * 2.0 * std::asin(std::sqrt(a));
}

TEST(NavigationTest, GreatCircleDistance) {
  // One degree along a meridian is 60 miles of this earth.
  EXPECT_NEAR(GreatCircleDistance(CPosition(50, -2), CPosition(51, -2)), 3437 * 0.0174533, 1e-3);
  // A quarter of the equator.
  EXPECT_NEAR(GreatCircleDistance(CPosition(0, 0), CPosition(0, 90)), 3437 * kPi / 2, 1e-3);
  // London to Paris, Dover to Calais, Plymouth to Brest, across the equator and the date line.
  const double routes[][4] = {
      {51.5074, -0.1278, 48.8566, 2.3522},  {51.1279, 1.3134, 50.9513, 1.8587},
      {50.3755, -4.1427, 48.3904, -4.4861}, {-33.8568, 151.2153, 21.3069, -157.8583},
      {10.0, 179.5, -10.0, -179.5},
  };
  for (const auto& r : routes)
    EXPECT_NEAR(GreatCircleDistance(CPosition(r[0], r[1]), CPosition(r[2], r[3])), Haversine(r[0], r[1], r[2], r[3]),
                1e-3);
  // London-Paris is about 185 nautical miles on any chart.
  EXPECT_NEAR(GreatCircleDistance(CPosition(51.5074, -0.1278), CPosition(48.8566, 2.3522)), 185.3, 0.5);
}

TEST(NavigationTest, GreatCircleDistanceOfOnePointIsZero) {
  const CPosition positions[] = {CPosition(50.3755, -4.1427), CPosition(-33.8568, 151.2153), CPosition(0, 0),
                                 CPosition(89.9, 10)};
  for (const CPosition& p : positions) {
    const double d = GreatCircleDistance(p, p);
    EXPECT_FALSE(std::isnan(d));
    EXPECT_NEAR(d, 0.0, 1e-3);
  }
}

// Independent Mercator rhumb-line bearing.
double Rhumb(double lat1, double lon1, double lat2, double lon2) {
  const double k = kPi / 180.0;
  const double dpsi = std::log(std::tan(kPi / 4 + lat2 * k / 2) / std::tan(kPi / 4 + lat1 * k / 2));
  const double b = std::atan2((lon2 - lon1) * k, dpsi) / k;
  return b < 0 ? b + 360 : b;
}

TEST(NavigationTest, RhumbLineBearing) {
  const CPosition start(50, 0);
  EXPECT_NEAR(RhumbLineBearing(start, CPosition(50, 1)), 90, 1e-6);
  EXPECT_NEAR(RhumbLineBearing(start, CPosition(50, -1)), 270, 1e-6);
  EXPECT_NEAR(RhumbLineBearing(start, CPosition(49, 0)), 180, 1e-6);
  EXPECT_NEAR(RhumbLineBearing(start, CPosition(51, 0)), 0, 1e-6);

  const double legs[][4] = {
      {50.0, -4.0, 51.0, -3.0},
      {50.0, -4.0, 49.0, -3.0},
      {50.0, -4.0, 49.0, -5.0},
      {50.0, -4.0, 51.0, -5.0},
      {50.3755, -4.1427, 48.3904, -4.4861},
      {-33.8, 151.2, -40.0, 175.0},
  };
  for (const auto& l : legs) {
    const double b = RhumbLineBearing(CPosition(l[0], l[1]), CPosition(l[2], l[3]));
    EXPECT_NEAR(b, Rhumb(l[0], l[1], l[2], l[3]), 1e-6) << l[2] << " " << l[3];
    EXPECT_GE(b, 0.0);
    EXPECT_LT(b, 360.0);
  }
}

TEST(NavigationTest, RhumbLineDueNorthToZeroWestIsNorth) {
  // 0° W holds a longitude of -0, which swung due north round to 359.99999998.
  CPosition to;
  to.SetLatitude(51, 0, 1);
  to.SetLongitude(0, 0, 0);
  const double b = RhumbLineBearing(CPosition(50, 0), to);
  EXPECT_GE(b, 0.0);
  EXPECT_LT(b, 1e-6);
}

TEST(NavigationTest, MoveByEastSixKnotsForAnHour) {
  CPosition p(50, 0);
  p.MoveBy(90, 6, 60);
  EXPECT_NEAR(p.GetLatitude(), 50.0, 1e-3);
  EXPECT_NEAR(p.GetLongitude(), 0.155, 1e-3);
  EXPECT_NEAR(GreatCircleDistance(CPosition(50, 0), p), 6.0 * kReckonedMile, 1e-6);
}

TEST(NavigationTest, MoveByTravelsTheDistanceOnTheBearing) {
  const double bearings[] = {0, 30, 90, 135, 180, 225, 270, 315};
  const CPosition starts[] = {CPosition(50.5, -4.2), CPosition(-33.8, 151.2), CPosition(0.1, -0.1)};
  for (const CPosition& start : starts)
    for (double bearing : bearings) {
      SCOPED_TRACE(bearing);
      CPosition p = start;
      p.MoveBy(bearing, 7.5, 40);  // 5 miles
      EXPECT_NEAR(GreatCircleDistance(start, p), 5.0 * kReckonedMile, 1e-6);
      EXPECT_NEAR(std::fmod(RhumbLineBearing(start, p) - bearing + 540.0, 360.0) - 180.0, 0.0, 0.1);
    }
}

TEST(NavigationTest, MoveByRoundTrips) {
  const CPosition start(50.25, -1.5);
  // Along a meridian the way back is the same circle.
  CPosition p = start;
  p.MoveBy(0, 10, 90);
  p.MoveBy(180, 10, 90);
  EXPECT_NEAR(p.GetLatitude(), start.GetLatitude(), 1e-9);
  EXPECT_NEAR(p.GetLongitude(), start.GetLongitude(), 1e-9);

  // Out and back on the reverse rhumb bearing of a short leg lands within a few yards.
  CPosition q = start;
  q.MoveBy(60, 5, 30);
  q.MoveBy(RhumbLineBearing(q, start), 5, 30);
  EXPECT_LT(GreatCircleDistance(start, q), 0.01);

  // Zero time or zero speed does not move.
  CPosition r = start;
  r.MoveBy(123, 0, 60);
  r.MoveBy(123, 6, 0);
  EXPECT_NEAR(r.GetLatitude(), start.GetLatitude(), 1e-12);
  EXPECT_NEAR(r.GetLongitude(), start.GetLongitude(), 1e-12);
}

TEST(NavigationTest, MoveByAcrossTheDateLineWrapsTheLongitude) {
  CPosition p(0, 179.95);
  p.MoveBy(90, 6, 60);  // 0.1 degree east
  EXPECT_NEAR(p.GetLongitude(), -179.95, 1e-3);
  CPosition q(0, -179.95);
  q.MoveBy(270, 6, 60);
  EXPECT_NEAR(q.GetLongitude(), 179.95, 1e-3);
}

TEST(NavigationTest, SpeedConversions) {
  EXPECT_DOUBLE_EQ(MetresPerSecondToKnots(1.0), 1.94384449);
  EXPECT_DOUBLE_EQ(KnotsToMetresPerSecond(1.94384449), 1.0);
  EXPECT_NEAR(KnotsToMetresPerSecond(MetresPerSecondToKnots(0.73)), 0.73, 1e-15);
}

}  // namespace
