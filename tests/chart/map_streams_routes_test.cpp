// The chart with its real stream worker and route side: the stream grid on the UK chart at two
// stream times, a route with its tidal drift track, and a waypoint dragged while the track
// worker runs.
#include "chart/DMLock.h"
#include "chart/MapView.h"
#include "model/TidalStream.h"
#include "platform/ui/PrintDC.h"
#include "tests/chart/MapFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

namespace chart_test {
namespace {

// Owns the routes the chart makes, as the routes tree does.
class FakeRouteList : public IRouteList {
 public:
  std::vector<std::unique_ptr<CMapRoute>> routes;
  int refreshed = 0, changed = 0;
  CRoutePoint* selected = nullptr;
  void AddRoute(CMapRoute* r) override { routes.emplace_back(r); }
  void RefreshRoute(CMapRoute*) override { ++refreshed; }
  void DeleteRoute(CMapRoute* r) override {
    for (auto it = routes.begin(); it != routes.end(); ++it)
      if (it->get() == r) {
        routes.erase(it);
        return;
      }
  }
  void RoutesChanged() override { ++changed; }
  void SelectPointItem(CRoutePoint* p) override { selected = p; }
  void ShowCurrentRoute(CMapRoute*) override {}
};

class MapRoutes : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    CDMLock::TakeOrderBreaches();
  }
  void TearDown() override {
    map.GetStreams().Stop();
    map.GetChartRoutes().AbortDrift();
    EXPECT_TRUE(CDMLock::TakeOrderBreaches().empty());
    // The chart lets go of the routes before they go.
    map.GetChartRoutes().Detach();
    MapTest::TearDown();
  }
  // The Strait of Dover and the Thames estuary, where the streams are strong.
  void Channel() {
    map.SetExtents(0.0, 2.5, 51.8, 50.3);
    map.ZoomIn();
    map.ZoomOut();
  }
  static int Count(const CBitmap& pic, COLORREF c) {
    int n = 0;
    const CSize size = pic.GetBitmapDimension();
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) n += pic.GetPixel(x, y) == c;
    return n;
  }
  void Press(UINT message, CPoint client, UINT flags = 0) {
    map.ClientToScreen(&client);
    AfxTestMouse(message, client, flags);
  }
  FakeRouteList list;
};

TEST_F(MapRoutes, TheStreamGridOnTheUKChartFollowsTheStreamTime) {
  Make(800, 600);
  Channel();
  map.SetShowDiamonds(0);
  map.SetShowStreamGrid(1);
  CBitmap six, nine;
  map.SetStreamTime(CQsDateTime(2005, 1, 1, 6, 0, 0));
  map.WaitForStreams();
  int streaming = 0, agree = 0;
  // 06:00 in summer time on the selected day; each cell is the engine's stream at its centre,
  // as the status bar reads it there (cells without one lie on land or where the data has none).
  const CQsDateTime gmt(2025, 6, 1, 5, 0, 0);
  map.GetStreams().GetWorker().ReadGrid([&](const CTidalStreamGrid* g) {
    ASSERT_NE(nullptr, g);
    for (int c = 1; c <= g->GetCols(); ++c)
      for (int r = 1; r <= g->GetRows(); ++r) {
        const LATLON centre = g->GetCellCentre(c, r);
        const TIDAL_STREAM s = CalcStreamAt(CPosition(centre.latitude, centre.longitude), gmt);
        streaming += g->GetRate(c, r) > 0.05;
        agree += std::fabs(s.rate - g->GetRate(c, r)) < 1e-9;
      }
    EXPECT_EQ(g->GetCols() * g->GetRows(), agree);
  });
  EXPECT_GT(streaming, 20);
  Capture(six);
  six.SavePng("chart_streams_0600.png");
  map.SetStreamTime(CQsDateTime(2005, 1, 1, 9, 0, 0));
  map.WaitForStreams();
  Capture(nine);
  nine.SavePng("chart_streams_0900.png");
  const int white6 = Count(six, RGB(255, 255, 255)), white9 = Count(nine, RGB(255, 255, 255));
  EXPECT_GT(white6, 500);
  EXPECT_GT(white9, 500);
  // The arrows turn with the tide: pixels differ where arrows are, not elsewhere.
  int differ = 0, differOffArrows = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const COLORREF a = six.GetPixel(x, y), b = nine.GetPixel(x, y);
      if (a == b) continue;
      ++differ;
      differOffArrows += a != RGB(255, 255, 255) && b != RGB(255, 255, 255);
    }
  EXPECT_GT(differ, 200);
  EXPECT_EQ(0, differOffArrows);
}

TEST_F(MapRoutes, ARouteIsDrawnWithItsTimesAndItsTidalDriftTrack) {
  Make(800, 600);
  Channel();
  map.SetShowDiamonds(0);
  map.SetShowStreamGrid(1);
  map.GetChartRoutes().SetRouteList(&list);
  CChartRoutes& routes = map.GetChartRoutes();
  routes.AddPointAt(51.35, 1.6);
  routes.AddPointAt(51.0, 1.55);
  routes.AddPointAt(50.75, 0.7);
  ASSERT_EQ(1u, list.routes.size());
  CMapRoute* route = routes.GetRoute();
  ASSERT_EQ(route, list.routes[0].get());
  EXPECT_EQ(CString("New Route"), route->GetName());
  routes.WaitForTrack();
  {
    CDMLockHold drift(routes.GetDriftLock());
    ASSERT_NE(nullptr, route->GetTrack());
  }
  map.WaitForStreams();
  map.RedrawRoutes();
  CBitmap pic;
  Capture(pic);
  pic.SavePng("chart_route_track.png");
  const COLORREF green = RGB(7, 120, 36);
  EXPECT_GT(Count(pic, green), 100);
  for (CRoutePoint* p = route->GetFirstPoint(); p; p = p->GetNext()) {
    const CPoint at = Pixel(p->GetLatitude(), p->GetLongitude());
    EXPECT_EQ(RGB(0, 0, 0), pic.GetPixel(at.x + 3, at.y - 3)) << p->GetName().GetString();
  }
  // Without the stream option the track is left out.
  map.SetShowStreamGrid(0);
  Capture(pic);
  EXPECT_EQ(0, Count(pic, green));
}

TEST_F(MapRoutes, DraggingAWaypointMovesItAndRecomputesTheTrackWithoutDeadlock) {
  Make(800, 600);
  Channel();
  map.SetShowDiamonds(0);
  map.SetShowStreamGrid(1);
  // A slow uniform stream east at 1 m/s, so the track worker is running while the mouse moves.
  auto calls = std::make_shared<std::atomic<int>>(0);
  CChartRoutes& routes = map.GetChartRoutes();
  routes.SetStreamSource([calls](const CPosition&, const CQsDateTime&) {
    ++*calls;
    std::this_thread::sleep_for(std::chrono::microseconds(300));
    TIDAL_STREAM s{};
    s.rate = 1.0;
    s.direction = 90;
    return s;
  });
  routes.SetRouteList(&list);
  routes.AddPointAt(51.3, 0.8);
  routes.AddPointAt(51.0, 1.5);
  routes.AddPointAt(50.7, 0.9);
  CMapRoute* route = routes.GetRoute();
  CRoutePoint* middle = route->GetFirstPoint()->GetNext();
  routes.WaitForTrack();
  ROUTE_TRACK_NODE* before = nullptr;
  double beforeLat = 0, beforeLon = 0;
  {
    CDMLockHold drift(routes.GetDriftLock());
    before = route->GetTrack();
    ASSERT_NE(nullptr, before);
    for (ROUTE_TRACK_NODE* n = before; n; n = n->next) beforeLat = n->latitude, beforeLon = n->longitude;
  }
  const int changed = list.changed;
  const auto start = std::chrono::steady_clock::now();
  const CPoint from = Pixel(middle->GetLatitude(), middle->GetLongitude());
  const CPoint to(from.x + 60, from.y + 40);
  Press(WM_MOUSEMOVE, from);
  Press(WM_LBUTTONDOWN, from, MK_LBUTTON);
  EXPECT_EQ(middle, map.GetPressedPoint());
  for (int i = 1; i <= 6; ++i) Press(WM_MOUSEMOVE, CPoint(from.x + 10 * i, from.y + 40 * i / 6), MK_LBUTTON);
  Press(WM_LBUTTONUP, to);
  EXPECT_EQ(nullptr, map.GetPressedPoint());
  double lat, lon;
  map.ClientToLatLon(to, lat, lon);
  EXPECT_NEAR(lat, middle->GetLatitude(), 1e-9);
  EXPECT_NEAR(lon, middle->GetLongitude(), 1e-9);
  EXPECT_TRUE(middle->IsSelected());
  EXPECT_EQ(changed + 1, list.changed);  // the file is written again
  // A new track for the new leg; the old one is gone.
  routes.WaitForTrack();
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(took, 10.0);
  {
    CDMLockHold drift(routes.GetDriftLock());
    ASSERT_NE(nullptr, route->GetTrack());
    double lastLat = 0, lastLon = 0;
    for (ROUTE_TRACK_NODE* n = route->GetTrack(); n; n = n->next) lastLat = n->latitude, lastLon = n->longitude;
    EXPECT_TRUE(std::fabs(lastLat - beforeLat) > 1e-6 || std::fabs(lastLon - beforeLon) > 1e-6);
  }
  EXPECT_TRUE(CDMLock::TakeOrderBreaches().empty());
  // A click without a drag toggles the waypoint's selection; a click on the sea clears it.
  const CPoint first = Pixel(route->GetFirstPoint()->GetLatitude(), route->GetFirstPoint()->GetLongitude());
  Press(WM_LBUTTONDOWN, first, MK_LBUTTON);
  Press(WM_LBUTTONUP, first);
  EXPECT_TRUE(route->GetFirstPoint()->IsSelected());
  EXPECT_FALSE(middle->IsSelected());
  Press(WM_LBUTTONDOWN, CPoint(20, 580), MK_LBUTTON);
  Press(WM_LBUTTONUP, CPoint(20, 580));
  EXPECT_EQ(nullptr, route->GetFirstSelected());
}

TEST_F(MapRoutes, ShiftAtTheStartOfADragKeepsTheSelectedWaypointsWhichMoveAlong) {
  Make(800, 600);
  Channel();
  map.SetShowDiamonds(0);
  CChartRoutes& routes = map.GetChartRoutes();
  routes.SetStreamSource([](const CPosition&, const CQsDateTime&) { return TIDAL_STREAM{}; });
  routes.SetRouteList(&list);
  routes.AddPointAt(51.3, 0.8);
  routes.AddPointAt(51.0, 1.5);
  routes.AddPointAt(50.7, 0.9);
  CMapRoute* route = routes.GetRoute();
  CRoutePoint* first = route->GetFirstPoint();
  CRoutePoint* middle = first->GetNext();
  routes.WaitForTrack();
  struct Case {
    UINT mods;
    bool firstKept;
  } const cases[] = {{AFX_TEST_SHIFT, true}, {0, false}};
  for (const Case& c : cases) {
    // The first waypoint selected by a click of its own.
    route->ClearSelection();
    const CPoint one = Pixel(first->GetLatitude(), first->GetLongitude());
    Press(WM_LBUTTONDOWN, one);
    Press(WM_LBUTTONUP, one);
    ASSERT_TRUE(first->IsSelected());
    const CPoint from = Pixel(middle->GetLatitude(), middle->GetLongitude());
    Press(WM_MOUSEMOVE, from);
    Press(WM_LBUTTONDOWN, from, c.mods);
    for (int i = 1; i <= 3; ++i) Press(WM_MOUSEMOVE, CPoint(from.x + 10 * i, from.y + 5 * i), c.mods);
    Press(WM_LBUTTONUP, CPoint(from.x + 30, from.y + 15), c.mods);
    routes.WaitForTrack();
    EXPECT_TRUE(middle->IsSelected()) << c.mods;
    EXPECT_EQ(c.firstKept, first->IsSelected() != 0) << c.mods;
    const CPoint now = Pixel(first->GetLatitude(), first->GetLongitude());
    const CPoint moved = c.firstKept ? CPoint(one.x + 30, one.y + 15) : one;
    EXPECT_LE(std::abs(now.x - moved.x), 1) << c.mods;
    EXPECT_LE(std::abs(now.y - moved.y), 1) << c.mods;
  }
}

TEST_F(MapRoutes, RouteModeDoubleClicksStartARouteAndExtendIt) {
  Make(800, 600);
  Channel();
  map.GetChartRoutes().SetRouteList(&list);
  map.SetMouseMode(1);
  const CPoint a(300, 200), b(420, 330);
  Press(WM_LBUTTONDOWN, a, MK_LBUTTON);
  Press(WM_LBUTTONUP, a);
  Press(WM_LBUTTONDBLCLK, a, MK_LBUTTON);
  Press(WM_LBUTTONUP, a);
  ASSERT_EQ(1u, list.routes.size());
  CMapRoute* route = map.GetChartRoutes().GetRoute();
  ASSERT_NE(nullptr, route);
  EXPECT_EQ(CString("New Route"), route->GetName());
  ASSERT_EQ(1, route->GetPointCount());
  EXPECT_EQ(CString("Point 1"), route->GetFirstPoint()->GetName());
  EXPECT_EQ(12, route->GetStart().GetHour());
  // The tooltip now tells how to go on; a second double click adds to the same route.
  AfxTestMoveTo(map.GetSafeHwnd(), b.x, b.y);
  AfxTestWait(10);
  EXPECT_EQ(CString("Double click to add a point\nto the end of the route"), map.GetTooltipText());
  Press(WM_LBUTTONDBLCLK, b, MK_LBUTTON);
  EXPECT_EQ(1u, list.routes.size());
  ASSERT_EQ(2, route->GetPointCount());
  double lat, lon;
  map.ClientToLatLon(b, lat, lon);
  EXPECT_NEAR(lat, route->GetLastPoint()->GetLatitude(), 1e-9);
  EXPECT_NEAR(lon, route->GetLastPoint()->GetLongitude(), 1e-9);
  // In select mode a waypoint's tooltip names it and its position.
  map.SetMouseMode(0);
  const CPoint at = Pixel(route->GetLastPoint()->GetLatitude(), route->GetLastPoint()->GetLongitude());
  AfxTestMoveTo(map.GetSafeHwnd(), at.x + 1, at.y);
  AfxTestWait(10);
  const CPosition pos = route->GetLastPoint()->GetPosition();
  EXPECT_EQ(CString("Point 2 (") + pos.FormatLatitude() + ", " + pos.FormatLongitude() + ")", map.GetTooltipText());
  // A right click on it makes it the context waypoint and selects it in the list.
  CPoint screen = at;
  map.ClientToScreen(&screen);
  map.SendMessage(WM_CONTEXTMENU, (WPARAM)map.GetSafeHwnd(), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(route->GetLastPoint(), map.GetChartRoutes().GetContextPoint());
  EXPECT_EQ(route->GetLastPoint(), list.selected);
}

TEST_F(MapRoutes, ThePrintedChartHasTheRouteTableAboveIt) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext here";
  Make(800, 600);
  Channel();
  CChartRoutes& routes = map.GetChartRoutes();
  routes.SetRouteList(&list);
  routes.AddPointAt(51.1, 1.4);
  routes.AddPointAt(50.95, 1.8);
  routes.WaitForTrack();
  TempFolder out;
  CPrintDC dc;
  ASSERT_TRUE(dc.CreatePdf(out.file("route.pdf").c_str(), 100));
  ASSERT_TRUE(map.PrintMapTo(&dc));
  const std::string cmd = "pdftotext -layout '" + out.file("route.pdf") + "' '" + out.file("route.txt") + "'";
  ASSERT_EQ(0, std::system(cmd.c_str()));
  std::ifstream in(out.file("route.txt"));
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(std::string::npos, text.find("Route: New Route - 5.00kts - 01 Jun 2025")) << text;
  EXPECT_NE(std::string::npos, text.find("Bearing to Next")) << text;
  const CRoutePoint* p = routes.GetRoute()->GetFirstPoint();
  char leg[32];
  std::snprintf(leg, sizeof leg, "%0.2fNm", p->GetLegDistance());
  EXPECT_NE(std::string::npos, text.find(leg)) << text;
  EXPECT_NE(std::string::npos, text.find("Point 2")) << text;
  EXPECT_NE(std::string::npos, text.find(std::string(p->GetPosition().FormatLatitude()))) << text;
}

}  // namespace
}  // namespace chart_test
