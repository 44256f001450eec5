// Degrees to radians in the model. Each method keeps the factor its own formulas are given with,
// so its results stay those of the method; only new code takes the exact one.
#pragma once

#include <numbers>

namespace angles {

// pi / 180 to double precision.
constexpr double kDegToRad = std::numbers::pi / 180.0;
// The tide prediction's method, with its value of pi, 3.1415926539 (the angles it adds up run to
// thousands of degrees a day, so its results follow this factor to the last digit).
constexpr double kTideDegToRad = 0.017453292521666667;
// The sunrise and the Moon's phases: the published algorithms' ten-digit factor.
constexpr double kAlmanacDegToRad = 0.0174532925;
// Navigation (great-circle distance, rhumb lines, moving a position) and the chart's arrows.
constexpr double kNavDegToRad = 0.017453292522222223;

}  // namespace angles
