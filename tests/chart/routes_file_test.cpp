// "routes.dat": what is saved reads back; hostile files give their good routes, are kept aside
// and never crash; a save that cannot be made says so and leaves the old file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "chart/RoutesFile.h"
#include "tests/platform/TestUtil.h"

namespace {

std::vector<const CMapRoute*> View(const CMapRouteList& list) {
  std::vector<const CMapRoute*> v;
  for (const auto& r : list) v.push_back(r.get());
  return v;
}

void PutInt(std::string& s, int v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF));
}
void PutDouble(std::string& s, double d) {
  char b[8];
  std::memcpy(b, &d, 8);
  s.append(b, 8);
}
void PutString(std::string& s, const std::string& t) {
  s.push_back(static_cast<char>(t.size()));
  s += t;
}
struct RawPoint {
  double lat, lon;
  std::string name;
};
void PutRoute(std::string& s, const std::string& name, double speed, const int start[6],
              const std::vector<RawPoint>& pts) {
  PutInt(s, static_cast<int>(pts.size()));
  PutString(s, name);
  PutDouble(s, speed);
  for (int i = 0; i < 6; ++i) PutInt(s, start[i]);
  for (const RawPoint& p : pts) {
    PutDouble(s, p.lat);
    PutDouble(s, p.lon);
    PutInt(s, 7);  // reserved, not a selection
    PutString(s, p.name);
  }
}

const int kGoodStart[6] = {2026, 6, 14, 9, 30, 0};
const std::vector<RawPoint> kTwoPoints = {{50.7, -1.3, "Cowes"}, {50.6, -1.9, "Poole"}};

TEST(RoutesFile, SavedRoutesReadBackWithTheirTimes) {
  TempDir dir;
  const CString path(dir.File("routes.dat").c_str());
  CMapRouteList routes;
  auto a = std::make_unique<CMapRoute>();
  a->SetName("Solent \xC2\xB0 run");
  a->SetSpeed(6.5);
  a->SetStart(CQsDateTime(2026, 6, 14, 23, 30, 0));
  a->AddPoint(50.77, -1.30);
  a->AddPoint(50.74, -1.10);
  a->GetFirstPoint()->SetName("Cowes");
  a->GetFirstPoint()->SetFlag(1);          // selection is not stored
  auto b = std::make_unique<CMapRoute>();  // empty, defaults
  routes.push_back(std::move(a));
  routes.push_back(std::move(b));
  CString problem;
  ASSERT_TRUE(CRoutesFile::Save(path, View(routes), &problem)) << problem.GetString();

  CMapRouteList back;
  const ROUTES_LOAD info = CRoutesFile::Load(path, back);
  ASSERT_EQ(info.status, ROUTES_LOAD::ok) << info.strProblem.GetString();
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]->GetName(), routes[0]->GetName());
  EXPECT_EQ(back[0]->GetSpeed(), 6.5);
  EXPECT_TRUE(back[0]->GetStart() == routes[0]->GetStart());
  const CRoutePoint* p = back[0]->GetFirstPoint();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetName(), CString("Cowes"));
  EXPECT_FALSE(p->IsSelected());
  EXPECT_EQ(p->GetLatitude(), 50.77);
  ASSERT_NE(p->GetNext(), nullptr);
  EXPECT_EQ(p->GetNext()->GetName(), CString("Point 2"));
  EXPECT_TRUE(p->GetNext()->GetTime() == routes[0]->GetLastPoint()->GetTime());
  EXPECT_TRUE(back[1]->IsEmpty());
  EXPECT_EQ(back[1]->GetName(), CString("New Route"));
  // The layout itself: route count, then the first route's point count and name.
  const std::string bytes = ReadBytes(path.GetStdString());
  ASSERT_GE(bytes.size(), 9u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x02\0\0\0\x02\0\0\0", 8));
  EXPECT_EQ(static_cast<unsigned char>(bytes[8]), routes[0]->GetName().GetLength());
}

TEST(RoutesFile, MissingFileIsNoRoutesAndNoMessage) {
  TempDir dir;
  CMapRouteList routes;
  const ROUTES_LOAD info = CRoutesFile::Load(CString(dir.File("routes.dat").c_str()), routes);
  EXPECT_EQ(info.status, ROUTES_LOAD::missing);
  EXPECT_TRUE(routes.empty());
  EXPECT_TRUE(info.strProblem.IsEmpty());
}

struct Hostile {
  const char* what;
  std::string bytes;
  int status;
  std::vector<std::string> kept;  // names of the routes read
};

std::vector<Hostile> HostileFiles() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<Hostile> out;
  auto file = [](std::initializer_list<std::function<void(std::string&)>> parts, int count) {
    std::string s;
    PutInt(s, count);
    for (const auto& f : parts) f(s);
    return s;
  };
  auto route = [](std::string name, double speed, const int* start, std::vector<RawPoint> pts) {
    return [=](std::string& s) { PutRoute(s, name, speed, start, pts); };
  };
  const int feb30[6] = {2026, 2, 30, 9, 0, 0};
  const int hour24[6] = {2026, 6, 1, 24, 0, 0};
  const int year0[6] = {0, 6, 1, 9, 0, 0};
  out.push_back({"negative speed",
                 file({route("A", 5, kGoodStart, kTwoPoints), route("B", -3, kGoodStart, kTwoPoints),
                       route("C", 4, kGoodStart, kTwoPoints)},
                      3),
                 ROUTES_LOAD::damaged,
                 {"A", "C"}});
  out.push_back({"zero, NaN and infinite speeds",
                 file({route("Z", 0, kGoodStart, kTwoPoints), route("N", nan, kGoodStart, kTwoPoints),
                       route("I", inf, kGoodStart, kTwoPoints), route("OK", 0.1, kGoodStart, kTwoPoints)},
                      4),
                 ROUTES_LOAD::damaged,
                 {"OK"}});
  out.push_back({"impossible starts",
                 file({route("F", 5, feb30, kTwoPoints), route("H", 5, hour24, kTwoPoints),
                       route("Y", 5, year0, kTwoPoints), route("G", 5, kGoodStart, {})},
                      4),
                 ROUTES_LOAD::damaged,
                 {"G"}});
  out.push_back(
      {"waypoint off the earth",
       file({route("P", 5, kGoodStart, {{50, -1, "a"}, {nan, 0, "b"}, {91, 0, "c"}, {50, 181, "d"}, {51, -1, "e"}})},
            1),
       ROUTES_LOAD::damaged,
       {"P"}});
  out.push_back(
      {"cut inside the second route",
       [&] {
         std::string s = file({route("A", 5, kGoodStart, kTwoPoints), route("B", 5, kGoodStart, kTwoPoints)}, 2);
         s.resize(s.size() - 5);
         return s;
       }(),
       ROUTES_LOAD::damaged,
       {"A"}});
  out.push_back({"more routes promised than there are",
                 file({route("A", 5, kGoodStart, kTwoPoints)}, 5),
                 ROUTES_LOAD::damaged,
                 {"A"}});
  out.push_back({"bytes after the last route",
                 file({route("A", 5, kGoodStart, kTwoPoints)}, 1) + "junk",
                 ROUTES_LOAD::damaged,
                 {"A"}});
  out.push_back(
      {"negative route count", file({route("A", 5, kGoodStart, kTwoPoints)}, -1), ROUTES_LOAD::unreadable, {}});
  out.push_back({"absurd route count", file({}, 0x7FFFFFFF), ROUTES_LOAD::unreadable, {}});
  out.push_back({"absurd waypoint count",
                 [&] {
                   std::string s;
                   PutInt(s, 1);
                   PutInt(s, 0x40000000);
                   PutString(s, "X");
                   PutDouble(s, 5);
                   for (int v : kGoodStart) PutInt(s, v);
                   return s;
                 }(),
                 ROUTES_LOAD::unreadable,
                 {}});
  out.push_back({"name claiming four gigabytes",
                 [&] {
                   std::string s;
                   PutInt(s, 1);
                   PutInt(s, 0);
                   s += std::string("\xFF\xFF\xFF\xFF\xFF\xFE", 6);
                   return s;
                 }(),
                 ROUTES_LOAD::unreadable,
                 {}});
  out.push_back({"too short", std::string("\x01\x00", 2), ROUTES_LOAD::unreadable, {}});
  out.push_back({"empty file", std::string(), ROUTES_LOAD::unreadable, {}});
  return out;
}

TEST(RoutesFile, HostileFilesKeepTheGoodRoutesAndAreMovedAside) {
  for (const Hostile& h : HostileFiles()) {
    TempDir dir;
    const std::string path = dir.File("routes.dat");
    ASSERT_TRUE(WriteBytes(path, h.bytes));
    CMapRouteList routes;
    const ROUTES_LOAD info = CRoutesFile::Load(CString(path.c_str()), routes);
    EXPECT_EQ(info.status, h.status) << h.what << ": " << info.strProblem.GetString();
    std::vector<std::string> names;
    for (const auto& r : routes) {
      names.push_back(r->GetName().GetStdString());
      EXPECT_TRUE(CRoutesFile::IsValidSpeed(r->GetSpeed())) << h.what;
      for (const CRoutePoint* p = r->GetFirstPoint(); p; p = p->GetNext())
        EXPECT_TRUE(CRoutesFile::IsValidPosition(p->GetLatitude(), p->GetLongitude())) << h.what;
    }
    EXPECT_EQ(names, h.kept) << h.what;
    EXPECT_FALSE(info.strProblem.IsEmpty()) << h.what;
    EXPECT_EQ(info.strMovedTo.GetStdString(), path + ".bad") << h.what;
    EXPECT_EQ(ReadBytes(path + ".bad"), h.bytes) << h.what << ": the original is kept as it was";
    struct stat st;
    EXPECT_NE(::stat(path.c_str(), &st), 0) << h.what << ": the bad file is out of the way";
  }
}

TEST(RoutesFile, WaypointsOffTheEarthAreLeftOutOfTheirRoute) {
  const Hostile h = HostileFiles()[3];
  CMapRouteList routes;
  ROUTES_LOAD info;
  CRoutesFile::Parse(reinterpret_cast<const BYTE*>(h.bytes.data()), h.bytes.size(), routes, &info);
  ASSERT_EQ(routes.size(), 1u);
  EXPECT_EQ(routes[0]->GetPointCount(), 2);
  EXPECT_EQ(routes[0]->GetFirstPoint()->GetName(), CString("a"));
  EXPECT_EQ(routes[0]->GetLastPoint()->GetName(), CString("e"));
  EXPECT_EQ(info.nSkippedPoints, 3);
}

// Counts in the messages agree with their nouns: "1 route", "2 routes".
TEST(RoutesFile, MessagesCountInTheRightNumber) {
  const int badStart[6] = {2026, 13, 1, 0, 0, 0};
  struct Case {
    int badRoutes, badPoints;
    const char* routes;
    const char* points;
  } cases[] = {
      {1, 1, " 1 route with an impossible speed or start was left out.",
       " 1 waypoint with an impossible position was left out."},
      {2, 3, " 2 routes with an impossible speed or start were left out.",
       " 3 waypoints with an impossible position were left out."},
  };
  for (const Case& c : cases) {
    std::string s;
    PutInt(s, 1 + c.badRoutes);
    std::vector<RawPoint> pts = {{50.0, -1.0, "a"}};
    for (int i = 0; i < c.badPoints; ++i) pts.push_back({95.0, -1.0, "off"});
    PutRoute(s, "good", 5.0, kGoodStart, pts);
    for (int i = 0; i < c.badRoutes; ++i) PutRoute(s, "bad", 5.0, badStart, {{50.0, -1.0, "b"}});
    CMapRouteList routes;
    ROUTES_LOAD info;
    CRoutesFile::Parse(reinterpret_cast<const BYTE*>(s.data()), s.size(), routes, &info);
    EXPECT_NE(info.strProblem.Find(c.routes), -1) << info.strProblem.GetString();
    EXPECT_NE(info.strProblem.Find(c.points), -1) << info.strProblem.GetString();
  }
  std::string one;
  PutInt(one, 1);
  PutRoute(one, "good", 5.0, kGoodStart, {{50.0, -1.0, "a"}});
  one += "x";  // a byte after the last route
  CMapRouteList routes;
  ROUTES_LOAD info;
  CRoutesFile::Parse(reinterpret_cast<const BYTE*>(one.data()), one.size(), routes, &info);
  EXPECT_NE(info.strProblem.Find("of its 1 route could"), -1) << info.strProblem.GetString();
}

// Something that is not a file in the routes file's place (here a link to an endless device)
// is not read: the link is moved aside, the device left alone.
TEST(RoutesFile, ALinkToADeviceIsNotReadButMovedAside) {
  TempDir dir;
  const std::string path = dir.File("routes.dat");
  ASSERT_EQ(0, ::symlink("/dev/zero", path.c_str()));
  CMapRouteList routes;
  const ROUTES_LOAD info = CRoutesFile::Load(CString(path.c_str()), routes);
  EXPECT_EQ(info.status, ROUTES_LOAD::unreadable);
  EXPECT_NE(info.strProblem.Find("is not a file but a device, a pipe or a socket."), -1) << info.strProblem.GetString();
  EXPECT_FALSE(info.bBlocked);
  struct stat st;
  ASSERT_EQ(0, ::lstat((path + ".bad").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(0, ::stat("/dev/zero", &st));
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_FALSE(Exists(path));
}

// A waypoint in the file's layout, with a name of any length (the 16-bit length form past 254).
void PutPoint(std::string& s, double lat, double lon, const std::string& name) {
  PutDouble(s, lat);
  PutDouble(s, lon);
  PutInt(s, 0);
  if (name.size() < 255) {
    PutString(s, name);
  } else {
    s.push_back(static_cast<char>(0xFF));
    s.push_back(static_cast<char>(name.size() & 0xFF));
    s.push_back(static_cast<char>(name.size() >> 8));
    s += name;
  }
}

// More than the program carries, in waypoints or in bytes: the routes that fit are read, the
// user is told, and the whole file is kept aside.
TEST(RoutesFile, AFileLargerThanTheProgramCarriesGivesTheRoutesThatFit) {
  struct Case {
    const char* what;
    int routes, points;
    size_t nameBytes;
  } cases[] = {
      {"too many waypoints", CRoutesFile::kMaxTotalPoints / 1000 + 5, 1000, 5},
      {"too many bytes", 200, 100, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string s;
    PutInt(s, c.routes);
    size_t fit = 0;  // whole routes within both limits
    for (int i = 0; i < c.routes; ++i) {
      PutInt(s, c.points);
      PutString(s, "r");
      PutDouble(s, 5.0);
      for (int f : kGoodStart) PutInt(s, f);
      for (int k = 0; k < c.points; ++k) PutPoint(s, 50.0 + k * 0.0001, -1.0, std::string(c.nameBytes, 'n'));
      if (s.size() <= CRoutesFile::kMaxFileBytes &&
          static_cast<long long>(i + 1) * c.points <= CRoutesFile::kMaxTotalPoints)
        fit = static_cast<size_t>(i) + 1;
    }
    ASSERT_GT(fit, 0u);
    ASSERT_LT(fit, static_cast<size_t>(c.routes));
    TempDir dir;
    const std::string path = dir.File("routes.dat");
    ASSERT_TRUE(WriteBytes(path, s));
    CMapRouteList routes;
    const ROUTES_LOAD info = CRoutesFile::Load(CString(path.c_str()), routes);
    EXPECT_EQ(info.status, ROUTES_LOAD::damaged);
    EXPECT_TRUE(info.bTooLarge);
    EXPECT_EQ(routes.size(), fit);
    EXPECT_NE(info.strProblem.Find("more than Neapwise can carry"), -1) << info.strProblem.GetString();
    EXPECT_EQ(ReadBytes(path + ".bad"), s) << "kept whole";
  }
}

TEST(RoutesFile, SaveThatCannotBeMadeSaysSoAndKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("routes.dat");
  CMapRoute r;
  r.AddPoint(50, -1);
  ASSERT_TRUE(CRoutesFile::Save(CString(path.c_str()), {&r}));
  const std::string before = ReadBytes(path);
  // A read-only folder, tried by a user it stops (run as root, the child drops to nobody).
  ASSERT_EQ(0, ::chmod(path.c_str(), 0644));
  ASSERT_EQ(0, ::chmod(dir.Path().c_str(), 0555));
  const std::string problem = RunUnprivileged([&] {
    if (ReadBytes(path) != before) return std::string("the child cannot read the old file");
    CMapRoute s;
    CString text;
    if (CRoutesFile::Save(CString(path.c_str()), {&r, &s}, &text)) return std::string("saved");
    return text.GetStdString();
  });
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_NE(problem.find("routes could not be saved"), std::string::npos) << problem;
  EXPECT_NE(problem.find("Access to the file was denied."), std::string::npos) << problem;
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"routes.dat"});
}

TEST(RoutesFile, SaveIntoAMissingFolderIsReported) {
  TempDir dir;
  CMapRoute r;
  CString problem;
  EXPECT_FALSE(CRoutesFile::Save(CString(dir.File("no/such/routes.dat").c_str()), {&r}, &problem));
  EXPECT_FALSE(problem.IsEmpty());
}

}  // namespace
