// Positions on the earth and the small navigation arithmetic built on them.
#pragma once

#include "platform/core/AfxString.h"

// A plain latitude/longitude pair in decimal degrees, north and east positive.
struct LATLON {
  double latitude = 0.0;
  double longitude = 0.0;
};

// Latitude and longitude held as hemisphere flag, whole degrees and decimal minutes.
class CPosition {
 public:
  // 0° N 0° E, so a default position never holds indeterminate values.
  CPosition() = default;
  // From decimal degrees, north and east positive.
  CPosition(double latitude, double longitude);
  CPosition(const CPosition& other) = default;
  CPosition& operator=(const CPosition& other) = default;
  virtual ~CPosition() = default;

  // Decimal degrees, north and east positive.
  void SetDecimal(double latitude, double longitude);
  // Store the three fields as given; hemisphere 1 is north (east), 0 south (west). Returns 1.
  int SetLatitude(int degrees, double minutes, int hemisphere);
  int SetLongitude(int degrees, double minutes, int hemisphere);

  double GetLatitude() const;
  double GetLongitude() const;
  LATLON GetLatLon() const { return {GetLatitude(), GetLongitude()}; }

  int GetLatDegrees() const { return m_latDegrees; }
  double GetLatMinutes() const { return m_latMinutes; }
  int GetLatHemisphere() const { return m_latHemisphere; }
  int GetLonDegrees() const { return m_lonDegrees; }
  double GetLonMinutes() const { return m_lonMinutes; }
  int GetLonHemisphere() const { return m_lonHemisphere; }

  // "50°30.000 N", "01°15.000 W": degrees and minutes to three decimals.
  CString FormatLatitude() const;
  CString FormatLongitude() const;
  // "50°30 N", "01°15 W": whole minutes.
  CString FormatLatitudeShort() const;
  CString FormatLongitudeShort() const;

  // Dead reckoning along the great circle: bearing in degrees true, speed in knots. A mile is
  // a minute of arc; the longitude stays within -180..180 across the date line.
  void MoveBy(double bearing, double speedKnots, double minutes);

 private:
  int m_lonHemisphere = 1;    // 1 east, 0 west
  int m_latHemisphere = 1;    // 1 north, 0 south
  double m_lonMinutes = 0.0;  // 0 to below 60
  double m_latMinutes = 0.0;
  int m_lonDegrees = 0;  // never negative
  int m_latDegrees = 0;
};

// Brings an angle into 0..360; 0 becomes 360 and 360 stays 360 (720 gives 0).
double NormaliseDegrees(double angle);

// Nautical miles along the great circle.
double GreatCircleDistance(const CPosition& from, const CPosition& to);

// True bearing of the Mercator rhumb line, 0 to below 360.
double RhumbLineBearing(const CPosition& from, const CPosition& to);

constexpr double kKnotsPerMetrePerSecond = 1.94384449;
inline double MetresPerSecondToKnots(double x) { return x * kKnotsPerMetrePerSecond; }
inline double KnotsToMetresPerSecond(double x) { return x / kKnotsPerMetrePerSecond; }
