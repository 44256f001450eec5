// Harmonic sums for heights and stream components.
#pragma once

#include "engine/Astronomy.h"
#include "engine/Grid.h"

#include <array>
#include <vector>

namespace ebc {

// Hours after 00:00 of the date.
double HoursOfDay(int hour, int minute, int second);

// The sums at `hours` after 00:00 of the day, each quantity asked for: the height is Z0 plus
// the datum offset plus the sum of f H cos(w t + (V0 + u - g)) over the header's constituents;
// u and v likewise from U0 and V0.
void SumAt(const GridHeader& header, const PointData& point, const DayTable& day, double hours, double datumOffset,
           bool heights, bool streams, double& height, double& u, double& v);

void ApplyPressureCorrection(double& height, double pressure);

void SpeedAndDirection(double u, double v, double& speed, double& direction);

// The series loop runs four doubles wide where the processor has AVX. Tests switch it off to
// cover the narrow loop too; returns the previous setting.
bool UseWideSeriesLoop(bool wide);

// Evaluates the same sums at equally spaced times without a cosine per term and step: each
// constituent's phasor (cos w t, sin w t) is rotated by its speed times the step.
class SeriesSynthesizer {
 public:
  // Takes the point's constants and the step, once per series.
  void prepare(const GridHeader& header, const PointData& point, double stepHours, bool heights, bool streams);
  // Starts a day: its astronomy, and the phasors at `hours` after 00:00.
  void startDay(const DayTable& day, double hours);
  // The sums at the current time (without the extra-data means); then moves one step on.
  void next(double* height, double* u, double* v);

 private:
  // Two doubles fill an SSE2 register; blocks go in pairs for two independent sums.
  static constexpr int kLanes = 2;
  typedef double Lanes __attribute__((vector_size(kLanes * sizeof(double))));

  int n_ = 0;
  int blocks_ = 0;  // constituents in groups of kLanes, an even count, padded with zeros
  bool heights_ = false, streams_ = false;
  std::array<int, kConstituentCount> numbers_{};
  // The point's A cos g and A sin g of each quantity, per constituent.
  PointPhasors k_{};
  // Per block: the day's f A cos(V0 + u - g) and f A sin(V0 + u - g) of each quantity, the
  // phasor and its rotation per step.
  std::vector<Lanes> hc_, hs_, uc_, us_, vc_, vs_, c_, s_, rc_, rs_;
};

}  // namespace ebc
