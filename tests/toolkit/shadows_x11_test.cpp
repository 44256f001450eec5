// Shadows and window shapes on a real X server (Xvfb): the server itself routes the clicks,
// by stacking and input shapes. Skipped where no Xvfb is installed or it has no XTEST.
#include "toolkit/CbShadows.h"

#include "platform/testing/UiTest.h"
#include "toolkit/CbPaintManager.h"

#include "tests/support/TestWindows.h"
#include "tests/support/Xvfb.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// One server for the test process; the test's own QApplication connects to it.
using Server = test_support::CXvfb;
using test_support::MakeSolidPopup;

struct OnX11 : ::testing::Test {
  static Server* server;
  static void SetUpTestSuite() {
    server = new Server("800x600x24");
    if (!server->Running()) return;
    ::setenv("DISPLAY", (":" + server->Display()).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  static void TearDownTestSuite() {
    CbShadowsManager()->RemoveAll();
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server || !server->Running()) GTEST_SKIP() << "no Xvfb";
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
  }
  // Waits until the window has its click, or gives up.
  static bool WaitFor(const int& clicks, int want) {
    AfxTestWait(3000, [&] { return clicks >= want; });
    return clicks >= want;
  }
};
Server* OnX11::server = nullptr;

TEST_F(OnX11, BareServerHasNoCompositorSoStripsAreSolid) {
  EXPECT_FALSE(AfxIsCompositionActive());
  auto menu = MakeSolidPopup(CRect(100, 100, 200, 200), RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
  ASSERT_EQ(CbShadowsManager()->GetCount(menu->m_hWnd), 2);
  CShadowList& l = CbShadowsManager()->GetList();
  for (POSITION pos = l.GetHeadPosition(); pos;) EXPECT_FALSE(l.GetNext(pos)->m_bLayered);
  CbShadowsManager()->RemoveAll();
}

TEST_F(OnX11, ClickOnAStripReachesTheWindowUnderIt) {
  auto under = MakeSolidPopup(CRect(0, 0, 400, 400), RGB(255, 255, 255));
  auto menu = MakeSolidPopup(CRect(100, 100, 200, 200), RGB(255, 255, 255));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
  AfxTestWait(300);
  // The server delivers clicks at all (a click on the menu reaches the menu).
  if (!AfxTestServerClick(POINT{150, 150})) GTEST_SKIP() << "no XTEST";
  ASSERT_TRUE(WaitFor(menu->clicks, 1));
  ASSERT_TRUE(AfxTestServerClick(POINT{201, 150}));  // on the right strip
  EXPECT_TRUE(WaitFor(under->clicks, 1));
  ASSERT_TRUE(AfxTestServerClick(POINT{150, 201}));  // on the bottom strip
  EXPECT_TRUE(WaitFor(under->clicks, 2));
  EXPECT_EQ(menu->clicks, 1);
  CbShadowsManager()->RemoveAll();
}

TEST_F(OnX11, ClicksPassWhereTheShapeIsCutAway) {
  auto under = MakeSolidPopup(CRect(0, 0, 400, 400), RGB(255, 255, 255));
  auto top = MakeSolidPopup(CRect(100, 100, 300, 200), RGB(255, 255, 255));
  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 100, 100);
  ::SetWindowRgn(top->m_hWnd, (HRGN)rgn.Detach(), TRUE);
  AfxTestWait(300);
  if (!AfxTestServerClick(POINT{150, 150})) GTEST_SKIP() << "no XTEST";
  ASSERT_TRUE(WaitFor(top->clicks, 1));
  ASSERT_TRUE(AfxTestServerClick(POINT{250, 150}));
  EXPECT_TRUE(WaitFor(under->clicks, 1));
  EXPECT_EQ(top->clicks, 1);
}

}  // namespace
