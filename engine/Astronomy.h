// Astronomical arguments, equilibrium arguments V0, nodal corrections f and u, and speeds of the
// engine's 115 tidal constituents. Usable on its own (no files, no global state) by data
// generators: ComputeDay() gives every constituent's values at 00:00 UT of a date.
#pragma once

#include <array>
#include <cmath>

namespace ebc {

inline constexpr int kConstituentCount = 115;

// Constituents the interface refers to by number.
inline constexpr int kM2 = 31;
inline constexpr int kS2 = 36;
inline constexpr int kO1 = 10;
inline constexpr int kK1 = 17;

// Mean longitudes at 00:00 of a date, degrees in [0, 360).
struct AstronomicalArguments {
  double s = 0;       // Moon
  double h = 0;       // Sun
  double p = 0;       // lunar perigee
  double N = 0;       // Moon's ascending node
  double pSolar = 0;  // solar perigee (p')
};

// One day's table. Arrays are indexed by constituent number, 1 to 115; index 0 is unused.
struct DayTable {
  int dayOfYear = 0;  // 0: nothing computed yet
  int year = 0;
  std::array<double, kConstituentCount + 1> V0{};     // degrees, [0, 360)
  std::array<double, kConstituentCount + 1> f{};      // nodal factor
  std::array<double, kConstituentCount + 1> u{};      // degrees, [0, 360)
  std::array<double, kConstituentCount + 1> speed{};  // radians per hour
  std::array<bool, kConstituentCount + 1> ready{};    // constituents PrepareDay has filled for the day

  // V0 + u at 00:00 of the date, degrees in [0, 360).
  double equilibriumPlusNodal(int number) const;
};

// Speed of a constituent in degrees per hour (0 for a number outside 1-115).
double ConstituentSpeedDegrees(int number);

// Brings a value into [0, modulus). Inline: every day's table wraps some 230 values.
inline double WrapDegrees(double value, double modulus = 360.0) {
  if (value >= 0 && value < modulus) return value;
  double r;
  if (std::fabs(value) < 1e12 * modulus) {
    // value - k * modulus is exact here (k * modulus is, and the two are within a factor
    // of two), so this equals repeated subtraction; k may be off by one from the division.
    // k is the floor of the quotient, taken through a whole number (the quotient is far
    // below 2^63), which is exact and needs no library call.
    const double q = value / modulus;
    double k = static_cast<double>(static_cast<long long>(q));
    if (k > q) k -= 1;
    r = value - k * modulus;
    if (r < 0)
      r = value - (k - 1) * modulus;
    else if (r >= modulus)
      r = value - (k + 1) * modulus;
  } else {
    r = std::fmod(value, modulus);
  }
  if (r < 0) r += modulus;
  if (r >= modulus) r -= modulus;
  return r;
}

// Julian centuries from J2000.0 (2000-01-01 12:00) to 00:00 of the given day of the year.
double JulianCenturies(int year, int dayOfYear);

// Delta T (TT - UT) in seconds used for the arguments of a year.
double DeltaTSeconds(int year);

AstronomicalArguments ComputeAstronomicalArguments(int year, int dayOfYear);
void InitConstituentSpeeds(DayTable& table);

// Fills the table for the day unless it already holds that day and year.
void PrepareDay(DayTable& table, int dayOfYear, int year);
// As PrepareDay, for the given constituents only (numbers outside 1-115 are passed over): a
// prediction needs only its data file's. Each value is the one the whole table holds.
void PrepareDay(DayTable& table, int dayOfYear, int year, const int* numbers, int count);

// The whole table for a calendar date, computed afresh.
DayTable ComputeDay(int day, int month, int year);

}  // namespace ebc
