#include "engine/Grid.h"

#include "engine/Angles.h"

#include "engine/Message.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>

static_assert(std::endian::native == std::endian::little, "the data files are little-endian and are read as they lie");

namespace ebc {

namespace {

constexpr double kDegToRad = kTableDegToRad;
constexpr double kRadToDeg = kTableRadToDeg;
constexpr std::int64_t kFixedHeaderSize = 44;
constexpr std::int64_t kExtraBlockSize = 16 * 8;

// A data file kept open and mapped from one call to the next. Every use looks at the path
// again: a file replaced there (another device or inode) or changed in place (another size or
// time) is opened and mapped anew, and one gone fails as a file that cannot be opened. Pages are
// read from the mapping as records are asked for; the file is never read whole. What cannot be
// mapped (a pipe, an empty file) is read at offsets from the open file.
class DataFile {
 public:
  DataFile() = default;
  ~DataFile() { close(); }
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  // False when the path names no file that can be opened for reading.
  bool open(const char* path) {
    struct stat now {};
    if (!path || ::stat(path, &now) != 0) {
      close();
      return false;
    }
    if (fd_ >= 0 && path_ == path && Same(now, identity_)) return true;
    close();
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
      ::close(fd);
      return false;
    }
    fd_ = fd;
    path_ = path;
    identity_ = opened;
    if (S_ISREG(opened.st_mode) && opened.st_size > 0) {
      void* map = ::mmap(nullptr, static_cast<std::size_t>(opened.st_size), PROT_READ, MAP_SHARED, fd, 0);
      if (map != MAP_FAILED) {
        map_ = static_cast<const unsigned char*>(map);
        mapSize_ = static_cast<std::size_t>(opened.st_size);
      }
    }
    return true;
  }

  std::int64_t size() const { return static_cast<std::int64_t>(identity_.st_size); }

  // How many of `bytes` could be read at `offset` (fewer at the end of the file); -1 when the
  // file cannot be read at an offset (a pipe) or the offset is one no file has.
  std::int64_t readAt(std::int64_t offset, void* buffer, std::size_t bytes) {
    if (offset < 0) return -1;
    if (map_) {
      if (static_cast<std::uint64_t>(offset) >= mapSize_) return 0;
      const std::size_t left = mapSize_ - static_cast<std::size_t>(offset);
      const std::size_t n = bytes < left ? bytes : left;
      std::memcpy(buffer, map_ + offset, n);
      return static_cast<std::int64_t>(n);
    }
    std::size_t done = 0;
    while (done < bytes) {
      const ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, bytes - done,
                                static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == ESPIPE) return -1;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
  }

 private:
  static bool Same(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
  }
  void close() {
    if (map_) ::munmap(const_cast<unsigned char*>(map_), mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    path_.clear();
  }

  int fd_ = -1;
  const unsigned char* map_ = nullptr;
  std::size_t mapSize_ = 0;
  std::string path_;
  struct stat identity_ {};
};

// The engine has one state and its calls never overlap: one kept file for each kind.
DataFile& HarmonicsFile() {
  static DataFile file;
  return file;
}

DataFile& ExtraFile() {
  static DataFile file;
  return file;
}

bool Within(double stored, double expected, double tolerance) {
  // Written so that a NaN in the file fails the check.
  return std::fabs(stored - expected) <= tolerance;
}

std::int64_t RecordOffset(const GridHeader& h, const GridCell& cell) {
  return h.headerSize + ((static_cast<std::int64_t>(cell.row) - 1) * h.ncols + (cell.column - 1)) * h.recordSize;
}

struct RecordMessages {
  const char* readPosition;
  const char* latitudeCheck;  // nullptr: position not checked
  const char* longitudeCheck;
  const char* readConstants;
};

constexpr RecordMessages kNearestMessages = {
    "Error in fread() of data record - A",
    "Problem with the lat,lng calculation or data read - A",
    "Problem with the lat,lng calculation or data read - B",
    "Error in fread() of data record - B",
};

constexpr RecordMessages kCornerMessages = {
    "Error in fread() of data record - C",
    "Problem with the lat,lng calculation or data read - C",
    "Problem with the lat,lng calculation or data read - D",
    "Error in fread() of data record - D",
};

int ReadRecord(DataFile& file, const GridHeader& h, const GridCell& cell, bool checkPosition,
               const RecordMessages& messages, PointConstants& out) {
  // One read of the whole record; a short one fails where reading it in parts would.
  double record[2 + 6 * kConstituentCount];
  const std::size_t bytes = sizeof(double) * (2 + 6 * static_cast<std::size_t>(h.nconst));
  const std::int64_t got = file.readAt(RecordOffset(h, cell), record, bytes);
  if (got < 0) {
    ShowMessageBox("Error in fseek()");
    return 5;
  }
  if (got < static_cast<std::int64_t>(2 * sizeof(double))) {
    ShowMessageBox(messages.readPosition);
    return 6;
  }
  const double* position = record;
  if (checkPosition) {
    double lat = 0, lon = 0;
    GridCellToPosition(h, cell.column, cell.row, lat, lon);
    if (!Within(position[0], lat, 0.1 * h.dLat)) {
      ShowMessageBox(messages.latitudeCheck);
      return 7;
    }
    if (!Within(position[1], lon, 0.1 * h.dLong)) {
      ShowMessageBox(messages.longitudeCheck);
      return 7;
    }
  }
  if (got < static_cast<std::int64_t>(bytes)) {
    ShowMessageBox(messages.readConstants);
    return 6;
  }
  const double* values = record + 2;
  for (int i = 0; i < h.nconst; ++i) {
    const double* v = values + 6 * i;
    out.heightAmp[i] = v[0];
    out.heightPhase[i] = v[1];
    out.uAmp[i] = v[2];
    out.uPhase[i] = v[3];
    out.vAmp[i] = v[4];
    out.vPhase[i] = v[5];
  }
  return 0;
}

int Availability(const PointConstants& c) {
  int flags = 0;
  if (c.heightAmp[0] < 0) flags |= kNoHeight;
  if (c.uAmp[0] < 0 || c.vAmp[0] < 0) flags |= kNoStream;
  return flags;
}

// One value (a C or S component) of each corner of the cell.
struct Corners {
  double nw, ne, sw, se;
};

double Combine(int mask, double fx, double fy, const Corners& c) {
  constexpr double third = 0.3333333333333333;
  switch (mask) {
    case 0: return (1 - fy) * ((1 - fx) * c.nw + fx * c.ne) + fy * ((1 - fx) * c.sw + fx * c.se);
    case 1000: return (c.ne + c.sw + c.se) * third;
    case 100: return (c.nw + c.sw + c.se) * third;
    case 10: return (c.nw + c.ne + c.se) * third;
    case 1: return (c.nw + c.ne + c.sw) * third;
    case 11: return (1 - fx) * c.nw + fx * c.ne;
    case 1100: return (1 - fx) * c.sw + fx * c.se;
    case 101: return (1 - fy) * c.nw + fy * c.sw;
    case 1010: return (1 - fy) * c.ne + fy * c.se;
    case 110: return (c.nw + c.se) * 0.5;
    case 1001: return (c.ne + c.sw) * 0.5;
    case 1110: return c.se;
    case 1101: return c.sw;
    case 1011: return c.ne;
    case 111: return c.nw;
    default: return 0;
  }
}

int MaskStatus(int mask) {
  switch (mask) {
    case 0: return 0;
    case 1000:
    case 100:
    case 10:
    case 1: return -1;
    case 1110:
    case 1101:
    case 1011:
    case 111: return -3;
    default: return -2;
  }
}

int InterpolateCorners(DataFile& file, const GridHeader& h, const LookupRequest& request, const GridCell& nearest,
                       double nearestLat, double nearestLon, PointConstants& result) {
  // The cell: the grid points around the request, one of them the nearest.
  int c0 = nearest.column, c1 = nearest.column + 1;
  int r0 = nearest.row, r1 = nearest.row + 1;
  if (request.longitude < nearestLon) {
    c0 = nearest.column - 1;
    c1 = nearest.column;
  }
  if (request.latitude > nearestLat) {
    r0 = nearest.row - 1;
    r1 = nearest.row;
  }
  // On the east or south edge the request lies on the last column or row: use the cell
  // inside the grid, which has the request on its far side (fraction exactly 1). A grid one
  // point wide uses that point twice with weight 0 on the second.
  bool fxIsOne = false, fyIsOne = false;
  if (c1 > h.ncols) {
    if (h.ncols >= 2) {
      c0 = h.ncols - 1;
      c1 = h.ncols;
      fxIsOne = true;
    } else {
      c1 = c0;
    }
  }
  if (r1 > h.nrows) {
    if (h.nrows >= 2) {
      r0 = h.nrows - 1;
      r1 = h.nrows;
      fyIsOne = true;
    } else {
      r1 = r0;
    }
  }
  if (c0 < 1) {
    c0 = 1;
    c1 = h.ncols >= 2 ? 2 : 1;
  }
  if (r0 < 1) {
    r0 = 1;
    r1 = h.nrows >= 2 ? 2 : 1;
  }

  const GridCell cells[4] = {{c0, r0}, {c1, r0}, {c0, r1}, {c1, r1}};
  constexpr int maskBits[4] = {1000, 100, 10, 1};
  static PointConstants corner[4];  // one engine state, calls never overlap
  int mask = 0;
  bool present[4] = {};
  for (int k = 0; k < 4; ++k) {
    const bool isNearest = cells[k].column == nearest.column && cells[k].row == nearest.row;
    const int status = ReadRecord(file, h, cells[k], isNearest, kCornerMessages, corner[k]);
    if (status != 0) return status;
    if (Availability(corner[k]) != 0) {
      if (isNearest) return 12;
      mask += maskBits[k];
    } else {
      present[k] = true;
    }
  }

  double northLat = 0, westLon = 0;
  GridCellToPosition(h, c0, r0, northLat, westLon);
  double fy = (northLat - request.latitude) / h.dLat;
  double fx = (request.longitude - westLon) / h.dLong;
  if (fyIsOne) fy = 1.0;
  if (fxIsOne) fx = 1.0;
  if (!(fx >= 0.0 && fx <= 1.0) || !(fy >= 0.0 && fy <= 1.0)) return 13;

  auto combinePair = [&](int i, auto amp, auto phase, double& outAmp, double& outPhase) {
    Corners cs{}, ss{};
    double* cp[4] = {&cs.nw, &cs.ne, &cs.sw, &cs.se};
    double* sp[4] = {&ss.nw, &ss.ne, &ss.sw, &ss.se};
    for (int k = 0; k < 4; ++k) {
      if (!present[k]) continue;
      const double a = (corner[k].*amp)[i];
      const double g = (corner[k].*phase)[i] * kDegToRad;
      *cp[k] = a * std::cos(g);
      *sp[k] = a * std::sin(g);
    }
    const double C = Combine(mask, fx, fy, cs);
    const double S = Combine(mask, fx, fy, ss);
    outAmp = std::sqrt(C * C + S * S);
    outPhase = std::atan2(S, C) * kRadToDeg;
  };
  for (int i = 0; i < h.nconst; ++i) {
    combinePair(i, &PointConstants::heightAmp, &PointConstants::heightPhase, result.heightAmp[i],
                result.heightPhase[i]);
    combinePair(i, &PointConstants::uAmp, &PointConstants::uPhase, result.uAmp[i], result.uPhase[i]);
    combinePair(i, &PointConstants::vAmp, &PointConstants::vPhase, result.vAmp[i], result.vPhase[i]);
  }
  return MaskStatus(mask);
}

}  // namespace

int ReadHarmonicsHeader(const char* path, GridHeader& header) {
  DataFile& file = HarmonicsFile();
  if (!file.open(path)) return 1;

  // The longest header there can be, in one read.
  unsigned char fixed[kFixedHeaderSize + 4 * kConstituentCount];
  const std::int64_t got = file.readAt(0, fixed, sizeof fixed);
  if (got < kFixedHeaderSize) return 1;
  GridHeader h;
  std::memcpy(&h.nrows, fixed + 0, 4);
  std::memcpy(&h.ncols, fixed + 4, 4);
  std::memcpy(&h.north, fixed + 8, 8);
  std::memcpy(&h.west, fixed + 16, 8);
  std::memcpy(&h.dLat, fixed + 24, 8);
  std::memcpy(&h.dLong, fixed + 32, 8);
  std::memcpy(&h.nconst, fixed + 40, 4);

  if (h.nrows < 1 || h.ncols < 1 || h.nconst < 1 || h.nconst > kConstituentCount) return 1;
  if (!std::isfinite(h.north) || !std::isfinite(h.west) || !std::isfinite(h.dLat) || !std::isfinite(h.dLong) ||
      !(h.dLat > 0) || !(h.dLong > 0))
    return 1;
  std::int32_t numbers[kConstituentCount];
  if (got < kFixedHeaderSize + 4 * static_cast<std::int64_t>(h.nconst)) return 1;
  std::memcpy(numbers, fixed + kFixedHeaderSize, sizeof(std::int32_t) * static_cast<std::size_t>(h.nconst));
  for (int i = 0; i < h.nconst; ++i) {
    if (numbers[i] < 1 || numbers[i] > kConstituentCount) return 1;
    h.numbers[i] = numbers[i];
  }
  h.headerSize = kFixedHeaderSize + 4 * static_cast<std::int64_t>(h.nconst);
  h.recordSize = 16 + 48 * static_cast<std::int64_t>(h.nconst);

  // Every record the header promises must be there (the product cannot overflow: both
  // factors are below 2^31).
  const std::int64_t size = file.size();
  if (size < h.headerSize) return 1;
  const std::int64_t points = static_cast<std::int64_t>(h.nrows) * h.ncols;
  if ((size - h.headerSize) / h.recordSize < points) return 1;

  header = h;
  return 0;
}

long long RoundHalfAway(double x) {
  const double r = x >= 0 ? x + 0.5 : x - 0.5;
  // Callers pass values inside the grid; keep anything else defined.
  if (!(r > -9.0e18 && r < 9.0e18)) return 0;
  return static_cast<long long>(r);
}

GridCell PositionToGridCell(const GridHeader& h, double latitude, double longitude) {
  long long column = RoundHalfAway((longitude - h.west) / h.dLong + 1);
  long long row = RoundHalfAway((h.north - latitude) / h.dLat + 1);
  column = column < 1 ? 1 : (column > h.ncols ? h.ncols : column);
  row = row < 1 ? 1 : (row > h.nrows ? h.nrows : row);
  return {static_cast<int>(column), static_cast<int>(row)};
}

void GridCellToPosition(const GridHeader& h, int column, int row, double& latitude, double& longitude) {
  latitude = h.north - (row - 1) * h.dLat;
  longitude = h.west + (column - 1) * h.dLong;
}

int CheckRange(const GridHeader& h, double latitude, double longitude) {
  if (!(longitude >= h.west && longitude <= h.east())) return 3;
  if (!(latitude <= h.north && latitude >= h.south())) return 4;
  return 0;
}

bool OpenExtraFile(const char* path) { return ExtraFile().open(path); }

int ReadExtraBlock(const GridHeader& h, const char* extraPath, const GridCell& cell, std::array<double, 16>& block) {
  DataFile& file = ExtraFile();
  if (!file.open(extraPath)) return 1;
  const std::int64_t offset = ((static_cast<std::int64_t>(cell.row) - 1) * h.ncols + cell.column) * kExtraBlockSize;
  const std::int64_t got = file.readAt(offset, block.data(), sizeof(double) * block.size());
  if (got < 0) {
    ShowMessageBox("Error in fseek() of Extra Data Set");
    return 5;
  }
  if (got < static_cast<std::int64_t>(sizeof(double) * block.size())) {
    ShowMessageBox("Error in fread() of Extra Data.");
    return 6;
  }
  double lat = 0, lon = 0;
  GridCellToPosition(h, cell.column, cell.row, lat, lon);
  if (!Within(block[0], lat, 0.1 * h.dLat) || !Within(block[1], lon, 0.1 * h.dLong)) {
    ShowMessageBox("Problem with the lat,lng calculation or extra data read");
    return 7;
  }
  return 0;
}

int LoadGridPointConstants(const GridHeader& h, const LookupRequest& request, PointData& point) {
  const int range = CheckRange(h, request.latitude, request.longitude);
  if (range != 0) return range;

  const GridCell nearest = PositionToGridCell(h, request.latitude, request.longitude);
  GridCellToPosition(h, nearest.column, nearest.row, point.gridLatitude, point.gridLongitude);

  point.z0 = point.u0 = point.v0 = 0;
  if (request.extraPath) {
    std::array<double, 16> block{};
    const int status = ReadExtraBlock(h, request.extraPath, nearest, block);
    if (status != 0) return status;
    point.z0 = ExtraValue(block[2]);
    point.u0 = ExtraValue(block[3]);
    point.v0 = ExtraValue(block[4]);
  }

  DataFile& file = HarmonicsFile();
  if (!file.open(request.harmonicsPath)) {
    ShowMessageBox("Harmonics data file missing");
    return 1;
  }

  if (request.mode == 0) {
    const int status = ReadRecord(file, h, nearest, true, kNearestMessages, point.constants);
    if (status != 0) return status;
    point.availability = Availability(point.constants);
    if (point.availability == (kNoHeight | kNoStream)) return 8;
    return 0;
  }

  const int status =
      InterpolateCorners(file, h, request, nearest, point.gridLatitude, point.gridLongitude, point.constants);
  // Every corner that entered the result had height and stream data.
  if (status <= 0) point.availability = 0;
  return status;
}

int CheckGridPoint(const GridHeader& h, const char* harmonicsPath, double latitude, double longitude) {
  const int range = CheckRange(h, latitude, longitude);
  if (range != 0) return range;
  const GridCell cell = PositionToGridCell(h, latitude, longitude);
  DataFile& file = HarmonicsFile();
  if (!file.open(harmonicsPath)) {
    ShowMessageBox("Harmonics data file missing");
    return 1;
  }
  static PointConstants constants;
  const int status = ReadRecord(file, h, cell, true, kNearestMessages, constants);
  if (status != 0) return status;
  return Availability(constants) == (kNoHeight | kNoStream) ? 8 : 0;
}

}  // namespace ebc
