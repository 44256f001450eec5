// Popups on the headless platform given two screens side by side by a screens file: a menu opened
// at a point on the second screen stays on it, and one that does not fit left of the first
// screen's right edge opens leftward there. In a process of its own: the screens are set at start.
#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"  // see popup_quit_test.cpp
#endif

namespace {

TEST(PopupScreens, TwoScreensSideBySide) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("neapwise-screens-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path file = dir / "screens.json";
  {
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs(
        "{\"screens\": [{\"name\": \"left\", \"x\": 0, \"y\": 0, \"width\": 1280, \"height\": 1024},"
        " {\"name\": \"right\", \"x\": 1280, \"y\": 0, \"width\": 1024, \"height\": 768}]}",
        f);
    std::fclose(f);
  }
  ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file.string()).c_str(), 1);
  AfxWinInit(0, nullptr);
  std::filesystem::remove_all(dir);
  if (::GetSystemMetrics(SM_CMONITORS) < 2) GTEST_SKIP() << "this platform plugin reads no screens file";
  CCbFrameWnd* frame = new CCbFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Screens", WS_POPUP | WS_VISIBLE, CRect(100, 100, 600, 400)));
  ASSERT_TRUE(frame->InitCommandBars());
  CCbControlPopup* owner = CCbControlPopup::CreateControlPopup(cbControlPopup);
  CCbPopupBar* popup = owner->EnsurePopupBar();
  popup->SetCommandBars(frame->GetCommandBars());
  for (int i = 0; i < 5; ++i) popup->GetControls()->Add(cbControlButton, 100 + i)->SetCaption("An item of the menu");
  CRect rc;
  // Near the second screen's bottom: above the point, inside that screen.
  ASSERT_TRUE(popup->Popup(2000, 760));
  popup->GetWindowRect(&rc);
  EXPECT_GE(rc.left, 1280);
  EXPECT_LE(rc.right, 2304);
  EXPECT_EQ(rc.bottom, 760);
  popup->SetTrackingMode(FALSE);
  // Near the first screen's right edge: kept on the first screen.
  ASSERT_TRUE(popup->Popup(1270, 100));
  popup->GetWindowRect(&rc);
  EXPECT_LE(rc.right, 1280);
  EXPECT_EQ(rc.top, 100);
  popup->SetTrackingMode(FALSE);
  frame->DestroyWindow();
  owner->InternalRelease();
}

}  // namespace
