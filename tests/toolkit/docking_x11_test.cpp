// A floating toolbar on a real X server (Xvfb): the window manager is asked to keep the place
// the program gives it and never to give it the focus, and it is not made override-redirect.
// Skipped where no Xvfb or xprop is installed.
#include "platform/testing/UiTest.h"
#include "platform/ui/WinApp.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPaintManager.h"

#include "tests/support/Xvfb.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

using test_support::Output;

TEST(DockingOnX11, AFloatingBarIsManagedKeepsItsPlaceAndTakesNoFocus) {
  if (::access("/usr/bin/Xvfb", X_OK) != 0 || ::access("/usr/bin/xprop", X_OK) != 0)
    GTEST_SKIP() << "no Xvfb or xprop installed";
  test_support::CXvfb server;
  ASSERT_TRUE(server.Spawned());
  if (!server.Running()) GTEST_SKIP() << "Xvfb did not start";
  const std::string display = server.Display();
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
  server.Stop();
  std::filesystem::remove_all(runtime);
  // The place is the program's own, which a window manager keeps.
  EXPECT_NE(props.find("specified location: 300, 200"), std::string::npos) << props;
  EXPECT_NE(props.find("Client accepts input or input focus: False"), std::string::npos) << props;
  EXPECT_NE(props.find("WM_TRANSIENT_FOR(WINDOW): window id"), std::string::npos) << props;
  EXPECT_NE(info.find("Override Redirect State: no"), std::string::npos) << info;
}

}  // namespace
