// The chart page: regions and their saved extents, the projection, what is drawn where, zoom and
// scrolling, the mouse, the information box, tooltips and the vessel mark.
#include "chart/MapView.h"
#include "chart/StreamWorker.h"
#include "model/TidalStream.h"
#include "platform/ui/PrintDC.h"
#include "tests/chart/MapFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace chart_test;

namespace {

TEST_F(MapTest, EachRegionDrawsItsCoastlineWithLandAndSeaWhereTheyAre) {
  Make(800, 600);
  const struct {
    int region;
    const char* picture;
    double landLat, landLon, seaLat, seaLon;
  } regions[] = {
      {CMapView::kRegionUK, "chart_region_uk.png", 52.4, -1.5, 53.8, -5.0},           // Midlands; Irish Sea
      {CMapView::kRegionEurope, "chart_region_europe.png", 48.85, 2.35, 45.5, -5.0},  // Paris; Biscay
      {CMapView::kRegionUSEast, "chart_region_us_east.png", 39.95, -77.5, 43.0, -68.0},
      {CMapView::kRegionAustralia, "chart_region_australia.png", -23.7, 133.88, -18.0, 155.0},
  };
  for (const auto& r : regions) {
    map.SetRegion(r.region);
    EXPECT_EQ(r.region, map.GetRegion());
    EXPECT_EQ(r.region, map.GetLoadedRegion());
    // The whole region in view.
    map.SetExtents(map.GetLimWest(), map.GetLimEast(), map.GetLimNorth(), map.GetLimSouth());
    map.ZoomOut();
    CBitmap pic;
    Capture(pic);
    pic.SavePng(r.picture);
    const CPoint land = Pixel(r.landLat, r.landLon), sea = Pixel(r.seaLat, r.seaLon);
    EXPECT_TRUE(IsLand(pic.GetPixel(land.x, land.y))) << r.picture;
    EXPECT_TRUE(IsSea(pic.GetPixel(sea.x, sea.y))) << r.picture;
    // West of the region's limits lies the plain face colour of the window.
    const CPoint beyond = Pixel((map.GetNorth() + map.GetSouth()) / 2, map.GetLimWest() - 0.3);
    if (map.GetWest() < map.GetLimWest() - 0.5) {
      EXPECT_EQ(::GetSysColor(COLOR_3DFACE), pic.GetPixel(beyond.x, beyond.y)) << r.picture;
    }
  }
  EXPECT_TRUE(boxes.empty());
}

}  // namespace

namespace {

// A view of the Solent at full resolution: W -1.8, E -0.8.
void Solent(CMapView& map) {
  map.SetExtents(-1.8, -0.8, 51.0, 50.0);
  map.ZoomIn();
  map.ZoomOut();
}

TEST_F(MapTest, CrossedSavedExtentsFallBackToTheRegionsOwn) {
  AfxGetApp()->WriteProfileInt("Map", "ukl", -1000);
  AfxGetApp()->WriteProfileInt("Map", "ukr", -5000);
  Make();
  ASSERT_TRUE(map.LoadRegion(CMapView::kRegionUK));
  EXPECT_DOUBLE_EQ(-7, map.GetWest());
  EXPECT_DOUBLE_EQ(-1.883, map.GetEast());
  EXPECT_DOUBLE_EQ(54, map.GetNorth());
  EXPECT_DOUBLE_EQ(52, map.GetSouth());
  // Values beyond the limits are clamped to them.
  AfxGetApp()->WriteProfileInt("Map", "ukl", -20000);
  AfxGetApp()->WriteProfileInt("Map", "ukr", 0);
  AfxGetApp()->WriteProfileInt("Map", "ukt", 70000);
  ASSERT_TRUE(map.LoadRegion(CMapView::kRegionUK));
  EXPECT_DOUBLE_EQ(-13, map.GetWest());
  EXPECT_DOUBLE_EQ(0, map.GetEast());
  EXPECT_DOUBLE_EQ(60, map.GetNorth());
}

TEST_F(MapTest, ARegionWhoseFileIsMissingKeepsItsOwnSavedExtents) {
  TempFolder data;
  CopyShipped(data, "mapuk.data");
  UseDataFolder(data);
  AfxGetApp()->WriteProfileInt("Map", "eul", -5000);
  AfxGetApp()->WriteProfileInt("Map", "eur", 10000);
  AfxGetApp()->WriteProfileInt("Map", "eut", 60000);
  AfxGetApp()->WriteProfileInt("Map", "eub", 40000);
  Make();
  const double ukWest = map.GetWest(), ukEast = map.GetEast();
  map.SetRegion(CMapView::kRegionEurope);
  EXPECT_EQ(CMapView::kRegionEurope, map.GetRegion());
  EXPECT_EQ(0, map.GetLoadedRegion());
  EXPECT_TRUE(map.GetCoastline().IsEmpty());
  EXPECT_DOUBLE_EQ(19, map.GetLimEast());
  EXPECT_TRUE(boxes.empty());  // a missing file is not an error of the user's
  CBitmap pic;
  Capture(pic);  // an empty chart
  Destroy();
  EXPECT_EQ(-5000, ProfileInt("eul"));
  EXPECT_EQ(10000, ProfileInt("eur"));
  EXPECT_EQ(60000, ProfileInt("eut"));
  EXPECT_EQ((int)std::trunc(ukWest * 1000), ProfileInt("ukl"));
  EXPECT_EQ((int)std::trunc(ukEast * 1000), ProfileInt("ukr"));
}

TEST_F(MapTest, ADamagedFileIsReportedAndGivesAnEmptyChart) {
  TempFolder data;
  CopyShipped(data, "mapuk.data");
  std::vector<PolygonShape> polys(2);
  polys[0].points = {{0, 40}, {1, 40}, {1, 41}, {0, 40}};
  polys[1].points = polys[0].points;
  polys[1].count = -5;
  WriteBytes(data.file("mapeur.data"), CoastlineBytes(polys));
  UseDataFolder(data);
  Make();
  map.SetRegion(CMapView::kRegionEurope);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(-1, boxes[0].Find("mapeur.data"));
  EXPECT_NE(-1, boxes[0].Find("damaged"));
  EXPECT_TRUE(map.GetCoastline().IsEmpty());
  CBitmap pic;
  Capture(pic);
  const CPoint norway = Pixel(60.5, 9.0);
  EXPECT_TRUE(IsSea(pic.GetPixel(norway.x, norway.y)));
}

// Most starts show the graph: a chart not yet drawn has read no coastline, so a damaged file
// is told of when the chart is first shown, once, after its drawing.
TEST_F(MapTest, TheCoastlineIsReadWhenTheChartIsFirstDrawn) {
  TempFolder data;
  std::vector<PolygonShape> polys(1);
  polys[0].points = {{0, 50}, {1, 50}, {1, 51}, {0, 50}};
  polys[0].count = -5;
  WriteBytes(data.file("mapuk.data"), CoastlineBytes(polys));
  UseDataFolder(data);
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP, 0, 0, 840, 640, nullptr, nullptr));
  map.SetHost(&host);
  ASSERT_TRUE(map.Create(&owner, CRect(0, 0, 800, 600), 187));
  AfxTestWait(20);
  EXPECT_TRUE(boxes.empty());
  owner.ShowWindow(SW_SHOW);
  map.UpdateWindow();
  EXPECT_TRUE(boxes.empty());  // not from inside the drawing
  AfxTestWait(20);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(-1, boxes[0].Find("mapuk.data"));
  EXPECT_EQ(0, map.GetLoadedRegion());
  map.Invalidate();
  map.UpdateWindow();
  AfxTestWait(20);
  EXPECT_EQ(1u, boxes.size());
}

TEST_F(MapTest, AFileCutShortShowsItsFirstCoastlinesWithinTheNewRegionsLimits) {
  TempFolder data;
  CopyShipped(data, "mapuk.data");
  std::ifstream in(std::string(NEAPWISE_SHIPPED_DATA_DIR) + "/mapeur.data", std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Cut in the middle of the points of the tenth coastline.
  std::size_t pos = 0;
  for (int i = 0; i < 9; ++i)
    pos += 36 + 8 * (std::size_t)(bytes[pos + 4] | bytes[pos + 5] << 8 | bytes[pos + 6] << 16);
  bytes.resize(pos + 36 + 12);
  {
    CCoastline probe;
    CString error;
    ASSERT_EQ(CCoastline::readTruncated, probe.Read(bytes.data(), bytes.size(), error));
  }
  WriteBytes(data.file("mapeur.data"), bytes);
  UseDataFolder(data);
  Make();
  map.SetRegion(CMapView::kRegionEurope);
  EXPECT_EQ(CMapView::kRegionEurope, map.GetLoadedRegion());
  EXPECT_FALSE(map.GetCoastline().IsEmpty());
  EXPECT_DOUBLE_EQ(-13, map.GetLimWest());
  EXPECT_DOUBLE_EQ(19, map.GetLimEast());
  EXPECT_DOUBLE_EQ(72, map.GetLimNorth());
  EXPECT_DOUBLE_EQ(36, map.GetLimSouth());
  ASSERT_EQ(1u, boxes.size());
  EXPECT_NE(-1, boxes[0].Find("part-way"));
}

TEST_F(MapTest, AChartNeverShownLeavesTheSettingsAlone) {
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP, 0, 0, 840, 640, nullptr, nullptr));
  map.SetHost(&host);
  ASSERT_TRUE(map.Create(&owner, CRect(0, 0, 800, 600), 187));
  AfxTestWait(20);
  Destroy();
  EXPECT_EQ(INT_MIN, ProfileInt("ukl"));
  EXPECT_EQ(INT_MIN, ProfileInt("ukb"));
}

TEST_F(MapTest, AWindowWithNoSizeKeepsAndSavesRealExtents) {
  Make();
  map.MoveWindow(0, 0, 0, 0);
  map.ZoomIn();
  map.ZoomOut();
  EXPECT_TRUE(std::isfinite(map.GetSouth()));
  CBitmap pic;
  Capture(pic);
  Destroy();
  const int south = ProfileInt("ukb"), north = ProfileInt("ukt");
  EXPECT_GT(north, south);
  EXPECT_GT(south, 40000);
}

TEST_F(MapTest, ATinyWindowStillShadesItsSea) {
  Make(40, 30);
  CBitmap pic;
  Capture(pic);  // the gradient's step would be 0 pixels without a floor
  EXPECT_TRUE(IsSea(pic.GetPixel(1, 1)) || IsLand(pic.GetPixel(1, 1)));
}

TEST_F(MapTest, ProjectionRoundTripsAndDrawsLatitudeTallerThanLongitude) {
  Make(800, 600);
  for (auto [lat, lon] :
       std::vector<std::pair<double, double>>{{53.0, -4.0}, {53.2, -6.5}, {55.5, -2.5}, {54.0, -3.3}}) {
    CPoint pt;
    EXPECT_TRUE(map.LatLonToClient(lat, lon, pt));
    double lat2, lon2;
    map.ClientToLatLon(pt, lat2, lon2);
    const double perPixelLon = (map.GetEast() - map.GetWest()) / 800,
                 perPixelLat = (map.GetNorth() - map.GetSouth()) / 600;
    EXPECT_NEAR(lon, lon2, 1.01 * perPixelLon);
    EXPECT_NEAR(lat, lat2, 1.01 * perPixelLat);
    CPoint back;
    map.LatLonToClient(lat2, lon2, back);
    EXPECT_LE(std::abs(back.x - pt.x), 1);
    EXPECT_LE(std::abs(back.y - pt.y), 1);
  }
  const CPoint a = Pixel(53, -4), b = Pixel(54, -3);
  EXPECT_NEAR(1.25, (double)(a.y - b.y) / (b.x - a.x), 0.02);
  CPoint off;
  EXPECT_FALSE(map.LatLonToClient(40, -4, off));
}

TEST_F(MapTest, IslandsAreLandAtTheirCentreAndSeaOffTheirCoast) {
  Make(800, 600);
  Solent(map);
  CBitmap pic;
  Capture(pic);
  pic.SavePng("chart_solent.png");
  const CPoint wight = Pixel(50.67, -1.30), channel = Pixel(50.45, -1.30);
  EXPECT_TRUE(IsLand(pic.GetPixel(wight.x, wight.y)));
  EXPECT_TRUE(IsSea(pic.GetPixel(channel.x, channel.y)));
  map.SetExtents(-5.2, -4.0, 54.6, 53.8);
  map.ZoomIn();
  map.ZoomOut();
  Capture(pic);
  const CPoint man = Pixel(54.23, -4.53), irish = Pixel(54.23, -5.1);
  EXPECT_TRUE(IsLand(pic.GetPixel(man.x, man.y)));
  EXPECT_TRUE(IsSea(pic.GetPixel(irish.x, irish.y)));
}

TEST_F(MapTest, APortIsARedMarkAtItsPixelAndIsRecordedThere) {
  Make(800, 600);
  Solent(map);
  CBitmap pic;
  Capture(pic);
  ASSERT_FALSE(map.GetDrawnPorts().empty());
  int found = 0;
  for (const CMapView::DRAWN_PORT& d : map.GetDrawnPorts()) {
    const CPortData* port = host.ports.GetPort(d.index);
    const CPoint pt = Pixel(port->GetLatitude(), port->GetLongitude());
    EXPECT_EQ(pt, d.pt);
    EXPECT_EQ(RGB(255, 0, 0), pic.GetPixel(pt.x, pt.y)) << port->GetName().GetString();
    found += map.IsInsideViewAndLimits(port->GetLatitude(), port->GetLongitude());
  }
  EXPECT_EQ((int)map.GetDrawnPorts().size(), found);
  EXPECT_EQ(8, map.GetPortMarkerHalfSize());
}

TEST_F(MapTest, PrintingLeavesTheScreensPortsAsTheyWere) {
  Make(800, 600);
  Solent(map);
  CBitmap pic;
  Capture(pic);
  const auto before = map.GetDrawnPorts();
  const double west = map.GetWest(), south = map.GetSouth();
  TempFolder out;
  CPrintDC dc;
  ASSERT_TRUE(dc.CreatePdf(out.file("chart.pdf").c_str(), 100));
  ASSERT_TRUE(map.PrintMapTo(&dc));
  ASSERT_EQ(before.size(), map.GetDrawnPorts().size());
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i].pt, map.GetDrawnPorts()[i].pt);
  EXPECT_DOUBLE_EQ(west, map.GetWest());
  EXPECT_DOUBLE_EQ(south, map.GetSouth());
  EXPECT_GT(fs::file_size(out.file("chart.pdf")), 1000u);
}

TEST_F(MapTest, ZoomInStopsShortOfATenthOfADegreeAndZoomOutFitsTheRegion) {
  Make(800, 600);
  double span = map.GetEast() - map.GetWest();
  for (int i = 0; i < 60; ++i) {
    map.ZoomIn();
    const double s = map.GetEast() - map.GetWest();
    if (s == span) break;
    EXPECT_NEAR(span * 0.75, s, 1e-9);
    span = s;
  }
  EXPECT_GT(span, 0.3);
  EXPECT_LE(span - 2 * span / 8, 0.3);
  for (int i = 0; i < 40 && (map.GetEast() - map.GetWest() < 18 || map.GetNorth() - map.GetSouth() < 14); ++i)
    map.ZoomOut();
  // The whole region, centred, in the window's aspect.
  EXPECT_LE(map.GetWest(), map.GetLimWest() + 1e-9);
  EXPECT_GE(map.GetEast(), map.GetLimEast() - 1e-9);
  EXPECT_NEAR((map.GetNorth() - map.GetSouth()), (map.GetEast() - map.GetWest()) * 0.8 * 600 / 800, 1e-9);
  EXPECT_NEAR(map.GetLimWest() - map.GetWest(), map.GetEast() - map.GetLimEast(), 1e-9);
}

TEST_F(MapTest, ANarrowZoomBoxBecomesADegreeWideAndTheToolReturnsToSelect) {
  Make(800, 600);
  map.SetMouseMode(2);
  double lat, lon;
  map.ClientToLatLon(CPoint(401, 300), lat, lon);
  CPoint a(400, 250), b(402, 350);
  map.ClientToScreen(&a);
  map.ClientToScreen(&b);
  AfxTestMouse(WM_MOUSEMOVE, a);
  AfxTestMouse(WM_LBUTTONDOWN, a);
  AfxTestMouse(WM_MOUSEMOVE, b, 0);
  AfxTestMouse(WM_LBUTTONUP, b);
  AfxTestWait(20);
  EXPECT_EQ(0, map.GetMouseMode());
  EXPECT_NEAR(1.0, map.GetEast() - map.GetWest(), 1e-6);
  EXPECT_NEAR(lon, (map.GetEast() + map.GetWest()) / 2, 0.01);
}

TEST_F(MapTest, TheZoomToolShowsItsMagnifyingGlassOverTheChart) {
  Make(800, 600);
  const HCURSOR glass = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(CMapView::kZoomCursor));
  ASSERT_NE(nullptr, glass);
  AfxTestMoveTo(map.GetSafeHwnd(), 300, 300);
  AfxTestWait(10);
  EXPECT_NE(glass, ::GetCursor());
  map.SetMouseMode(2);
  AfxTestMoveTo(map.GetSafeHwnd(), 320, 300);
  AfxTestWait(10);
  EXPECT_EQ(glass, ::GetCursor());
}

TEST_F(MapTest, TheZoomBoxIsDrawnInvertedOverTheChartAndGoesWithTheZoom) {
  Make(800, 600);
  CBitmap chart;
  Capture(chart);
  map.SetMouseMode(2);
  CPoint a(100, 100), b(500, 400), c(300, 250);
  map.ClientToScreen(&a);
  map.ClientToScreen(&b);
  map.ClientToScreen(&c);
  AfxTestMouse(WM_MOUSEMOVE, a);
  AfxTestMouse(WM_LBUTTONDOWN, a);
  AfxTestMouse(WM_MOUSEMOVE, c, MK_LBUTTON);
  AfxTestMouse(WM_MOUSEMOVE, b, MK_LBUTTON);
  AfxTestWait(10);
  CBitmap shown;
  ASSERT_TRUE(AfxCaptureWindow(map.GetSafeHwnd(), &shown));
  const CPoint origin = AfxClientOriginInCapture(map.GetSafeHwnd());
  const int dx = origin.x, dy = origin.y;
  // The box's edge inverts what lies under it; the smaller box of the earlier move is gone.
  EXPECT_EQ(chart.GetPixel(300, 100) ^ 0xFFFFFF, shown.GetPixel(300 + dx, 100 + dy));
  EXPECT_EQ(chart.GetPixel(500, 200) ^ 0xFFFFFF, shown.GetPixel(500 + dx, 200 + dy));
  EXPECT_EQ(chart.GetPixel(300, 200), shown.GetPixel(300 + dx, 200 + dy));
  EXPECT_EQ(chart.GetPixel(200, 250), shown.GetPixel(200 + dx, 250 + dy));
  AfxTestMouse(WM_LBUTTONUP, b);
  EXPECT_EQ(0, map.GetMouseMode());
}

TEST_F(MapTest, AZoomBoxStopsARunningStreamWorkerBeforeWaitingForIt) {
  Make(800, 600);
  // A slow stream: a whole run of the 16 x 12 cells takes about two seconds.
  struct State {
    std::atomic<int> calls{0};
  };
  auto state = std::make_shared<State>();
  map.GetStreams().SetStreamFunction([state](int, double, double, const CQsDateTime&, double& speed, double& dir) {
    ++state->calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    speed = 1.0;
    dir = 90;
    return 0;
  });
  map.RecalculateStreams();
  AfxTestWait(2000, [&] { return state->calls.load() > 0; });
  ASSERT_GT(state->calls.load(), 0);
  const unsigned running = map.GetStreams().GetWorker().GetGeneration();
  map.SetMouseMode(2);
  const auto start = std::chrono::steady_clock::now();
  CPoint a(100, 100), b(500, 400);
  map.ClientToScreen(&a);
  map.ClientToScreen(&b);
  AfxTestMouse(WM_LBUTTONDOWN, a);
  AfxTestMouse(WM_MOUSEMOVE, b, 0);
  AfxTestMouse(WM_LBUTTONUP, b);
  const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The cancelled run stopped at its next cell and never showed its grid.
  EXPECT_LT(waited, 1.0);
  EXPECT_GT(map.GetStreams().GetWorker().GetGeneration(), running);
  EXPECT_NE(running, map.GetStreams().GetWorker().GetPublishedGeneration());
  EXPECT_EQ(0, map.GetMouseMode());
  map.GetStreams().Stop();
}

TEST_F(MapTest, ScrollBarsSpanTheRegionInHundredthsOfADegree) {
  Make(800, 600);
  map.SetExtents(-8, -3, 56, 52);
  map.ZoomIn();
  map.ZoomOut();
  const double W = map.GetWest(), E = map.GetEast(), N = map.GetNorth(), S = map.GetSouth();
  int lo, hi;
  map.GetScrollRange(SB_HORZ, &lo, &hi);
  EXPECT_EQ(18000 - 1300, lo);
  EXPECT_EQ(500 - (int)(100 * (E - W)) + 18000, hi);
  EXPECT_EQ(18000 + (int)(100 * W), map.GetScrollPos(SB_HORZ));
  map.GetScrollRange(SB_VERT, &lo, &hi);
  EXPECT_EQ(4600 + (int)(100 * (N - S)) + 9000, lo);
  EXPECT_EQ(9000 + 6000, hi);
  EXPECT_EQ(lo + hi - ((int)(100 * N) + 9000), map.GetScrollPos(SB_VERT));
  // A line right moves the view a fourteenth of its span; a page left as far as the limit.
  map.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_NEAR(W + ((int)(100 * (E - W)) / 14) / 100.0, map.GetWest(), 1e-9);
  EXPECT_NEAR(E - W, map.GetEast() - map.GetWest(), 1e-9);
  for (int i = 0; i < 20 && map.GetWest() > -13; ++i) map.SendMessage(WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_NEAR(-13, map.GetWest(), 1e-9);
  // The wheel pages the view south and north.
  const double north = map.GetNorth();
  CPoint c(400, 300);
  map.ClientToScreen(&c);
  AfxTestWheel(c, -120);
  AfxTestWait(10);
  EXPECT_NEAR(north - ((int)(100 * (N - S)) / 8) / 100.0, map.GetNorth(), 1e-6);
  EXPECT_NEAR(N - S, map.GetNorth() - map.GetSouth(), 1e-9);
  // The whole region in view: nothing to scroll.
  for (int i = 0; i < 40 && (map.GetEast() - map.GetWest() < 18 || map.GetNorth() - map.GetSouth() < 14); ++i)
    map.ZoomOut();
  map.GetScrollRange(SB_HORZ, &lo, &hi);
  EXPECT_EQ(lo, hi);
  map.GetScrollRange(SB_VERT, &lo, &hi);
  EXPECT_EQ(lo, hi);
}

TEST_F(MapTest, HoveringAPortShowsItsTidesInTheInformationBox) {
  Make(800, 600);
  Solent(map);
  CBitmap pic;
  Capture(pic);
  ASSERT_FALSE(map.GetDrawnPorts().empty());
  // A port with room round it, whose box opens to its right and above it.
  const CMapView::DRAWN_PORT* target = nullptr;
  for (const auto& d : map.GetDrawnPorts())
    if (d.pt.x + 160 < 800 && d.pt.y > 130) target = &d;
  ASSERT_NE(nullptr, target);
  const int index = target->index;
  const CPoint at = target->pt;
  AfxTestMoveTo(map.GetSafeHwnd(), at.x, at.y);
  AfxTestWait(3000, [&] { return map.GetHoveredPort() >= 0; });
  ASSERT_EQ(index, map.GetHoveredPort());
  const std::vector<CString> lines = map.GetPortInfoLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(host.ports.GetPort(index)->GetName(), lines[0]);
  EXPECT_EQ(CString("01 Jun 2025 GMT +1:00"), lines[1]);
  CPrediction p;
  p.SetPort(*host.ports.GetPort(index));
  int hint = -1;
  CQsDateTime next(host.date);
  next.NextDay();
  const CAngleFactorData today = host.days.Find(host.date, hint), tomorrow = host.days.Find(next, hint);
  p.SetAngleFactors(today, tomorrow);
  p.ClearCache();
  TIMEHEIGHT ev[4];
  const int n = p.FindHighLow(host.ports.GetPort(index)->GetTimeZone(), 1, ev);
  ASSERT_EQ((std::size_t)n + 2, lines.size());
  for (int i = 0; i < n; ++i) {
    CString row;
    row.Format("%02d:%02d\t%0.1fm", ev[i].minutes / 60, ev[i].minutes % 60, ev[i].metres);
    EXPECT_EQ(row, lines[2 + i]);
  }
  // The box is drawn once the hover has lasted its second.
  AfxTestWait(3000, [&] {
    Capture(pic);
    return pic.GetPixel(at.x + 80, at.y - 60) == RGB(252, 239, 209);
  });
  EXPECT_EQ(RGB(252, 239, 209), pic.GetPixel(at.x + 80, at.y - 60));
  pic.SavePng("chart_port_info.png");
  EXPECT_FALSE(host.status.IsEmpty());
  host.feet = TRUE;
  EXPECT_NE(-1, map.GetPortInfoLines()[2].Find("ft"));
  // Off the port the box goes.
  AfxTestMoveTo(map.GetSafeHwnd(), 5, 5);
  EXPECT_EQ(-1, map.GetHoveredPort());
  Capture(pic);
  EXPECT_NE(RGB(252, 239, 209), pic.GetPixel(at.x + 80, at.y - 60));
}

TEST_F(MapTest, ADiamondArrowIsAsLongAsItsRateInMetresPerSecondGives) {
  Make(800, 600);
  Solent(map);
  map.SetStreamTime(CQsDateTime(2005, 1, 1, 9, 0, 0));
  map.WaitForStreams();
  const std::vector<DIAMOND_ON_MAP> diamonds = map.GetDiamondList();
  ASSERT_FALSE(diamonds.empty());
  // The strongest diamond whose arrow lies well inside the window, its length from the rate in
  // metres per second as it stands.
  auto length = [](double v) { return std::max(0.2, std::min(3.0, 0.72 * v - 0.039 * v * v)) * 40; };
  const DIAMOND_ON_MAP* best = nullptr;
  for (const DIAMOND_ON_MAP& x : diamonds) {
    const CPoint p = Pixel(x.latitude, x.longitude);
    const double r = length(x.speed) * 1.5;
    if (p.x < r || p.y < r || p.x > 800 - r || p.y > 600 - r) continue;
    if (!best || x.speed > best->speed) best = &x;
  }
  ASSERT_NE(nullptr, best);
  const DIAMOND_ON_MAP d = *best;
  ASSERT_GT(d.speed, 0.3);
  CBitmap pic;
  Capture(pic);
  const CPoint at = Pixel(d.latitude, d.longitude);
  const double L = length(d.speed);
  const double dir = d.direction * 0.017453292522222223;
  const COLORREF arrow = RGB(19, 9, 76);
  auto along = [&](double f) {
    return pic.GetPixel(at.x + (int)std::lround(std::sin(dir) * L * f), at.y - (int)std::lround(std::cos(dir) * L * f));
  };
  // On the shaft near both ends; the head stops at the length the metres per second give.
  EXPECT_EQ(arrow, along(0.3));
  EXPECT_EQ(arrow, along(0.8));
  EXPECT_NE(arrow, along(1.4));
  // Its tooltip gives the rate in knots and the direction.
  const CPoint tip(at.x + (int)std::lround(std::sin(dir) * 3), at.y - (int)std::lround(std::cos(dir) * 3));
  AfxTestMoveTo(map.GetSafeHwnd(), tip.x, tip.y);
  AfxTestWait(10);
  CString expected;
  expected.Format("%0.2fKts  %3.1f\xC2\xB0", MetresPerSecondToKnots(d.speed), d.direction);
  EXPECT_EQ(expected, map.GetTooltipText());
  EXPECT_EQ(CRect(at.x - 4, at.y - 4, at.x + 4, at.y + 4), map.GetTooltipRect());
}

TEST_F(MapTest, TheStreamGridDrawsWhiteArrowsFromItsCellsWhenShown) {
  Make(800, 600);
  Solent(map);
  CRect rc;
  map.GetClientRect(&rc);
  const CTidalStreamGrid grid(rc.Width() / 50, rc.Height() / 50, 0, 0, rc.Width(), rc.Height(), map.GetWest(),
                              map.GetEast(), map.GetNorth(), map.GetSouth(), 2025, 6, 1, 12, 0, 1);
  // South at 1 m/s, slack in the third column.
  const double slackW = grid.GetCellCentre(2, 1).longitude, slackE = grid.GetCellCentre(4, 1).longitude;
  map.GetStreams().SetStreamFunction(
      [slackW, slackE](int, double, double lon, const CQsDateTime&, double& speed, double& dir) {
        speed = lon > slackW && lon < slackE ? 0.00005 : 1.0;
        dir = 180;
        return 0;
      });
  map.SetShowDiamonds(0);
  map.RecalculateStreams();
  map.WaitForStreams();
  ASSERT_TRUE(map.HasGrid());
  CBitmap pic;
  Capture(pic);
  const GRID_PIXEL cell = grid.GetCellPixel(2, 8), slack = grid.GetCellPixel(3, 8);
  EXPECT_NE(RGB(255, 255, 255), pic.GetPixel(cell.x, cell.y + 10));  // the option is off
  map.SetShowStreamGrid(1);
  Capture(pic);
  pic.SavePng("chart_stream_grid.png");
  // South, 40 x (0.65 - 0.039) = 24 pixels long; a slack cell has none.
  EXPECT_EQ(RGB(255, 255, 255), pic.GetPixel(cell.x, cell.y + 10));
  EXPECT_EQ(RGB(255, 255, 255), pic.GetPixel(cell.x, cell.y + 22));
  EXPECT_NE(RGB(255, 255, 255), pic.GetPixel(cell.x, cell.y + 28));
  EXPECT_NE(RGB(255, 255, 255), pic.GetPixel(slack.x, slack.y + 10));
  // A new run clears the layer until its grid is published.
  map.GetStreams().SetStreamFunction([](int, double, double, const CQsDateTime&, double&, double&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 1;
  });
  map.RecalculateStreams();
  EXPECT_FALSE(map.HasGrid());
  map.GetStreams().Stop();
}

TEST_F(MapTest, ACoastlineAcrossTheDateLineIsDrawnEastOfIt) {
  TempFolder data;
  CopyShipped(data, "mapuk.data");
  std::vector<PolygonShape> polys(1);
  polys[0].points = {{165, -20}, {-170, -20}, {-170, -21}, {165, -21}, {165, -20}};
  WriteBytes(data.file("mapaus.data"), CoastlineBytes(polys));
  UseDataFolder(data);
  Make(800, 600);
  map.SetRegion(CMapView::kRegionAustralia);
  map.SetExtents(170, 174, -19, -22);
  map.ZoomIn();
  map.ZoomOut();
  CBitmap pic;
  Capture(pic);
  pic.SavePng("chart_dateline.png");
  for (double lon : {170.5, 172.0, 173.5}) {
    const CPoint p = Pixel(-20.5, lon);
    EXPECT_TRUE(IsLand(pic.GetPixel(p.x, p.y))) << lon;
  }
  const CPoint north = Pixel(-19.5, 172);
  EXPECT_TRUE(IsSea(pic.GetPixel(north.x, north.y)));
}

TEST_F(MapTest, TheVesselMarkIsBlackWhileFreshAndGreyOnceStale) {
  Make(800, 600);
  map.SetVesselPosition(53.5, -4.5, 90, 6);
  ASSERT_EQ(4u, host.vessel.size());
  EXPECT_DOUBLE_EQ(53.5, host.vessel[0]);
  EXPECT_DOUBLE_EQ(6, host.vessel[3]);
  CBitmap pic;
  Capture(pic);
  const CPoint at = Pixel(53.5, -4.5);
  EXPECT_EQ(at, map.GetVesselPixel());
  EXPECT_EQ(RGB(0, 0, 0), pic.GetPixel(at.x, at.y));
  EXPECT_EQ(RGB(0, 0, 0), pic.GetPixel(at.x + 7, at.y));  // the outline's corner
  EXPECT_NE(RGB(0, 0, 0), pic.GetPixel(at.x + 5, at.y));
  // A fix moments later redraws nothing; the mark waits for the next redraw or two seconds.
  map.SetVesselPosition(53.6, -4.4, 90, 6);
  EXPECT_EQ(at, map.GetVesselPixel());
  map.MarkVesselStale();
  map.SetVesselPosition(53.5, -4.5, 90, 6);
  map.MarkVesselStale();
  map.RedrawRoutes();
  Capture(pic);
  EXPECT_EQ(RGB(128, 128, 128), pic.GetPixel(at.x, at.y));
}

TEST_F(MapTest, DoubleClickingAPortOpensItsGraphAndEmptyChartDoesNothing) {
  Make(800, 600);
  Solent(map);
  CBitmap pic;
  Capture(pic);
  ASSERT_FALSE(map.GetDrawnPorts().empty());
  const auto port = map.GetDrawnPorts().front();
  AfxTestDoubleClick(map.GetSafeHwnd(), 700, 40);
  AfxTestWait(10);
  EXPECT_TRUE(host.selected.empty());
  AfxTestDoubleClick(map.GetSafeHwnd(), port.pt.x, port.pt.y);
  AfxTestWait(10);
  ASSERT_EQ(1u, host.selected.size());
  EXPECT_EQ(port.index, host.selected[0]);
  EXPECT_EQ(1, host.graphPages);
  EXPECT_EQ(1, host.graphs);
}

TEST_F(MapTest, RouteModeTellsHowToStartARoute) {
  Make(800, 600);
  map.SetMouseMode(1);
  AfxTestMoveTo(map.GetSafeHwnd(), 300, 200);
  AfxTestWait(10);
  EXPECT_EQ(CString("Double click to create a new route"), map.GetTooltipText());
  EXPECT_EQ(CRect(297, 197, 303, 203), map.GetTooltipRect());
}

TEST_F(MapTest, AZoomedHarbourWithItsDiamondsAndATooltip) {
  Make(800, 600);
  map.SetExtents(-1.45, -0.95, 50.9, 50.5);
  map.ZoomIn();
  map.ZoomOut();
  map.RecalculateStreams();
  map.WaitForStreams();
  const std::vector<DIAMOND_ON_MAP> diamonds = map.GetDiamondList();
  ASSERT_FALSE(diamonds.empty());
  CBitmap pic;
  Capture(pic);
  const CPoint at = Pixel(diamonds[0].latitude, diamonds[0].longitude);
  CPoint end;
  const double dir = diamonds[0].direction * 0.017453292522222223;
  // Within the tool's 4 pixels of the diamond, on its arrow.
  end = CPoint(at.x + (int)std::lround(std::sin(dir) * 3), at.y - (int)std::lround(std::cos(dir) * 3));
  AfxTestMoveTo(map.GetSafeHwnd(), end.x, end.y);
  CToolTipCtrl& tip = map.GetToolTip();
  AfxTestWait(3000, [&] { return tip.IsWindowVisible() != FALSE; });
  EXPECT_TRUE(tip.IsWindowVisible());
  CString expected;
  expected.Format("%0.2fKts  %3.1f\xC2\xB0", MetresPerSecondToKnots(diamonds[0].speed), diamonds[0].direction);
  EXPECT_EQ(expected, map.GetTooltipText());
  pic.SavePng("chart_harbour.png");
  if (tip.IsWindowVisible()) AfxSaveWindowPng(tip.GetSafeHwnd(), "chart_harbour_tooltip.png");
}

}  // namespace

namespace {

TEST_F(MapTest, DraggingMeasuresDistanceAndBearingAndLettingGoErasesIt) {
  Make(800, 600);
  CBitmap before;
  Capture(before);
  CPoint a(200, 300), b(500, 300);
  map.ClientToScreen(&a);
  map.ClientToScreen(&b);
  AfxTestMouse(WM_MOUSEMOVE, a);
  AfxTestMouse(WM_LBUTTONDOWN, a);
  AfxTestMouse(WM_MOUSEMOVE, b, MK_LBUTTON);
  AfxTestWait(10);
  CBitmap shown;
  ASSERT_TRUE(AfxCaptureWindow(map.GetSafeHwnd(), &shown));
  // The grey line along the drag, drawn over the chart.
  int grey = 0;
  const CPoint origin = AfxClientOriginInCapture(map.GetSafeHwnd());
  const int dx = origin.x, dy = origin.y;
  for (int x = 220; x < 480; x += 10) grey += shown.GetPixel(x + dx, 300 + dy) == RGB(128, 128, 128);
  EXPECT_EQ(26, grey);
  AfxTestMouse(WM_LBUTTONUP, b);
  AfxTestWait(10);
  ASSERT_TRUE(AfxCaptureWindow(map.GetSafeHwnd(), &shown));
  grey = 0;
  for (int x = 220; x < 480; x += 10) grey += shown.GetPixel(x + dx, 300 + dy) == RGB(128, 128, 128);
  EXPECT_EQ(0, grey);
  for (int x = 220; x < 480; x += 10) EXPECT_EQ(before.GetPixel(x, 300), shown.GetPixel(x + dx, 300 + dy)) << x;
}

TEST_F(MapTest, RestingOverTheSeaReadsTheStreamThereIntoTheStatusBar) {
  Make(800, 600);
  map.SetStreamTime(CQsDateTime(2005, 1, 1, 9, 0, 0));
  // Off Dover, where the stream is strong at most hours.
  map.SetExtents(0.8, 1.8, 51.4, 50.6);
  map.ZoomIn();
  map.ZoomOut();
  const CPoint sea = Pixel(51.0, 1.45);
  AfxTestMoveTo(map.GetSafeHwnd(), sea.x, sea.y);
  AfxTestWait(5000, [&] { return host.streamRate >= 0; });
  ASSERT_GE(host.streamRate, 0);
  CQsDateTime gmt(2025, 6, 1, 8, 0, 0);  // 09:00 in summer time
  double lat, lon;
  map.ClientToLatLon(sea, lat, lon);
  const TIDAL_STREAM s = CalcStreamAt(CPosition(lat, lon), gmt);
  EXPECT_NEAR(MetresPerSecondToKnots(s.rate), host.streamRate, 1e-9);
  EXPECT_NEAR(s.direction, host.streamDirection, 1e-9);
  EXPECT_GT(host.streamRate, 0.1);
}

TEST_F(MapTest, TheDiamondsFollowTheStreamTime) {
  Make(800, 600);
  Solent(map);
  map.SetStreamTime(CQsDateTime(2005, 1, 1, 6, 0, 0));
  map.WaitForStreams();
  const std::vector<DIAMOND_ON_MAP> six = map.GetDiamondList();
  map.SetStreamTime(CQsDateTime(2005, 1, 1, 9, 0, 0));
  map.WaitForStreams();
  const std::vector<DIAMOND_ON_MAP> nine = map.GetDiamondList();
  ASSERT_FALSE(six.empty());
  ASSERT_EQ(six.size(), nine.size());
  int differ = 0;
  for (std::size_t i = 0; i < six.size(); ++i) {
    EXPECT_EQ(six[i].number, nine[i].number);
    EXPECT_FALSE(six[i].name.IsEmpty());
    differ += std::fabs(six[i].direction - nine[i].direction) > 1 || std::fabs(six[i].speed - nine[i].speed) > 0.01;
    EXPECT_TRUE(map.IsInsideViewAndLimits(six[i].latitude, six[i].longitude));
  }
  EXPECT_GT(differ, 0);
  // A new date gives the streams of that day's tides at the same time.
  map.ShowWindow(SW_SHOW);
  host.date = CQsDateTime(2025, 6, 8, 0, 0, 0);
  map.OnDateChanged(host.date);
  map.WaitForStreams();
  const std::vector<DIAMOND_ON_MAP> week = map.GetDiamondList();
  ASSERT_EQ(nine.size(), week.size());
  differ = 0;
  for (std::size_t i = 0; i < week.size(); ++i)
    differ += std::fabs(week[i].direction - nine[i].direction) > 1 || std::fabs(week[i].speed - nine[i].speed) > 0.01;
  EXPECT_GT(differ, 0);
  // Without the option, and outside the stream regions, there are none.
  map.SetShowDiamonds(0);
  EXPECT_EQ(0, map.AreDiamondsShown());
  map.SetShowDiamonds(1);
  map.SetRegion(CMapView::kRegionUSEast);
  EXPECT_EQ(0, map.AreDiamondsShown());
  EXPECT_TRUE(map.GetDiamondList().empty());
}

}  // namespace

namespace chart_test {
namespace {

TEST_F(MapTest, TheZoneOffsetOfTheStreamsAndRoutesFollowsTheFramesZone) {
  struct Case {
    BOOL automatic;
    CQsDateTime date;
    int zone, minutes;
  } const cases[] = {
      {TRUE, CQsDateTime(2025, 7, 1, 0, 0, 0), 5, 60},  // summer time of the UK rule
      {TRUE, CQsDateTime(2025, 1, 1, 0, 0, 0), 5, 0},
      {FALSE, CQsDateTime(2025, 7, 1, 0, 0, 0), 2, 120},  // a chosen zone has no summer time
      {FALSE, CQsDateTime(2025, 7, 1, 0, 0, 0), -5, -300},
      {FALSE, CQsDateTime(2025, 7, 1, 0, 0, 0), 13, -720},  // "UT (-12:00)"
      {FALSE, CQsDateTime(2025, 7, 1, 0, 0, 0), 930, 570},
      {FALSE, CQsDateTime(2025, 7, 1, 0, 0, 0), 1230, 750},
      {FALSE, CQsDateTime(2025, 7, 1, 0, 0, 0), -330, -210},
  };
  map.SetHost(&host);
  for (const Case& c : cases) {
    host.autoZone = c.automatic;
    host.date = c.date;
    host.chosenZone = c.zone;
    EXPECT_EQ(c.minutes, map.GetZoneOffsetMinutes()) << c.zone << " " << c.automatic;
    EXPECT_EQ(ZoneOffsetMinutes(c.automatic, c.minutes == 60 && c.automatic, c.zone), map.GetZoneOffsetMinutes());
  }
}

TEST_F(MapTest, TheScrollThumbsFollowEveryScrollOfTheView) {
  Make(800, 600);
  map.SetExtents(-8, -3, 56, 52);
  map.ZoomIn();
  map.ZoomOut();
  auto horz = [&] { return 18000 + (int)std::lround(100 * map.GetWest()); };
  auto vert = [&] {
    int lo, hi;
    map.GetScrollRange(SB_VERT, &lo, &hi);
    return lo + hi - (int)std::lround(100 * map.GetNorth() + 9000);
  };
  struct Step {
    UINT message, code;
  } const steps[] = {{WM_HSCROLL, SB_LINERIGHT},
                     {WM_HSCROLL, SB_PAGELEFT},
                     {WM_VSCROLL, SB_LINEDOWN},
                     {WM_VSCROLL, SB_PAGEUP},
                     {WM_VSCROLL, SB_PAGEDOWN}};
  for (const Step& s : steps) {
    map.SendMessage(s.message, s.code, 0);
    EXPECT_EQ(horz(), map.GetScrollPos(SB_HORZ)) << s.message << " " << s.code;
    EXPECT_EQ(vert(), map.GetScrollPos(SB_VERT)) << s.message << " " << s.code;
  }
  // A thumb let go at a place shows that place.
  int lo, hi;
  map.GetScrollRange(SB_HORZ, &lo, &hi);
  const int x = (lo + hi) / 2;
  map.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, x), 0);
  EXPECT_EQ(x, map.GetScrollPos(SB_HORZ));
  EXPECT_NEAR((x - 18000) / 100.0, map.GetWest(), 1e-9);
  map.GetScrollRange(SB_VERT, &lo, &hi);
  const int y = lo + (hi - lo) / 3;
  map.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, y), 0);
  EXPECT_EQ(y, map.GetScrollPos(SB_VERT));
  EXPECT_NEAR((lo + hi - y - 9000) / 100.0, map.GetNorth(), 1e-9);
}

TEST_F(MapTest, AViewBeyondTheRegionsNorthIsBroughtBackWithItsSpan) {
  Make(800, 600);
  const double limN = map.GetLimNorth(), limS = map.GetLimSouth();
  const double span = (limN - limS) / 4;
  map.SetExtents(-4, -1, limN + 1.5, limN + 1.5 - span);
  map.FitToRegion(800, 600);
  EXPECT_NEAR(limN, map.GetNorth(), 1e-9);
  EXPECT_NEAR(limN - span, map.GetSouth(), 1e-9);
  EXPECT_NEAR(-4, map.GetWest(), 1e-9);
  EXPECT_NEAR(-1, map.GetEast(), 1e-9);
}

}  // namespace
}  // namespace chart_test
