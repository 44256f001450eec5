// "routes.dat": the user's routes, in the per-user folder.
//
// Archive layout, little-endian: int32 route count; per route int32 waypoint count, archive
// string name, float64 speed in knots, six int32 start fields (year, month, day, hour, minute,
// second); per waypoint float64 latitude, float64 longitude, int32 reserved (0), archive string
// name. The file is the user's own work: a route whose speed, start or counts cannot be
// right is left out, as is a waypoint off the earth; a file not wholly good, or larger than the
// program carries, is kept aside (routes.dat.bad) before the program can write over it; saving
// goes through a temporary file.
#pragma once

#include "chart/MapRoute.h"

#include <memory>
#include <vector>

struct ROUTES_LOAD {
  enum Status {
    missing = 0,     // no file: no routes
    ok = 1,          // every route read
    damaged = 2,     // the good routes read; the file was kept aside
    unreadable = 3,  // nothing read; the file was kept aside (or could not be, see bBlocked)
  };
  int status = missing;
  int nDeclared = 0;        // the route count the file gives
  int nRead = 0;            // routes returned
  int nSkippedRoutes = 0;   // complete routes left out for a bad speed, start or name
  int nSkippedPoints = 0;   // waypoints left out for a position off the earth
  BOOL bTruncated = FALSE;  // the file ends inside a route (or has bytes after the last)
  BOOL bTooLarge = FALSE;   // more than the program carries: the routes that fit were read
  CString strMovedTo;
  BOOL bBlocked = FALSE;  // there but neither readable nor movable: do not replace it
  CString strProblem;     // for the user; empty when ok or missing
};

using CMapRouteList = std::vector<std::unique_ptr<CMapRoute>>;

class CRoutesFile {
 public:
  // No one plans more: a count beyond these is not a routes file.
  static constexpr int kMaxRoutes = 10000;
  static constexpr int kMaxPoints = 100000;
  static constexpr int kMaxNameBytes = 1024;
  // What the program carries: each waypoint is a tree item as well, and more than this take
  // a second or more to read (and keep the program as long at its end).
  static constexpr int kMaxTotalPoints = 100000;
  static constexpr ULONGLONG kMaxFileBytes = 16ull * 1024 * 1024;
  static constexpr int kFirstYear = 1900;
  static constexpr int kLastYear = 9999;

  // "routes.dat" in the per-user data folder; empty when that folder cannot be made.
  static CString GetDefaultPath();

  // A route the program may keep: a speed the route page accepts, a real calendar start.
  static BOOL IsValidSpeed(double knots);
  static BOOL IsValidStart(const CQsDateTime& start);
  static BOOL IsValidPosition(double latitude, double longitude);

  // Reads routes from a file's bytes; never throws. Each route read has its times computed.
  static int Parse(const BYTE* pData, size_t nSize, CMapRouteList& routes, ROUTES_LOAD* pInfo = nullptr);
  static std::vector<BYTE> Format(const std::vector<const CMapRoute*>& routes);

  // Reads the file; one not wholly good is moved aside and its good routes returned.
  static ROUTES_LOAD Load(LPCTSTR lpszPath, CMapRouteList& routes);
  // Writes through a temporary file renamed over the old one; FALSE with a message for the
  // user when it could not be written (the old file is then untouched).
  static BOOL Save(LPCTSTR lpszPath, const std::vector<const CMapRoute*>& routes, CString* pstrProblem = nullptr);
};
