// The harmonics grid file and the extra data file: header, point lookup and interpolation.
#pragma once

#include "engine/Astronomy.h"

#include <array>
#include <cstdint>

namespace ebc {

struct GridHeader {
  int nrows = 0;
  int ncols = 0;
  double north = 0;  // latitude of row 1
  double west = 0;   // longitude of column 1
  double dLat = 0;   // row spacing, rows run southwards
  double dLong = 0;  // column spacing, columns run eastwards
  int nconst = 0;
  std::array<int, kConstituentCount> numbers{};  // constituent numbers in file order
  std::int64_t headerSize = 0;
  std::int64_t recordSize = 0;

  double east() const { return west + (ncols - 1) * dLong; }
  double south() const { return north - (nrows - 1) * dLat; }
};

// Constants of one point, in the header's constituent order (amplitudes and phases in degrees).
struct PointConstants {
  std::array<double, kConstituentCount> heightAmp{}, heightPhase{};
  std::array<double, kConstituentCount> uAmp{}, uPhase{};
  std::array<double, kConstituentCount> vAmp{}, vPhase{};
};

// The same constants as phasors, A cos g and A sin g: what the sums and the interpolation work
// in. Per quantity, in the header's constituent order.
struct PointPhasors {
  std::array<double, kConstituentCount> heightC{}, heightS{};
  std::array<double, kConstituentCount> uC{}, uS{};
  std::array<double, kConstituentCount> vC{}, vS{};

  // Block q of six: height C and S, then u's, then v's.
  double* block(int q) {
    std::array<double, kConstituentCount>* const blocks[6] = {&heightC, &heightS, &uC, &uS, &vC, &vS};
    return blocks[q]->data();
  }
};

// Availability flags of a point.
inline constexpr int kNoHeight = 1;
inline constexpr int kNoStream = 2;

struct GridCell {
  int column = 0;
  int row = 0;
};

// Result of a lookup: the constants and mean values the synthesis works from.
struct PointData {
  PointPhasors phasors;
  // A nearest point's amplitudes and phases as the file has them; an interpolated point's are
  // made from its phasors when first asked for (PointAmplitudes).
  PointConstants constants;
  bool constantsMade = false;
  double z0 = 0, u0 = 0, v0 = 0;
  int availability = 0;     // kNoHeight | kNoStream
  double gridLatitude = 0;  // nearest grid point
  double gridLongitude = 0;
};

struct LookupRequest {
  double latitude = 0;
  double longitude = 0;
  int mode = 0;  // 0 nearest grid point, otherwise interpolation
  const char* harmonicsPath = nullptr;
  const char* extraPath = nullptr;  // nullptr when no extra data file is set
};

// Reads and checks the header. 0 on success; 1 when the file cannot be opened or its header
// is unusable (constituent count or numbers outside 1-115, empty grid, spacing not positive,
// file shorter than the header says).
int ReadHarmonicsHeader(const char* path, GridHeader& header);

long long RoundHalfAway(double x);
GridCell PositionToGridCell(const GridHeader& header, double latitude, double longitude);
void GridCellToPosition(const GridHeader& header, int column, int row, double& latitude, double& longitude);

// 0, 3 (longitude outside the grid) or 4 (latitude outside the grid).
int CheckRange(const GridHeader& header, double latitude, double longitude);

// Fills `point` for the request. Statuses: 0, -1, -2, -3 (interpolation corners missing),
// 1, 3, 4, 5, 6, 7, 8, 12, 13. The grid position is filled once the range check passed.
int LoadGridPointConstants(const GridHeader& header, const LookupRequest& request, PointData& point);

// The point's amplitudes and phases (degrees) for its first `count` constituents.
const PointConstants& PointAmplitudes(PointData& point, int count);

// Reads the nearest point's record as the nearest-point lookup does (no extra data) and gives
// its availability flags. Statuses 0, 1, 3, 4, 5, 6, 7, 8.
int CheckGridPoint(const GridHeader& header, const char* harmonicsPath, double latitude, double longitude);

// Whether the extra data file can be opened (it is then kept open for the lookups).
bool OpenExtraFile(const char* path);

// Reads the 16 values of a grid point's extra data block with the position check.
// Statuses 0, 1, 5, 6, 7.
int ReadExtraBlock(const GridHeader& header, const char* extraPath, const GridCell& cell,
                   std::array<double, 16>& block);

// Extra value rule for Z0, U0 and V0: below -999999 means no value.
inline double ExtraValue(double v) { return v < -999999.0 ? 0.0 : v; }

}  // namespace ebc
