// The program with a GPS receiver on a pseudo-terminal: Track Position, the fix on the chart
// and in the GPS window, the status-bar pane, the errors a user sees and the port dialog.
#include "chart/ConfigureGpsDialog.h"
#include "tests/app/FrameFixture.h"
#include "tests/chart/GpsTestKit.h"

#include <cstring>

namespace {

using gps_test::Pty;
using gps_test::Sentence;

class Gps : public app_test::Program {
 protected:
  void TearDown() override {
    CGpsReader::Instance().Stop();
    app_test::Program::TearDown();
  }

  CMainFrame* StartOn(const std::string& device) {
    AfxGetApp()->WriteProfileString("General", "GpsDevice", device.c_str());
    return Start();
  }

  // The menu holding the GPS commands, as it shows when opened.
  UINT MenuState(UINT id) {
    CMenu& menu = m_frame->GetMainMenu();
    for (UINT i = 0; i < menu.GetMenuItemCount(); ++i) {
      CMenu* popup = menu.GetSubMenu((int)i);
      if (!popup || popup->GetMenuState(id, MF_BYCOMMAND) == (UINT)-1) continue;
      m_frame->SendMessage(WM_INITMENUPOPUP, (WPARAM)popup->GetSafeHmenu(), i);
      return popup->GetMenuState(id, MF_BYCOMMAND);
    }
    return (UINT)-1;
  }
  bool Ticked(UINT id) { return (MenuState(id) & MF_CHECKED) != 0; }
  bool Grayed(UINT id) { return (MenuState(id) & MF_GRAYED) != 0; }

  // What the frame last gave the chart (latitude, longitude, course, speed), and whether it is
  // known and fresh. The one place that reads the chart's vessel position.
  struct Vessel {
    double latitude, longitude, course, speed;
    int known, fresh;
  };
  Vessel VesselOnChart() {
    CMapView& map = Right().Map();
    Vessel v{};
    map.GetVesselPosition(v.latitude, v.longitude, v.course, v.speed);
    v.known = map.HasVesselPosition();
    v.fresh = map.IsVesselFresh();
    return v;
  }

  bool WaitFor(const std::function<bool()>& done) {
    AfxTestWait(5000, done);
    return done();
  }
};

TEST_F(Gps, TrackPositionPutsTheFixOnTheChartAndInTheGpsWindow) {
  Pty pty;
  ASSERT_TRUE(pty.Ok());
  ASSERT_NE(nullptr, StartOn(pty.Name()));
  Command(ID_VIEW_MAP);
  EXPECT_FALSE(Ticked(ID_GPS_TRACK));
  EXPECT_FALSE(Grayed(ID_GPS_CONFIGURE));
  const int panes = m_frame->GetStatusBar().GetCount();

  Command(ID_GPS_TRACK);
  ASSERT_TRUE(WaitFor([&] { return m_frame->IsGpsPaneShown() != 0; })) << (m_boxes.empty() ? "" : m_boxes[0]);
  EXPECT_TRUE(m_boxes.empty());
  EXPECT_TRUE(Ticked(ID_GPS_TRACK));
  EXPECT_TRUE(Grayed(ID_GPS_CONFIGURE));
  EXPECT_EQ(panes + 1, m_frame->GetStatusBar().GetCount());
  // The new last pane shows the GPS icon.
  EXPECT_NE(nullptr, m_frame->GetGpsPane().GetIcon());
  EXPECT_TRUE(m_frame->GetGpsPane().IsWindowVisible());
  EXPECT_TRUE(Left().IsGpsShown());
  EXPECT_TRUE(Left().GpsWnd().IsWindowVisible());
  EXPECT_TRUE(Left().GpsCaption().IsWindowVisible());

  // Off the Needles, heading south-east at six knots; a GGA and a bad line between.
  pty.Write(Sentence("GPGGA,101500.00,5039.600,N,00135.200,W,1,09,0.9,3.0,M,47.0,M,,") + "\r\n" + "$GPRMC,bad*00\r\n" +
            Sentence("GNRMC,101500.00,A,5039.600,N,00135.200,W,6.20,135.0,100626,,,A") + "\r\n");
  ASSERT_TRUE(WaitFor([&] { return VesselOnChart().known != 0; }));
  const Vessel v = VesselOnChart();
  EXPECT_NEAR(50.66, v.latitude, 1e-9);
  EXPECT_NEAR(-(1.0 + 35.2 / 60), v.longitude, 1e-9);
  EXPECT_DOUBLE_EQ(135.0, v.course);
  EXPECT_DOUBLE_EQ(6.2, v.speed);
  EXPECT_TRUE(v.fresh);
  CGpsWnd& gps = Left().GpsWnd();
  EXPECT_TRUE(gps.HasData());
  EXPECT_NEAR(50.66, gps.GetLatitude(), 1e-9);
  EXPECT_DOUBLE_EQ(6.2, gps.GetSpeed());
  EXPECT_DOUBLE_EQ(135.0, gps.GetCourse());
  EXPECT_EQ(10, m_frame->GetLastFix().hour);
  EXPECT_EQ(15, m_frame->GetLastFix().minute);
  ASSERT_TRUE(WaitFor([&] { return gps.GetPaintedCourse() == 135.0; }));
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "gps_track_position.png");
  // The chart over the Solent shows the boat's mark at the fix.
  CMapView& map = Right().Map();
  map.SetExtents(-2.2, -0.6, 51.0, 50.0);
  map.ZoomIn();
  map.ZoomOut();
  map.WaitForStreams();
  Settle();
  CPoint boat;
  ASSERT_TRUE(map.LatLonToClient(v.latitude, v.longitude, boat));
  EXPECT_EQ(boat, map.GetVesselPixel());
  CBitmap shown;
  ASSERT_TRUE(AfxCaptureWindow(map.GetSafeHwnd(), &shown));
  const CPoint origin = AfxClientOriginInCapture(map.GetSafeHwnd());
  EXPECT_EQ(RGB(0, 0, 0), shown.GetPixel(boat.x + origin.x, boat.y + origin.y));
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "gps_chart_boat.png");

  // Off again: the pane and the panel go.
  Command(ID_GPS_TRACK);
  ASSERT_TRUE(WaitFor([&] { return !m_frame->IsGpsPaneShown(); }));
  EXPECT_FALSE(VesselOnChart().fresh);
  EXPECT_FALSE(CGpsReader::Instance().IsRunning());
  EXPECT_EQ(panes, m_frame->GetStatusBar().GetCount());
  EXPECT_FALSE(Left().IsGpsShown());
  EXPECT_FALSE(Left().GpsWnd().IsWindowVisible());
  EXPECT_FALSE(Ticked(ID_GPS_TRACK));
  EXPECT_TRUE(m_boxes.empty());
}

TEST_F(Gps, AReceiverThatCantBeReadIsToldAndTheProgramGoesOn) {
  struct {
    const char* device;
    const char* text;
  } cases[] = {
      {"/dev/neapwise-no-such-gps",
       "GPS: Could not open COM port.\n\nPlease check that the GPS is plugged in and working and that no\n"
       "other programs are listening on the COM port"},
      {"/dev/null", "GPS Error:\n\nInappropriate ioctl for device"},
  };
  for (const auto& c : cases) {
    ASSERT_NE(nullptr, StartOn(c.device));
    m_boxes.clear();
    Command(ID_GPS_TRACK);
    ASSERT_TRUE(WaitFor([&] { return !m_boxes.empty(); })) << c.device;
    EXPECT_EQ(std::string(c.text), m_boxes[0]);
    EXPECT_FALSE(m_frame->IsGpsPaneShown());
    WaitFor([&] { return !CGpsReader::Instance().IsRunning(); });
    EXPECT_FALSE(Ticked(ID_GPS_TRACK));
    Close();
  }

  // Unplugged while tracking.
  Pty pty;
  ASSERT_NE(nullptr, StartOn(pty.Name()));
  m_boxes.clear();
  Command(ID_GPS_TRACK);
  ASSERT_TRUE(WaitFor([&] { return m_frame->IsGpsPaneShown() != 0; }));
  pty.HangUp();
  ASSERT_TRUE(WaitFor([&] { return !m_frame->IsGpsPaneShown(); }));
  ASSERT_EQ(1u, m_boxes.size());
  EXPECT_EQ(std::string("GPS Error:\n\nInput/output error"), m_boxes[0]);
  EXPECT_FALSE(Left().IsGpsShown());
  EXPECT_FALSE(Ticked(ID_GPS_TRACK));
}

TEST_F(Gps, ClosingTheProgramStopsTheReaderAndKeepsThePort) {
  Pty pty;
  AfxGetApp()->WriteProfileInt("General", "GpsComPort", 66);
  ASSERT_NE(nullptr, StartOn(pty.Name()));
  EXPECT_EQ(66, CGpsReader::Instance().GetPort());
  Command(ID_GPS_TRACK);
  ASSERT_TRUE(WaitFor([&] { return m_frame->IsGpsPaneShown() != 0; }));
  Close();
  EXPECT_FALSE(CGpsReader::Instance().IsRunning());
  const std::string profile = ProfileText();
  EXPECT_NE(std::string::npos, profile.find("GpsComPort=66")) << profile;
  EXPECT_NE(std::string::npos, profile.find("GpsDevice=" + pty.Name())) << profile;
}

TEST_F(Gps, ConfigureGpsOpensThePortDialogOnlyWhileNotTracking) {
  Pty pty;
  ASSERT_NE(nullptr, StartOn(pty.Name()));
  CString caption, selected;
  CTestCallLater later(50, [&] {
    CWnd* dlg = CWnd::FromHandle(::GetActiveWindow());
    ASSERT_NE(nullptr, dlg);
    dlg->GetWindowText(caption);
    if (auto* list = dynamic_cast<CComboBox*>(dlg->GetDlgItem(IDC_GPS_PORT_LIST)); list && list->GetCurSel() >= 0)
      list->GetLBText(list->GetCurSel(), selected);
    AfxTestKeyStroke(VK_ESCAPE);
  });
  Command(ID_GPS_CONFIGURE);
  ASSERT_TRUE(later.Wait());
  EXPECT_EQ(CString("Configure GPS"), caption);
  // The device in use is the one offered.
  EXPECT_EQ(CString(pty.Name().c_str()), selected);
  EXPECT_EQ(CString(pty.Name().c_str()), CGpsReader::Instance().GetDevicePath());

  Command(ID_GPS_TRACK);
  ASSERT_TRUE(WaitFor([&] { return m_frame->IsGpsPaneShown() != 0; }));
  EXPECT_TRUE(Grayed(ID_GPS_CONFIGURE));
}

}  // namespace
