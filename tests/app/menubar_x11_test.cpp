// The program's menus on a real X server (Xvfb), where the server itself routes a click made
// outside every window of the program. Skipped where no Xvfb is installed or it has no XTEST.
#include "tests/app/FrameFixture.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace app_test {
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

// One server for the test process; the program in this process connects to it.
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
    std::vector<std::string> args = {xvfb, "-displayfd", "3", "-screen", "0", "1600x1200x24", "-nolisten", "tcp"};
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

class MenusOnX11 : public Program {
 protected:
  static Server* server;
  static void SetUpTestSuite() {
    server = new Server;
    if (server->display.empty()) return;
    ::setenv("DISPLAY", (":" + server->display).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server || server->display.empty()) GTEST_SKIP() << "no Xvfb";
    Program::SetUp();
  }
};
Server* MenusOnX11::server = nullptr;

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
