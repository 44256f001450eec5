#include "chart/Coastline.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
std::int32_t Int32At(const unsigned char* p) {
  std::uint32_t v =
      (std::uint32_t)p[0] | (std::uint32_t)p[1] << 8 | (std::uint32_t)p[2] << 16 | (std::uint32_t)p[3] << 24;
  return (std::int32_t)v;
}
std::int16_t Int16At(const unsigned char* p) { return (std::int16_t)(std::uint16_t)(p[0] | p[1] << 8); }
}  // namespace

void CCoastline::Empty() {
  std::vector<COASTNODE*>().swap(m_polygons);
  m_pool.FreeAll();
  m_nNodes = 0;
}

CCoastline::Result CCoastline::ReadFile(LPCTSTR lpszPath, CString& rError) {
  Empty();
  std::ifstream in(lpszPath, std::ios::binary);
  if (!in) {
    rError.Format("The coastline file %s could not be opened.", lpszPath);
    return readMissing;
  }
  // One read of the whole file; a stream that can't tell its size is read as it comes.
  std::vector<unsigned char> bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size >= 0 && in) {
    bytes.resize((std::size_t)size);
    if (size > 0) {
      in.read(reinterpret_cast<char*>(bytes.data()), size);
      bytes.resize((std::size_t)in.gcount());  // a file cut short while it was read
    }
  } else {
    in.clear();
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (in.bad()) {
    rError.Format("The coastline file %s could not be read.", lpszPath);
    return readMissing;
  }
  const Result r = Read(bytes.data(), bytes.size(), rError);
  if (r != readOk) rError = CString("The coastline file ") + lpszPath + " " + rError;
  return r;
}

CCoastline::Result CCoastline::Read(const unsigned char* pData, std::size_t nSize, CString& rError) {
  Empty();
  // Every point takes the next node, so a pool of one node per 8 bytes never overflows.
  const std::size_t capacity = nSize / kPointSize + 1;
  auto* pool = static_cast<COASTNODE*>(m_pool.Alloc(capacity * sizeof(COASTNODE)));
  if (!pool) {
    rError = "is too large to be read into memory.";
    return readMissing;
  }
  std::size_t used = 0, pos = 0;
  // The first polygon of a file wraps at 270 degrees east, every later one at 180.
  std::int32_t threshold = 270000000;
  while (nSize - pos >= (std::size_t)kHeaderSize) {
    const unsigned char* h = pData + pos;
    const std::int32_t n = Int32At(h + 4);
    const std::int32_t west = Int32At(h + 12), east = Int32At(h + 16);
    const std::int16_t greenwich = Int16At(h + 32);
    pos += kHeaderSize;
    // A count no file of this length could hold is corruption, not a file cut short: refuse
    // the whole file rather than keep part of something that was never a coastline.
    if (n < 0 || (std::size_t)n > nSize / kPointSize) {
      Empty();
      rError.Format("is damaged (a coastline of %d points at byte %zu) and cannot be shown.", (int)n,
                    pos - kHeaderSize);
      return readCorrupt;
    }
    const std::size_t bytes = (std::size_t)n * kPointSize;
    if (bytes > nSize - pos) {
      m_nNodes = (int)used;
      rError = "ends part-way through a coastline; only the coastlines before it are shown.";
      return readTruncated;
    }
    if (east * 1e-6 > west * 1e-6) {
      COASTNODE* head = n > 0 ? pool + used : nullptr;
      for (std::int32_t i = 0; i < n; ++i) {
        const unsigned char* p = pData + pos + (std::size_t)i * kPointSize;
        const std::int32_t x = Int32At(p), y = Int32At(p + 4);
        COASTNODE& node = pool[used++];
        node.latitude = y * 1e-6;
        node.longitude = x * 1e-6;
        if (greenwich != 0 && x > threshold) node.longitude -= 360.0;
        if (node.longitude > 180.0) node.longitude -= 360.0;
        node.next = i + 1 < n ? &node + 1 : nullptr;
      }
      m_polygons.push_back(head);
    }
    pos += bytes;
    threshold = 180000000;
  }
  m_nNodes = (int)used;
  return readOk;
}
