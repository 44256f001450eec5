// The routes file ("routes.dat"): the input is the file as the routes tree finds it at start-up.
// Every route handed on must have a speed, start and waypoints a route can have; a file not
// wholly good must be kept aside byte for byte; the routes read must save and read back alike.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "chart/RoutesFile.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "routes file: %s\n", what);
  std::abort();
}

bool Same(const CMapRouteList& a, const CMapRouteList& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const CMapRoute& x = *a[i];
    const CMapRoute& y = *b[i];
    if (x.GetName() != y.GetName() || x.GetSpeed() != y.GetSpeed() || !(x.GetStart() == y.GetStart())) return false;
    const CRoutePoint* p = x.GetFirstPoint();
    const CRoutePoint* q = y.GetFirstPoint();
    for (; p && q; p = p->GetNext(), q = q->GetNext())
      if (p->GetName() != q->GetName() || p->GetLatitude() != q->GetLatitude() ||
          p->GetLongitude() != q->GetLongitude() || !(p->GetTime() == q->GetTime()))
        return false;
    if (p || q) return false;
  }
  return true;
}

std::vector<const CMapRoute*> View(const CMapRouteList& routes) {
  std::vector<const CMapRoute*> v;
  for (const auto& r : routes) v.push_back(r.get());
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static neapwise_fuzz::Scratch scratch("routes_file");
  scratch.clear();
  const std::string path = scratch.write("routes.dat", data, size);
  if (path.empty()) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);

  CMapRouteList parsed;
  ROUTES_LOAD parseInfo;
  CRoutesFile::Parse(data, size, parsed, &parseInfo);

  CMapRouteList routes;
  const ROUTES_LOAD info = CRoutesFile::Load(CString(path.c_str()), routes);
  if (!Same(routes, parsed) || info.status != parseInfo.status) Fail("reading the file and reading its bytes differ");
  if (static_cast<int>(routes.size()) != info.nRead || routes.size() > static_cast<size_t>(CRoutesFile::kMaxRoutes))
    Fail("the route count is wrong");
  for (const auto& r : routes) {
    if (!CRoutesFile::IsValidSpeed(r->GetSpeed()) || !CRoutesFile::IsValidStart(r->GetStart()))
      Fail("a route with an impossible speed or start was handed on");
    const CRoutePoint* prev = nullptr;
    for (const CRoutePoint* p = r->GetFirstPoint(); p; prev = p, p = p->GetNext()) {
      if (!CRoutesFile::IsValidPosition(p->GetLatitude(), p->GetLongitude()) || p->GetPrev() != prev ||
          p->IsSelected() || p->GetRoute() != r.get())
        Fail("a waypoint is off the earth, badly linked or selected");
    }
    if (r->GetLastPoint() != prev) Fail("the route's last waypoint is not its last");
  }

  if (const char* wrong =
          neapwise_fuzz::KeptAsideProblem(info.status == ROUTES_LOAD::ok || info.status == ROUTES_LOAD::missing,
                                          info.strMovedTo.GetStdString(), info.strProblem.GetStdString(), input))
    Fail(wrong);

  CString problem;
  if (!CRoutesFile::Save(CString(path.c_str()), View(routes), &problem))
    Fail("the routes could not be saved in the scratch folder");
  CMapRouteList again;
  const ROUTES_LOAD second = CRoutesFile::Load(CString(path.c_str()), again);
  if (second.status != ROUTES_LOAD::ok || !Same(again, routes)) Fail("the saved routes do not read back as they were");
  if (info.status != ROUTES_LOAD::ok) {
    std::string still;
    if (!neapwise_fuzz::ReadFile(info.strMovedTo.GetStdString(), still) || still != input)
      Fail("saving touched the kept file");
  }
  return 0;
}
