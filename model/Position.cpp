#include "model/Position.h"

#include "model/Angles.h"
#include "platform/core/AfxLocale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Radians per degree, as the navigation formulas have always used it.
constexpr double kRad = angles::kNavDegToRad;

// Whole degrees and minutes must fit their int fields; anything not finite counts as 0.
double SaneDegrees(double value) {
  if (!std::isfinite(value)) return 0.0;
  if (value > 1.0e6) return 1.0e6;
  if (value < -1.0e6) return -1.0e6;
  return value;
}

void Split(double value, int& degrees, double& minutes, int& hemisphere) {
  value = SaneDegrees(value);
  if (value >= 0.0) {
    degrees = static_cast<int>(std::floor(value));
    hemisphere = 1;
    minutes = (value - degrees) * 60.0;
  } else {
    degrees = static_cast<int>(std::fabs(std::ceil(value)));
    hemisphere = 0;
    minutes = (std::fabs(value) - degrees) * 60.0;
  }
}

}  // namespace

CPosition::CPosition(double latitude, double longitude) { SetDecimal(latitude, longitude); }

void CPosition::SetDecimal(double latitude, double longitude) {
  Split(latitude, m_latDegrees, m_latMinutes, m_latHemisphere);
  Split(longitude, m_lonDegrees, m_lonMinutes, m_lonHemisphere);
}

int CPosition::SetLatitude(int degrees, double minutes, int hemisphere) {
  m_latDegrees = degrees;
  m_latMinutes = minutes;
  m_latHemisphere = hemisphere;
  return 1;
}

int CPosition::SetLongitude(int degrees, double minutes, int hemisphere) {
  m_lonDegrees = degrees;
  m_lonMinutes = minutes;
  m_lonHemisphere = hemisphere;
  return 1;
}

double CPosition::GetLatitude() const {
  const double value = m_latDegrees + m_latMinutes / 60.0;
  return m_latHemisphere == 1 ? value : -value;
}

double CPosition::GetLongitude() const {
  const double value = m_lonDegrees + m_lonMinutes / 60.0;
  return m_lonHemisphere == 1 ? value : -value;
}

void CPosition::MoveBy(double bearing, double speedKnots, double minutes) {
  // One nautical mile is one minute of arc.
  const double d = (minutes / 60.0) * speedKnots * 3.141592654 / 10800.0;
  const double a = bearing * kRad;
  const double lat1 = GetLatitude() * kRad;
  const double lon1 = GetLongitude() * kRad;

  const double s = std::clamp(std::cos(a) * std::sin(d) * std::cos(lat1) + std::cos(d) * std::sin(lat1), -1.0, 1.0);
  const double lat2 = std::asin(s);
  const double lon2 =
      lon1 + std::atan2(std::cos(lat1) * std::sin(d) * std::sin(a), std::cos(d) - std::sin(lat1) * std::sin(lat2));

  // Crossing the 180th meridian must not leave a longitude beyond it.
  double lon = lon2 / kRad;
  if (std::isfinite(lon) && (lon > 180.0 || lon < -180.0)) {
    lon = std::fmod(lon, 360.0);
    if (lon > 180.0)
      lon -= 360.0;
    else if (lon < -180.0)
      lon += 360.0;
  }
  SetDecimal(lat2 / kRad, lon);
}

double NormaliseDegrees(double angle) {
  if (angle > 360.0) return angle - std::floor(angle / 360.0) * 360.0;
  if (angle < 360.0) return angle - (std::ceil(angle / 360.0) - 1.0) * 360.0;
  return angle;
}

double GreatCircleDistance(const CPosition& from, const CPosition& to) {
  const double lat1 = from.GetLatitude() * kRad;
  const double lon1 = from.GetLongitude() * kRad;
  const double lat2 = to.GetLatitude() * kRad;
  const double lon2 = to.GetLongitude() * kRad;
  // Rounding can push the cosine of a tiny or zero distance past 1, where arccos has no value.
  const double c = std::cos(lon1 - lon2) * std::cos(lat2) * std::cos(lat1) + std::sin(lat2) * std::sin(lat1);
  return 3437.0 * std::acos(std::clamp(c, -1.0, 1.0));
}

double RhumbLineBearing(const CPosition& from, const CPosition& to) {
  constexpr double q = 0.7853981635;
  const double lat1 = from.GetLatitude();
  const double lon1 = from.GetLongitude();
  const double lat2 = to.GetLatitude();
  const double lon2 = to.GetLongitude();
  // Adding 0.0 turns a difference of -0 (towards 0° W) into +0, which would otherwise swing
  // due north round to 359.99999998.
  const double dLon = (lon2 * kRad - lon1 * kRad) + 0.0;
  const double c = std::atan2(dLon, std::log(std::tan(lat1 * kRad * 0.5 + q) / std::tan(lat2 * kRad * 0.5 + q))) / kRad;
  if (!std::isfinite(c)) return 0.0;  // a pole: no rhumb line
  const double bearing = c < 0.0 ? std::fabs(c) + 180.0 : 180.0 - c;
  return bearing >= 360.0 ? bearing - 360.0 : bearing;
}

namespace {

// Minutes with a fixed number of decimals, zero-padded to a width; independent of the locale.
std::string FormatMinutes(double minutes, int decimals, int width) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, minutes, std::chars_format::fixed, decimals).ptr;
  std::string result(text, end);
  if (static_cast<int>(result.size()) < width) result.insert(0, width - result.size(), '0');
  return result;
}

// "%02d°<minutes> <hemisphere>", the minutes with the user's decimal separator (the text is
// only shown). A minute value that rounds up to 60 in the text moves into the degrees, so
// 49°59.9996 reads 50°0.000 rather than 49°60.000.
std::string FormatAngle(int degrees, double minutes, bool positive, int decimals, int width, char positiveLetter,
                        char negativeLetter) {
  std::string text = FormatMinutes(minutes, decimals, width);
  double shown = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), shown);
  if (shown >= 60.0) {
    ++degrees;
    text = FormatMinutes(0.0, decimals, width);
  }
  if (const size_t dot = text.find('.'); dot != std::string::npos)
    text.replace(dot, 1, AfxGetLocaleValues().decimalSeparator.GetStdString());
  char head[32];
  std::snprintf(head, sizeof head, "%02d", degrees);
  return std::string(head) + "\u00B0" + text + ' ' + (positive ? positiveLetter : negativeLetter);
}

}  // namespace

CString CPosition::FormatLatitude() const {
  return FormatAngle(m_latDegrees, m_latMinutes, m_latHemisphere != 0, 3, 0, 'N', 'S');
}

CString CPosition::FormatLongitude() const {
  return FormatAngle(m_lonDegrees, m_lonMinutes, m_lonHemisphere != 0, 3, 0, 'E', 'W');
}

CString CPosition::FormatLatitudeShort() const {
  return FormatAngle(m_latDegrees, m_latMinutes, m_latHemisphere != 0, 0, 2, 'N', 'S');
}

CString CPosition::FormatLongitudeShort() const {
  return FormatAngle(m_lonDegrees, m_lonMinutes, m_lonHemisphere != 0, 0, 2, 'E', 'W');
}
