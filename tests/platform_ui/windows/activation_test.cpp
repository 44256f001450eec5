// Activation switched quickly between top-level windows settles on the last one, without the
// windows taking turns for ever as Qt's late reports of earlier switches come in.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

namespace {

TEST(Activation, QuickSwitchesSettleOnTheLastWindow) {
  AfxWinInit(0, nullptr);
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS);
  CWnd a, b;
  ASSERT_TRUE(a.CreateEx(0, cls, "a", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr));
  ASSERT_TRUE(b.CreateEx(0, cls, "b", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr, nullptr));
  for (int i = 0; i < 5; ++i) {
    a.SetActiveWindow();
    b.SetActiveWindow();
  }
  bool ran = false;
  AfxCallLater(20, [&] { ran = true; });
  AfxTestWait(5000, [&] { return ran; });
  EXPECT_TRUE(ran);  // the event loop is not kept busy
  AfxTestWait(50);
  EXPECT_EQ(CWnd::GetActiveWindow(), &b);
  b.DestroyWindow();
  a.DestroyWindow();
}

}  // namespace
