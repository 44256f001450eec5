// Degrees and radians in the engine. Two precisions, each kept on purpose:
// - The grid's phase interpolation and the harmonic synthesis use the method's own nine-digit
//   factor: the engine's predictions are defined with it, and a more exact factor would change
//   them in their last digits.
// - The astronomy (the daily V0, u and f) uses the factor to full double precision. Its value is
//   three units in the last place from the double nearest pi/180; it stays as it is so that the
//   daily tables the engine computes stay bit-identical.
#pragma once

namespace ebc {

constexpr double kTableDegToRad = 0.017453292;
constexpr double kTableRadToDeg = 57.29577951;

constexpr double kAstroDegToRad = 0.017453292519943306;
constexpr double kAstroRadToDeg = 57.29577951308229;

}  // namespace ebc
