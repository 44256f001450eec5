#include "engine/Grid.h"

#include "engine/Angles.h"

#include "engine/Message.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

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
    if (fd_ >= 0 && path_ == path && Same(now, identity_)) {
      unsettled_ = Unsettled(now);
      return true;
    }
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
    ++generation_;
    unsettled_ = Unsettled(opened);
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
  // Changes whenever another file, or the same one changed, is opened.
  std::uint64_t generation() const { return generation_; }
  // Whether the file changed so lately that a change to come could leave its size and times as
  // they are (many file systems keep times to a tick or a second or two): what was read from it
  // must then be compared with what it holds now.
  bool unsettled() const { return unsettled_; }

  // The file's bytes at `offset` where all of them are mapped, else nullptr.
  const unsigned char* mapped(std::int64_t offset, std::size_t bytes) const {
    if (!map_ || offset < 0 || static_cast<std::uint64_t>(offset) > mapSize_ ||
        bytes > mapSize_ - static_cast<std::size_t>(offset))
      return nullptr;
    return map_ + offset;
  }

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
  static bool Unsettled(const struct stat& st) {
    constexpr time_t kSettleSeconds = 3;
    struct timespec now {};
    if (::clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0) return true;
    return st.st_ctim.tv_sec >= now.tv_sec - kSettleSeconds;
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
  std::uint64_t generation_ = 0;
  bool unsettled_ = true;
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

std::int64_t RecordIndex(const GridHeader& h, const GridCell& cell) {
  return (static_cast<std::int64_t>(cell.row) - 1) * h.ncols + (cell.column - 1);
}

std::int64_t RecordOffset(const GridHeader& h, const GridCell& cell) {
  return h.headerSize + RecordIndex(h, cell) * h.recordSize;
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

bool PositionHolds(const GridHeader& h, const GridCell& cell, const double position[2],
                   const RecordMessages& messages) {
  double lat = 0, lon = 0;
  GridCellToPosition(h, cell.column, cell.row, lat, lon);
  if (!Within(position[0], lat, 0.1 * h.dLat)) {
    ShowMessageBox(messages.latitudeCheck);
    return false;
  }
  if (!Within(position[1], lon, 0.1 * h.dLong)) {
    ShowMessageBox(messages.longitudeCheck);
    return false;
  }
  return true;
}

std::size_t RecordDoubles(const GridHeader& h) { return 2 + 6 * static_cast<std::size_t>(h.nconst); }

// A record's constants (after its position) into amplitudes and phases.
void SplitRecord(const double* values, int count, PointConstants& out) {
  for (int i = 0; i < count; ++i) {
    const double* v = values + 6 * i;
    out.heightAmp[i] = v[0];
    out.heightPhase[i] = v[1];
    out.uAmp[i] = v[2];
    out.uPhase[i] = v[3];
    out.vAmp[i] = v[4];
    out.vPhase[i] = v[5];
  }
}

// `raw`, when given, receives the whole record as read.
int ReadRecord(DataFile& file, const GridHeader& h, const GridCell& cell, bool checkPosition,
               const RecordMessages& messages, PointConstants& out, double* raw = nullptr) {
  // One read of the whole record; a short one fails where reading it in parts would.
  double record[2 + 6 * kConstituentCount];
  const std::size_t bytes = sizeof(double) * RecordDoubles(h);
  const std::int64_t got = file.readAt(RecordOffset(h, cell), record, bytes);
  if (got < 0) {
    ShowMessageBox("Error in fseek()");
    return 5;
  }
  if (got < static_cast<std::int64_t>(2 * sizeof(double))) {
    ShowMessageBox(messages.readPosition);
    return 6;
  }
  if (checkPosition && !PositionHolds(h, cell, record, messages)) return 7;
  if (got < static_cast<std::int64_t>(bytes)) {
    ShowMessageBox(messages.readConstants);
    return 6;
  }
  SplitRecord(record + 2, h.nconst, out);
  if (raw) std::memcpy(raw, record, bytes);
  return 0;
}

int Availability(const PointConstants& c) {
  int flags = 0;
  if (c.heightAmp[0] < 0) flags |= kNoHeight;
  if (c.uAmp[0] < 0 || c.vAmp[0] < 0) flags |= kNoStream;
  return flags;
}

// Records turned into phasors, kept from one call to the next: the turning is most of an
// interpolation's work, and the chart asks for the same cells again and again. One slot per
// record index modulo the slot count. The slots are emptied when the file is opened anew (it was
// replaced or changed) or the header's layout changes. Each keeps the record as it was read: while
// the file is unsettled, a slot is used only if the file still holds those bytes.
class RecordCache {
 public:
  struct Slot {
    std::int64_t index = -1;
    int availability = 0;
  };

  void use(std::uint64_t generation, const GridHeader& h) {
    if (values_ && generation == generation_ && h.headerSize == headerSize_ && h.recordSize == recordSize_ &&
        h.ncols == ncols_)
      return;
    generation_ = generation;
    headerSize_ = h.headerSize;
    recordSize_ = h.recordSize;
    ncols_ = h.ncols;
    rawStride_ = RecordDoubles(h);
    stride_ = 6 * static_cast<std::size_t>(h.nconst);
    const std::size_t perSlot = (rawStride_ + stride_) * sizeof(double);
    const std::size_t slots = std::clamp<std::size_t>(kBudgetBytes / perSlot, 1, kMaxSlots);
    // Pages are touched as slots are used, not here.
    values_ = std::make_unique_for_overwrite<double[]>(slots * (rawStride_ + stride_));
    meta_.assign(slots, Slot{});
  }

  std::size_t slotOf(std::int64_t index) const { return static_cast<std::size_t>(index) % meta_.size(); }
  Slot& slot(std::size_t s) { return meta_[s]; }
  // The record as read, then its phasors.
  double* raw(std::size_t s) { return values_.get() + s * (rawStride_ + stride_); }
  double* values(std::size_t s) { return raw(s) + rawStride_; }

 private:
  static constexpr std::size_t kBudgetBytes = 8u << 20;
  static constexpr std::size_t kMaxSlots = 4096;

  std::uint64_t generation_ = 0;
  std::int64_t headerSize_ = 0, recordSize_ = 0;
  int ncols_ = 0;
  std::size_t rawStride_ = 0, stride_ = 0;
  std::unique_ptr<double[]> values_;
  std::vector<Slot> meta_;
};

RecordCache& Cache() {
  static RecordCache cache;
  return cache;
}

// Six blocks of `count` values: height C and S, then u's, then v's.
void MakePhasors(const PointConstants& k, int count, double* out) {
  auto split = [&](int q, const auto& amp, const auto& phase) {
    double* c = out + (2 * q) * count;
    double* s = out + (2 * q + 1) * count;
    for (int i = 0; i < count; ++i) {
      const double g = phase[i] * kDegToRad;
      c[i] = amp[i] * std::cos(g);
      s[i] = amp[i] * std::sin(g);
    }
  };
  split(0, k.heightAmp, k.heightPhase);
  split(1, k.uAmp, k.uPhase);
  split(2, k.vAmp, k.vPhase);
}

// A record's phasors and availability flags, as ReadRecord reads and checks it; statuses as
// ReadRecord's. From the cache, or into `scratch` when given. `amplitudes`, when given,
// receives the record's own amplitudes and phases.
int ReadPhasors(DataFile& file, const GridHeader& h, const GridCell& cell, bool checkPosition,
                const RecordMessages& messages, double* scratch, const double*& values, int& availability,
                PointConstants* amplitudes = nullptr) {
  static PointConstants read;  // one engine state, calls never overlap
  PointConstants& polar = amplitudes ? *amplitudes : read;
  if (scratch) {
    const int status = ReadRecord(file, h, cell, checkPosition, messages, polar);
    if (status != 0) return status;
    MakePhasors(polar, h.nconst, scratch);
    values = scratch;
    availability = Availability(polar);
    return 0;
  }
  RecordCache& cache = Cache();
  cache.use(file.generation(), h);
  const std::int64_t index = RecordIndex(h, cell);
  const std::size_t s = cache.slotOf(index);
  RecordCache::Slot& slot = cache.slot(s);
  const std::size_t bytes = sizeof(double) * RecordDoubles(h);
  const unsigned char* now = file.mapped(RecordOffset(h, cell), bytes);
  if (now && slot.index == index && (!file.unsettled() || std::memcmp(now, cache.raw(s), bytes) == 0)) {
    const double* record = cache.raw(s);
    if (checkPosition && !PositionHolds(h, cell, record, messages)) return 7;
    if (amplitudes) SplitRecord(record + 2, h.nconst, *amplitudes);
  } else {
    slot.index = -1;
    const int status = ReadRecord(file, h, cell, checkPosition, messages, polar, cache.raw(s));
    if (status != 0) return status;
    MakePhasors(polar, h.nconst, cache.values(s));
    slot.availability = Availability(polar);
    // What is not mapped is read afresh each time.
    if (now) slot.index = index;
  }
  values = cache.values(s);
  availability = slot.availability;
  return 0;
}

// Every phasor value of the result from the corners' (nw, ne, sw, se) by one rule.
template <class Rule>
void CombineAll(int count, const double* const corners[4], PointPhasors& out, Rule rule) {
  for (int q = 0; q < 6; ++q) {
    const std::size_t at = static_cast<std::size_t>(q) * static_cast<std::size_t>(count);
    const double* __restrict nw = corners[0] + at;
    const double* __restrict ne = corners[1] + at;
    const double* __restrict sw = corners[2] + at;
    const double* __restrict se = corners[3] + at;
    double* __restrict o = out.block(q);
    for (int i = 0; i < count; ++i) o[i] = rule(nw[i], ne[i], sw[i], se[i]);
  }
}

// The rule for the corners present: a mask digit is set for each one missing.
void CombineCorners(int mask, double fx, double fy, int count, const double* const c[4], PointPhasors& out) {
  constexpr double third = 0.3333333333333333;
  typedef double D;
  switch (mask) {
    case 0:
      return CombineAll(count, c, out, [=](D nw, D ne, D sw, D se) {
        return (1 - fy) * ((1 - fx) * nw + fx * ne) + fy * ((1 - fx) * sw + fx * se);
      });
    case 1000: return CombineAll(count, c, out, [](D, D ne, D sw, D se) { return (ne + sw + se) * third; });
    case 100: return CombineAll(count, c, out, [](D nw, D, D sw, D se) { return (nw + sw + se) * third; });
    case 10: return CombineAll(count, c, out, [](D nw, D ne, D, D se) { return (nw + ne + se) * third; });
    case 1: return CombineAll(count, c, out, [](D nw, D ne, D sw, D) { return (nw + ne + sw) * third; });
    case 11: return CombineAll(count, c, out, [=](D nw, D ne, D, D) { return (1 - fx) * nw + fx * ne; });
    case 1100: return CombineAll(count, c, out, [=](D, D, D sw, D se) { return (1 - fx) * sw + fx * se; });
    case 101: return CombineAll(count, c, out, [=](D nw, D, D sw, D) { return (1 - fy) * nw + fy * sw; });
    case 1010: return CombineAll(count, c, out, [=](D, D ne, D, D se) { return (1 - fy) * ne + fy * se; });
    case 110: return CombineAll(count, c, out, [](D nw, D, D, D se) { return (nw + se) * 0.5; });
    case 1001: return CombineAll(count, c, out, [](D, D ne, D sw, D) { return (ne + sw) * 0.5; });
    case 1110: return CombineAll(count, c, out, [](D, D, D, D se) { return se; });
    case 1101: return CombineAll(count, c, out, [](D, D, D sw, D) { return sw; });
    case 1011: return CombineAll(count, c, out, [](D, D ne, D, D) { return ne; });
    case 111: return CombineAll(count, c, out, [](D nw, D, D, D) { return nw; });
    default: return CombineAll(count, c, out, [](D, D, D, D) { return 0.0; });
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
                       double nearestLat, double nearestLon, PointPhasors& result) {
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
  // Two corners that share a cache slot would overwrite each other: those cells are read
  // past the cache.
  RecordCache& cache = Cache();
  cache.use(file.generation(), h);
  bool shared = false;
  for (int k = 0; k < 4; ++k)
    for (int j = 0; j < k; ++j) {
      const std::int64_t a = RecordIndex(h, cells[k]), b = RecordIndex(h, cells[j]);
      if (a != b && cache.slotOf(a) == cache.slotOf(b)) shared = true;
    }
  static double scratch[4][6 * kConstituentCount];  // one engine state, calls never overlap
  static const double zeros[6 * kConstituentCount] = {};
  const double* corner[4] = {zeros, zeros, zeros, zeros};
  int mask = 0;
  for (int k = 0; k < 4; ++k) {
    const bool isNearest = cells[k].column == nearest.column && cells[k].row == nearest.row;
    const double* values = nullptr;
    int availability = 0;
    const int status =
        ReadPhasors(file, h, cells[k], isNearest, kCornerMessages, shared ? scratch[k] : nullptr, values, availability);
    if (status != 0) return status;
    if (availability != 0) {
      if (isNearest) return 12;
      mask += maskBits[k];
    } else {
      corner[k] = values;
    }
  }

  double northLat = 0, westLon = 0;
  GridCellToPosition(h, c0, r0, northLat, westLon);
  double fy = (northLat - request.latitude) / h.dLat;
  double fx = (request.longitude - westLon) / h.dLong;
  if (fyIsOne) fy = 1.0;
  if (fxIsOne) fx = 1.0;
  if (!(fx >= 0.0 && fx <= 1.0) || !(fy >= 0.0 && fy <= 1.0)) return 13;

  CombineCorners(mask, fx, fy, h.nconst, corner, result);
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

  point.constantsMade = false;
  if (request.mode == 0) {
    const double* values = nullptr;
    const int status =
        ReadPhasors(file, h, nearest, true, kNearestMessages, nullptr, values, point.availability, &point.constants);
    if (status != 0) return status;
    point.constantsMade = true;
    const std::size_t n = static_cast<std::size_t>(h.nconst);
    for (int q = 0; q < 6; ++q)
      std::memcpy(point.phasors.block(q), values + static_cast<std::size_t>(q) * n, n * sizeof(double));
    if (point.availability == (kNoHeight | kNoStream)) return 8;
    return 0;
  }

  const int status =
      InterpolateCorners(file, h, request, nearest, point.gridLatitude, point.gridLongitude, point.phasors);
  // Every corner that entered the result had height and stream data.
  if (status <= 0) point.availability = 0;
  return status;
}

const PointConstants& PointAmplitudes(PointData& point, int count) {
  if (point.constantsMade) return point.constants;
  auto polar = [&](const auto& c, const auto& s, auto& amp, auto& phase) {
    for (int i = 0; i < count; ++i) {
      amp[i] = std::sqrt(c[i] * c[i] + s[i] * s[i]);
      phase[i] = std::atan2(s[i], c[i]) * kRadToDeg;
    }
  };
  const PointPhasors& p = point.phasors;
  PointConstants& k = point.constants;
  polar(p.heightC, p.heightS, k.heightAmp, k.heightPhase);
  polar(p.uC, p.uS, k.uAmp, k.uPhase);
  polar(p.vC, p.vS, k.vAmp, k.vPhase);
  point.constantsMade = true;
  return k;
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
