// Shadows and window shapes on a real X server (Xvfb): the server itself routes the clicks,
// by stacking and input shapes. Skipped where no Xvfb is installed or it has no XTEST.
#include "toolkit/CbShadows.h"

#include "toolkit/CbPaintManager.h"
#include "platform/ui/UiTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string FindTool(const char* name) {
  const char* path = std::getenv("PATH");
  std::string all = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string p = all.substr(start, end - start) + "/" + name;
    if (::access(p.c_str(), X_OK) == 0) return p;
    start = end + 1;
  }
  return {};
}

// One server for the test process; the test's own QApplication connects to it.
struct Server {
  pid_t pid = 0;
  std::string display;
  Server() {
    std::string xvfb = FindTool("Xvfb");
    if (xvfb.empty()) return;
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {xvfb, "-displayfd", "3", "-screen", "0", "800x600x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid, xvfb.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char c;
    while (pid && ::read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    ::close(fds[0]);
  }
  ~Server() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
};

class CTargetWnd : public CWnd {
 public:
  int clicks = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN) ++clicks;
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
      CPaintDC dc(this);
      CRect rc;
      GetClientRect(&rc);
      dc.FillSolidRect(&rc, RGB(255, 255, 255));
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

std::unique_ptr<CTargetWnd> MakeMenu(CRect rc) {
  auto w = std::make_unique<CTargetWnd>();
  EXPECT_TRUE(w->CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, AfxRegisterWndClass(0), nullptr, WS_POPUP, rc.left,
                          rc.top, rc.Width(), rc.Height(), nullptr, nullptr));
  w->ShowWindow(SW_SHOWNA);
  return w;
}

struct OnX11 : ::testing::Test {
  static Server* server;
  static void SetUpTestSuite() {
    server = new Server;
    if (server->display.empty()) return;
    ::setenv("DISPLAY", (":" + server->display).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  static void TearDownTestSuite() {
    CbShadowsManager()->RemoveAll();
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server || server->display.empty()) GTEST_SKIP() << "no Xvfb";
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
  auto menu = MakeMenu(CRect(100, 100, 200, 200));
  CbShadowsManager()->SetShadow(menu.get(), CRect(0, 0, 0, 0));
  ASSERT_EQ(CbShadowsManager()->GetCount(menu->m_hWnd), 2);
  CShadowList& l = CbShadowsManager()->GetList();
  for (POSITION pos = l.GetHeadPosition(); pos;) EXPECT_FALSE(l.GetNext(pos)->m_bLayered);
  CbShadowsManager()->RemoveAll();
}

TEST_F(OnX11, ClickOnAStripReachesTheWindowUnderIt) {
  auto under = MakeMenu(CRect(0, 0, 400, 400));
  auto menu = MakeMenu(CRect(100, 100, 200, 200));
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
  auto under = MakeMenu(CRect(0, 0, 400, 400));
  auto top = MakeMenu(CRect(100, 100, 300, 200));
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
