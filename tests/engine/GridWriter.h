// Writes small harmonics grid files and extra data files in the engine's binary layout, so
// that tests build exactly the grid they need. Header-only; needs nothing but the standard
// library. Rows and columns count from 1, row 1 is the north edge and column 1 the west edge.
//
//   ebc::fixture::GridGeometry g{3, 4, 50.0, -2.0, 0.5, 0.5};     // rows, cols, north, west, dLat, dLong
//   ebc::fixture::HarmonicsGridWriter grid(g, {31, 36});            // constituents M2, S2
//   grid.setAllPoints({{31, 1.5, 120.0, 0.4, 30.0, 0.2, 300.0}});   // S2 keeps amplitude 0
//   grid.setMissing(2, 3);                                          // no height, no stream
//   grid.write(dir.file("grid.dat"));
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace ebc::fixture {

struct GridGeometry {
  int rows = 1;
  int cols = 1;
  double north = 0;  // latitude of row 1
  double west = 0;   // longitude of column 1
  double dLat = 1;
  double dLong = 1;

  double latitude(int row) const { return north - (row - 1) * dLat; }
  double longitude(int col) const { return west + (col - 1) * dLong; }
};

// One constituent at one point: amplitudes and phases (degrees) of height, U (east) and V (north).
struct ConstituentValues {
  int number = 0;
  double heightAmp = 0, heightPhase = 0;
  double uAmp = 0, uPhase = 0;
  double vAmp = 0, vPhase = 0;
};

inline void PutInt32(std::vector<unsigned char>& bytes, std::size_t offset, std::int32_t v) {
  if (bytes.size() < offset + 4) bytes.resize(offset + 4);
  std::memcpy(bytes.data() + offset, &v, 4);
}

inline void PutDouble(std::vector<unsigned char>& bytes, std::size_t offset, double v) {
  if (bytes.size() < offset + 8) bytes.resize(offset + 8);
  std::memcpy(bytes.data() + offset, &v, 8);
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

class HarmonicsGridWriter {
 public:
  // Every point starts present with all amplitudes 0 and at its true position.
  HarmonicsGridWriter(const GridGeometry& geometry, std::vector<int> constituents)
      : g_(geometry), numbers_(std::move(constituents)), points_(static_cast<std::size_t>(g_.rows) * g_.cols) {
    for (int r = 1; r <= g_.rows; ++r) {
      for (int c = 1; c <= g_.cols; ++c) {
        Point& p = at(r, c);
        p.lat = g_.latitude(r);
        p.lon = g_.longitude(c);
        p.values.assign(numbers_.size() * 6, 0.0);
      }
    }
  }

  const GridGeometry& geometry() const { return g_; }
  const std::vector<int>& constituents() const { return numbers_; }

  // Sets the listed constituents of a point (numbers not in the header are ignored); the
  // others keep their values.
  void setPoint(int row, int col, const std::vector<ConstituentValues>& values) {
    Point& p = at(row, col);
    for (const ConstituentValues& v : values) {
      for (std::size_t i = 0; i < numbers_.size(); ++i) {
        if (numbers_[i] != v.number) continue;
        double* d = p.values.data() + 6 * i;
        d[0] = v.heightAmp;
        d[1] = v.heightPhase;
        d[2] = v.uAmp;
        d[3] = v.uPhase;
        d[4] = v.vAmp;
        d[5] = v.vPhase;
      }
    }
  }

  void setAllPoints(const std::vector<ConstituentValues>& values) {
    for (int r = 1; r <= g_.rows; ++r)
      for (int c = 1; c <= g_.cols; ++c) setPoint(r, c, values);
  }

  // Negative amplitudes mark absent data.
  void setMissing(int row, int col) { markAbsent(row, col, true, true); }
  void setNoHeight(int row, int col) { markAbsent(row, col, true, false); }
  void setNoStream(int row, int col) { markAbsent(row, col, false, true); }

  // The position written into the record (the engine checks it against the grid).
  void setStoredPosition(int row, int col, double lat, double lon) {
    at(row, col).lat = lat;
    at(row, col).lon = lon;
  }

  std::size_t headerSize() const { return 44 + 4 * numbers_.size(); }
  std::size_t recordSize() const { return 16 + 48 * numbers_.size(); }
  std::size_t recordOffset(int row, int col) const {
    return headerSize() + (static_cast<std::size_t>(row - 1) * g_.cols + (col - 1)) * recordSize();
  }

  std::vector<unsigned char> bytes() const {
    std::vector<unsigned char> b;
    b.reserve(headerSize() + points_.size() * recordSize());
    PutInt32(b, 0, g_.rows);
    PutInt32(b, 4, g_.cols);
    PutDouble(b, 8, g_.north);
    PutDouble(b, 16, g_.west);
    PutDouble(b, 24, g_.dLat);
    PutDouble(b, 32, g_.dLong);
    PutInt32(b, 40, static_cast<std::int32_t>(numbers_.size()));
    for (std::size_t i = 0; i < numbers_.size(); ++i) PutInt32(b, 44 + 4 * i, numbers_[i]);
    for (int r = 1; r <= g_.rows; ++r) {
      for (int c = 1; c <= g_.cols; ++c) {
        const Point& p = points_[index(r, c)];
        std::size_t o = recordOffset(r, c);
        PutDouble(b, o, p.lat);
        PutDouble(b, o + 8, p.lon);
        for (std::size_t k = 0; k < p.values.size(); ++k) PutDouble(b, o + 16 + 8 * k, p.values[k]);
      }
    }
    return b;
  }

  void write(const std::filesystem::path& path) const { WriteBytes(path, bytes()); }

 private:
  struct Point {
    double lat = 0, lon = 0;
    std::vector<double> values;  // 6 per constituent
  };

  std::size_t index(int row, int col) const {
    if (row < 1 || row > g_.rows || col < 1 || col > g_.cols) throw std::out_of_range("grid point outside the grid");
    return static_cast<std::size_t>(row - 1) * g_.cols + (col - 1);
  }
  Point& at(int row, int col) { return points_[index(row, col)]; }

  void markAbsent(int row, int col, bool height, bool stream) {
    Point& p = at(row, col);
    for (std::size_t i = 0; i < numbers_.size(); ++i) {
      double* d = p.values.data() + 6 * i;
      if (height) d[0] = -1.0;
      if (stream) {
        d[2] = -1.0;
        d[4] = -1.0;
      }
    }
  }

  GridGeometry g_;
  std::vector<int> numbers_;
  std::vector<Point> points_;
};

// Extra data file: one block of 16 doubles per grid point; the block of (row, col) starts at
// ((row - 1) * cols + col) * 128, so the first 128 bytes are unused. [0] latitude, [1] longitude,
// [2] Z0, [3] U0, [4] V0, [5]-[15] free. Every block starts at its true position, zeros elsewhere.
class ExtraDataWriter {
 public:
  explicit ExtraDataWriter(const GridGeometry& geometry)
      : g_(geometry), blocks_(static_cast<std::size_t>(g_.rows) * g_.cols * 16 + 16, 0.0) {
    for (int r = 1; r <= g_.rows; ++r) {
      for (int c = 1; c <= g_.cols; ++c) {
        block(r, c)[0] = g_.latitude(r);
        block(r, c)[1] = g_.longitude(c);
      }
    }
  }

  void setMeans(int row, int col, double z0, double u0, double v0) {
    block(row, col)[2] = z0;
    block(row, col)[3] = u0;
    block(row, col)[4] = v0;
  }
  void setAllMeans(double z0, double u0, double v0) {
    for (int r = 1; r <= g_.rows; ++r)
      for (int c = 1; c <= g_.cols; ++c) setMeans(r, c, z0, u0, v0);
  }
  void setValue(int row, int col, int index, double value) {
    if (index < 0 || index > 15) throw std::out_of_range("extra data index");
    block(row, col)[index] = value;
  }
  void setStoredPosition(int row, int col, double lat, double lon) {
    block(row, col)[0] = lat;
    block(row, col)[1] = lon;
  }

  std::vector<unsigned char> bytes() const {
    std::vector<unsigned char> b(blocks_.size() * 8);
    std::memcpy(b.data(), blocks_.data(), b.size());
    return b;
  }
  void write(const std::filesystem::path& path) const { WriteBytes(path, bytes()); }

 private:
  double* block(int row, int col) {
    if (row < 1 || row > g_.rows || col < 1 || col > g_.cols) throw std::out_of_range("grid point outside the grid");
    return blocks_.data() + ((static_cast<std::size_t>(row) - 1) * g_.cols + col) * 16;
  }

  GridGeometry g_;
  std::vector<double> blocks_;
};

// A fresh folder under the system temporary folder, removed with its contents at the end.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      auto candidate = base / ("ebc-test-" + std::to_string(rd()) + std::to_string(attempt));
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("cannot create a temporary folder");
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path file(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace ebc::fixture
