// The mouse and keyboard managers while a bar tracks: clicks elsewhere close it and still reach
// their window, keys go to the innermost bar, Alt and another program's activation end tracking.
#include "toolkit/CbCommandBar.h"
#include "toolkit/CbMouseManager.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

namespace {

class CTestBar : public CCbCommandBar {
 public:
  int ended = 0;
  BOOL SetTrackingMode(int nMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override {
    BOOL changed = CCbCommandBar::SetTrackingMode(nMode, bSelectFirst, bKeyboard);
    if (nMode)
      CbMouseManager()->SetTrack(this);
    else {
      if (changed) ++ended;
      CbMouseManager()->RemoveTrack(this);
    }
    return changed;
  }
};

class CTargetWnd : public CWnd {
 public:
  int presses = 0, moves = 0, keys = 0, keyMenus = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) ++presses;
    if (message == WM_MOUSEMOVE) ++moves;
    if (message == WM_KEYDOWN) ++keys;
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) ++keyMenus;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

struct Watcher : CCbHookManagerHookAble {
  int answer = 0;
  int asked = 0;
  int OnHookMessage(HWND, UINT message, WPARAM&, LPARAM&, LRESULT&) override {
    if (message == WM_KEYDOWN) ++asked;
    return answer;
  }
};

struct Scene {
  CTargetWnd target;
  CTestBar* bar = new CTestBar;
  Scene() {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS);
    EXPECT_TRUE(target.CreateEx(0, cls, "target", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
    EXPECT_TRUE(bar->CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, cls, "", WS_POPUP, 300, 0, 100, 100, target.m_hWnd,
                              nullptr));
    bar->ShowWindow(SW_SHOWNA);
    target.SetActiveWindow();
    target.SetFocus();
    bar->SetTrackingMode(TRUE, FALSE);
  }
  ~Scene() {
    bar->SetTrackingMode(FALSE);
    bar->InternalRelease();
    target.DestroyWindow();
  }
};

TEST(Tracking, APressElsewhereEndsTrackingAndStillReachesItsWindow) {
  Scene s;
  ASSERT_TRUE(CbMouseManager()->IsTrackedBar(s.bar));
  AfxTestClick(s.bar->m_hWnd, 10, 10);  // inside the bar: it handles that itself
  EXPECT_TRUE(s.bar->IsTrackingMode());
  POINT pt{50, 50};
  AfxTestMouse(WM_MOUSEMOVE, pt);
  AfxTestMouse(WM_RBUTTONDOWN, pt);
  AfxTestMouse(WM_RBUTTONUP, pt);
  EXPECT_FALSE(s.bar->IsTrackingMode());
  EXPECT_FALSE(CbMouseManager()->IsTracking());
  EXPECT_EQ(s.target.presses, 1);
}

TEST(Tracking, RepeatedMovesToTheSamePointAreDroppedWhileTracking) {
  Scene s;
  POINT pt{60, 70};
  AfxTestMouse(WM_MOUSEMOVE, pt);
  AfxTestMouse(WM_MOUSEMOVE, pt);
  AfxTestMouse(WM_MOUSEMOVE, POINT{61, 70});
  EXPECT_EQ(s.target.moves, 2);
}

TEST(Tracking, ALockWhoseWindowDiedNeitherHoldsTheReleaseNorOutlivesTracking) {
  Scene s;
  CWnd list;
  ASSERT_TRUE(list.CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, AfxRegisterWndClass(0), "", WS_POPUP, 0, 300, 50, 50,
                            s.target.m_hWnd, nullptr));
  CbMouseManager()->LockMouseMove(list.m_hWnd);
  EXPECT_TRUE(CbMouseManager()->IsMouseLocked());
  AfxTestMouse(WM_LBUTTONUP, POINT{50, 50});  // a release while a list is open keeps the menu
  EXPECT_TRUE(s.bar->IsTrackingMode());
  list.DestroyWindow();  // died without unlocking
  EXPECT_FALSE(CbMouseManager()->IsMouseLocked());
  CWnd edit;
  ASSERT_TRUE(edit.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 400, 50, 20, s.target.m_hWnd, nullptr));
  CbMouseManager()->LockMouseMove(edit.m_hWnd);
  CbMouseManager()->SendTrackLost();  // tracking ends: every lock with it
  EXPECT_FALSE(s.bar->IsTrackingMode());
  EXPECT_FALSE(CbMouseManager()->IsMouseLocked());
  edit.DestroyWindow();
}

TEST(Tracking, KeysGoToTheInnermostBarFirst) {
  Scene s;
  Watcher outer, inner;
  CbKeyboardManager()->HookKeyboard(&outer);
  CbKeyboardManager()->HookKeyboard(&inner);
  struct Case {
    int outerAnswer, innerAnswer;
    int outerAsked, innerAsked, windowKeys;
  };
  const Case cases[] = {
      {0, 1, 0, 1, 0},  // the innermost takes it
      {1, 0, 1, 1, 0},  // passed on to the outer bar
      {0, 2, 0, 1, 1},  // released to the focused window
      {0, 0, 1, 1, 0},  // nobody wants it: still swallowed
  };
  for (const Case& c : cases) {
    outer.answer = c.outerAnswer;
    inner.answer = c.innerAnswer;
    outer.asked = inner.asked = s.target.keys = 0;
    AfxTestKeyStroke(VK_DOWN);
    EXPECT_EQ(outer.asked, c.outerAsked);
    EXPECT_EQ(inner.asked, c.innerAsked);
    EXPECT_EQ(s.target.keys, c.windowKeys);
  }
  CbKeyboardManager()->UnhookKeyboard(&inner);
  CbKeyboardManager()->UnhookKeyboard(&outer);
  s.bar->SetTrackingMode(FALSE);  // the tracking bar holds the keys too
  AfxTestKeyStroke(VK_DOWN);
  EXPECT_EQ(s.target.keys, 1);  // no bars: keys pass
}

TEST(Tracking, AltEndsTrackingWithoutEnteringTheMenuAgain) {
  Scene s;
  Watcher w;
  CbKeyboardManager()->HookKeyboard(&w);
  AfxTestKey(VK_MENU, TRUE, AFX_TEST_ALT);
  AfxTestKey(VK_MENU, FALSE);
  EXPECT_FALSE(s.bar->IsTrackingMode());
  EXPECT_EQ(w.asked, 0);
  EXPECT_EQ(s.target.keyMenus, 0);
  CbKeyboardManager()->UnhookKeyboard(&w);
}

TEST(Tracking, AnotherProgramTakingTheActivationEndsTracking) {
  Scene s;
  Watcher w;
  AfxTestApplicationState(TRUE);
  CbKeyboardManager()->HookKeyboard(&w);
  AfxTestApplicationState(FALSE);
  EXPECT_FALSE(s.bar->IsTrackingMode());
  AfxTestApplicationState(TRUE);
  CbKeyboardManager()->UnhookKeyboard(&w);
}

}  // namespace
