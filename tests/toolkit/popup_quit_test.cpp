// A quit asked for while a popup is tracked modally ends its loop and stays seen by the loops
// around it. In a process of its own: once quit, the program's loops stay ended.
#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlPopup.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

#include <gtest/gtest.h>

// gcc guesses the release's virtual call to be the base's own delete, at the base's offset in the
// control, and warns about a delete it never makes.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#endif

TEST(PopupQuit, AQuitDuringATrackedPopupEndsItsLoopAndIsKeptForTheLoopsAround) {
  AfxWinInit(0, nullptr);
  CCbFrameWnd* frame = new CCbFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Quit", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300)));
  ASSERT_TRUE(frame->InitCommandBars());
  // Held by a popup control, as the program's popups are.
  CCbControlPopup* owner = CCbControlPopup::CreateControlPopup(cbControlPopup);
  CCbPopupBar* popup = owner->EnsurePopupBar();
  ASSERT_TRUE(popup);
  popup->GetControls()->Add(cbControlButton, 100)->SetCaption("&One");
  // A message posted after the quit must not be re-posted ahead of anything, nor lost in a loop.
  BOOL posted = FALSE;
  CTestCallLater quit(30, [&] {
    ::PostQuitMessage(3);
    posted = ::PostMessage(frame->GetSafeHwnd(), WM_NULL, 0, 0);
  });
  const UINT result = frame->GetCommandBars()->TrackPopupBar(popup, TPM_RETURNCMD, 50, 50);
  EXPECT_TRUE(quit.HasRun());
  EXPECT_TRUE(posted);
  EXPECT_EQ(result, 0u);
  EXPECT_FALSE(popup->IsTrackingMode());
  EXPECT_FALSE(popup->GetSafeHwnd());
  EXPECT_TRUE(AfxQuitRequested());
  frame->DestroyWindow();
  owner->InternalRelease();
}
