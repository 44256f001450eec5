// The chart page in the program as it ships: the coastline of the first region at start-up,
// the region picker, zoom commands, the status bar under the mouse, a port picked on the chart,
// and the extents kept from one start to the next.
#include "tests/app/FrameFixture.h"

#include <cmath>
#include <cstdlib>
#include <string>

using namespace app_test;

namespace {

TEST_F(Program, TheChartPageDrawsItsRegionAndKeepsItsExtentsBetweenStarts) {
  ASSERT_NE(nullptr, Start());
  CMapView& map = Right().m_map;
  EXPECT_EQ(1, map.GetLoadedRegion());
  EXPECT_FALSE(map.GetCoastline().IsEmpty());
  Command(ID_VIEW_MAP);
  ASSERT_TRUE(Right().IsMapVisible());
  Command(ID_MAP_ZOOM_IN);
  Command(ID_MAP_ZOOM_IN);
  const double west = map.GetWest(), east = map.GetEast(), north = map.GetNorth();
  if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES"))
    AfxSaveWindowPng(m_frame->GetSafeHwnd(), (std::string(keep) + "/program_chart_page.png").c_str());
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "program_chart_page.png");
  // The mouse over the chart shows its position in the status bar.
  CRect rc;
  map.GetClientRect(&rc);
  AfxTestMoveTo(map.GetSafeHwnd(), rc.Width() / 3, rc.Height() / 3);
  Settle();
  double lat, lon;
  map.ClientToLatLon(CPoint(rc.Width() / 3, rc.Height() / 3), lat, lon);
  EXPECT_EQ(CPosition(lat, lon).FormatLatitude() + "  " + CPosition(lat, lon).FormatLongitude(),
            Pane(ID_INDICATOR_AGROUND));
  // Another region and back: each keeps its own extents.
  m_frame->SendMessage(WM_MAPPICKER_CHANGED, 4, 0);
  Settle();
  EXPECT_EQ(4, map.GetRegion());
  EXPECT_EQ(4, map.GetLoadedRegion());
  m_frame->SendMessage(WM_MAPPICKER_CHANGED, 1, 0);
  Settle();
  EXPECT_NEAR(west, map.GetWest(), 0.002);
  EXPECT_NEAR(east, map.GetEast(), 0.002);
  EXPECT_NEAR(north, map.GetNorth(), 0.002);
  ASSERT_NE(nullptr, Restart());
  CMapView& again = Right().m_map;
  EXPECT_NEAR(west, again.GetWest(), 0.002);
  EXPECT_NEAR(north, again.GetNorth(), 0.002);
  EXPECT_TRUE(m_boxes.empty());
}

TEST_F(Program, DoubleClickingAPortOnTheChartShowsItsGraph) {
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CMapView& map = Right().m_map;
  map.SetExtents(-1.8, -0.8, 51.0, 50.0);
  map.ZoomIn();
  map.ZoomOut();
  Settle();
  const int port = PortIndex("Southampton");
  ASSERT_GE(port, 0);
  CPoint pt;
  const CPortData* p = m_frame->PortDB().GetPort(port);
  ASSERT_TRUE(map.LatLonToClient(p->GetLatitude(), p->GetLongitude(), pt));
  AfxTestDoubleClick(map.GetSafeHwnd(), pt.x, pt.y);
  Settle();
  EXPECT_EQ(port, m_frame->GetCurrentPort());
  EXPECT_TRUE(Right().IsGraphVisible());
  EXPECT_TRUE(Right().m_graph.HasData());
  EXPECT_NE(-1, Right().m_graph.GetTitle().Find("Southampton"));
}

}  // namespace

namespace {

TEST_F(Program, AHarbourShowsItsDiamondsAPortsTidesAndADiamondsTooltip) {
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CMapView& map = Right().m_map;
  map.SetExtents(-1.45, -0.95, 50.9, 50.5);
  map.ZoomIn();
  map.ZoomOut();
  map.WaitForStreams();
  Settle();
  const std::vector<DIAMOND_ON_MAP> diamonds = map.GetDiamondList();
  ASSERT_FALSE(diamonds.empty());
  // A port's tides, in the box beside it.
  const int port = PortIndex("Sandown Pier");
  ASSERT_GE(port, 0);
  const CPortData* p = m_frame->PortDB().GetPort(port);
  CPoint at;
  ASSERT_TRUE(map.LatLonToClient(p->GetLatitude(), p->GetLongitude(), at));
  AfxTestMoveTo(map.GetSafeHwnd(), at.x, at.y);
  CBitmap pic;
  AfxTestWait(3000, [&] {
    AfxCaptureWindow(map.GetSafeHwnd(), &pic);
    return map.GetHoveredPort() == port && map.GetPortInfoLines().size() > 2;
  });
  ASSERT_EQ(port, map.GetHoveredPort());
  EXPECT_EQ(p->GetName(), map.GetPortInfoLines()[0]);
  Settle(1100);
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "program_chart_harbour_port.png");
  // The tooltip of a diamond, a few pixels along its arrow.
  const double dir = diamonds[0].direction * 0.017453292522222223;
  CPoint d;
  ASSERT_TRUE(map.LatLonToClient(diamonds[0].latitude, diamonds[0].longitude, d));
  const CPoint on(d.x + (int)std::lround(std::sin(dir) * 3), d.y - (int)std::lround(std::cos(dir) * 3));
  AfxTestMoveTo(map.GetSafeHwnd(), on.x, on.y);
  CToolTipCtrl& tip = map.GetToolTip();
  AfxTestWait(3000, [&] { return tip.IsWindowVisible() != FALSE; });
  EXPECT_TRUE(tip.IsWindowVisible());
  CString text;
  tip.GetWindowText(text);
  EXPECT_NE(-1, text.Find("Kts"));
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "program_chart_harbour.png");
}

}  // namespace
