// The full-screen graph: over the whole screen without caption, with its own copy of the
// day's curve and scale, following the clock only in current-time mode, and closed by Esc
// (wherever the focus is) or a double-click, after the handler that asked has finished.
#include "platform/testing/UiTest.h"
#include "tests/views/GraphFixture.h"
#include "views/FullScreenWnd.h"

#include <cmath>

namespace {

using namespace views_test;

class FullHost : public FakeHost {
 public:
  BOOL autoHeight = TRUE;
  double maxHeight = 10.0;
  BOOL currentTime = FALSE;
  BOOL feet = FALSE;
  int summer = 0;
  BOOL IsAutoHeight() const override { return autoHeight; }
  double GetMaxHeight() const override { return maxHeight; }
  BOOL IsUseCurrentTime() const override { return currentTime; }
  BOOL IsFeet() const override { return feet; }
  CLocalDay GetLocalDayOf(int) const override { return CLocalDay::Plain(GetTimeZone(), summer); }
  CString GetCurrentPortName() const override { return "Dover, England"; }
  double GetAgroundLevel() const override { return 2.5; }
};

// Records the messages a main window would get from the full-screen graph.
class CMainStandIn : public CWnd {
 public:
  int fullScreen = 0;
  LRESULT OnFullScreen(WPARAM, LPARAM) {
    ++fullScreen;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMainStandIn, CWnd)
  ON_MESSAGE(WM_GRAPH_FULLSCREEN, OnFullScreen)
END_MESSAGE_MAP()

class FullScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(day.Load("Dover", 2025, 6, 12)) << "the embedded tables give no day";
    ASSERT_TRUE(main.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    host.mainWnd = &main;
    host.day = &day;
  }
  void TearDown() override {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    main.DestroyWindow();
    AfxTestWait(5);
  }
  // Opens the window as the frame does; its handle.
  CFullScreenWnd* Open() {
    auto* wnd = new CFullScreenWnd;
    wnd->SetHost(&host);
    LPCTSTR cls =
        AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1));
    if (!wnd->Create(cls, "", WS_VISIBLE | WS_MAXIMIZE, CFrameWnd::rectDefault, nullptr)) return nullptr;
    hwnd = wnd->GetSafeHwnd();
    wnd->SetTimeMark(10 * 60);
    wnd->SetHasData();
    AfxTestWait(20);
    return wnd;
  }
  bool Closed(int ms = 5000) {
    AfxTestWait(ms, [&] { return !::IsWindow(hwnd); });
    return !::IsWindow(hwnd);
  }

  PortDay day;
  FullHost host;
  CMainStandIn main;
  HWND hwnd = nullptr;
};

TEST_F(FullScreen, CoversTheScreenWithoutCaptionAndShowsItsOwnCopyOfTheDay) {
  CFullScreenWnd* wnd = Open();
  ASSERT_NE(nullptr, wnd);
  CRect rc;
  wnd->GetWindowRect(&rc);
  EXPECT_EQ(CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), rc);
  EXPECT_FALSE(wnd->GetStyle() & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  CGraphWnd& g = wnd->GetGraph();
  EXPECT_EQ((int)CFullScreenWnd::kGraphId, g.GetDlgCtrlID());
  CRect client, graphRect;
  wnd->GetClientRect(&client);
  g.GetWindowRect(&graphRect);
  EXPECT_EQ(client.Size(), graphRect.Size()) << "the graph fills the window";
  EXPECT_TRUE(g.HasData());
  EXPECT_EQ(CString("Dover, England - Thu 12 Jun 2025"), g.GetTitle());
  for (int m : {0, 333, 720, 1439}) EXPECT_DOUBLE_EQ(day.prediction.HeightAt(m, 0, 0), g.GetHeightDisplay(m)) << m;
  EXPECT_NEAR(1.1 * day.dayMax, g.GetMaxHeight(), 1e-9);
  EXPECT_EQ(10 * 60, g.GetTimeMark());
  // The graph defaults that are not copied: line width 2, a curve, all four levels.
  EXPECT_EQ(2, g.GetLineWidth());
  EXPECT_FALSE(g.IsAreaGraph());
  EXPECT_TRUE(g.GetShowMHWS() && g.GetShowMLWS());
  ASSERT_TRUE(AfxSaveWindowPng(wnd->GetSafeHwnd(), "fullscreen_graph.png"));
  // No context menu on the full-screen graph.
  int opened = 0;
  CTestCallLater check(30, [&] {
    opened = AfxGetTrackingMenus(nullptr, nullptr, 2) > 0;
    EndMenu();
  });
  g.SendMessage(WM_CONTEXTMENU, (WPARAM)g.GetSafeHwnd(), MAKELPARAM(300, 300));
  EXPECT_TRUE(check.Wait());
  EXPECT_EQ(0, opened);
}

TEST_F(FullScreen, TheScaleTakesTheFixedMaximumOnlyAboveTheDaysHighest) {
  struct Case {
    BOOL autoHeight;
    double fixed;
    double want;  // 0: 1.1 x the day's highest
  } cases[] = {{TRUE, 20.0, 0}, {FALSE, 20.0, 20.0}, {FALSE, 1.0, 0}};
  for (const Case& c : cases) {
    host.autoHeight = c.autoHeight;
    host.maxHeight = c.fixed;
    CFullScreenWnd* wnd = Open();
    ASSERT_NE(nullptr, wnd);
    EXPECT_NEAR(c.want ? c.want : 1.1 * day.dayMax, wnd->GetGraph().GetMaxHeight(), 1e-9) << c.fixed;
    ::DestroyWindow(hwnd);
    EXPECT_TRUE(Closed());
  }
  host.feet = TRUE;
  CFullScreenWnd* wnd = Open();
  ASSERT_NE(nullptr, wnd);
  EXPECT_TRUE(wnd->GetGraph().IsFeet());
}

TEST_F(FullScreen, EscClosesItEvenWhenTheGraphHasTheFocus) {
  CFullScreenWnd* wnd = Open();
  ASSERT_NE(nullptr, wnd);
  // A click gives the graph the focus, as a user's would.
  AfxTestClick(wnd->GetGraph().GetSafeHwnd(), 100, 100);
  AfxTestWait(5000, [&] { return ::GetFocus() == wnd->GetGraph().GetSafeHwnd(); });
  ASSERT_EQ(wnd->GetGraph().GetSafeHwnd(), ::GetFocus());
  AfxTestKeyStroke('A');  // other keys leave it open
  AfxTestWait(30);
  ASSERT_TRUE(::IsWindow(hwnd));
  AfxTestKeyStroke(VK_ESCAPE);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(0, main.fullScreen);
}

TEST_F(FullScreen, ADoubleClickClosesItAfterTheGraphsHandlerAndOpensNoOther) {
  CFullScreenWnd* wnd = Open();
  ASSERT_NE(nullptr, wnd);
  AfxTestDoubleClick(wnd->GetGraph().GetSafeHwnd(), 300, 200);
  EXPECT_TRUE(Closed());
  EXPECT_EQ(0, main.fullScreen) << "the double-click asked for another full-screen window";
  // A double-click message straight to the window closes it too, once its handler is done.
  wnd = Open();
  ASSERT_NE(nullptr, wnd);
  wnd->SendMessage(WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_TRUE(::IsWindow(hwnd)) << "destroyed inside the handler that asked";
  EXPECT_TRUE(Closed());
}

TEST_F(FullScreen, TheMinuteTimerFollowsTheClockOnlyInCurrentTimeMode) {
  CFullScreenWnd* wnd = Open();
  ASSERT_NE(nullptr, wnd);
  CGraphWnd& g = wnd->GetGraph();
  g.SetAgroundLevel(1.0);
  wnd->SendMessage(WM_TIMER, CFullScreenWnd::kTimerId, 0);
  EXPECT_EQ(10 * 60, g.GetTimeMark());
  EXPECT_DOUBLE_EQ(1.0, g.GetAgroundLevel());
  host.currentTime = TRUE;
  const CQsDateTime before = CQsDateTime::GetCurrent();
  wnd->SendMessage(WM_TIMER, CFullScreenWnd::kTimerId, 0);
  const CQsDateTime after = CQsDateTime::GetCurrent();
  const int mark = g.GetTimeMark();
  EXPECT_TRUE(mark == before.GetHour() * 60 + before.GetMinute() || mark == after.GetHour() * 60 + after.GetMinute())
      << mark;
  EXPECT_DOUBLE_EQ(2.5, g.GetAgroundLevel());
}

}  // namespace
