// The chart page in the program as it ships: the coastline of the first region at start-up,
// the region picker, zoom commands, the status bar under the mouse, a port picked on the chart,
// and the extents kept from one start to the next.
#include "tests/app/FrameFixture.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

using namespace app_test;

namespace {

TEST_F(Program, TheChartPageDrawsItsRegionAndKeepsItsExtentsBetweenStarts) {
  ASSERT_NE(nullptr, Start());
  CMapView& map = Right().Map();
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
  CMapView& again = Right().Map();
  EXPECT_NEAR(west, again.GetWest(), 0.002);
  EXPECT_NEAR(north, again.GetNorth(), 0.002);
  EXPECT_TRUE(m_boxes.empty());
}

TEST_F(Program, DoubleClickingAPortOnTheChartShowsItsGraph) {
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CMapView& map = Right().Map();
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
  EXPECT_TRUE(Right().Graph().HasData());
  EXPECT_NE(-1, Right().Graph().GetTitle().Find("Southampton"));
}

}  // namespace

namespace {

TEST_F(Program, AHarbourShowsItsDiamondsAPortsTidesAndADiamondsTooltip) {
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CMapView& map = Right().Map();
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

namespace {

TEST_F(Program, TheMapToolbarShowsOnTheChartPageWithTheRegionAndStreamTimeCombos) {
  ASSERT_NE(nullptr, Start());
  CCbToolBar* map = m_frame->GetMapToolBar();
  EXPECT_FALSE(map->IsWindowVisible());
  Command(ID_VIEW_MAP);
  ASSERT_TRUE(map->IsWindowVisible());
  CMapPickerCombo* region = m_frame->GetMapPickerCombo();
  CStreamTimeCombo* time = m_frame->GetStreamTimeCombo();
  ASSERT_TRUE(region && time);
  EXPECT_EQ(map, region->GetParent());
  EXPECT_EQ(map, time->GetParent());
  EXPECT_EQ(CString("UK & Ireland"), region->GetEditText());
  EXPECT_EQ(CStreamTimeCombo::FormatTime(CQsDateTime(2005, 1, 1, 12, 0, 0)), time->GetEditText());
  ASSERT_TRUE(time->GetEditCtrl() && time->GetEditCtrl()->IsWindowVisible());
  // The region's list picks the chart's region; the one it shows already is picked again.
  PickCombo(region, 1);
  EXPECT_EQ(4, Right().Map().GetRegion());
  EXPECT_EQ(CString("Europe"), region->GetEditText());
  PickCombo(region, 0);
  EXPECT_EQ(1, Right().Map().GetRegion());
  Settle();
  ASSERT_TRUE(OpenCombo(region));
  SaveFrameWithList(m_frame, region, "program_map_toolbar.png");
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_FALSE(region->IsListOpen());
  // Back on the graph page the toolbar goes.
  Command(ID_VIEW_GRAPH);
  EXPECT_FALSE(map->IsWindowVisible());
}

TEST_F(Program, ATypedStreamTimeMovesTheChartAndAnUnreadableOneChangesNothing) {
  AFX_LOCALE_VALUES dots = AfxGetLocaleValues();
  dots.timeSeparator = ".";
  AfxSetLocaleOverride(dots);
  struct Restore {
    ~Restore() { AfxClearLocaleOverride(); }
  } restore;
  ASSERT_NE(nullptr, Start());
  Command(ID_VIEW_MAP);
  CStreamTimeCombo* time = m_frame->GetStreamTimeCombo();
  ASSERT_TRUE(time);
  CMapView& chart = Right().Map();
  EXPECT_EQ(CString("12.00"), time->GetEditText());
  CWnd* focus = CWnd::GetFocus();
  CCbControlComboBoxEditCtrl* edit = time->GetEditCtrl();
  ASSERT_TRUE(edit && edit->IsWindowVisible());
  auto type = [&](const char* text, UINT end = VK_TAB) {
    AfxTestClick(edit->GetSafeHwnd(), 5, 5);
    Settle();
    ASSERT_EQ(edit->GetSafeHwnd(), ::GetFocus());
    for (const char* c = text; *c; ++c) {
      const char one[2] = {*c, 0};
      AfxTestKeyStroke(std::isdigit((unsigned char)*c) ? (UINT)*c : (UINT)std::toupper((unsigned char)*c), 0, one);
    }
    Settle();
    AfxTestKeyStroke(end);
    Settle();
  };
  type("7");
  EXPECT_EQ(CString("07.00"), time->GetEditText());
  EXPECT_EQ(7, chart.GetStreamTime().GetHour());
  EXPECT_EQ(0, chart.GetStreamTime().GetMinute());
  EXPECT_EQ(focus ? focus->GetSafeHwnd() : m_frame->GetSafeHwnd(), ::GetFocus());
  // Not a time: the last one stays and its text comes back.
  chart.SetStreamTime(CQsDateTime(2024, 1, 1, 7, 0, 0));
  type("x7");
  EXPECT_EQ(CString("07.00"), time->GetEditText());
  EXPECT_EQ(7, time->GetTime().GetHour());
  EXPECT_EQ(7, chart.GetStreamTime().GetHour());
  // Enter takes the typed time as well.
  type("8", VK_RETURN);
  EXPECT_EQ(CString("08.00"), time->GetEditText());
  EXPECT_EQ(8, chart.GetStreamTime().GetHour());
  EXPECT_EQ(focus ? focus->GetSafeHwnd() : m_frame->GetSafeHwnd(), ::GetFocus());
  // Hours and minutes.
  type("9.45");
  EXPECT_EQ(CString("09.45"), time->GetEditText());
  EXPECT_EQ(9, chart.GetStreamTime().GetHour());
  EXPECT_EQ(45, chart.GetStreamTime().GetMinute());

  // Browsing the list moves nothing; Esc brings the text and the time back.
  ASSERT_TRUE(OpenCombo(time));
  AfxTestKeyStroke(VK_DOWN);
  AfxTestKeyStroke(VK_DOWN);
  Settle();
  EXPECT_NE(CString("09.45"), time->GetEditText());
  EXPECT_EQ(45, chart.GetStreamTime().GetMinute());
  AfxTestKeyStroke(VK_ESCAPE);
  Settle();
  EXPECT_FALSE(time->IsListOpen());
  EXPECT_EQ(CString("09.45"), time->GetEditText());
  EXPECT_EQ(9, time->GetTime().GetHour());
  EXPECT_EQ(45, time->GetTime().GetMinute());
  EXPECT_EQ(45, chart.GetStreamTime().GetMinute());
  // A pick moves the chart.
  PickCombo(time, 18);
  EXPECT_EQ(CString("18.00"), time->GetEditText());
  EXPECT_EQ(18, chart.GetStreamTime().GetHour());
  EXPECT_EQ(0, chart.GetStreamTime().GetMinute());

  // In current-time mode the combo is off; leaving the mode gives the chart the combo's time.
  Command(ID_USE_CURRENT_TIME);
  EXPECT_FALSE(time->GetEnabled());
  EXPECT_FALSE(edit->IsWindowEnabled());
  EXPECT_FALSE(OpenCombo(time));
  Command(ID_USE_CURRENT_TIME);
  EXPECT_TRUE(time->GetEnabled());
  EXPECT_TRUE(edit->IsWindowEnabled());
  EXPECT_EQ(18, chart.GetStreamTime().GetHour());
}

}  // namespace
