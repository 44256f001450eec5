// A floating toolbar on a real X server (Xvfb): the window manager is asked to keep the place
// the program gives it and never to give it the focus, and it is not made override-redirect.
// Skipped where no Xvfb or xprop is installed.
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPaintManager.h"
#include "platform/ui/UiTest.h"
#include "platform/ui/WinApp.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* f = ::popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    ::pclose(f);
  }
  return out;
}

TEST(DockingOnX11, AFloatingBarIsManagedKeepsItsPlaceAndTakesNoFocus) {
  if (::access("/usr/bin/Xvfb", X_OK) != 0 || ::access("/usr/bin/xprop", X_OK) != 0)
    GTEST_SKIP() << "no Xvfb or xprop installed";
  int fds[2];
  ASSERT_EQ(0, ::pipe(fds));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr};
  pid_t server = 0;
  ASSERT_EQ(0, ::posix_spawn(&server, argv[0], &actions, nullptr, const_cast<char**>(argv), environ));
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  std::string display;
  char c;
  while (::read(fds[0], &c, 1) == 1 && c != '\n') display += c;
  ::close(fds[0]);
  auto stop = [&] {
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
  };
  if (display.empty()) {
    stop();
    GTEST_SKIP() << "Xvfb did not start";
  }
  // Qt's runtime folder in a folder of the test's own, gone at the end.
  char tmpl[] = "/tmp/neapwise-dockx11-XXXXXX";
  const char* runtime = ::mkdtemp(tmpl);
  ASSERT_NE(runtime, nullptr);
  ::chmod(runtime, 0700);
  ::setenv("XDG_RUNTIME_DIR", runtime, 1);
  ::setenv("DISPLAY", (":" + display).c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  AfxWinInit(0, nullptr);
  CCbPaintManager::SetTheme(0);
  auto* frame = new CCbFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Docking", WS_POPUP | WS_VISIBLE, CRect(20, 20, 820, 420)));
  ASSERT_TRUE(frame->InitCommandBars());
  CCbToolBar* map = frame->GetCommandBars()->Add("Map", cbBarTop);
  ASSERT_TRUE(map && map->LoadToolBar(281));
  map->EnableDocking(0x3D);
  map->GetDockContext()->FloatAt(CPoint(300, 200));
  ASSERT_TRUE(map->IsFloating());
  AfxTestWait(300);
  const unsigned long id = AfxTestNativeWindowId(map->m_hWnd);
  ASSERT_NE(id, 0u);
  char cmd[256];
  std::snprintf(cmd, sizeof cmd, "DISPLAY=:%s /usr/bin/xprop -id %lu WM_NORMAL_HINTS WM_HINTS WM_TRANSIENT_FOR 2>&1",
                display.c_str(), id);
  const std::string props = Output(cmd);
  std::snprintf(cmd, sizeof cmd, "DISPLAY=:%s /usr/bin/xwininfo -id %lu 2>&1", display.c_str(), id);
  const std::string info = Output(cmd);
  frame->DestroyWindow();
  AfxTestWait(50);
  stop();
  std::filesystem::remove_all(runtime);
  // The place is the program's own, which a window manager keeps.
  EXPECT_NE(props.find("specified location: 300, 200"), std::string::npos) << props;
  EXPECT_NE(props.find("Client accepts input or input focus: False"), std::string::npos) << props;
  EXPECT_NE(props.find("WM_TRANSIENT_FOR(WINDOW): window id"), std::string::npos) << props;
  EXPECT_NE(info.find("Override Redirect State: no"), std::string::npos) << info;
}

}  // namespace
