#include "chart/RoutesFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "model/UserFile.h"

namespace {

void WriteRoutes(CArchive& ar, const std::vector<const CMapRoute*>& routes) {
  ar << static_cast<int>(routes.size());
  for (const CMapRoute* r : routes) const_cast<CMapRoute*>(r)->Serialize(ar);
}

// Reads the file's bytes in the archive's layout; every read says whether the bytes were there.
struct Cursor {
  const BYTE* p;
  size_t size;
  size_t at = 0;
  size_t Left() const { return size - at; }
  bool Bytes(void* out, size_t n) {
    if (n > Left()) return false;
    if (n) std::memcpy(out, p + at, n);
    at += n;
    return true;
  }
  bool Int(int& v) {
    BYTE b[4];
    if (!Bytes(b, 4)) return false;
    v = static_cast<int>(static_cast<unsigned>(b[0]) | (static_cast<unsigned>(b[1]) << 8) |
                         (static_cast<unsigned>(b[2]) << 16) | (static_cast<unsigned>(b[3]) << 24));
    return true;
  }
  bool Double(double& v) {
    BYTE b[8];
    if (!Bytes(b, 8)) return false;
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[i];
    std::memcpy(&v, &u, 8);
    return true;
  }
  // An archive string: 1-byte length, or 0xFF and a 16-bit one, or 0xFFFF and a 32-bit one.
  // A wide string (0xFFFE marker) is not something this program writes: refused.
  bool String(CString& s) {
    BYTE b = 0;
    if (!Bytes(&b, 1)) return false;
    size_t n = b;
    if (b == 0xFF) {
      BYTE w[2];
      if (!Bytes(w, 2)) return false;
      n = static_cast<size_t>(w[0] | (w[1] << 8));
      if (n == 0xFFFE) return false;
      if (n == 0xFFFF) {
        int d = 0;
        if (!Int(d)) return false;
        n = static_cast<unsigned>(d);
      }
    }
    if (n > static_cast<size_t>(CRoutesFile::kMaxNameBytes) || n > Left()) return false;
    std::string text(reinterpret_cast<const char*>(p + at), n);
    at += n;
    s = CString(std::move(text));
    return true;
  }
};

// One route, checked. False when the bytes end or a count cannot be right (reading stops);
// a route whose values cannot be right is consumed and left out (route stays null).
bool ReadRoute(Cursor& c, std::unique_ptr<CMapRoute>& route, ROUTES_LOAD& info) {
  route.reset();
  int count = 0;
  CString name;
  double speed = 0.0;
  int f[6] = {};
  if (!c.Int(count) || !c.String(name) || !c.Double(speed)) return false;
  for (int& v : f)
    if (!c.Int(v)) return false;
  // Every waypoint takes at least 21 bytes: a count the rest cannot hold is a broken file.
  if (count < 0 || count > CRoutesFile::kMaxPoints || static_cast<size_t>(count) * 21 > c.Left()) return false;
  auto r = std::make_unique<CMapRoute>();
  r->SetName(name);
  r->SetSpeed(speed);
  CQsDateTime start;
  start.SetDateTime(f[0], f[1], f[2], f[3], f[4], f[5]);
  // SetDateTime turns years 0-99 into 1950-2049; the file's year must be one as it stands.
  const bool good =
      CRoutesFile::IsValidSpeed(speed) && f[0] >= CRoutesFile::kFirstYear && CRoutesFile::IsValidStart(start);
  r->SetStart(start);
  int skipped = 0;
  for (int i = 0; i < count; ++i) {
    double lat = 0.0, lon = 0.0;
    int reserved = 0;
    CString pointName;
    if (!c.Double(lat) || !c.Double(lon) || !c.Int(reserved) || !c.String(pointName)) return false;
    if (CRoutesFile::IsValidPosition(lat, lon))
      r->AppendPoint(lat, lon, pointName);
    else
      ++skipped;
  }
  info.nSkippedPoints += skipped;
  if (!good) {
    ++info.nSkippedRoutes;
    return true;
  }
  r->CalcPointTimes();
  route = std::move(r);
  return true;
}

int ParseRead(const BYTE* p, size_t size, size_t fileSize, CMapRouteList& routes, ROUTES_LOAD* pInfo) {
  ROUTES_LOAD info;
  routes.clear();
  if (!p) size = 0;
  fileSize = std::max(fileSize, size);
  Cursor c{p, size};
  int declared = 0;
  if (!c.Int(declared)) {
    info.status = ROUTES_LOAD::unreadable;
    info.bTruncated = TRUE;
    info.strProblem = "The routes file is too short to hold any routes.";
  } else if (declared < 0 || declared > CRoutesFile::kMaxRoutes) {
    info.nDeclared = declared;
    info.status = ROUTES_LOAD::unreadable;
    info.strProblem =
        "The routes file gives " + AfxCountOf(declared, "route", "routes") + ", which no routes file holds.";
  } else {
    info.nDeclared = declared;
    bool stopped = false;
    // The program carries so many waypoints (each is a tree item too): a file beyond that
    // gives the routes that fit, and is kept aside whole.
    bool tooMuch = false;
    long long points = 0;
    for (int i = 0; i < declared; ++i) {
      int count = 0;
      if (c.Left() >= 4) {
        const size_t at = c.at;
        c.Int(count);
        c.at = at;
        if (count > 0 && points + count > CRoutesFile::kMaxTotalPoints) {
          tooMuch = true;
          break;
        }
        points += std::max(count, 0);
      }
      std::unique_ptr<CMapRoute> r;
      if (!ReadRoute(c, r, info)) {
        stopped = true;
        break;
      }
      if (r) routes.push_back(std::move(r));
    }
    // Bytes beyond what was read: the rest of a file too large to read whole.
    if (fileSize > size) tooMuch = true;
    info.bTruncated = stopped || c.at != fileSize;
    info.bTooLarge = tooMuch;
    if (!info.bTruncated && info.nSkippedRoutes == 0 && info.nSkippedPoints == 0) {
      info.status = ROUTES_LOAD::ok;
    } else if (routes.empty() && info.nSkippedRoutes == 0 && declared > 0) {
      info.status = ROUTES_LOAD::unreadable;
      info.strProblem = "The routes file is damaged: no route could be read from it.";
    } else {
      info.status = ROUTES_LOAD::damaged;
      CString s;
      if (tooMuch)
        s.Format(
            "The routes file holds more than Neapwise can carry (%d waypoints in all, in %d MiB): "
            "the first %d of its %s were read.",
            CRoutesFile::kMaxTotalPoints, static_cast<int>(CRoutesFile::kMaxFileBytes >> 20),
            static_cast<int>(routes.size()), AfxCountOf(declared, "route", "routes").GetString());
      else if (info.bTruncated)
        s.Format("The routes file is damaged: %d of its %s could be read.", static_cast<int>(routes.size()),
                 AfxCountOf(declared, "route", "routes").GetString());
      else
        s = "The routes file holds values no route can have.";
      if (info.nSkippedRoutes > 0) {
        CString more;
        more = " " + AfxCountOf(info.nSkippedRoutes, "route", "routes") + " with an impossible speed or start " +
               (info.nSkippedRoutes == 1 ? "was" : "were") + " left out.";
        s += more;
      }
      if (info.nSkippedPoints > 0) {
        CString more;
        more = " " + AfxCountOf(info.nSkippedPoints, "waypoint", "waypoints") + " with an impossible position " +
               (info.nSkippedPoints == 1 ? "was" : "were") + " left out.";
        s += more;
      }
      info.strProblem = s;
    }
  }
  info.nRead = static_cast<int>(routes.size());
  if (pInfo) *pInfo = info;
  return info.status;
}

}  // namespace

CString CRoutesFile::GetDefaultPath() {
  // No folder of the user's: no file (never one beside the program or in the working folder).
  const CString folder = AfxGetUserDataFolder();
  return folder.IsEmpty() ? CString() : AfxAppendPath(folder, "routes.dat");
}

BOOL CRoutesFile::IsValidSpeed(double knots) {
  return std::isfinite(knots) && knots >= CMapRoute::kMinSpeed && knots <= CMapRoute::kMaxSpeed;
}

BOOL CRoutesFile::IsValidStart(const CQsDateTime& t) {
  return t.GetYear() >= kFirstYear && t.GetYear() <= kLastYear && t.GetMonth() >= 1 && t.GetMonth() <= 12 &&
         t.GetDay() >= 1 && t.GetDay() <= DaysInMonth(t.GetMonth(), t.GetYear()) && t.GetHour() >= 0 &&
         t.GetHour() <= 23 && t.GetMinute() >= 0 && t.GetMinute() <= 59 && t.GetSecond() >= 0 && t.GetSecond() <= 59;
}

BOOL CRoutesFile::IsValidPosition(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
         std::fabs(longitude) <= 180.0;
}

int CRoutesFile::Parse(const BYTE* pData, size_t nSize, CMapRouteList& routes, ROUTES_LOAD* pInfo) {
  return ParseRead(pData, nSize, nSize, routes, pInfo);
}

std::vector<BYTE> CRoutesFile::Format(const std::vector<const CMapRoute*>& routes) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteRoutes(ar, routes);
    ar.Close();
  }
  return std::vector<BYTE>(file.GetData(), file.GetData() + file.GetLength());
}

ROUTES_LOAD CRoutesFile::Load(LPCTSTR lpszPath, CMapRouteList& routes) {
  ROUTES_LOAD info;
  routes.clear();
  const USERFILE_READ file = AfxReadUserFile(lpszPath, kMaxFileBytes, "The routes file");
  if (file.result == USERFILE_READ::missing) return info;
  if (file.result == USERFILE_READ::failed) {
    info.status = ROUTES_LOAD::unreadable;
    info.strProblem = file.strProblem;
  } else {
    ParseRead(file.bytes.data(), file.bytes.size(), static_cast<size_t>(file.nLength), routes, &info);
  }
  if (info.status == ROUTES_LOAD::damaged || info.status == ROUTES_LOAD::unreadable)
    info.bBlocked = !AfxKeepUserFileAside(lpszPath, info.strProblem, info.strMovedTo);
  return info;
}

BOOL CRoutesFile::Save(LPCTSTR lpszPath, const std::vector<const CMapRoute*>& routes, CString* pstrProblem) {
  return AfxSaveUserFile(
      lpszPath, [&](CArchive& ar) { WriteRoutes(ar, routes); }, "The routes", pstrProblem);
}
