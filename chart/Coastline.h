// A region's coastline: polygons of latitude/longitude nodes read from a coastline file (36-byte
// polygon headers, each followed by its points as int32 longitude and latitude in micro-degrees,
// little-endian). The nodes live in one pool; the polygons are the heads of their chains.
#pragma once

#include "model/BigMemoryManager.h"
#include "platform/core/AfxString.h"

#include <cstddef>
#include <vector>

struct COASTNODE {
  double latitude;
  double longitude;
  COASTNODE* next;
};

class CCoastline {
 public:
  // What a read gave.
  enum Result {
    readOk = 0,
    readMissing,    // the file could not be opened or read
    readTruncated,  // a polygon's points run past the end: the polygons before it are kept
    readCorrupt,    // a point count no file of this length can hold: nothing is kept
  };
  static constexpr int kHeaderSize = 36;
  static constexpr int kPointSize = 8;

  CCoastline() = default;
  ~CCoastline() = default;
  CCoastline(const CCoastline&) = delete;
  CCoastline& operator=(const CCoastline&) = delete;

  // Replaces the coastline by the file's. The reason of anything but readOk goes to rError.
  Result ReadFile(LPCTSTR lpszPath, CString& rError);
  Result Read(const unsigned char* pData, std::size_t nSize, CString& rError);
  // Empties the polygon array and frees the node pool together.
  void Empty();

  int GetPolygonCount() const { return (int)m_polygons.size(); }
  // The head of polygon i (null for an empty polygon).
  const COASTNODE* GetPolygon(int i) const { return m_polygons[(std::size_t)i]; }
  int GetPointCount() const { return m_nNodes; }
  BOOL IsEmpty() const { return m_polygons.empty(); }

 private:
  CBigMemoryManager m_pool;
  std::vector<COASTNODE*> m_polygons;
  int m_nNodes = 0;
};
