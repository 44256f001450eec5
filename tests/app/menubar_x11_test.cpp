// The program's menus on a real X server (Xvfb), where the server itself routes a click made
// outside every window of the program. Skipped where no Xvfb is installed or it has no XTEST.
#include "tests/app/FrameFixture.h"

#include "tests/support/Xvfb.h"

namespace app_test {
namespace {

class MenusOnX11 : public Program {
 protected:
  // One server for the test process; the program in this process connects to it.
  static test_support::CXvfb* server;
  static void SetUpTestSuite() {
    server = new test_support::CXvfb("1600x1200x24");
    if (!server->Running()) return;
    ::setenv("DISPLAY", (":" + server->Display()).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server || !server->Running()) GTEST_SKIP() << "no Xvfb";
    Program::SetUp();
  }
};
test_support::CXvfb* MenusOnX11::server = nullptr;

TEST_F(MenusOnX11, AClickOutsideTheProgramOnlyClosesTheMenu) {
  ASSERT_NE(nullptr, Start());
  Settle(200);
  const int port = m_frame->GetCurrentPort();
  ClickMenuTitle(m_frame, 2);
  auto* tides = dynamic_cast<CCbPopupBar*>(m_frame->GetMenuBar().GetControl(2)->GetCommandBar());
  AfxTestWait(2000, [&] { return tides && tides->IsTrackingMode() && tides->IsWindowVisible(); });
  ASSERT_TRUE(tides && tides->IsTrackingMode());
  Settle(200);
  // A corner of the screen that no window of the program covers.
  CRect frame, menu;
  m_frame->GetWindowRect(&frame);
  tides->GetWindowRect(&menu);
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  POINT outside{-1, -1};
  for (POINT p : {POINT{w - 5, h - 5}, POINT{5, h - 5}, POINT{w - 5, 5}, POINT{5, 5}})
    if (!frame.PtInRect(p) && !menu.PtInRect(p)) {
      outside = p;
      break;
    }
  if (outside.x < 0) GTEST_SKIP() << "the frame covers the screen";
  if (!AfxTestServerClick(outside)) GTEST_SKIP() << "no XTEST";
  AfxTestWait(3000, [&] { return !tides->IsTrackingMode(); });
  EXPECT_FALSE(tides->IsTrackingMode());
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  EXPECT_TRUE(OpenPopupBars().empty());
  // Nothing else happened: the program is there, as it was.
  EXPECT_TRUE(::IsWindow(m_frame->GetSafeHwnd()) && m_frame->IsWindowVisible());
  EXPECT_EQ(port, m_frame->GetCurrentPort());
}

}  // namespace
}  // namespace app_test
